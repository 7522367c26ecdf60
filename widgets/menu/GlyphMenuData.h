#pragma once
#include "base/ImageList.h"

#include <windows.h>
#include <string>

// What a glyph menu keeps of one item; the live item carries its address as item data.
struct GlyphMenuData {
    std::wstring text;         // may hold "&" before the mnemonic and a tab before the accelerator
    int imageIndex = -1;       // glyph inside imageList
    int sharedGlyphIndex = -1; // glyph inside the shared glyph list
    int ownGlyph = -1;         // 0 or more: the glyph is imageList's image imageIndex
    UINT itemFlags = 0;        // MF_ flags of the last append or modify
    UINT_PTR commandId = 0;    // the sub-menu handle for a popup, 0 for a separator
    bool claimed = false;      // matched to a live item while re-synchronising
    base::ImageList imageList;
};
