// Measuring and painting of GlyphMenu's items: the flat and the classic look.
#include "widgets/menu/GlyphMenu.h"

#include "framework/Application.h"
#include "framework/ClientDC.h"
#include "base/GdiObject.h"
#include "framework/SelectGuard.h"
#include "widgets/menu/GlyphEffects.h"
#include "framework/OffScreenDC.h"
#include "widgets/menu/MenuLook.h"
#include "widgets/menu/SharedGlyphs.h"
#include "widgets/paint/SolidPaint.h"

#include <algorithm>
#include <optional>

using GlyphEffects::LightenColour;
using paint::Draw3dFrame;
using paint::FillSolid;
using paint::FrameSolid;

namespace {
base::Font MenuFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        return base::Font(static_cast<HFONT>(nullptr));
    }
    return base::Font(CreateFontIndirectW(&metrics.lfMenuFont));
}

struct SplitText {
    std::wstring label;
    std::wstring accelerator;
    bool hasAccelerator = false;
};

SplitText Split(const std::wstring& text) {
    SplitText split;
    const size_t first = text.find(L'\t');
    if (first == std::wstring::npos) {
        split.label = text;
        return split;
    }
    split.label = text.substr(0, first);
    split.accelerator = text.substr(text.rfind(L'\t') + 1);
    split.hasAccelerator = true;
    return split;
}

int TextWidth(HDC dc, const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

int Height(const RECT& r) {
    return r.bottom - r.top;
}

const GlyphMenuData* RecordOf(const DRAWITEMSTRUCT& item) {
    return reinterpret_cast<const GlyphMenuData*>(item.itemData);
}

bool IsSeparator(const GlyphMenuData* record) {
    return record && (record->itemFlags & MF_SEPARATOR);
}
} // namespace

struct GlyphMenu::GlyphSource {
    int index = -1;
    HIMAGELIST list = nullptr;
    int own = -1;
    int faded = 1;
    int shadow = 2;
    bool variants = false;
};

// One item's drawing request as the renderers' steps read it.
struct GlyphMenu::ItemPaint {
    const DRAWITEMSTRUCT& item;
    const GlyphMenuData* record;
    HDC dc; // the request's context, or an off-screen copy of the item
    UINT state;
    GlyphSource source;
    GlyphKind kind;

    const RECT& rect() const { return item.rcItem; }
    bool selected() const { return state & ODS_SELECTED; }
    bool checked() const { return state & ODS_CHECKED; }
    bool grayed() const { return state & ODS_GRAYED; }
    void DrawImage(int index, int x, int y) const {
        if (source.list) {
            ImageList_Draw(source.list, index, dc, x, y, ILD_TRANSPARENT);
        }
    }
};

struct GlyphMenu::FlatLook {
    bool themed;
    int pad;
    int gutterWidth;
    COLORREF face;   // the glyph column
    COLORREF window; // the item area
    COLORREF highlight;
    COLORREF selectionFill;
};

struct GlyphMenu::ClassicLook {
    bool framed; // glyph boxes get 3-D frames
    COLORREF bg;
};

