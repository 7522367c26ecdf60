#pragma once
#include <windows.h>
#include <map>
#include <vector>

class GlyphMenu;

// The process's one table of glyph menus by menu handle. It answers two questions: which
// object a handle is bound to (drawing requests carry only the handle; menus stay bound from
// their attach until they are destroyed), and whether a handle was appended to a glyph menu as
// a popup (a registered menu, whose measuring and menu characters the glyph menus answer).
class MenuRegistry {
public:
    static MenuRegistry& Instance();

    void Bind(HMENU menu, GlyphMenu* object);
    void Unbind(HMENU menu, const GlyphMenu* object);
    GlyphMenu* Find(HMENU menu) const;

    void AddPopup(HMENU menu);
    void RemovePopup(HMENU menu);
    bool IsPopup(HMENU menu) const;
    // The objects bound to registered popups.
    std::vector<const GlyphMenu*> PopupObjects() const;

private:
    struct Entry {
        GlyphMenu* object = nullptr;
        bool popup = false;
    };
    MenuRegistry() = default;
    void EraseIfUnused(HMENU menu);

    std::map<HMENU, Entry> m_entries;
};
