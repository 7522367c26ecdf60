#pragma once
#include <windows.h>

namespace base {

// The one place that asks GetVersionEx: the desktop's version decides the main window's
// system menu and the menus' look. The call is deprecated for newer programs, whose manifests
// it answers differently; this program wants exactly its answer.
inline bool QueryWindowsVersion(OSVERSIONINFOA& version) {
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return GetVersionExA(&version) != FALSE;
#pragma GCC diagnostic pop
}

} // namespace base
