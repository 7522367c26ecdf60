#pragma once
#include <string>
#include <vector>

namespace driver {

// One command of the command line with its arguments; the accessors fail with a message that
// names the command instead of returning garbage.
class Args {
public:
    Args(std::string command, std::vector<std::string> values)
        : m_command(std::move(command)), m_values(std::move(values)) {}

    const std::string& command() const { return m_command; }
    size_t size() const { return m_values.size(); }
    const std::vector<std::string>& all() const { return m_values; }

    const std::string& at(size_t index) const;
    long intAt(size_t index) const;
    long intOr(size_t index, long fallback) const;

private:
    std::string m_command;
    std::vector<std::string> m_values;
};

// The default wait of every command that takes an optional timeout.
constexpr long kDefaultTimeoutMs = 10000;

} // namespace driver
