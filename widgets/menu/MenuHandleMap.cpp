#include "widgets/menu/MenuHandleMap.h"

std::map<HMENU, GlyphMenu*>& MenuHandleMap::Table() {
    static std::map<HMENU, GlyphMenu*> table;
    return table;
}

void MenuHandleMap::Bind(HMENU menu, GlyphMenu* object) {
    if (menu) {
        Table()[menu] = object;
    }
}

void MenuHandleMap::Unbind(HMENU menu, const GlyphMenu* object) {
    auto found = Table().find(menu);
    if (found != Table().end() && found->second == object) {
        Table().erase(found);
    }
}

GlyphMenu* MenuHandleMap::Find(HMENU menu) {
    auto found = Table().find(menu);
    return found == Table().end() ? nullptr : found->second;
}
