#pragma once

// Formats into a 1024-byte buffer (always terminated) and sends it to the debugger output.
void DebugPrint(const char* format, ...);
