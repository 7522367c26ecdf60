#include "Application.h"

#include "base/RegistryKey.h"
#include "base/StartupMark.h"
#include "Window.h"

#include <commctrl.h>

namespace fw {

Application* Application::s_current = nullptr;

Application::Application() {
    // The application object is built after the executable's imports are loaded.
    StartupMark("imports loaded");
    s_current = this;
}

Application::~Application() {
    if (s_current == this) {
        s_current = nullptr;
    }
}

HINSTANCE Application::ResourceInstance() {
    return s_current && s_current->m_instance ? s_current->m_instance : GetModuleHandleA(nullptr);
}

HWND Application::MainWindowHandle() {
    return s_current && s_current->mainWindow ? s_current->mainWindow->hwnd() : nullptr;
}

std::string ModuleBaseName(HMODULE module) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    std::string name(path);
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) {
        name.erase(0, slash + 1);
    }
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

int Application::Run(HINSTANCE instance) {
    m_instance = instance;
    m_appName = ModuleBaseName(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof icc,
                             ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    StartupMark("common controls");
    // The exit code is not relied on; InitInstance returning false ends the process normally.
    InitInstance();
    return 0;
}

std::string Application::SectionPath(const std::string& section) const {
    return "Software\\" + m_registryKey + "\\" + m_appName + "\\" + section;
}

int Application::GetProfileInt(const std::string& section, const std::string& key,
                               int defaultValue) const {
    auto value = base::RegistryKey::Open(HKEY_CURRENT_USER, SectionPath(section)).ReadDword(key);
    return value ? static_cast<int>(*value) : defaultValue;
}

bool Application::WriteProfileInt(const std::string& section, const std::string& key,
                                  int value) const {
    return base::RegistryKey::Create(HKEY_CURRENT_USER, SectionPath(section))
               .WriteDword(key, static_cast<DWORD>(value)) == ERROR_SUCCESS;
}

std::string Application::GetProfileString(const std::string& section, const std::string& key,
                                          const std::string& defaultValue) const {
    auto value = base::RegistryKey::Open(HKEY_CURRENT_USER, SectionPath(section)).ReadString(key);
    return value ? *value : defaultValue;
}

bool Application::WriteProfileString(const std::string& section, const std::string& key,
                                     const std::string& value) const {
    return base::RegistryKey::Create(HKEY_CURRENT_USER, SectionPath(section))
               .WriteString(key, value) == ERROR_SUCCESS;
}

} // namespace fw
