#pragma once
#include <windows.h>
#include <string>

namespace fw {

class Window;

// The process's application object: instance handle, application name and the per-user
// profile (HKCU\Software\<registry key>\<application name>\<section>). Exactly one exists.
class Application {
public:
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    virtual ~Application();

    static Application* Current() { return s_current; }
    // Where resources come from: the running application's module, else the executable (tests
    // and tools run widgets without an application object).
    static HINSTANCE ResourceInstance();
    // The application's main window, or null when there is none (yet).
    static HWND MainWindowHandle();

    // Entry: learns the instance and name, then runs InitInstance. Returns the exit code.
    int Run(HINSTANCE instance);
    virtual bool InitInstance() = 0;

    HINSTANCE instance() const { return m_instance; }
    const std::string& appName() const { return m_appName; }
    void SetRegistryKey(const std::string& key) { m_registryKey = key; }

    int GetProfileInt(const std::string& section, const std::string& key, int defaultValue) const;
    bool WriteProfileInt(const std::string& section, const std::string& key, int value) const;
    std::string GetProfileString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const;
    bool WriteProfileString(const std::string& section, const std::string& key,
                            const std::string& value) const;

    // The profile's key path below HKEY_CURRENT_USER for a section.
    std::string SectionPath(const std::string& section) const;

    Window* mainWindow = nullptr;

private:
    static Application* s_current;
    HINSTANCE m_instance = nullptr;
    std::string m_appName;
    std::string m_registryKey;
};

// The executable's file name without folder and extension.
std::string ModuleBaseName(HMODULE module);

} // namespace fw
