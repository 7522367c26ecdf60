#pragma once
#include <windows.h>
#include <string>

// A wide string in the system's ANSI code page; characters it lacks are replaced.
std::string NarrowText(const WCHAR* text);
