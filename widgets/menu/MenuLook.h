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

    // The Windows generations the look tells apart.
    enum VersionClass : int {
        kHostedLayer = 0, // the 32-bit layer hosted by a 16-bit system
        kNtOther = 1,     // the NT family, other than below
        kNonNt = 2,       // non-NT 4.0 and any other non-NT version
        kNonNt410 = 3,
        kNonNt490 = 4,
        kNt4 = 5,
        kNt50 = 6,
        kNt51 = 7, // the themed desktop generation
    };
    static int ClassifyWindowsVersion(DWORD platformId, DWORD major, DWORD minor);
    // True when the theme file named by the key's default value is the classic one.
    static bool ReadClassicTheme(HKEY root, const char* subKey);

    static int WindowsVersionClass();
    // Read from the registry on first use; the answer holds for the rest of the run.
    static bool IsClassicTheme();
    static const Settings& settings() { return s_settings; }
    static bool Themed() { return WindowsVersionClass() == kNt51 && !IsClassicTheme(); }
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
