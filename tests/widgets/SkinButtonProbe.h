#pragma once
#include "widgets/button/SkinButton.h"

// What the tests read of a skinned button's drop-down menu: the menu and whether it is open.
class SkinButtonProbe {
public:
    explicit SkinButtonProbe(const SkinButton& button) : m_button(button) {}
    const GlyphMenu& menu() const { return m_button.m_menu; }
    bool menuShown() const { return m_button.m_menuShown; }

private:
    const SkinButton& m_button;
};
