#include "Args.h"

#include "DriverError.h"

#include <cerrno>
#include <cstdlib>

namespace driver {

const std::string& Args::at(size_t index) const {
    if (index >= m_values.size()) {
        throw DriverError(m_command + ": missing argument " + std::to_string(index + 1));
    }
    return m_values[index];
}

long Args::intAt(size_t index) const {
    const std::string& text = at(index);
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || errno == ERANGE) {
        throw DriverError(m_command + ": not a number: " + text);
    }
    return value;
}

long Args::intOr(size_t index, long fallback) const {
    return index < m_values.size() ? intAt(index) : fallback;
}

} // namespace driver