void GlyphMenu::MeasureItem(MEASUREITEMSTRUCT& item) {
    const auto* record = reinterpret_cast<const GlyphMenuData*>(item.itemData);
    const bool flat = MenuLook::Flat();
    const int pad = flat && MenuLook::settings().glyphEffects ? 7 : 4;
    const int menuBar = GetSystemMetrics(SM_CYMENU);
    if (IsSeparator(record)) {
        item.itemWidth = 0;
        item.itemHeight = static_cast<UINT>(std::max(menuBar / 2, (pad + m_glyphHeight) / 2));
        return;
    }
    const std::wstring text = record ? record->text : std::wstring();
    const int versionClass = MenuLook::WindowsVersionClass();
    int width = 0;
    {
        base::Font font = MenuFont();
        fw::ClientDC dc(fw::Application::MainWindowHandle());
        fw::SelectGuard select(dc.get(), versionClass > MenuLook::kNtOther ? font.get() : nullptr);
        if (versionClass != MenuLook::kHostedLayer) {
            width = TextWidth(dc.get(), text);
        } else {
            RECT calc{0, 0, 0, 0};
            DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &calc,
                      DT_SINGLELINE | DT_VCENTER | DT_CALCRECT);
            width = calc.right - calc.left + 3;
            width += text.empty() ? 0 : 3 * (width / static_cast<int>(text.size()));
        }
    }
    item.itemWidth =
        static_cast<UINT>(flat ? width + m_glyphWidth + pad + 8 : width + 2 * m_glyphWidth + 1);
    item.itemHeight = static_cast<UINT>(std::max(menuBar, m_glyphHeight + pad));
}

bool GlyphMenu::DrawsFlat(int rasterCaps) {
    return !(rasterCaps & RC_PALETTE) && MenuLook::Flat();
}

void GlyphMenu::DrawItem(const DRAWITEMSTRUCT& item) {
    if (DrawsFlat(GetDeviceCaps(item.hDC, RASTERCAPS))) {
        DrawFlatItem(item);
    } else {
        DrawClassicItem(item);
    }
}

GlyphMenu::GlyphSource GlyphMenu::SourceOf(const GlyphMenuData* record, bool flat) const {
    GlyphSource source;
    if (!record) {
        return source;
    }
    const bool effects = flat && MenuLook::settings().glyphEffects;
    source.index = record->imageIndex;
    source.list = record->imageList.get();
    source.own = record->ownGlyph;
    if (effects && source.index == 0 && source.list && ImageList_GetImageCount(source.list) > 2) {
        source.variants = true;
    }
    const bool useShared = flat ? source.own < 0 && source.index < 0 : source.own < 0;
    const int shared = record->sharedGlyphIndex;
    if (useShared && shared >= 0) {
        source.index = shared;
        source.own = 0;
        source.list = SharedGlyphs::Instance().list();
        source.variants = effects && HasGlyphVariants(shared);
        source.faded = shared + 1;
        source.shadow = shared + 2;
    }
    return source;
}

GlyphMenu::GlyphKind GlyphMenu::KindOf(const GlyphSource& source, UINT state) const {
    const bool selected = state & ODS_SELECTED;
    const bool grayed = state & ODS_GRAYED;
    if ((state & ODS_CHECKED) && source.own < 0 &&
        ((selected && m_checkImageIdSelected > 0) || m_checkImageId > 0)) {
        return GlyphKind::CheckImages;
    }
    if (source.own == -1) {
        return GlyphKind::None;
    }
    if (grayed) {
        return GlyphKind::Disabled;
    }
    return selected ? GlyphKind::Selected : GlyphKind::Plain;
}

void GlyphMenu::DrawDisabled(HDC dc, const GlyphSource& source, int x, int y,
                             COLORREF background) const {
    if (!source.list) {
        return;
    }
    base::Bitmap glyph = RenderGlyphBitmap(dc, source.list, source.index);
    if (!glyph) {
        return;
    }
    const GlyphEffects::DisabledGlyph request{dc,          x, y, m_glyphWidth, m_glyphHeight,
                                              glyph.get(), 0, 0, background};
    if (m_monoDisabledGlyphs) {
        GlyphEffects::DrawDisabledGlyphMono(request);
    } else {
        GlyphEffects::DrawDisabledGlyphEmboss(request);
    }
}

// Whether the item carries a checked-state bitmap of its own.
bool GlyphMenu::HasCheckBitmap(const DRAWITEMSTRUCT& item) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_CHECKMARKS;
    return GetMenuItemInfoW(reinterpret_cast<HMENU>(item.hwndItem), item.itemID, FALSE, &info) &&
           info.hbmpChecked;
}

