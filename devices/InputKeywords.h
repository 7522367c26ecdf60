#pragma once
#include <string>

// True when an input line's name suggests the loopback mix of what the computer plays.
bool IsLoopbackInputName(const std::string& name);
