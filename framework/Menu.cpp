#include "Menu.h"

#include <utility>

namespace fw {

Menu::Menu(Menu&& other) noexcept
    : m_owned(std::move(other.m_owned)), m_borrowed(std::exchange(other.m_borrowed, nullptr)) {}

Menu& Menu::operator=(Menu&& other) noexcept {
    if (this != &other) {
        m_owned = std::move(other.m_owned);
        m_borrowed = std::exchange(other.m_borrowed, nullptr);
    }
    return *this;
}

HMENU Menu::Release() {
    const HMENU menu = get();
    m_owned.release();
    m_borrowed = nullptr;
    return menu;
}

void Menu::Reset() {
    m_owned.reset();
    m_borrowed = nullptr;
}

std::string Menu::ItemText(UINT position) const {
    char text[256] = {};
    GetMenuStringA(get(), position, text, sizeof text, MF_BYPOSITION);
    return text;
}

} // namespace fw
