#include "Menu.h"

#include <utility>

namespace fw {

Menu::Menu(Menu&& other) noexcept
    : m_menu(std::exchange(other.m_menu, nullptr)), m_owned(std::exchange(other.m_owned, false)) {}

Menu& Menu::operator=(Menu&& other) noexcept {
    if (this != &other) {
        Reset();
        m_menu = std::exchange(other.m_menu, nullptr);
        m_owned = std::exchange(other.m_owned, false);
    }
    return *this;
}

HMENU Menu::Release() {
    m_owned = false;
    return std::exchange(m_menu, nullptr);
}

void Menu::Reset() {
    if (m_menu && m_owned) {
        DestroyMenu(m_menu);
    }
    m_menu = nullptr;
    m_owned = false;
}

std::string Menu::ItemText(UINT position) const {
    char text[256] = {};
    GetMenuStringA(m_menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

} // namespace fw
