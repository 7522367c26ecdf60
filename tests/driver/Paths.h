#pragma once
#include <string>

namespace driver {

// Unix paths (as the test scripts have them) are reached through Wine's Z: drive; other paths
// pass unchanged.
std::string WindowsPath(const std::string& path);

} // namespace driver
