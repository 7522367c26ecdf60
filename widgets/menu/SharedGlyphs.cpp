#include "widgets/menu/SharedGlyphs.h"

SharedGlyphs& SharedGlyphs::Instance() {
    static SharedGlyphs glyphs;
    return glyphs;
}

int SharedGlyphs::Find(UINT_PTR id) const {
    for (size_t i = 0; i < m_ids.size(); ++i) {
        if (m_ids[i] == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool SharedGlyphs::HasVariants(int index) const {
    if (index < 0 || index + 2 >= size()) {
        return false;
    }
    return idAt(index) == idAt(index + 1) && idAt(index) == idAt(index + 2);
}

int SharedGlyphs::Store(UINT_PTR id, HICON icon, HBITMAP faded, HBITMAP shadow, int width,
                        int height) {
    if (!m_list) {
        m_list.reset(ImageList_Create(width, height, ILC_COLORDDB | ILC_MASK, 1, 1));
    }
    if (!m_list || !icon) {
        return -1;
    }
    const bool variants = faded && shadow;
    const int found = Find(id);
    if (found >= 0) {
        ImageList_ReplaceIcon(m_list.get(), found, icon);
        if (variants && found + 2 < size() && idAt(found + 1) == id && idAt(found + 2) == id) {
            ReplaceVariants(found, faded, shadow, width, height);
        }
        return found;
    }
    const int index = ImageList_ReplaceIcon(m_list.get(), -1, icon);
    if (index < 0) {
        return -1;
    }
    m_ids.push_back(id);
    if (variants) {
        AppendVariants(id, faded, shadow);
    }
    return index;
}

// The id table follows the list image by image: variants go in both or not at all, so that a
// failed add leaves the command with its one glyph.
void SharedGlyphs::AppendVariants(UINT_PTR id, HBITMAP faded, HBITMAP shadow) {
    const COLORREF mask = GetSysColor(COLOR_BTNFACE);
    const int fadedIndex = ImageList_AddMasked(m_list.get(), faded, mask);
    if (fadedIndex < 0) {
        return;
    }
    if (ImageList_AddMasked(m_list.get(), shadow, mask) < 0) {
        ImageList_Remove(m_list.get(), fadedIndex);
        return;
    }
    m_ids.push_back(id);
    m_ids.push_back(id);
}

// Replacing masked images in place needs icons; a temporary list makes them from the bitmaps.
void SharedGlyphs::ReplaceVariants(int index, HBITMAP faded, HBITMAP shadow, int width,
                                   int height) {
    base::ImageList scratch(ImageList_Create(width, height, ILC_COLORDDB | ILC_MASK, 2, 1));
    if (!scratch) {
        return;
    }
    const COLORREF mask = GetSysColor(COLOR_BTNFACE);
    ImageList_AddMasked(scratch.get(), faded, mask);
    ImageList_AddMasked(scratch.get(), shadow, mask);
    for (int i = 0; i < 2; ++i) {
        base::OwnedIcon icon(ImageList_GetIcon(scratch.get(), i, ILD_NORMAL));
        if (icon) {
            ImageList_ReplaceIcon(m_list.get(), index + 1 + i, icon.get());
        }
    }
}
