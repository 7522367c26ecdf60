// reg-read, reg-write-dword, reg-write-string, reg-delete-key.
#include "CommandTable.h"
#include "DriverError.h"
#include "WindowLookup.h"
#include "base/RegistryKey.h"

#include <cstdio>

namespace driver {

namespace {

struct KeyPath {
    HKEY root;
    std::string path;
};

// "HKCU\Software\..." (or HKEY_CURRENT_USER, HKLM, HKEY_LOCAL_MACHINE; '/' works as '\').
KeyPath ParseKeyPath(std::string text) {
    for (char& c : text) {
        if (c == '/') {
            c = '\\';
        }
    }
    const size_t cut = text.find('\\');
    const std::string root = text.substr(0, cut);
    const std::string rest = cut == std::string::npos ? "" : text.substr(cut + 1);
    if (root == "HKCU" || root == "HKEY_CURRENT_USER") {
        return {HKEY_CURRENT_USER, rest};
    }
    if (root == "HKLM" || root == "HKEY_LOCAL_MACHINE") {
        return {HKEY_LOCAL_MACHINE, rest};
    }
    throw DriverError("unknown registry root " + root + " (HKCU or HKLM)");
}

base::RegistryKey CreateKey(const std::string& text) {
    KeyPath key = ParseKeyPath(text);
    base::RegistryKey created = base::RegistryKey::Create(key.root, key.path);
    if (!created.valid()) {
        throw DriverError("cannot create key " + text);
    }
    return created;
}

void RegRead(const Args& args) {
    KeyPath path = ParseKeyPath(args.at(0));
    base::RegistryKey key = base::RegistryKey::Open(path.root, path.path);
    const std::string& name = args.at(1);
    if (auto value = key.ReadDword(name)) {
        std::printf("dword %lu\n", *value);
    } else if (auto text = key.ReadString(name)) {
        std::printf("string %s\n", Quote(*text).c_str());
    } else if (DWORD type = 0;
               key.valid() && RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr,
                                               nullptr) == ERROR_SUCCESS) {
        std::printf("type %lu\n", type);
    } else {
        std::printf("missing\n");
    }
}

void RegWriteDword(const Args& args) {
    if (CreateKey(args.at(0)).WriteDword(args.at(1), static_cast<DWORD>(args.intAt(2))) !=
        ERROR_SUCCESS) {
        throw DriverError("cannot write " + args.at(1));
    }
}

void RegWriteString(const Args& args) {
    if (CreateKey(args.at(0)).WriteString(args.at(1), args.at(2)) != ERROR_SUCCESS) {
        throw DriverError("cannot write " + args.at(1));
    }
}

// Deleting a key that is not there succeeds: tests use it to start from a clean state.
void RegDeleteKey(const Args& args) {
    KeyPath path = ParseKeyPath(args.at(0));
    if (path.path.empty()) {
        throw DriverError("refusing to delete a registry root");
    }
    LONG result = RegDeleteTreeA(path.root, path.path.c_str());
    if (result == ERROR_SUCCESS) {
        result = RegDeleteKeyA(path.root, path.path.c_str());
    }
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) {
        throw DriverError("cannot delete " + args.at(0) + " (error " + std::to_string(result) +
                          ")");
    }
}

} // namespace

void AddRegistryCommands(CommandTable& table) {
    table.Add({"reg-read", "KEY VALUE", 2, RegRead});
    table.Add({"reg-write-dword", "KEY VALUE NUMBER", 3, RegWriteDword});
    table.Add({"reg-write-string", "KEY VALUE TEXT", 3, RegWriteString});
    table.Add({"reg-delete-key", "KEY", 1, RegDeleteKey});
}

} // namespace driver
