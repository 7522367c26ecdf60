// Glyph processing: colour lightening, the shared glyph list, the faded and shadow variants and
// the two disabled-glyph renderers, checked pixel by pixel.
#include "tests/widgets/GlyphMenuProbe.h"
#include "MenuTestIds.h"
#include "TestSupport.h"
#include "framework/ClientDC.h"
#include "framework/MemoryDC.h"
#include "framework/SelectGuard.h"
#include "widgets/menu/GlyphEffects.h"
#include "widgets/menu/GlyphMenu.h"
#include "widgets/menu/MenuLook.h"
#include "widgets/menu/SharedGlyphs.h"
#include "widgets/menu/SystemColourBitmap.h"

using GlyphEffects::LightenColour;

namespace {
constexpr int kW = 16, kH = 15;
const COLORREF kInk = RGB(0, 128, 255);

// Draws the look of one Windows generation for the length of a test.
class LookOverride {
public:
    LookOverride(int versionClass, int classic) { MenuLook::Override(versionClass, classic); }
    ~LookOverride() { MenuLook::Override(-1, -1); }
};

// A screen-compatible glyph bitmap of button face with some pixels set.
base::Bitmap MakeGlyph(std::initializer_list<std::pair<POINT, COLORREF>> pixels,
                       COLORREF background = GetSysColor(COLOR_BTNFACE)) {
    fw::ClientDC screen(nullptr);
    base::Bitmap glyph(CreateCompatibleBitmap(screen.get(), kW, kH));
    fw::MemoryDC dc(screen.get());
    fw::SelectGuard select(dc.get(), glyph.get());
    base::Brush brush(CreateSolidBrush(background));
    RECT all{0, 0, kW, kH};
    FillRect(dc.get(), &all, brush.get());
    for (const auto& [at, colour] : pixels) {
        SetPixel(dc.get(), at.x, at.y, colour);
    }
    return glyph;
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    fw::MemoryDC dc(nullptr);
    fw::SelectGuard select(dc.get(), bitmap);
    return GetPixel(dc.get(), x, y);
}

// A black square over (4, 4) to (8, 8), exclusive, on the given background.
base::Bitmap SquareGlyph(COLORREF background) {
    base::Bitmap glyph = MakeGlyph({}, background);
    fw::MemoryDC dc(nullptr);
    fw::SelectGuard select(dc.get(), glyph.get());
    RECT square{4, 4, 8, 8};
    FillRect(dc.get(), &square, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return glyph;
}

// What both renderers leave at (10, 10): the square in shadow, a highlight rim one pixel
// down-right of it, the background around.
void ExpectEmbossedSquare(const Canvas& canvas, COLORREF background, const char* file, int line) {
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    ExpectPixels(canvas,
                 {
                     {14, 14, shadow, "square, top-left"},
                     {17, 17, shadow, "square, bottom-right"},
                     {18, 15, highlight, "rim right"},
                     {15, 18, highlight, "rim below"},
                     {18, 18, highlight, "rim corner"},
                     {14, 18, background, "left of the rim"},
                     {19, 19, background, "beyond the rim"},
                     {10, 10, background, "glyph corner"},
                     {25, 24, background, "glyph far corner"},
                     {9, 9, RGB(1, 2, 3), "outside"},
                 },
                 file, line);
}
} // namespace

TEST(GlyphEffects, LightenColourMovesEachChannelTowardsWhite) {
    const COLORREF c = RGB(0, 128, 255);
    EXPECT_EQ(LightenColour(c, 0.0), c);
    EXPECT_EQ(LightenColour(c, 1.5), c);
    EXPECT_EQ(LightenColour(c, -0.5), c);
    EXPECT_EQ(LightenColour(c, 1.0), RGB(255, 255, 255));
    EXPECT_EQ(LightenColour(c, 0.5), RGB(127, 191, 255));
    EXPECT_EQ(LightenColour(RGB(10, 20, 30), 0.3), RGB(83, 90, 97)) << "truncated";
}

TEST(GlyphEffects, TheFadedVariantLightensOnlyTheInk) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    base::Bitmap glyph = MakeGlyph({{{3, 4}, kInk}, {{15, 14}, RGB(0, 0, 0)}});
    GlyphEffects::MakeFadedGlyph(glyph.get());
    EXPECT_EQ(PixelOf(glyph.get(), 3, 4), LightenColour(kInk, 0.3));
    EXPECT_EQ(PixelOf(glyph.get(), 15, 14), RGB(76, 76, 76));
    for (POINT p : {POINT{0, 0}, POINT{4, 4}, POINT{3, 5}, POINT{15, 13}}) {
        EXPECT_EQ(PixelOf(glyph.get(), p.x, p.y), face) << p.x << "," << p.y;
    }
}

