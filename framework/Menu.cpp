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

} // namespace fw
