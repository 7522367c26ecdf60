// Measuring and painting of glyph menu items in memory contexts, in the flat look (the themed
// desktop) and in the classic look (an older desktop).
#include "tests/widgets/GlyphMenuProbe.h"
#include "MenuTestIds.h"
#include "TestSupport.h"
#include "framework/ClientDC.h"
#include "framework/SelectGuard.h"
#include "widgets/menu/GlyphEffects.h"
#include "widgets/menu/GlyphMenu.h"
#include "widgets/menu/MenuLook.h"
#include "widgets/menu/SharedGlyphs.h"

using GlyphEffects::LightenColour;

namespace {
class LookOverride {
public:
    LookOverride(int versionClass, int classic) { MenuLook::Override(versionClass, classic); }
    ~LookOverride() { MenuLook::Override(-1, -1); }
};

int MenuTextWidth(const wchar_t* text) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    base::Font font(CreateFontIndirectW(&metrics.lfMenuFont));
    fw::ClientDC dc(nullptr);
    fw::SelectGuard select(dc.get(), font.get());
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), text, lstrlenW(text), &size);
    return size.cx;
}

COLORREF Sys(int index) {
    return GetSysColor(index);
}

// A popup glyph menu whose items are drawn one at a time into a canvas.
class MenuDrawing {
public:
    MenuDrawing() { menu.Attach(CreatePopupMenu()); }
    int Add(const wchar_t* text, UINT_PTR id, INT_PTR glyph = -1) {
        menu.AppendGlyphItem(text, 0, id, glyph);
        return static_cast<int>(GlyphMenuProbe(menu).records().size()) - 1;
    }
    SIZE Measure(int position) {
        MEASUREITEMSTRUCT item{};
        item.CtlType = ODT_MENU;
        item.itemID = static_cast<UINT>(GlyphMenuProbe(menu).records()[position]->commandId);
        item.itemData = reinterpret_cast<ULONG_PTR>(GlyphMenuProbe(menu).records()[position].get());
        menu.MeasureItem(item);
        return {static_cast<LONG>(item.itemWidth), static_cast<LONG>(item.itemHeight)};
    }
    void Draw(const Canvas& canvas, int position, UINT state, RECT rect) {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_MENU;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hwndItem = reinterpret_cast<HWND>(menu.get());
        item.hDC = canvas.dc();
        item.rcItem = rect;
        if (position >= 0) {
            item.itemID = static_cast<UINT>(GlyphMenuProbe(menu).records()[position]->commandId);
            item.itemData =
                reinterpret_cast<ULONG_PTR>(GlyphMenuProbe(menu).records()[position].get());
        }
        menu.DrawItem(item);
    }
    GlyphMenu menu;
};

// Pixels of the text area that are neither of the two background colours.
int InkPixels(const Canvas& canvas, RECT area, COLORREF a, COLORREF b) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const COLORREF c = canvas.at(x, y);
            count += c != a && c != b;
        }
    }
    return count;
}

int PixelsOf(const Canvas& canvas, RECT area, COLORREF colour) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            count += canvas.at(x, y) == colour;
        }
    }
    return count;
}

// Two images of one colour, as check images.
HIMAGELIST SolidImages(COLORREF colour) {
    HIMAGELIST list = ImageList_Create(16, 15, ILC_COLOR32 | ILC_MASK, 2, 1);
    base::OwnedIcon icon(SolidIcon(16, colour));
    ImageList_ReplaceIcon(list, -1, icon.get());
    ImageList_ReplaceIcon(list, -1, icon.get());
    return list;
}

const RECT kFlatItem{0, 0, 200, 22};
const RECT kClassicItem{0, 0, 200, 19};
const COLORREF kPaper = RGB(250, 0, 250);
} // namespace