GlyphMenu::FlatLook GlyphMenu::MakeFlatLook() const {
    FlatLook look{};
    look.themed = MenuLook::Themed();
    look.pad = MenuLook::settings().glyphEffects ? 7 : 4;
    look.gutterWidth = look.pad + m_glyphWidth;
    look.face = GetSysColor(COLOR_BTNFACE);
    if (!look.themed) {
        look.face = LightenColour(look.face, 0.25);
    }
    look.window = GetSysColor(COLOR_WINDOW);
    look.highlight = GetSysColor(COLOR_HIGHLIGHT);
    look.selectionFill = LightenColour(look.highlight, look.themed ? 0.7 : 0.85);
    return look;
}

void GlyphMenu::DrawFlatItem(const DRAWITEMSTRUCT& item) {
    const FlatLook look = MakeFlatLook();
    UINT state = item.itemState;
    HDC dc = item.hDC;
    // A disabled item is painted off-screen in one piece, so that no selection flickers.
    std::optional<fw::OffScreenDC> offScreen;
    base::Font font;
    std::optional<fw::SelectGuard> selectFont;
    if ((state & ODS_GRAYED) && !MenuLook::settings().selectDisabledFlat) {
        state &= ~UINT{ODS_SELECTED};
        offScreen.emplace(item.hDC, item.rcItem);
        dc = offScreen->get();
        font = MenuFont();
        selectFont.emplace(dc, font.get());
    }
    const GlyphMenuData* record = RecordOf(item);
    if (IsSeparator(record)) {
        DrawFlatSeparator(dc, item.rcItem, look);
        return;
    }
    const GlyphSource source = SourceOf(record, true);
    const ItemPaint paint{item, record, dc, state, source, KindOf(source, state)};
    DrawFlatBackground(dc, item.rcItem, paint.selected(), look);
    DrawFlatGlyph(paint, look);
    DrawFlatText(paint, look);
}

void GlyphMenu::DrawFlatSeparator(HDC dc, const RECT& r, const FlatLook& look) const {
    const RECT gutter{r.left, r.top, r.left + look.gutterWidth, r.bottom};
    FillSolid(dc, r, look.window);
    RECT line = r;
    line.top += Height(r) / 2;
    line.left = gutter.right + look.pad;
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    FillSolid(dc, gutter, look.face);
    FrameSolid(dc, gutter, look.face);
}

void GlyphMenu::DrawFlatBackground(HDC dc, const RECT& r, bool selected,
                                   const FlatLook& look) const {
    if (selected) {
        FillSolid(dc, r, look.selectionFill);
        FrameSolid(dc, r, look.highlight);
        return;
    }
    const RECT gutter{r.left, r.top, r.left + look.gutterWidth, r.bottom};
    FillSolid(dc, r, look.window);
    FillSolid(dc, gutter, look.face);
    FrameSolid(dc, r, look.window);
    FrameSolid(dc, gutter, look.face);
}

