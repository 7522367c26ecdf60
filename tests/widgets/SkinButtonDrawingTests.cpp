#include "tests/widgets/SkinButtonProbe.h"
#include "TestSupport.h"
#include "widgets/button/SkinButton.h"

namespace {
constexpr int W = 80, H = 30;
const COLORREF kRed = RGB(255, 0, 0);

COLORREF Sys(int index) {
    return GetSysColor(index);
}

class ButtonPaint : public WidgetTest {
protected:
    HWND Make(const char* caption, DWORD style = BS_PUSHBUTTON) {
        HWND button = parent.AddChild("BUTTON", caption, style, {10, 10, 10 + W, 10 + H}, 1001);
        button_.Attach(button);
        return button;
    }
    void Paint(Canvas& canvas, UINT state) {
        DRAWITEMSTRUCT item{
            ODT_BUTTON, 1001,           0,           ODA_DRAWENTIRE,
            state,      button_.hwnd(), canvas.dc(), {0, 0, canvas.width(), canvas.height()},
            0};
        button_.DrawItem(item);
    }
    SkinButton button_;
};

TEST_F(ButtonPaint, RaisedThreeDFrameUsesFourPens) {
    Make("");
    button_.SetFlatStyle(false, false);
    Canvas canvas(W, H, RGB(1, 2, 3));
    Paint(canvas, 0);
    const COLORREF hi = Sys(COLOR_BTNHIGHLIGHT), light = Sys(COLOR_3DLIGHT),
                   dark = Sys(COLOR_3DDKSHADOW), shadow = Sys(COLOR_BTNSHADOW),
                   face = Sys(COLOR_BTNFACE);
    EXPECT_PIXELS(canvas, {{0, 0, hi, "top-left corner"},
                           {0, 15, hi, "left edge"},
                           {78, 0, hi, "top edge"},
                           {79, 0, dark, "top-right corner"},
                           {79, 15, dark, "right edge"},
                           {0, 29, dark, "bottom-left corner"},
                           {40, 29, dark, "bottom edge"},
                           {1, 1, light, "inner top-left"},
                           {1, 27, light, "inner left edge"},
                           {77, 1, light, "inner top edge"},
                           {78, 1, shadow, "inner top-right"},
                           {78, 15, shadow, "inner right edge"},
                           {1, 28, shadow, "inner bottom-left"},
                           {40, 28, shadow, "inner bottom edge"},
                           {2, 2, face, "face"},
                           {77, 27, face, "face"}});
}

// Focus or default: a black outer frame, and everything else one pixel further in.
TEST_F(ButtonPaint, FocusedOrDefaultThreeDButtonGetsBlackFrame) {
    struct Case {
        DWORD style;
        UINT state;
        const char* what;
    };
    for (const Case& c :
         {Case{BS_PUSHBUTTON, ODS_FOCUS, "focused"}, Case{BS_DEFPUSHBUTTON, 0, "default"}}) {
        SCOPED_TRACE(c.what);
        SkinButton button;
        HWND hwnd = parent.AddChild("BUTTON", "", c.style, {10, 50, 10 + W, 50 + H}, 1002);
        button.Attach(hwnd);
        button.SetFlatStyle(false, false);
        Canvas canvas(W, H, RGB(1, 2, 3));
        DRAWITEMSTRUCT item{ODT_BUTTON,  1002,         0, ODA_DRAWENTIRE, c.state, hwnd,
                            canvas.dc(), {0, 0, W, H}, 0};
        button.DrawItem(item);
        const COLORREF black = RGB(0, 0, 0);
        EXPECT_PIXELS(canvas, {{0, 0, black, "outer top-left"},
                               {40, 0, black, "outer top"},
                               {79, 29, black, "outer bottom-right"},
                               {0, 15, black, "outer left"},
                               {1, 1, Sys(COLOR_BTNHIGHLIGHT), "frame top-left"},
                               {78, 1, Sys(COLOR_3DDKSHADOW), "frame top-right"},
                               {2, 2, Sys(COLOR_3DLIGHT), "light top-left"},
                               {40, 27, Sys(COLOR_BTNSHADOW), "shadow bottom"},
                               {3, 3, Sys(COLOR_BTNFACE), "face"}});
        DestroyWindow(hwnd);
    }
}

TEST_F(ButtonPaint, TransparentFocusedButtonHasNoBlackFrame) {
    Make("");
    button_.SetFlatStyle(false, false);
    button_.UseParentBackground(SkinButton::NoRepaint);
    Canvas canvas(W, H, RGB(1, 2, 3));
    Paint(canvas, ODS_FOCUS);
    EXPECT_PIXELS(canvas, {{0, 0, Sys(COLOR_BTNHIGHLIGHT), "frame at the edge"},
                           {1, 1, Sys(COLOR_3DLIGHT), "light"}});
}

TEST_F(ButtonPaint, FlatButtonFrameFollowsHotAndPressed) {
    Make("");
    const COLORREF hi = Sys(COLOR_BTNHIGHLIGHT), shadow = Sys(COLOR_BTNSHADOW),
                   face = Sys(COLOR_BTNFACE);
    {
        Canvas canvas(W, H, RGB(1, 2, 3));
        Paint(canvas, 0);
        EXPECT_PIXELS(canvas, {{0, 0, face, "no frame at rest"}, {79, 29, face, "no frame"}});
    }
    {
        PointAt(button_.hwnd());
        button_.Send(WM_MOUSEMOVE, 0, MAKELPARAM(W / 2, H / 2));
        ASSERT_TRUE(SkinButtonProbe(button_).isHot());
        Canvas canvas(W, H, RGB(1, 2, 3));
        Paint(canvas, 0);
        EXPECT_PIXELS(canvas, {{0, 0, hi, "raised top-left"},
                               {78, 0, hi, "raised top"},
                               {0, 28, hi, "raised left"},
                               {79, 0, shadow, "raised right"},
                               {0, 29, shadow, "raised bottom"},
                               {1, 1, face, "face"}});
    }
    {
        button_.Send(WM_MOUSELEAVE);
        ASSERT_FALSE(SkinButtonProbe(button_).isHot());
        Canvas canvas(W, H, RGB(1, 2, 3));
        Paint(canvas, ODS_SELECTED);
        EXPECT_PIXELS(canvas, {{0, 0, shadow, "sunken top-left"},
                               {78, 0, shadow, "sunken top"},
                               {0, 28, shadow, "sunken left"},
                               {79, 0, hi, "sunken right"},
                               {0, 29, hi, "sunken bottom"}});
    }
}

TEST_F(ButtonPaint, IconPlacementByAlignment) {
    struct Case {
        BYTE align;
        const char* caption;
        UINT state;
        RECT icon;
    };
    // A 16 x 16 icon on an 80 x 30 button; the caption is drawn in the text colour, not red.
    const Case cases[] = {
        {SkinButton::ImageLeft, "Rec", 0, {3, 7, 19, 23}},
        {SkinButton::ImageLeft, "", 0, {32, 7, 48, 23}},
        {SkinButton::ImageLeft, "Rec", ODS_SELECTED, {4, 8, 20, 24}},
        {SkinButton::ImageAbove, "Rec", 0, {32, 3, 48, 19}},
        {SkinButton::ImageAbove, "", 0, {32, 7, 48, 23}},
        {SkinButton::ImageRight, "Rec", 0, {61, 7, 77, 23}},
        {SkinButton::ImageRight, "", 0, {32, 0, 48, 16}},
        {SkinButton::ImageAtOrigin, "Rec", 0, {0, 0, 16, 16}},
        {SkinButton::ImageAtOrigin, "", ODS_SELECTED, {1, 1, 17, 17}},
    };
    HWND hwnd = Make("");
    ASSERT_EQ(button_.SetIcons(SolidIcon(16, kRed), nullptr), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "align " << int(c.align) << " caption '" << c.caption
                                          << "' state " << c.state);
        SetWindowTextA(hwnd, c.caption);
        button_.SetImageAlign(c.align, false);
        Canvas canvas(W, H, RGB(1, 2, 3));
        Paint(canvas, c.state);
        EXPECT_BOX(canvas.BoxOf(kRed), c.icon, "icon");
    }
}