TEST(GlyphMenuMeasure, ItemsAreTextWidthPlusTheGlyphColumnInBothLooks) {
    const int menuBar = GetSystemMetrics(SM_CYMENU);
    const int textWidth = MenuTextWidth(L"&Open\tCtrl+O");
    {
        LookOverride flat(MenuLook::kNt51, 0);
        MenuDrawing drawing;
        const SIZE item = drawing.Measure(drawing.Add(L"&Open\tCtrl+O", 1));
        EXPECT_EQ(item.cx, textWidth + 31);
        EXPECT_EQ(item.cy, std::max(menuBar, 22));
        const SIZE separator = drawing.Measure(drawing.Add(nullptr, 0));
        EXPECT_EQ(separator.cx, 0);
        EXPECT_EQ(separator.cy, std::max(menuBar / 2, 11));
    }
    {
        LookOverride classic(MenuLook::kNt50, 0);
        MenuDrawing drawing;
        const SIZE item = drawing.Measure(drawing.Add(L"&Open\tCtrl+O", 1));
        EXPECT_EQ(item.cx, textWidth + 33);
        EXPECT_EQ(item.cy, std::max(menuBar, 19));
        const SIZE separator = drawing.Measure(drawing.Add(nullptr, 0));
        EXPECT_EQ(separator.cx, 0);
        EXPECT_EQ(separator.cy, std::max(menuBar / 2, 9));
    }
}

TEST(GlyphMenuDraw, FlatSeparatorHasTheGutterAndAnEtchedLineAfterIt) {
    LookOverride flat(MenuLook::kNt51, 0);
    MenuDrawing drawing;
    const int separator = drawing.Add(nullptr, 0);
    Canvas canvas(200, 10, kPaper);
    drawing.Draw(canvas, separator, 0, {0, 0, 200, 10});
    EXPECT_PIXELS(canvas, {
                              {5, 2, Sys(COLOR_BTNFACE), "gutter"},
                              {22, 8, Sys(COLOR_BTNFACE), "gutter's right column"},
                              {23, 2, Sys(COLOR_WINDOW), "item area"},
                              {29, 5, Sys(COLOR_WINDOW), "before the line"},
                              {30, 5, Sys(COLOR_BTNSHADOW), "line, upper row"},
                              {150, 6, Sys(COLOR_BTNHIGHLIGHT), "line, lower row"},
                          });
}

TEST(GlyphMenuDraw, ClassicSeparatorIsAnEtchedLineAcrossTheMenuColour) {
    LookOverride classic(MenuLook::kNt50, 0);
    MenuDrawing drawing;
    const int separator = drawing.Add(nullptr, 0);
    Canvas canvas(200, 10, kPaper);
    drawing.Draw(canvas, separator, 0, {0, 0, 200, 10});
    EXPECT_PIXELS(canvas, {
                              {5, 2, Sys(COLOR_MENU), "above the line"},
                              {0, 5, Sys(COLOR_BTNSHADOW), "line starts at the left"},
                              {0, 6, Sys(COLOR_BTNHIGHLIGHT), "line, lower row"},
                          });
}

TEST(GlyphMenuDraw, FlatSelectionIsATintedBoxButNeverForADisabledItem) {
    LookOverride flat(MenuLook::kNt51, 0);
    MenuDrawing drawing;
    const int open = drawing.Add(L"&Open", 1);
    const COLORREF fill = LightenColour(Sys(COLOR_HIGHLIGHT), 0.7);
    const RECT text{31, 0, 200, 22};
    {
        Canvas canvas(200, 22, kPaper);
        drawing.Draw(canvas, open, ODS_SELECTED, kFlatItem);
        EXPECT_PIXELS(canvas, {
                                  {0, 0, Sys(COLOR_HIGHLIGHT), "frame"},
                                  {199, 21, Sys(COLOR_HIGHLIGHT), "frame"},
                                  {5, 10, fill, "gutter is selected too"},
                                  {150, 10, fill, "fill"},
                              });
        EXPECT_GT(InkPixels(canvas, text, fill, Sys(COLOR_HIGHLIGHT)), 10);
    }
    {
        Canvas canvas(200, 22, kPaper);
        drawing.Draw(canvas, open, ODS_SELECTED | ODS_GRAYED, kFlatItem);
        EXPECT_PIXELS(canvas, {
                                  {1, 10, Sys(COLOR_BTNFACE), "gutter"},
                                  {150, 10, Sys(COLOR_WINDOW), "item area"},
                                  {0, 0, Sys(COLOR_BTNFACE), "gutter frame"},
                                  {199, 21, Sys(COLOR_WINDOW), "item frame"},
                              });
        EXPECT_EQ(PixelsOf(canvas, {0, 0, 200, 22}, fill), 0);
        EXPECT_GT(InkPixels(canvas, text, Sys(COLOR_WINDOW), Sys(COLOR_BTNFACE)), 10)
            << "the off-screen copy reached the canvas with its text";
    }
}

