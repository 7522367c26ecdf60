#pragma once
#include "base/ImageList.h"

#include <windows.h>
#include <vector>

// The process-wide glyph list keyed by command id. A command owns one image, or three
// consecutive ones (glyph, faded, shadow) when the flat look's variants were made.
class SharedGlyphs {
public:
    static SharedGlyphs& Instance();

    HIMAGELIST list() const { return m_list.get(); }
    int size() const { return static_cast<int>(m_ids.size()); }
    UINT_PTR idAt(int index) const { return m_ids.at(static_cast<size_t>(index)); }

    int Find(UINT_PTR id) const;
    bool HasVariants(int index) const;
    // Adds the icon (and the variants when both are given) for id, or replaces the images id
    // already has. Returns the glyph's index, -1 on failure.
    int Store(UINT_PTR id, HICON icon, HBITMAP faded, HBITMAP shadow, int width, int height);

private:
    SharedGlyphs() = default;
    void AppendVariants(UINT_PTR id, HBITMAP faded, HBITMAP shadow);
    void ReplaceVariants(int index, HBITMAP faded, HBITMAP shadow, int width, int height);

    base::ImageList m_list;
    std::vector<UINT_PTR> m_ids;
};
