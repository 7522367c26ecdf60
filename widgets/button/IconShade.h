#pragma once
#include <windows.h>

// Shaded copies of an icon for a button's normal state. The copies share the source's mask
// and keep black (0) pixels black. The caller owns the returned icon; null on failure.
class IconShade {
public:
    static HICON Grey(HICON source);
    static HICON Darker(HICON source, double factor = 0.25);

    // 0.299 R + 0.587 G + 0.114 B, truncated, as a grey colour.
    static COLORREF GreyOf(COLORREF colour);
    // Each channel reduced by factor of itself; unchanged unless 0 < factor <= 1.
    static COLORREF DarkerOf(COLORREF colour, double factor);

private:
    template <typename Shade> static HICON Copy(HICON source, Shade shade);
};
