#pragma once
#include <stdexcept>
#include <string>

namespace driver {

// A failed step: main prints "driver: ERROR <what>" and ends the run with exit code 1.
class DriverError : public std::runtime_error {
public:
    explicit DriverError(const std::string& what) : std::runtime_error(what) {}
};

} // namespace driver
