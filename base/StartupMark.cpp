#include "base/StartupMark.h"

#include "base/DebugPrint.h"

#include <windows.h>

namespace {

bool Tracing() {
    static const bool tracing = GetEnvironmentVariableA("CORVALE_STARTUP_TRACE", nullptr, 0) > 0;
    return tracing;
}

ULONGLONG Ticks100ns(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

} // namespace

void StartupMark(const char* phase) {
    if (!Tracing()) {
        return;
    }
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    GetSystemTimeAsFileTime(&now);
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) {
        return;
    }
    const double ms = static_cast<double>(Ticks100ns(now) - Ticks100ns(created)) / 10000.0;
    DebugPrint("corvale-startup %.1f %s\n", ms, phase);
}
