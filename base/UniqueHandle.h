#pragma once
#include <windows.h>
#include <utility>

namespace base {

// Owns a handle whose release function and "none" value come from Traits.
template <typename Traits> class UniqueHandle {
public:
    using Handle = typename Traits::Handle;
    UniqueHandle() = default;
    explicit UniqueHandle(Handle adopted) : m_h(adopted) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_h(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const { return m_h; }
    bool valid() const { return m_h != Traits::None(); }
    explicit operator bool() const { return valid(); }
    Handle release() { return std::exchange(m_h, Traits::None()); }
    void reset(Handle adopted = Traits::None()) {
        Handle old = std::exchange(m_h, adopted);
        if (old != Traits::None()) {
            Traits::Close(old);
        }
    }

private:
    Handle m_h = Traits::None();
};

struct FileTraits {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct KernelTraits {
    using Handle = HANDLE;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct IconTraits {
    using Handle = HICON;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { DestroyIcon(h); }
};
struct CursorTraits {
    using Handle = HCURSOR;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { DestroyCursor(h); }
};
struct MenuTraits {
    using Handle = HMENU;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { DestroyMenu(h); }
};
struct ModuleTraits {
    using Handle = HMODULE;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { FreeLibrary(h); }
};
struct RegKeyTraits {
    using Handle = HKEY;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};
using FileHandle = UniqueHandle<FileTraits>;
using KernelHandle = UniqueHandle<KernelTraits>;
using OwnedIcon = UniqueHandle<IconTraits>;
using OwnedCursor = UniqueHandle<CursorTraits>;
using OwnedMenu = UniqueHandle<MenuTraits>;
using OwnedModule = UniqueHandle<ModuleTraits>;
using OwnedKey = UniqueHandle<RegKeyTraits>;

} // namespace base