TEST(GlyphMenuDraw, ClassicSelectionStaysOnADisabledItemWhoseTextTakesTheBackground) {
    LookOverride classic(MenuLook::kNt50, 0);
    MenuDrawing drawing;
    const int open = drawing.Add(L"&Open", 1);
    const RECT text{25, 0, 200, 19};
    Canvas canvas(200, 19, kPaper);
    drawing.Draw(canvas, open, ODS_SELECTED | ODS_GRAYED, kClassicItem);
    EXPECT_PIXELS(canvas, {
                              {0, 10, Sys(COLOR_HIGHLIGHT), "whole item selected (no glyph)"},
                              {199, 10, Sys(COLOR_HIGHLIGHT), "right end"},
                          });
    EXPECT_GT(PixelsOf(canvas, text, Sys(COLOR_MENU)), 5) << "text in the background colour";

    Canvas resting(200, 19, kPaper);
    drawing.Draw(resting, open, ODS_GRAYED, kClassicItem);
    EXPECT_GT(PixelsOf(resting, text, Sys(COLOR_GRAYTEXT)), 5) << "embossed text";
    EXPECT_GT(PixelsOf(resting, text, Sys(COLOR_BTNHIGHLIGHT)), 5) << "its highlight copy";
}

TEST(GlyphMenuDraw, TickAndDotAreDrawnAtTheirExactPixels) {
    const COLORREF ink = RGB(0, 0, 0), paper = RGB(255, 255, 255);
    Canvas tick(30, 30, paper);
    GlyphMenuProbe::DrawCheckTick(tick.dc(), 10, 10, ink);
    const int start[7] = {2, 3, 4, 3, 2, 1, 0};
    for (int i = 0; i < 7; ++i) {
        for (int dy = -1; dy <= 3; ++dy) {
            const bool inked = dy >= 0 && dy < 3;
            EXPECT_EQ(tick.at(10 + i, 10 + start[i] + dy), inked ? ink : paper)
                << "column " << i << " row " << start[i] + dy;
        }
    }
    EXPECT_EQ(tick.at(9, 12), paper);
    EXPECT_EQ(tick.at(17, 10), paper);

    Canvas dot(30, 30, paper);
    GlyphMenuProbe::DrawCheckDot(dot.dc(), 10, 10, ink);
    const RECT box = dot.BoxOf(ink);
    EXPECT_GE(box.left, 10);
    EXPECT_GE(box.top, 10);
    EXPECT_LE(box.right, 16);
    EXPECT_LE(box.bottom, 16);
    EXPECT_EQ(dot.at(12, 12), ink);
    EXPECT_EQ(dot.at(13, 13), ink);
    EXPECT_EQ(dot.at(10, 10), paper) << "round, not square";
}