void GlyphMenu::DrawFlatGlyph(const ItemPaint& paint, const FlatLook& look) const {
    const RECT& r = paint.rect();
    HDC dc = paint.dc;
    const GlyphSource& source = paint.source;
    const int x = r.left + std::max(0, (look.pad + 1) / 2);
    const int y = r.top + std::max(0, (Height(r) - m_glyphHeight + 1) / 2);
    const RECT box{r.left + 1, r.top + 1, r.left + look.gutterWidth - 1, r.bottom - 1};
    switch (paint.kind) {
    case GlyphKind::CheckImages:
        if (HIMAGELIST images = checkImages()) {
            FillSolid(dc, box, look.face);
            ImageList_Draw(images, paint.selected() ? 1 : 0, dc, x, y, ILD_TRANSPARENT);
        }
        break;
    case GlyphKind::Disabled:
        DrawDisabled(dc, source, x, y, paint.selected() ? look.selectionFill : look.face);
        if (paint.selected()) {
            FrameSolid(dc, r, look.highlight);
        }
        break;
    case GlyphKind::Selected:
        FillSolid(dc, box, look.selectionFill);
        if (paint.checked()) {
            FrameSolid(dc, box, look.highlight);
            paint.DrawImage(source.index, x - 1, y - 1);
        } else if (source.variants) {
            paint.DrawImage(source.shadow, x + 1, y + 1);
            paint.DrawImage(source.index, x - 1, y - 1);
        } else {
            paint.DrawImage(source.index, x, y);
        }
        break;
    case GlyphKind::Plain:
        if (paint.checked()) {
            FillSolid(dc, box, LightenColour(look.highlight, 0.85));
            FrameSolid(dc, box, look.highlight);
            paint.DrawImage(source.index, x - 1, y - 1);
        } else {
            FillSolid(dc, box, look.face);
            FrameSolid(dc, box, look.face);
            paint.DrawImage(source.variants ? source.faded : source.index, x, y);
        }
        break;
    case GlyphKind::None:
        if (paint.checked()) {
            const int left = r.left + std::max(0, (look.gutterWidth - 16 + 1) / 2);
            const int top = r.top + std::max(0, (Height(r) - 16 + 1) / 2);
            DrawFlatCheck(dc, {left, top, left + 16, top + 16}, HasCheckBitmap(paint.item),
                          look.highlight);
        }
        break;
    }
}

void GlyphMenu::DrawFlatText(const ItemPaint& paint, const FlatLook& look) const {
    RECT text = paint.rect();
    text.left += look.gutterWidth + 8;
    COLORREF colour = GetSysColor(COLOR_MENUTEXT);
    if (paint.grayed()) {
        colour = GetSysColor(COLOR_GRAYTEXT);
        if (!look.themed && !paint.selected()) {
            colour = LightenColour(colour, 0.4);
        }
    }
    const COLORREF oldColour = SetTextColor(paint.dc, colour);
    DrawItemText(paint.dc, paint.record, text, std::nullopt);
    SetTextColor(paint.dc, oldColour);
}

