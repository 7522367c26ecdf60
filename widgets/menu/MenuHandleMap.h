#pragma once
#include <windows.h>
#include <map>

class GlyphMenu;

// Finds the menu object bound to a menu handle. Menus and their sub-menus stay bound from the
// moment they are attached until they are destroyed, so drawing requests that carry only the
// handle reach the right object.
class MenuHandleMap {
public:
    static void Bind(HMENU menu, GlyphMenu* object);
    static void Unbind(HMENU menu, const GlyphMenu* object);
    static GlyphMenu* Find(HMENU menu);

private:
    static std::map<HMENU, GlyphMenu*>& Table();
};
