#include "tests/widgets/SkinLabelProbe.h"
#include "TestSupport.h"
#include "widgets/statics/SkinLabel.h"

namespace {
constexpr int W = 120, H = 40;
const COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

class LabelPaint : public WidgetTest {
protected:
    HWND Make(const char* text, DWORD style) {
        HWND hwnd = parent.AddChild("STATIC", text, style, {10, 10, 10 + W, 10 + H}, 2001);
        label.Attach(hwnd);
        return hwnd;
    }
    void Paint(Canvas& canvas) {
        label.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()));
    }
    SkinLabel label;
};

TEST_F(LabelPaint, AlignmentOffsets) {
    struct Case {
        DWORD style;
        int x;
    };
    const int width = TextExtent("Max").cx;
    const Case cases[] = {{SS_LEFT, 2}, {SS_CENTER, (W - width) / 2}, {SS_RIGHT, W - width - 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "style " << c.style);
        SkinLabel one;
        HWND hwnd = parent.AddChild("STATIC", "Max", c.style, {10, 60, 10 + W, 60 + H}, 2002);
        one.Attach(hwnd);
        Canvas canvas(W, H, kWhite);
        one.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()));
        EXPECT_BOX(canvas.BoxOf(kBlack), Shifted(ReferenceInk("Max"), c.x, 0), "text");
        DestroyWindow(hwnd);
    }
}

TEST_F(LabelPaint, TemplateTextPaintsItsFirstLineOnly) {
    Make("AB\nCD", SS_LEFT);
    EXPECT_EQ(SkinLabelProbe(label).lineCount(), 1);
    Canvas canvas(W, H, kWhite);
    Paint(canvas);
    EXPECT_BOX(canvas.BoxOf(kBlack), Shifted(ReferenceInk("AB"), 2, 0), "first line");
}

TEST_F(LabelPaint, NewTextPaintsLinesOneBelowTheFontHeight) {
    HWND hwnd = Make("Old", SS_LEFT);
    SetWindowTextA(hwnd, "CD\nCD");
    EXPECT_EQ(SkinLabelProbe(label).lineCount(), 2);
    EXPECT_EQ(fw::WindowText(hwnd), "Old") << "the platform's copy keeps the old text";
    Canvas canvas(W, H, kWhite);
    Paint(canvas);
    const RECT one = ReferenceInk("CD");
    RECT both = Shifted(one, 2, 0);
    both.bottom += TextExtent("CD").cy + 1;
    EXPECT_BOX(canvas.BoxOf(kBlack), both, "two lines");

    SetWindowTextA(hwnd, "CD\n");
    EXPECT_EQ(SkinLabelProbe(label).lineCount(), 2) << "a trailing line feed adds an empty line";
    EXPECT_EQ(SkinLabelProbe(label).caption(), "CD\n");
}

TEST_F(LabelPaint, DisabledLabelPaintsAShadow) {
    HWND hwnd = Make("Volume:", SS_LEFT);
    const COLORREF red = RGB(255, 0, 0);
    label.SetShadowColour(red, false);
    EnableWindow(hwnd, FALSE);
    Canvas canvas(W, H, kWhite);
    Paint(canvas);
    const RECT text = Shifted(ReferenceInk("Volume:"), 2, 0);
    EXPECT_BOX(canvas.BoxOf(kBlack), text, "text");
    const RECT shadow = canvas.BoxOf(red);
    EXPECT_EQ(shadow.right, text.right + 1);
    EXPECT_EQ(shadow.bottom, text.bottom + 1);
}

TEST(LabelTextChange, ParentRepaintCoversTheLabelInClientCoordinates) {
    // A captioned parent: its client origin differs from its window origin by the frame.
    TestParent parent(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 500, 400});
    SkinLabel label;
    HWND hwnd = parent.AddChild("STATIC", "Select a Sound Card", 0, {40, 30, 160, 50}, 2003);
    label.Attach(hwnd);
    UpdateWindow(parent.hwnd());
    ValidateRect(parent.hwnd(), nullptr);
    SetWindowTextA(hwnd, "No device");
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(parent.hwnd(), &update, FALSE));
    EXPECT_BOX(update, (RECT{37, 27, 160, 50}), "parent's update area");
    EXPECT_TRUE(GetUpdateRect(hwnd, nullptr, FALSE)) << "the label repaints after the parent";
}
} // namespace