TEST(GlyphEffects, TheShadowVariantPaintsTheInkInOneColour) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    for (bool themed : {false, true}) {
        base::Bitmap glyph = MakeGlyph({{{3, 4}, kInk}, {{0, 14}, RGB(255, 255, 255)}});
        GlyphEffects::MakeShadowGlyph(glyph.get(), themed);
        const COLORREF expected = themed ? shadow : LightenColour(shadow, 0.49);
        EXPECT_EQ(PixelOf(glyph.get(), 3, 4), expected) << themed;
        EXPECT_EQ(PixelOf(glyph.get(), 0, 14), expected) << themed;
        EXPECT_EQ(PixelOf(glyph.get(), 4, 4), face) << themed;
    }
}

TEST(GlyphEffects, AGlyphOfBackgroundOnlyGivesVariantsOfBackgroundOnly) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    base::Bitmap faded = MakeGlyph({});
    base::Bitmap shadow = MakeGlyph({});
    GlyphEffects::MakeFadedGlyph(faded.get());
    GlyphEffects::MakeShadowGlyph(shadow.get(), false);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            ASSERT_EQ(PixelOf(faded.get(), x, y), face) << x << "," << y;
            ASSERT_EQ(PixelOf(shadow.get(), x, y), face) << x << "," << y;
        }
    }
}

TEST(GlyphEffects, TheEmbossRendererDrawsShadowOverAHighlightRim) {
    const COLORREF background = RGB(200, 100, 50);
    Canvas canvas(40, 40, RGB(1, 2, 3));
    base::Bitmap glyph = SquareGlyph(GetSysColor(COLOR_BTNFACE));
    GlyphEffects::DrawDisabledGlyphEmboss(
        {canvas.dc(), 10, 10, kW, kH, glyph.get(), 0, 0, background});
    ExpectEmbossedSquare(canvas, background, __FILE__, __LINE__);
    EXPECT_EQ(canvas.at(26, 20), background) << "the first copy, one pixel right";
}

TEST(GlyphEffects, TheMonoRendererDrawsTheSamePictureThroughA1BitCopy) {
    const COLORREF background = RGB(200, 100, 50);
    Canvas canvas(40, 40, RGB(1, 2, 3));
    base::Bitmap glyph = SquareGlyph(RGB(255, 255, 255));
    GlyphEffects::DrawDisabledGlyphMono(
        {canvas.dc(), 10, 10, kW, kH, glyph.get(), 0, 0, background});
    ExpectEmbossedSquare(canvas, background, __FILE__, __LINE__);
    EXPECT_EQ(canvas.at(26, 20), RGB(1, 2, 3)) << "only the glyph's rectangle is filled";
}

