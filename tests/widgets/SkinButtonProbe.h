#pragma once
#include "widgets/button/SkinButton.h"

#include <string>

// What the tests read of a skinned button's state: hot, default and check-box modes, images,
// cursor, colours, the tooltip's text and the drop-down menu.
class SkinButtonProbe {
public:
    explicit SkinButtonProbe(const SkinButton& button) : m_button(button) {}
    bool isHot() const { return m_button.m_hot; }
    bool isDefault() const { return m_button.m_isDefault; }
    bool isCheckBox() const { return m_button.m_isCheckBox; }
    bool isChecked() const { return m_button.m_checked; }
    BYTE imageAlign() const { return m_button.m_imageAlign; }
    COLORREF colour(int which) const { return m_button.m_colours[which]; }
    HICON hotIcon() const { return m_button.m_hotIcon.icon.get(); }
    HICON normalIcon() const { return m_button.m_normalIcon.icon.get(); }
    HCURSOR pointerCursor() const { return m_button.m_cursor.get(); }
    std::string tipText() const { return m_button.tipText(); }
    const GlyphMenu& menu() const { return m_button.m_menu; }
    bool menuShown() const { return m_button.m_menuShown; }

private:
    const SkinButton& m_button;
};