TEST(GlyphMenuDraw, ACheckedItemWithoutGlyphShowsATickOrItsOwnBitmapsDot) {
    const COLORREF ink = Sys(COLOR_MENUTEXT);
    {
        LookOverride flat(MenuLook::kNt51, 0);
        MenuDrawing drawing;
        const int item = drawing.Add(L"Check", 5);
        Canvas canvas(200, 22, kPaper);
        drawing.Draw(canvas, item, ODS_CHECKED, kFlatItem);
        // Box (4, 3) to (20, 19); the tick starts at (9, 7).
        EXPECT_PIXELS(canvas, {
                                  {4, 3, Sys(COLOR_HIGHLIGHT), "box frame"},
                                  {19, 18, Sys(COLOR_HIGHLIGHT), "box frame"},
                                  {6, 5, LightenColour(Sys(COLOR_HIGHLIGHT), 0.85), "box"},
                                  {9, 9, ink, "tick, first column"},
                                  {11, 13, ink, "tick, lowest point"},
                                  {15, 7, ink, "tick, last column"},
                                  {9, 8, LightenColour(Sys(COLOR_HIGHLIGHT), 0.85), "above"},
                              });
        base::Bitmap mark(CreateBitmap(13, 13, 1, 1, nullptr));
        SetMenuItemBitmaps(drawing.menu.get(), 5, MF_BYCOMMAND, nullptr, mark.get());
        Canvas dotted(200, 22, kPaper);
        drawing.Draw(dotted, item, ODS_CHECKED, kFlatItem);
        EXPECT_EQ(dotted.at(12, 10), ink) << "dot";
        EXPECT_EQ(dotted.at(15, 7), LightenColour(Sys(COLOR_HIGHLIGHT), 0.85)) << "no tick";
    }
    {
        LookOverride classic(MenuLook::kNt50, 0);
        MenuDrawing drawing;
        const int item = drawing.Add(L"Check", 6);
        Canvas canvas(200, 19, kPaper);
        drawing.Draw(canvas, item, ODS_CHECKED, kClassicItem);
        // Rectangle (1, 2) to (17, 17), sunken; the tick starts at (5, 6).
        EXPECT_PIXELS(canvas, {
                                  {1, 2, Sys(COLOR_BTNSHADOW), "sunken edge"},
                                  {16, 16, Sys(COLOR_BTNHIGHLIGHT), "sunken edge"},
                                  {3, 4, LightenColour(Sys(COLOR_MENU), 0.6), "lightened"},
                                  {5, 8, ink, "tick, first column"},
                                  {7, 12, ink, "tick, lowest point"},
                                  {11, 6, ink, "tick, last column"},
                              });
    }
}

TEST(GlyphMenuDraw, AHoveredGlyphLiftsAboveItsShadowAndRestsFaded) {
    LookOverride flat(MenuLook::kNt51, 0);
    MenuDrawing drawing;
    const int item = drawing.Add(L"Red", ID_RED, IDB_TEST_GLYPHS);
    ASSERT_TRUE(SharedGlyphs::Instance().HasVariants(
        GlyphMenuProbe(drawing.menu).records()[item]->sharedGlyphIndex));
    const COLORREF red = RGB(255, 0, 0);
    const COLORREF shadow = Sys(COLOR_BTNSHADOW);
    const COLORREF fill = LightenColour(Sys(COLOR_HIGHLIGHT), 0.7);
    // The glyph rests at (4, 4); its red block covers (2, 2) to (14, 13) of the glyph.
    Canvas hovered(200, 22, kPaper);
    drawing.Draw(hovered, item, ODS_SELECTED, kFlatItem);
    EXPECT_PIXELS(hovered, {
                               {5, 5, red, "glyph up-left: first pixel"},
                               {16, 15, red, "glyph up-left: last pixel"},
                               {17, 16, shadow, "shadow down-right"},
                               {18, 17, shadow, "shadow's last pixel"},
                               {6, 16, fill, "left of the shadow"},
                               {4, 4, fill, "before the glyph"},
                           });
    Canvas resting(200, 22, kPaper);
    drawing.Draw(resting, item, 0, kFlatItem);
    EXPECT_PIXELS(resting, {
                               {6, 6, LightenColour(red, 0.3), "faded glyph"},
                               {17, 16, LightenColour(red, 0.3), "faded glyph's last pixel"},
                               {5, 5, Sys(COLOR_BTNFACE), "gutter"},
                               {18, 17, Sys(COLOR_BTNFACE), "no shadow"},
                           });
}

