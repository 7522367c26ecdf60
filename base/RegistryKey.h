#pragma once
#include <windows.h>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/UniqueHandle.h"

namespace base {

// An open registry key. Open and Create fail quietly (the key stays invalid) so that callers
// can fall back to their defaults; the program's own texts are narrow, while the filters'
// registration writes wide paths (a module's folder may hold any character).
class RegistryKey {
public:
    RegistryKey() = default;

    static RegistryKey Open(HKEY parent, const std::string& path, REGSAM access = KEY_READ) {
        HKEY key = nullptr;
        return RegistryKey(
            RegOpenKeyExA(parent, path.c_str(), 0, access, &key) == ERROR_SUCCESS ? key : nullptr);
    }
    static RegistryKey Open(HKEY parent, const std::wstring& path, REGSAM access = KEY_READ) {
        HKEY key = nullptr;
        return RegistryKey(
            RegOpenKeyExW(parent, path.c_str(), 0, access, &key) == ERROR_SUCCESS ? key : nullptr);
    }
    static RegistryKey Create(HKEY parent, const std::string& path) {
        HKEY key = nullptr;
        return RegistryKey(RegCreateKeyExA(parent, path.c_str(), 0, nullptr,
                                           REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                                           &key, nullptr) == ERROR_SUCCESS
                               ? key
                               : nullptr);
    }
    // `status`, when given, receives the system's answer.
    static RegistryKey Create(HKEY parent, const std::wstring& path, LONG* status = nullptr) {
        HKEY key = nullptr;
        LONG rc = RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
        if (status) {
            *status = rc;
        }
        return RegistryKey(rc == ERROR_SUCCESS ? key : nullptr);
    }

    bool valid() const { return m_key.valid(); }
    HKEY get() const { return m_key.get(); }
    void Close() { m_key.reset(); }

    std::optional<DWORD> ReadDword(const std::string& name) const {
        DWORD type = 0, value = 0, size = sizeof value;
        if (!valid() ||
            RegQueryValueExA(get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                             &size) != ERROR_SUCCESS ||
            type != REG_DWORD || size != sizeof value) {
            return std::nullopt;
        }
        return value;
    }
    std::optional<std::string> ReadString(const std::string& name) const {
        return ReadText<char>([&](DWORD* type, BYTE* data, DWORD* size) {
            return RegQueryValueExA(get(), name.c_str(), nullptr, type, data, size);
        });
    }
    // An empty name reads the key's default value.
    std::optional<std::wstring> ReadString(const std::wstring& name) const {
        return ReadText<wchar_t>([&](DWORD* type, BYTE* data, DWORD* size) {
            return RegQueryValueExW(get(), name.c_str(), nullptr, type, data, size);
        });
    }
    LONG WriteDword(const std::string& name, DWORD value) const {
        if (!valid()) {
            return ERROR_INVALID_HANDLE;
        }
        return RegSetValueExA(get(), name.c_str(), 0, REG_DWORD,
                              reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    LONG WriteString(const std::string& name, const std::string& value) const {
        if (!valid()) {
            return ERROR_INVALID_HANDLE;
        }
        return RegSetValueExA(get(), name.c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>(value.size() + 1));
    }
    // An empty name writes the key's default value.
    LONG WriteString(const std::wstring& name, const std::wstring& value) const {
        if (!valid()) {
            return ERROR_INVALID_HANDLE;
        }
        return RegSetValueExW(get(), name.c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>((value.size() + 1) * sizeof(WCHAR)));
    }

    // Removes the key at path under parent with everything below it.
    static LONG DeleteTree(HKEY parent, const std::wstring& path) {
        return RegDeleteTreeW(parent, path.c_str());
    }

private:
    explicit RegistryKey(HKEY key) : m_key(key) {}

    // query(type, data, size) asks for the value: first its size, then its bytes.
    template <typename Char, typename Query>
    std::optional<std::basic_string<Char>> ReadText(Query query) const {
        DWORD type = 0, size = 0;
        if (!valid() || query(&type, nullptr, &size) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ)) {
            return std::nullopt;
        }
        // Stored strings need not carry their terminator; the extra zero covers that.
        std::vector<Char> buffer(size / sizeof(Char) + 1, Char{});
        if (query(&type, reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        return std::basic_string<Char>(buffer.data());
    }

    OwnedKey m_key;
};

} // namespace base
