#include "Paths.h"

namespace driver {

std::string WindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') {
        return path;
    }
    std::string out = "Z:" + path;
    for (char& c : out) {
        if (c == '/') {
            c = '\\';
        }
    }
    return out;
}

} // namespace driver
