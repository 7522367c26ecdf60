#pragma once
#include <string>

// True when the file can be opened for reading. The system's critical-error and
// open-file boxes are suppressed while trying.
bool FileExists(const std::string& path);
