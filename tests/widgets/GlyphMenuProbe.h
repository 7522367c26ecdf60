#pragma once
#include "widgets/menu/GlyphMenu.h"

#include <memory>
#include <string>
#include <vector>

// What the tests reach of a glyph menu's inner workings: its item records and sub-menus, the
// item lookups, glyph loading and the drawing helpers.
class GlyphMenuProbe {
public:
    explicit GlyphMenuProbe(const GlyphMenu& menu) : m_menu(menu) {}
    const std::vector<std::unique_ptr<GlyphMenuData>>& records() const { return m_menu.m_records; }
    const std::vector<HMENU>& subMenus() const { return m_menu.m_subMenus; }
    bool plainTopLevel() const { return m_menu.m_plainTopLevel; }
    const GlyphMenu* FindItemOwner(UINT_PTR id, int& position) const {
        return m_menu.FindItemOwner(id, position);
    }
    bool GetItemText(UINT idOrPosition, std::string& text, UINT flags) const {
        return m_menu.GetItemText(idOrPosition, text, flags);
    }
    bool AddGlyphResource(HIMAGELIST list, INT_PTR resource) const {
        return m_menu.AddGlyphResource(list, resource);
    }
    int AddSharedGlyph(HIMAGELIST list, int index, UINT_PTR id) const {
        return m_menu.AddSharedGlyph(list, index, id);
    }

    static bool DrawsFlat(int rasterCaps) { return GlyphMenu::DrawsFlat(rasterCaps); }
    static void DrawCheckDot(HDC dc, int x, int y, COLORREF colour) {
        GlyphMenu::DrawCheckDot(dc, x, y, colour);
    }
    static void DrawCheckTick(HDC dc, int x, int y, COLORREF colour) {
        GlyphMenu::DrawCheckTick(dc, x, y, colour);
    }
    // The template loader's building step, on a menu the test has prepared.
    static void BuildFromTemplate(GlyphMenu& menu, const BYTE* data, size_t size) {
        menu.BuildFromTemplate(data, size);
    }

private:
    const GlyphMenu& m_menu;
};
