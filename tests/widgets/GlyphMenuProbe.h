#pragma once
#include "widgets/menu/GlyphMenu.h"

#include <memory>
#include <vector>

// What the tests read of a glyph menu's inner state: its item records, sub-menus and whether
// its top level is plain.
class GlyphMenuProbe {
public:
    explicit GlyphMenuProbe(const GlyphMenu& menu) : m_menu(menu) {}
    const std::vector<std::unique_ptr<GlyphMenuData>>& records() const { return m_menu.m_records; }
    const std::vector<HMENU>& subMenus() const { return m_menu.m_subMenus; }
    bool plainTopLevel() const { return m_menu.m_plainTopLevel; }
    // The template loader's building step, on a menu the test has prepared.
    static void BuildFromTemplate(GlyphMenu& menu, const BYTE* data, size_t size) {
        menu.BuildFromTemplate(data, size);
    }

private:
    const GlyphMenu& m_menu;
};
