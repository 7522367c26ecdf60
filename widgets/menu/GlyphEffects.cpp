#include "widgets/menu/GlyphEffects.h"

#include "base/GdiObject.h"
#include "framework/MemoryDC.h"
#include "framework/SelectGuard.h"

namespace GlyphEffects {

namespace {
BITMAP Describe(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    return info;
}

// Replaces every pixel that differs from the background by what change gives for it.
template <typename Change> void RecolourForeground(HBITMAP glyph, Change change) {
    const COLORREF background = ReferenceBackground(glyph);
    const BITMAP info = Describe(glyph);
    fw::MemoryDC dc(nullptr);
    fw::SelectGuard select(dc.get(), glyph);
    for (int x = 0; x < info.bmWidth; ++x) {
        for (int y = 0; y < info.bmHeight; ++y) {
            const COLORREF pixel = GetPixel(dc.get(), x, y);
            if (pixel != background) {
                SetPixel(dc.get(), x, y, change(pixel));
            }
        }
    }
}
} // namespace

COLORREF LightenColour(COLORREF colour, double factor) {
    if (!(factor > 0.0 && factor <= 1.0)) {
        return colour;
    }
    auto lighten = [factor](BYTE v) { return static_cast<BYTE>(v + factor * (255 - v)); };
    return RGB(lighten(GetRValue(colour)), lighten(GetGValue(colour)), lighten(GetBValue(colour)));
}

COLORREF ReferenceBackground(HBITMAP glyph) {
    const BITMAP info = Describe(glyph);
    fw::MemoryDC glyphDc(nullptr);
    fw::SelectGuard selectGlyph(glyphDc.get(), glyph);
    fw::MemoryDC scratchDc(glyphDc.get());
    base::Bitmap scratch(CreateCompatibleBitmap(glyphDc.get(), info.bmWidth, info.bmHeight));
    fw::SelectGuard selectScratch(scratchDc.get(), scratch.get());
    RECT all{0, 0, info.bmWidth, info.bmHeight};
    FillRect(scratchDc.get(), &all, GetSysColorBrush(COLOR_BTNFACE));
    return GetPixel(scratchDc.get(), 1, 1);
}

void MakeFadedGlyph(HBITMAP glyph) {
    RecolourForeground(glyph, [](COLORREF pixel) { return LightenColour(pixel, 0.3); });
}

void MakeShadowGlyph(HBITMAP glyph, bool themed) {
    const COLORREF shadow =
        themed ? GetSysColor(COLOR_BTNSHADOW) : LightenColour(GetSysColor(COLOR_BTNSHADOW), 0.49);
    RecolourForeground(glyph, [shadow](COLORREF) { return shadow; });
}

void DrawDisabledGlyphEmboss(const DisabledGlyph& g) {
    const int w = g.width, h = g.height;
    fw::MemoryDC maskDc(nullptr);
    base::Bitmap mask(CreateBitmap(w, h, 1, 1, nullptr));
    fw::MemoryDC glyphDc(g.target);
    if (!mask || !maskDc.get() || !glyphDc.get()) {
        return;
    }
    fw::SelectGuard selectMask(maskDc.get(), mask.get());
    fw::SelectGuard selectGlyph(glyphDc.get(), g.bitmap);
    PatBlt(maskDc.get(), 0, 0, w, h, WHITENESS);
    // Face and highlight pixels are background: white in the mask, the glyph's ink black.
    SetBkColor(glyphDc.get(), GetSysColor(COLOR_BTNFACE));
    BitBlt(maskDc.get(), 0, 0, w, h, glyphDc.get(), g.sourceX, g.sourceY, SRCCOPY);
    SetBkColor(glyphDc.get(), GetSysColor(COLOR_BTNHIGHLIGHT));
    BitBlt(maskDc.get(), 0, 0, w, h, glyphDc.get(), g.sourceX, g.sourceY, SRCPAINT);

    base::Brush background(CreateSolidBrush(g.background));
    RECT all{0, 0, w, h};
    FillRect(glyphDc.get(), &all, background.get());
    SetBkColor(glyphDc.get(), RGB(0, 0, 0));
    SetTextColor(glyphDc.get(), RGB(255, 255, 255));
    base::Brush highlight(CreateSolidBrush(GetSysColor(COLOR_BTNHIGHLIGHT)));
    base::Brush shadow(CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW)));
    {
        fw::SelectGuard brush(glyphDc.get(), highlight.get());
        BitBlt(glyphDc.get(), 0, 0, w, h, maskDc.get(), 0, 0, kRopEmboss);
        BitBlt(g.target, g.x + 1, g.y + 1, w, h, glyphDc.get(), 0, 0, SRCCOPY);
        BitBlt(glyphDc.get(), 1, 1, w, h, maskDc.get(), 0, 0, kRopEmboss);
    }
    {
        fw::SelectGuard brush(glyphDc.get(), shadow.get());
        BitBlt(glyphDc.get(), 0, 0, w, h, maskDc.get(), 0, 0, kRopEmboss);
    }
    BitBlt(g.target, g.x, g.y, w, h, glyphDc.get(), 0, 0, SRCCOPY);
}

void DrawDisabledGlyphMono(const DisabledGlyph& g) {
    const int w = g.width, h = g.height;
    fw::MemoryDC glyphDc(g.target);
    fw::MemoryDC monoDc(glyphDc.get());
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = w;
    info.header.biHeight = h;
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    info.colours[1] = RGBQUAD{255, 255, 255, 0};
    void* bits = nullptr;
    base::Bitmap mono(CreateDIBSection(glyphDc.get(), reinterpret_cast<BITMAPINFO*>(&info),
                                       DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!mono || !glyphDc.get() || !monoDc.get()) {
        return;
    }
    fw::SelectGuard selectMono(monoDc.get(), mono.get());
    {
        fw::SelectGuard selectGlyph(glyphDc.get(), g.bitmap);
        BitBlt(monoDc.get(), 0, 0, w, h, glyphDc.get(), g.sourceX, g.sourceY, SRCCOPY);
    }
    base::Brush background(CreateSolidBrush(g.background));
    RECT target{g.x, g.y, g.x + w, g.y + h};
    FillRect(g.target, &target, background.get());
    base::Brush highlight(CreateSolidBrush(GetSysColor(COLOR_BTNHIGHLIGHT)));
    base::Brush shadow(CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW)));
    {
        fw::SelectGuard brush(g.target, highlight.get());
        BitBlt(g.target, g.x + 1, g.y + 1, w, h, monoDc.get(), 0, 0, kRopMono);
    }
    fw::SelectGuard brush(g.target, shadow.get());
    BitBlt(g.target, g.x, g.y, w, h, monoDc.get(), 0, 0, kRopMono);
}

} // namespace GlyphEffects
