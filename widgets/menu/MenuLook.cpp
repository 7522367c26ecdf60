#include "widgets/menu/MenuLook.h"

#include "base/RegistryKey.h"
#include "base/WindowsVersion.h"

#include <string>

MenuLook::Settings MenuLook::s_settings;
int MenuLook::s_versionOverride = -1;
int MenuLook::s_classicOverride = -1;

namespace {
const char kClassicThemeName[] = "Windows Classic.theme";
const char kThemeKey[] = "Software\\Microsoft\\Plus!\\Themes\\Current";

int MeasureVersionClass() {
    OSVERSIONINFOA info{};
    if (!base::QueryWindowsVersion(info)) {
        return MenuLook::kNtOther;
    }
    return MenuLook::ClassifyWindowsVersion(info.dwPlatformId, info.dwMajorVersion,
                                            info.dwMinorVersion);
}
} // namespace

int MenuLook::ClassifyWindowsVersion(DWORD platformId, DWORD major, DWORD minor) {
    if (platformId == VER_PLATFORM_WIN32_NT) {
        if (major == 4) {
            return kNt4;
        }
        if (major == 5 && minor == 0) {
            return kNt50;
        }
        if (major == 5 && minor == 1) {
            return kNt51;
        }
        return kNtOther;
    }
    if (major < 4) {
        return kHostedLayer;
    }
    if (major == 4 && minor == 10) {
        return kNonNt410;
    }
    if (major == 4 && minor == 90) {
        return kNonNt490;
    }
    return kNonNt;
}

bool MenuLook::ReadClassicTheme(HKEY root, const char* subKey) {
    base::RegistryKey key = base::RegistryKey::Open(root, subKey);
    if (!key.valid()) {
        return false;
    }
    // The default value holds the theme file's path; only its tail names the theme.
    std::string text = key.ReadString("").value_or("");
    if (text.size() > 259) {
        text.resize(259);
    }
    const size_t nameLength = sizeof kClassicThemeName - 1;
    return text.size() >= nameLength &&
           lstrcmpiA(text.c_str() + text.size() - nameLength, kClassicThemeName) == 0;
}

int MenuLook::WindowsVersionClass() {
    static const int measured = MeasureVersionClass();
    return s_versionOverride >= 0 ? s_versionOverride : measured;
}

bool MenuLook::IsClassicTheme() {
    static const bool measured = ReadClassicTheme(HKEY_CURRENT_USER, kThemeKey);
    return s_classicOverride >= 0 ? s_classicOverride != 0 : measured;
}

void MenuLook::Override(int versionClass, int classicTheme) {
    s_versionOverride = versionClass;
    s_classicOverride = classicTheme;
}
