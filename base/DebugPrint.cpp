#include "base/DebugPrint.h"

#include <windows.h>
#include <cstdarg>
#include <cstdio>

void DebugPrint(const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    buffer[sizeof buffer - 1] = '\0';
    OutputDebugStringA(buffer);
}
