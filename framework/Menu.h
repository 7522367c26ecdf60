#pragma once
#include "base/UniqueHandle.h"

#include <windows.h>
#include <string>

namespace fw {

// A menu handle, owned (destroyed with the object) or borrowed (a window's system menu).
class Menu {
public:
    Menu() = default;
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;
    ~Menu() = default;

    static Menu Borrow(HMENU menu) { return Menu(menu, false); }
    static Menu Adopt(HMENU menu) { return Menu(menu, true); }
    Menu(Menu&& other) noexcept;
    Menu& operator=(Menu&& other) noexcept;

    HMENU get() const { return m_owned ? m_owned.get() : m_borrowed; }
    explicit operator bool() const { return get() != nullptr; }
    HMENU Release();
    void Reset();

    bool AppendItem(UINT flags, UINT_PTR id, const std::string& text) const {
        return AppendMenuA(get(), flags, id, text.c_str()) != FALSE;
    }
    bool AppendSeparator() const { return AppendMenuA(get(), MF_SEPARATOR, 0, nullptr) != FALSE; }

private:
    Menu(HMENU menu, bool owned)
        : m_owned(owned ? menu : nullptr), m_borrowed(owned ? nullptr : menu) {}
    base::OwnedMenu m_owned;
    HMENU m_borrowed = nullptr;
};

} // namespace fw