TEST(GlyphMenuDraw, ClassicSelectedGlyphIsRaisedBesideTheHighlight) {
    LookOverride classic(MenuLook::kNt50, 0);
    MenuDrawing drawing;
    const int item = drawing.Add(L"Blue", ID_BLUE, IDB_TEST_GLYPHS);
    Canvas canvas(200, 19, kPaper);
    drawing.Draw(canvas, item, ODS_SELECTED, kClassicItem);
    // Blue block (4, 3) to (12, 12) of the glyph, drawn at (2, 2).
    EXPECT_PIXELS(canvas, {
                              {0, 0, Sys(COLOR_BTNHIGHLIGHT), "raised frame, top-left"},
                              {19, 18, Sys(COLOR_BTNSHADOW), "raised frame, bottom-right"},
                              {6, 5, RGB(0, 0, 255), "glyph"},
                              {13, 13, RGB(0, 0, 255), "glyph's last pixel"},
                              {20, 10, kPaper, "the column before the highlight is left as it was"},
                              {21, 10, Sys(COLOR_HIGHLIGHT), "highlight"},
                          });
}

TEST(GlyphMenuDraw, APaletteDeviceGetsTheClassicLook) {
    {
        LookOverride flat(MenuLook::kNt51, 0);
        EXPECT_TRUE(GlyphMenuProbe::DrawsFlat(RC_BITBLT));
        EXPECT_FALSE(GlyphMenuProbe::DrawsFlat(RC_BITBLT | RC_PALETTE));
    }
    LookOverride classic(MenuLook::kNt50, 0);
    EXPECT_FALSE(GlyphMenuProbe::DrawsFlat(RC_BITBLT));
    LookOverride classicTheme(MenuLook::kNt51, 1);
    EXPECT_FALSE(GlyphMenuProbe::DrawsFlat(RC_BITBLT)) << "the classic theme on the themed desktop";
}

TEST(GlyphMenuDraw, AnItemWithoutRecordDrawsOnlyItsBackground) {
    LookOverride flat(MenuLook::kNt51, 0);
    MenuDrawing drawing;
    Canvas canvas(200, 22, kPaper);
    drawing.Draw(canvas, -1, 0, kFlatItem);
    EXPECT_EQ(canvas.at(5, 10), Sys(COLOR_BTNFACE));
    EXPECT_EQ(PixelsOf(canvas, {23, 1, 199, 21}, Sys(COLOR_WINDOW)), 176 * 20);
}

// LoadMenu forgets the check images before it builds, so the sharing is reached through the
// building step itself.
TEST(GlyphMenuDraw, TemplateSubMenusKeepTheCheckImagesTheyWereBuiltWith) {
    LookOverride flat(MenuLook::kNt51, 0);
    GlyphMenu menu;
    ASSERT_TRUE(menu.Attach(CreateMenu()));
    menu.SetCheckImages(SolidImages(RGB(0, 200, 0)), 1, 1);
    const WORD data[] = {0, 0, MF_POPUP | 0x80, L'H', 0, MF_CHECKED | 0x80, 7, L'A', 0};
    GlyphMenuProbe::BuildFromTemplate(menu, reinterpret_cast<const BYTE*>(data), sizeof data);
    menu.SetCheckImages(SolidImages(RGB(200, 0, 0)), 1, 1);
    GlyphMenu* popup = GlyphMenu::FromHandle(GetSubMenu(menu.get(), 0));
    ASSERT_NE(popup, nullptr);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    item.itemID = 7;
    item.itemState = ODS_CHECKED;
    item.hwndItem = reinterpret_cast<HWND>(popup->get());
    item.itemData = reinterpret_cast<ULONG_PTR>(GlyphMenuProbe(*popup).records()[0].get());
    Canvas canvas(200, 22, kPaper);
    item.hDC = canvas.dc();
    item.rcItem = kFlatItem;
    popup->DrawItem(item);
    EXPECT_EQ(canvas.at(10, 10), RGB(0, 200, 0)) << "the list the popup was built with";
}
