#pragma once
#include <string>
#include <vector>

// The calls the fakes received, in the order they came, so that tests can check sequences
// across several objects (graph, mixers, message boxes).
class CallLog {
public:
    void Add(std::string call) { m_calls.push_back(std::move(call)); }
    void Clear() { m_calls.clear(); }
    const std::vector<std::string>& calls() const { return m_calls; }
    // The calls that start with the prefix, in order.
    std::vector<std::string> Matching(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& call : m_calls) {
            if (call.rfind(prefix, 0) == 0) {
                found.push_back(call);
            }
        }
        return found;
    }
    bool Contains(const std::string& call) const { return IndexOf(call) >= 0; }
    // Position of the first such call, or -1.
    int IndexOf(const std::string& call) const {
        for (size_t i = 0; i < m_calls.size(); ++i) {
            if (m_calls[i] == call) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

private:
    std::vector<std::string> m_calls;
};
