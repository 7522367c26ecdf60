#include "capture/StatusText.h"

#include <cstdio>

std::string FormatElapsed(const char* format, int seconds) {
    char text[128];
    snprintf(text, sizeof text, format, seconds / 3600, (seconds % 3600) / 60, seconds % 60);
    return text;
}
