#pragma once
#include <windows.h>

// The process-wide facts and settings that choose how owner-drawn menus look: the Windows
// version class, whether the classic theme is in force, and the fixed draw settings.
class MenuLook {
public:
    struct Settings {
        int drawModeThemed = 1;
        int drawModeClassic = 0;
        bool selectDisabledClassic = true;
        bool selectDisabledFlat = false;
        bool glyphEffects = true;
    };

    // 0 the 16-bit-hosted layer, 1 NT (other), 2 to 4 the non-NT releases, 5 NT 4, 6 NT 5.0,
    // 7 NT 5.1, the themed desktop generation.
    static int ClassifyWindowsVersion(DWORD platformId, DWORD major, DWORD minor);
    // True when the theme file named by the key's default value is the classic one.
    static bool ReadClassicTheme(HKEY root, const char* subKey);

    static int WindowsVersionClass();
    // Read from the registry on first use; the answer holds for the rest of the run.
    static bool IsClassicTheme();
    static const Settings& settings() { return s_settings; }
    static bool Themed() { return WindowsVersionClass() == 7 && !IsClassicTheme(); }
    static bool Flat() {
        return (Themed() ? s_settings.drawModeThemed : s_settings.drawModeClassic) == 1;
    }

    // Lets tests draw both looks on one machine; -1 goes back to the measured values.
    static void Override(int versionClass, int classicTheme);

private:
    static Settings s_settings;
    static int s_versionOverride;
    static int s_classicOverride;
};
