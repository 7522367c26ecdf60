#include "RegistryKey.h"

#include <utility>
#include <vector>

namespace fw {

RegistryKey::RegistryKey(RegistryKey&& other) noexcept
    : m_key(std::exchange(other.m_key, nullptr)) {}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
        Close();
        m_key = std::exchange(other.m_key, nullptr);
    }
    return *this;
}

void RegistryKey::Close() {
    if (m_key) {
        RegCloseKey(m_key);
        m_key = nullptr;
    }
}

RegistryKey RegistryKey::Open(HKEY parent, const std::string& path, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, path.c_str(), 0, access, &key) != ERROR_SUCCESS) {
        return RegistryKey();
    }
    return RegistryKey(key);
}

RegistryKey RegistryKey::Create(HKEY parent, const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return RegistryKey();
    }
    return RegistryKey(key);
}

std::optional<DWORD> RegistryKey::ReadDword(const std::string& name) const {
    DWORD type = 0, value = 0, size = sizeof value;
    if (!m_key ||
        RegQueryValueExA(m_key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> RegistryKey::ReadString(const std::string& name) const {
    DWORD type = 0, size = 0;
    if (!m_key ||
        RegQueryValueExA(m_key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    std::vector<char> buffer(size + 1, '\0');
    if (RegQueryValueExA(m_key, name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    // Stored strings need not carry their terminator; the extra zero byte covers that.
    return std::string(buffer.data());
}

LONG RegistryKey::WriteDword(const std::string& name, DWORD value) const {
    if (!m_key) {
        return ERROR_INVALID_HANDLE;
    }
    return RegSetValueExA(m_key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value);
}

LONG RegistryKey::WriteString(const std::string& name, const std::string& value) const {
    if (!m_key) {
        return ERROR_INVALID_HANDLE;
    }
    return RegSetValueExA(m_key, name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1));
}

} // namespace fw
