#pragma once
#include <windows.h>
#include <string>

namespace fw {

// A menu handle, owned (destroyed with the object) or borrowed (a window's system menu).
class Menu {
public:
    Menu() = default;
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;
    ~Menu() { Reset(); }

    static Menu Borrow(HMENU menu) { return Menu(menu, false); }
    static Menu Adopt(HMENU menu) { return Menu(menu, true); }
    Menu(Menu&& other) noexcept;
    Menu& operator=(Menu&& other) noexcept;

    HMENU get() const { return m_menu; }
    explicit operator bool() const { return m_menu != nullptr; }
    HMENU Release();
    void Reset();

    bool AppendItem(UINT flags, UINT_PTR id, const std::string& text) const {
        return AppendMenuA(m_menu, flags, id, text.c_str()) != FALSE;
    }
    bool AppendSeparator() const { return AppendMenuA(m_menu, MF_SEPARATOR, 0, nullptr) != FALSE; }
    int ItemCount() const { return GetMenuItemCount(m_menu); }
    std::string ItemText(UINT position) const;
    UINT ItemId(int position) const { return GetMenuItemID(m_menu, position); }

private:
    Menu(HMENU menu, bool owned) : m_menu(menu), m_owned(owned) {}
    HMENU m_menu = nullptr;
    bool m_owned = false;
};

} // namespace fw
