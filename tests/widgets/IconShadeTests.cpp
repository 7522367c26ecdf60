#include "tests/widgets/SkinButtonProbe.h"
#include "TestSupport.h"
#include "widgets/button/IconShade.h"
#include "widgets/button/SkinButton.h"

#include <vector>

namespace {
TEST(IconShade, ColourFormulas) {
    struct Case {
        COLORREF in, grey, darker;
    };
    const Case cases[] = {
        {RGB(200, 100, 50), RGB(124, 124, 124), RGB(150, 75, 37)},
        {RGB(10, 20, 30), RGB(18, 18, 18), RGB(7, 15, 22)},
        {RGB(1, 2, 3), RGB(1, 1, 1), RGB(0, 1, 2)},
        {RGB(0, 0, 255), RGB(29, 29, 29), RGB(0, 0, 191)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IconShade::GreyOf(c.in), c.grey) << std::hex << c.in;
        EXPECT_EQ(IconShade::DarkerOf(c.in, 0.25), c.darker) << std::hex << c.in;
    }
    EXPECT_EQ(IconShade::DarkerOf(RGB(200, 100, 50), 0.0), RGB(200, 100, 50));
    EXPECT_EQ(IconShade::DarkerOf(RGB(200, 100, 50), 1.5), RGB(200, 100, 50));
}

std::vector<COLORREF> Pixels(HBITMAP bitmap, int size) {
    std::vector<COLORREF> pixels;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            pixels.push_back(GetPixel(dc, x, y));
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return pixels;
}

// An icon of four colour quarters (one black) with a mask that hides its left half.
HICON QuarterIcon() {
    const COLORREF quarters[4] = {RGB(200, 100, 50), RGB(0, 0, 0), RGB(10, 20, 30), RGB(0, 0, 255)};
    std::vector<DWORD> bits(256);
    std::vector<BYTE> mask(2 * 16);
    for (int y = 0; y < 16; ++y) {
        mask[2 * y] = 0xFF;
        for (int x = 0; x < 16; ++x) {
            const COLORREF c = quarters[(y / 8) * 2 + x / 8];
            bits[16 * y + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    }
    HBITMAP colour = CreateBitmap(16, 16, 1, 32, bits.data());
    HBITMAP maskBitmap = CreateBitmap(16, 16, 1, 1, mask.data());
    ICONINFO info{TRUE, 0, 0, maskBitmap, colour};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(colour);
    DeleteObject(maskBitmap);
    return icon;
}

TEST(IconShade, ButtonNormalIconsAreShadedCopiesSharingTheMask) {
    TestParent& parent = SharedParent();
    struct Case {
        SkinButton::IconRequest request;
        COLORREF (*shade)(COLORREF);
    };
    const Case cases[] = {
        {SkinButton::AutoGrey, [](COLORREF c) { return IconShade::GreyOf(c); }},
        {SkinButton::AutoDarker, [](COLORREF c) { return IconShade::DarkerOf(c, 0.25); }}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request == SkinButton::AutoGrey ? "grey" : "darker");
        SkinButton button;
        button.Attach(parent.AddChild("BUTTON", "", 0, {0, 0, 50, 30}, 1));
        ASSERT_EQ(button.SetIcons(QuarterIcon(), c.request), 0);
        ICONINFO hot{}, normal{};
        ASSERT_TRUE(GetIconInfo(SkinButtonProbe(button).hotIcon(), &hot));
        ASSERT_TRUE(GetIconInfo(SkinButtonProbe(button).normalIcon(), &normal));
        BITMAP size{};
        GetObjectA(normal.hbmColor, sizeof size, &size);
        EXPECT_EQ(size.bmWidth, 16);
        EXPECT_EQ(size.bmHeight, 16);
        const auto source = Pixels(hot.hbmColor, 16), shaded = Pixels(normal.hbmColor, 16);
        for (size_t i = 0; i < source.size(); ++i) {
            ASSERT_EQ(shaded[i], c.shade(source[i])) << "pixel " << i;
        }
        EXPECT_EQ(Pixels(normal.hbmMask, 16), Pixels(hot.hbmMask, 16));
        for (HBITMAP b : {hot.hbmColor, hot.hbmMask, normal.hbmColor, normal.hbmMask}) {
            DeleteObject(b);
        }
        parent.DestroyChildren();
    }
}
} // namespace