// Label left-aligned and accelerator right-aligned in the text rectangle; the caller has set
// the colour. With embossed, a highlight copy goes one pixel down-right first.
void GlyphMenu::DrawItemText(HDC dc, const GlyphMenuData* record, RECT rect,
                             std::optional<COLORREF> embossed) const {
    if (!record || record->text.empty()) {
        return;
    }
    RECT box{rect.left, rect.top - 1, rect.right, rect.bottom - 1};
    const SplitText split = Split(record->text);
    if (split.hasAccelerator) {
        box.right -= m_glyphWidth;
    }
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    auto drawBoth = [&](RECT at) {
        DrawTextW(dc, split.label.c_str(), static_cast<int>(split.label.size()), &at,
                  DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        if (split.hasAccelerator) {
            DrawTextW(dc, split.accelerator.c_str(), static_cast<int>(split.accelerator.size()),
                      &at, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
        }
    };
    if (embossed) {
        const COLORREF old = SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        RECT moved = box;
        OffsetRect(&moved, 1, 1);
        drawBoth(moved);
        SetTextColor(dc, *embossed);
        drawBoth(box);
        SetTextColor(dc, old);
    } else {
        drawBoth(box);
    }
    SetBkMode(dc, oldMode);
}

GlyphMenu::ClassicLook GlyphMenu::MakeClassicLook() const {
    ClassicLook look{};
    look.framed = MenuLook::WindowsVersionClass() > MenuLook::kNtOther;
    look.bg = GetSysColor(MenuLook::Themed() ? COLOR_BTNFACE : COLOR_MENU);
    return look;
}

void GlyphMenu::DrawClassicItem(const DRAWITEMSTRUCT& item) {
    const ClassicLook look = MakeClassicLook();
    UINT state = item.itemState;
    if ((state & ODS_GRAYED) && !MenuLook::settings().selectDisabledClassic) {
        state &= ~UINT{ODS_SELECTED};
    }
    const GlyphMenuData* record = RecordOf(item);
    if (IsSeparator(record)) {
        FillSolid(item.hDC, item.rcItem, look.bg);
        RECT line = item.rcItem;
        line.top += Height(line) / 2;
        DrawEdge(item.hDC, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    const GlyphSource source = SourceOf(record, false);
    const ItemPaint paint{item, record, item.hDC, state, source, KindOf(source, state)};
    const COLORREF textColour = DrawClassicBackground(paint, look);
    DrawClassicGlyph(paint, look);
    DrawClassicText(paint, look, textColour);
}

// Returns the text colour the selection calls for.
COLORREF GlyphMenu::DrawClassicBackground(const ItemPaint& paint, const ClassicLook& look) const {
    const RECT& r = paint.rect();
    if (!paint.selected()) {
        FillSolid(paint.dc, r, look.bg);
        FrameSolid(paint.dc, r, look.bg);
        return GetSysColor(COLOR_MENUTEXT);
    }
    RECT fill = r;
    if (paint.kind != GlyphKind::None || paint.checked()) {
        fill.left = r.left + m_glyphWidth + 5;
    }
    FillSolid(paint.dc, fill, GetSysColor(COLOR_HIGHLIGHT));
    return GetSysColor(COLOR_HIGHLIGHTTEXT);
}

void GlyphMenu::DrawClassicGlyph(const ItemPaint& paint, const ClassicLook& look) const {
    const RECT& r = paint.rect();
    HDC dc = paint.dc;
    const COLORREF btnHighlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF btnShadow = GetSysColor(COLOR_BTNSHADOW);
    const int dy = std::max(0, (Height(r) - m_glyphHeight - 4) / 2);
    const int x = r.left + 2, y = r.top + dy + 2;
    const RECT glyphRect{r.left + 1, r.top + dy + 1, r.left + m_glyphWidth + 3,
                         r.top + dy + m_glyphHeight + 3};
    const RECT box{r.left, r.top + dy, r.left + m_glyphWidth + 4, r.top + dy + m_glyphHeight + 4};
    if (paint.kind != GlyphKind::None) {
        FrameSolid(dc, glyphRect, look.bg);
    }
    switch (paint.kind) {
    case GlyphKind::CheckImages:
        if (HIMAGELIST images = checkImages()) {
            FillSolid(dc, glyphRect, look.bg);
            FrameSolid(dc, box, look.bg);
            ImageList_Draw(images, paint.selected() ? 1 : 0, dc, x, y, ILD_TRANSPARENT);
        }
        break;
    case GlyphKind::Selected:
        FillSolid(dc, glyphRect, look.bg);
        if (look.framed) {
            Draw3dFrame(dc, box, paint.checked() ? btnShadow : btnHighlight,
                        paint.checked() ? btnHighlight : btnShadow);
        }
        paint.DrawImage(paint.source.index, x, y);
        break;
    case GlyphKind::Plain:
        if (paint.checked()) {
            FillSolid(dc, glyphRect, LightenColour(look.bg, 0.6));
            if (look.framed) {
                Draw3dFrame(dc, box, btnShadow, btnHighlight);
            }
        } else {
            FillSolid(dc, glyphRect, look.bg);
            FrameSolid(dc, box, look.bg);
        }
        paint.DrawImage(paint.source.index, x, y);
        break;
    case GlyphKind::Disabled:
        FrameSolid(dc, box, look.bg);
        DrawDisabled(dc, paint.source, x, y, look.bg);
        break;
    case GlyphKind::None:
        if (paint.checked()) {
            DrawClassicCheck(
                dc, {r.left + 1, y, r.left + m_glyphWidth + 1, r.top + dy + m_glyphHeight + 2},
                paint.selected(), HasCheckBitmap(paint.item));
        }
        break;
    }
}

void GlyphMenu::DrawClassicText(const ItemPaint& paint, const ClassicLook& look,
                                COLORREF colour) const {
    RECT text = paint.rect();
    text.left += m_glyphWidth + 9;
    std::optional<COLORREF> embossed;
    if (paint.grayed() && paint.selected()) {
        colour = look.bg;
    } else if (paint.grayed()) {
        colour = GetSysColor(COLOR_BTNHIGHLIGHT);
        embossed = GetSysColor(COLOR_GRAYTEXT);
    }
    const COLORREF oldColour = SetTextColor(paint.dc, colour);
    DrawItemText(paint.dc, paint.record, text, embossed);
    SetTextColor(paint.dc, oldColour);
}

void GlyphMenu::DrawClassicCheck(HDC dc, const RECT& rect, bool selected, bool hasBitmap) {
    COLORREF colour = GetSysColor(MenuLook::Themed() ? COLOR_BTNFACE : COLOR_MENU);
    if (!selected) {
        colour = LightenColour(colour, 0.6);
    }
    FillSolid(dc, rect, colour);
    if (MenuLook::WindowsVersionClass() > MenuLook::kNtOther) {
        RECT edge = rect;
        DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
    }
    const COLORREF ink = GetSysColor(COLOR_MENUTEXT);
    if (hasBitmap) {
        DrawCheckDot(dc, rect.left + 5, rect.top + 4, ink);
    } else {
        DrawCheckTick(dc, rect.left + 4, rect.top + 4, ink);
    }
}

void GlyphMenu::DrawFlatCheck(HDC dc, const RECT& box, bool hasBitmap, COLORREF highlight) {
    FillSolid(dc, box, LightenColour(highlight, 0.85));
    FrameSolid(dc, box, highlight);
    const COLORREF ink = GetSysColor(COLOR_MENUTEXT);
    if (hasBitmap) {
        DrawCheckDot(dc, box.left + 5, box.top + 4, ink);
    } else {
        DrawCheckTick(dc, box.left + 5, box.top + 4, ink);
    }
}

void GlyphMenu::DrawCheckDot(HDC dc, int x, int y, COLORREF colour) {
    base::Pen pen(CreatePen(PS_SOLID, 0, colour));
    base::Brush brush(CreateSolidBrush(colour));
    fw::SelectGuard selectPen(dc, pen.get());
    fw::SelectGuard selectBrush(dc, brush.get());
    Ellipse(dc, x, y, x + 6, y + 6);
}

void GlyphMenu::DrawCheckTick(HDC dc, int x, int y, COLORREF colour) {
    static const int kStart[7] = {2, 3, 4, 3, 2, 1, 0};
    base::Pen pen(CreatePen(PS_SOLID, 0, colour));
    fw::SelectGuard selectPen(dc, pen.get());
    for (int i = 0; i < 7; ++i) {
        MoveToEx(dc, x + i, y + kStart[i], nullptr);
        LineTo(dc, x + i, y + kStart[i] + 3);
    }
}

void GlyphMenu::AlignAccelerators() {
    base::Font font = MenuFont();
    fw::ClientDC dc(fw::Application::MainWindowHandle());
    fw::SelectGuard select(dc.get(), font.get());
    int widest = 0;
    for (const auto& record : m_records) {
        const std::wstring label = record->text.substr(0, record->text.find(L'\t'));
        widest = std::max(widest, TextWidth(dc.get(), label + L" "));
    }
    for (auto& record : m_records) {
        const size_t tab = record->text.find(L'\t');
        if (tab == std::wstring::npos) {
            continue;
        }
        std::wstring label = record->text.substr(0, tab);
        // The bound only guards against a font whose space has no width.
        for (int guard = 0; guard < 512 && TextWidth(dc.get(), label) < widest; ++guard) {
            label += L' ';
        }
        record->text = label + record->text.substr(tab);
    }
}
