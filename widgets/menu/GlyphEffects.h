#pragma once
#include <windows.h>

// Pixel work on menu glyphs: the lighter colours of the flat look, the faded and shadow
// variants made once when a glyph is added, and the two ways of drawing a disabled glyph.
namespace GlyphEffects {

// Each channel moves the factor's share of the way to 255; a factor outside (0, 1] changes
// nothing.
COLORREF LightenColour(COLORREF colour, double factor);

// The button-face colour as a context compatible with the glyph stores it.
COLORREF ReferenceBackground(HBITMAP glyph);
// Every pixel that is not background becomes its colour lightened by 0.3.
void MakeFadedGlyph(HBITMAP glyph);
// Every pixel that is not background becomes the shadow colour.
void MakeShadowGlyph(HBITMAP glyph, bool themed);

struct DisabledGlyph {
    HDC target;
    int x, y, width, height;
    HBITMAP bitmap; // consumed: its pixels are overwritten by the emboss renderer
    int sourceX, sourceY;
    COLORREF background;
};
// Highlight one pixel down-right, shadow on top, through a monochrome mask of the glyph.
void DrawDisabledGlyphEmboss(const DisabledGlyph& glyph);
// The same picture through a 1-bit DIB section copy of the glyph.
void DrawDisabledGlyphMono(const DisabledGlyph& glyph);

// The raster operations: where the monochrome source is black, paint the brush.
constexpr DWORD kRopEmboss = 0xE20746;
constexpr DWORD kRopMono = 0xB8074A;

} // namespace GlyphEffects
