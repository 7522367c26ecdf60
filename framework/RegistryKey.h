#pragma once
#include <windows.h>
#include <optional>
#include <string>

namespace fw {

// Owns an open registry key. Open fails quietly (the key stays invalid) so that callers can
// fall back to their defaults.
class RegistryKey {
public:
    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    RegistryKey(RegistryKey&& other) noexcept;
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    ~RegistryKey() { Close(); }

    static RegistryKey Open(HKEY parent, const std::string& path, REGSAM access = KEY_READ);
    static RegistryKey Create(HKEY parent, const std::string& path);

    bool valid() const { return m_key != nullptr; }
    HKEY get() const { return m_key; }
    void Close();

    std::optional<DWORD> ReadDword(const std::string& name) const;
    std::optional<std::string> ReadString(const std::string& name) const;
    LONG WriteDword(const std::string& name, DWORD value) const;
    LONG WriteString(const std::string& name, const std::string& value) const;

private:
    explicit RegistryKey(HKEY key) : m_key(key) {}
    HKEY m_key = nullptr;
};

} // namespace fw