TEST(SharedGlyphs, AddingACommandAgainReplacesItsImagesInPlace) {
    LookOverride flat(MenuLook::kNt51, 0);
    GlyphMenu menu;
    base::ImageList strip(ImageList_Create(kW, kH, ILC_COLORDDB | ILC_MASK, 1, 1));
    ASSERT_TRUE(GlyphMenuProbe(menu).AddGlyphResource(strip.get(), IDB_TEST_GLYPHS));
    ASSERT_EQ(ImageList_GetImageCount(strip.get()), 5) << "three images and two variants";

    SharedGlyphs& shared = SharedGlyphs::Instance();
    const UINT_PTR id = 7001;
    const int index = GlyphMenuProbe(menu).AddSharedGlyph(strip.get(), 0, id);
    ASSERT_GE(index, 0);
    const int size = shared.size();
    EXPECT_TRUE(shared.HasVariants(index));
    EXPECT_EQ(shared.Find(id), index);
    EXPECT_EQ(GlyphMenuProbe(menu).AddSharedGlyph(strip.get(), 1, id), index);
    EXPECT_EQ(shared.size(), size);

    // The replaced glyph is the blue block now; its faded variant follows it.
    Canvas canvas(20, 20, RGB(255, 255, 255));
    ImageList_Draw(shared.list(), index, canvas.dc(), 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(canvas.at(6, 6), RGB(0, 0, 255));
    ImageList_Draw(shared.list(), index + 1, canvas.dc(), 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(canvas.at(6, 6), LightenColour(RGB(0, 0, 255), 0.3));
    EXPECT_EQ(GlyphMenuProbe(menu).AddSharedGlyph(strip.get(), 9, id), -1) << "no such image";
}

TEST(SharedGlyphs, WithoutEffectsACommandHasOneImageAndTheLastHasNoVariants) {
    LookOverride classic(MenuLook::kNt50, 0);
    GlyphMenu menu;
    base::ImageList strip(ImageList_Create(kW, kH, ILC_COLORDDB | ILC_MASK, 1, 1));
    ASSERT_TRUE(GlyphMenuProbe(menu).AddGlyphResource(strip.get(), IDB_TEST_GLYPHS));
    EXPECT_EQ(ImageList_GetImageCount(strip.get()), 3);
    const int index = GlyphMenuProbe(menu).AddSharedGlyph(strip.get(), 2, 7002);
    EXPECT_EQ(index, SharedGlyphs::Instance().size() - 1);
    EXPECT_FALSE(SharedGlyphs::Instance().HasVariants(index));
    EXPECT_FALSE(GlyphMenuProbe(menu).AddGlyphResource(strip.get(), 999)) << "no such bitmap";
}

TEST(SharedGlyphs, AnItemAppendedWithAToolbarGlyphShowsItsToolbarImage) {
    LookOverride classic(MenuLook::kNt50, 0);
    GlyphMenu menu;
    ASSERT_TRUE(menu.Attach(CreatePopupMenu()));
    ASSERT_TRUE(menu.AppendGlyphItem(L"Framed", 0, ID_FRAMED, IDB_TEST_GLYPHS));
    const int index = GlyphMenuProbe(menu).records()[0]->sharedGlyphIndex;
    ASSERT_GE(index, 0);
    Canvas canvas(20, 20, RGB(9, 9, 9));
    ImageList_Draw(SharedGlyphs::Instance().list(), index, canvas.dc(), 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(canvas.at(3, 3), RGB(0, 0, 0)) << "the frame of the third image";
    EXPECT_EQ(canvas.at(6, 6), GetSysColor(COLOR_BTNHIGHLIGHT)) << "white took the 3-D colour";
    EXPECT_EQ(canvas.at(0, 0), RGB(9, 9, 9)) << "light grey is transparent";
    // A later item of the same command finds the glyph without a resource.
    ASSERT_TRUE(menu.AppendGlyphItem(L"Again", 0, ID_FRAMED, -1));
    EXPECT_EQ(GlyphMenuProbe(menu).records()[1]->sharedGlyphIndex, index);
}

TEST(SharedGlyphs, VariantsThatCannotBeAddedKeepTheIdTableInStepWithTheList) {
    SharedGlyphs& shared = SharedGlyphs::Instance();
    base::OwnedIcon icon(SolidIcon(kW, kInk));
    base::Bitmap deleted(CreateBitmap(kW, kH, 1, 32, nullptr));
    const HBITMAP stale = deleted.get();
    deleted.reset();
    const int index = shared.Store(7003, icon.get(), stale, stale, kW, kH);
    ASSERT_GE(index, 0);
    EXPECT_EQ(shared.size(), ImageList_GetImageCount(shared.list()));
    EXPECT_FALSE(shared.HasVariants(index));
    const int next = shared.Store(7004, icon.get(), nullptr, nullptr, kW, kH);
    EXPECT_EQ(shared.Find(7004), next);
}

TEST(SystemColourBitmap, ABitmapIsWholeOnlyWhenAllItsRowsAreThere) {
    const auto header = [](LONG width, LONG height) {
        BITMAPINFOHEADER h{};
        h.biSize = sizeof h;
        h.biWidth = width;
        h.biHeight = height;
        h.biPlanes = 1;
        h.biBitCount = 4;
        return h;
    };
    const size_t table = 16 * sizeof(RGBQUAD);
    const struct {
        BITMAPINFOHEADER header;
        size_t size;
        bool whole;
        const char* what;
    } cases[] = {
        {header(16, 15), 40 + table + 15 * 8, true, "16 x 15, rows of 8 bytes"},
        {header(16, -15), 40 + table + 15 * 8, true, "top-down"},
        {header(16, 15), 40 + table + 15 * 8 - 1, false, "one byte short"},
        {header(0x40000001, 1), 40 + table + 4, false, "a row wider than 32 bits can count"},
        {header(16, 15), 39, false, "no whole header"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SystemColourBitmap::IsWhole(c.header, c.size), c.whole) << c.what;
    }
}
