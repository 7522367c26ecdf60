#pragma once
#include "framework/Application.h"
#include "app/Settings.h"

#include <string>

// The application object of the test program: its settings live under a key of their own,
// which every test starts without.
class TestApplication : public fw::Application {
public:
    static constexpr char kRegistryKey[] = "CorvaleRecorderTests";

    TestApplication() { SetRegistryKey(kRegistryKey); }
    bool InitInstance() override { return false; }

    static TestApplication& Get() { return static_cast<TestApplication&>(*Current()); }
    void ClearSettings() const {
        RegDeleteTreeA(HKEY_CURRENT_USER, (std::string("Software\\") + kRegistryKey).c_str());
    }
    bool HasSetting(const std::string& key) const {
        return GetProfileString(settings::kSection, key, "<none>") != "<none>" ||
               GetProfileInt(settings::kSection, key, -12345) != -12345;
    }
};
