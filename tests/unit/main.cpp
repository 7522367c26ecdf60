#include "tests/unit/TestApplication.h"

#include "framework/RegistryKey.h"

#include <gtest/gtest.h>

namespace {

// Under Wine on a display without a window manager (Xvfb), destroying a managed top-level
// window waits two seconds for the manager to withdraw it; this program's windows need no
// manager. Only Wine reads the key, and only for this program.
void UnmanagedWindowsUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (!ntdll || !GetProcAddress(ntdll, "wine_get_version")) {
        return;
    }
    fw::RegistryKey::Create(HKEY_CURRENT_USER,
                            "Software\\Wine\\AppDefaults\\unit_tests.exe\\X11 Driver")
        .WriteString("Managed", "N");
}

} // namespace

int main(int argc, char** argv) {
    UnmanagedWindowsUnderWine();
    testing::InitGoogleTest(&argc, argv);
    TestApplication app;
    // Learns the instance and the program's name and registers the common controls.
    app.Run(GetModuleHandleA(nullptr));
    const int result = RUN_ALL_TESTS();
    app.ClearSettings();
    return result;
}