TEST_F(ButtonPaint, CaptionBesideLeftIconIsCentredInTheRest) {
    Make("Record");
    button_.SetIcons(SolidIcon(16, kRed), nullptr);
    Canvas plain(W, H, RGB(1, 2, 3)), pressed(W, H, RGB(1, 2, 3));
    Paint(plain, 0);
    Paint(pressed, ODS_SELECTED);
    // The rest of the button runs from 3 + 16 to its right edge.
    const SIZE extent = TextExtent("Record");
    const RECT text =
        Shifted(ReferenceInk("Record"), 19 + (W - 19 - extent.cx) / 2, (H - extent.cy) / 2);
    EXPECT_BOX(plain.BoxOf(Sys(COLOR_BTNTEXT)), text, "caption");
    EXPECT_BOX(pressed.BoxOf(Sys(COLOR_BTNTEXT)), Shifted(text, 1, 1), "pressed caption");
}

TEST_F(ButtonPaint, DisabledCaptionIsEmbossed) {
    Make("Stop");
    Canvas canvas(W, H, RGB(1, 2, 3));
    Paint(canvas, ODS_DISABLED);
    const RECT highlight = canvas.BoxOf(Sys(COLOR_BTNHIGHLIGHT));
    const RECT shadow = canvas.BoxOf(Sys(COLOR_BTNSHADOW));
    ASSERT_FALSE(IsRectEmpty(&shadow));
    // The shadow copy covers the highlight one except its right and bottom pixel.
    EXPECT_EQ(highlight.right, shadow.right + 1);
    EXPECT_EQ(highlight.bottom, shadow.bottom + 1);
}

TEST_F(ButtonPaint, WrappedCaptionIsCentredAsABlock) {
    const char* caption = "Play the wave file";
    HWND hwnd = parent.AddChild("BUTTON", caption, 0, {10, 10, 70, 90}, 1003);
    button_.Attach(hwnd);
    Canvas canvas(60, 80, RGB(1, 2, 3));
    Paint(canvas, 0);
    RECT block{0, 0, 60, 80};
    {
        HGDIOBJ old = SelectObject(canvas.dc(), TestFont());
        DrawTextA(canvas.dc(), caption, -1, &block, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
        SelectObject(canvas.dc(), old);
    }
    TEXTMETRICA metrics{};
    {
        HGDIOBJ old = SelectObject(canvas.dc(), TestFont());
        GetTextMetricsA(canvas.dc(), &metrics);
        SelectObject(canvas.dc(), old);
    }
    ASSERT_GE(block.bottom, 2 * metrics.tmHeight) << "the caption must wrap for this test";
    const int top = (80 - block.bottom) / 2;
    const RECT ink = canvas.BoxOf(Sys(COLOR_BTNTEXT));
    EXPECT_GE(ink.top, top);
    EXPECT_LE(ink.bottom, top + block.bottom);
    EXPECT_GT(ink.bottom - ink.top, metrics.tmHeight) << "more than one line drawn";
    EXPECT_LE(std::abs(ink.left - (60 - ink.right)), 2) << "centred horizontally";
}

} // namespace
