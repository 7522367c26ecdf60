#include "tests/widgets/SkinButtonProbe.h"
#include "TestSupport.h"
#include "widgets/button/SkinButton.h"

#include <commctrl.h>

#include <vector>

namespace {
class ButtonBehaviour : public WidgetTest {
protected:
    HWND Add(SkinButton& button, int id, DWORD style = BS_PUSHBUTTON | WS_TABSTOP) {
        HWND hwnd = parent.AddChild("BUTTON", "Go", style,
                                    {10, 10 + 40 * (id - 1), 90, 40 + 40 * (id - 1)}, id);
        button.Attach(hwnd);
        return hwnd;
    }
};

TEST_F(ButtonBehaviour, AttachmentReadsTemplateStyle) {
    struct Case {
        DWORD style;
        bool checkBox, isDefault;
    };
    const Case cases[] = {{BS_PUSHBUTTON, false, false}, {BS_DEFPUSHBUTTON, false, true},
                          {BS_CHECKBOX, true, false},    {BS_AUTOCHECKBOX, true, false},
                          {BS_OWNERDRAW, true, false},   {BS_RADIOBUTTON, false, false}};
    int id = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "template style " << c.style);
        SkinButton button;
        HWND hwnd = Add(button, id++, c.style);
        EXPECT_EQ(GetWindowLongA(hwnd, GWL_STYLE) & 0x1F, BS_OWNERDRAW);
        EXPECT_EQ(SkinButtonProbe(button).isCheckBox(), c.checkBox);
        EXPECT_EQ(SkinButtonProbe(button).isDefault(), c.isDefault);
        DestroyWindow(hwnd);
    }
}

TEST_F(ButtonBehaviour, CheckBoxModeTogglesAndFollowsSetCheck) {
    SkinButton box, push;
    HWND boxWindow = Add(box, 1, BS_AUTOCHECKBOX);
    HWND pushWindow = Add(push, 2);
    SendMessageA(boxWindow, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageA(boxWindow, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageA(boxWindow, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageA(boxWindow, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessageA(boxWindow, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_TRUE(SkinButtonProbe(box).isChecked());
    SendMessageA(boxWindow, BM_SETCHECK, 5, 0);
    EXPECT_FALSE(SkinButtonProbe(box).isChecked());
    // A push button never takes a check state.
    SendMessageA(pushWindow, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(pushWindow, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageA(pushWindow, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(ButtonBehaviour, SetStyleKeepsOwnerDrawAndTracksDefault) {
    SkinButton button;
    HWND hwnd = Add(button, 1);
    SendMessageA(hwnd, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_TRUE(SkinButtonProbe(button).isDefault());
    EXPECT_EQ(GetWindowLongA(hwnd, GWL_STYLE) & 0x1F, BS_OWNERDRAW);
    EXPECT_TRUE(SendMessageA(hwnd, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
    SendMessageA(hwnd, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_FALSE(SkinButtonProbe(button).isDefault());
    EXPECT_EQ(GetWindowLongA(hwnd, GWL_STYLE) & 0x1F, BS_OWNERDRAW);
    const LRESULT code = SendMessageA(hwnd, WM_GETDLGCODE, 0, 0);
    EXPECT_TRUE(code & DLGC_UNDEFPUSHBUTTON);
    EXPECT_FALSE(code & DLGC_DEFPUSHBUTTON);
}

TEST_F(ButtonBehaviour, SetterResults) {
    SkinButton button;
    Add(button, 1);
    EXPECT_EQ(button.SetImageAlign(SkinButton::ImageAbove, true), 0);
    EXPECT_EQ(button.SetImageAlign(4, true), 4);
    EXPECT_EQ(SkinButtonProbe(button).imageAlign(), SkinButton::ImageAbove);
    EXPECT_EQ(button.SetImageAlign(3, false), 0);
    EXPECT_EQ(SkinButtonProbe(button).imageAlign(), 3);
    EXPECT_EQ(button.SetPointerCursor(4242, true), 1) << "no such cursor resource";
    EXPECT_EQ(SkinButtonProbe(button).pointerCursor(), nullptr);
    EXPECT_EQ(button.SetIcons(4242, 4243), 0) << "a missing hot icon leaves no icons";
    EXPECT_EQ(SkinButtonProbe(button).hotIcon(), nullptr);
    EXPECT_EQ(button.SetColour(SkinButton::ColourCount, 0, false), 4);
    EXPECT_EQ(button.SetAddress(std::string(300, 'a').c_str()), 4);
}

TEST_F(ButtonBehaviour, TooltipHasOneToolWithTheLatestText) {
    SkinButton button;
    Add(button, 1);
    button.SetTipText("Record audio", true);
    button.SetTipText("Stop audio recording", true);
    button.SetTipText(nullptr, true);
    EXPECT_EQ(SkinButtonProbe(button).tipText(), "Stop audio recording");
}

// The tooltip windows of this thread whose tool is the given button.
std::vector<HWND> TooltipsOf(HWND button) {
    struct Search {
        HWND button;
        std::vector<HWND> found;
    } search{button, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            char cls[64] = {};
            GetClassNameA(hwnd, cls, sizeof cls);
            TTTOOLINFOA tool{};
            tool.cbSize = TTTOOLINFOA_V2_SIZE;
            if (lstrcmpiA(cls, TOOLTIPS_CLASSA) == 0 &&
                SendMessageA(hwnd, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&tool)) &&
                tool.hwnd == s->button) {
                s->found.push_back(hwnd);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST_F(ButtonBehaviour, TooltipWindowWaitsForThePointerAndKeepsTheText) {
    SkinButton button;
    HWND hwnd = Add(button, 1);
    button.SetTipText("Record audio", true);
    EXPECT_TRUE(TooltipsOf(hwnd).empty()) << "no top-level window before it is needed";
    EXPECT_EQ(SkinButtonProbe(button).tipText(), "Record audio");

    MSG paint{hwnd, WM_PAINT, 0, 0, 0, {}};
    fw::Window::PreTranslateChain(paint);
    EXPECT_TRUE(TooltipsOf(hwnd).empty()) << "only the pointer's messages need the tooltip";

    MSG move{hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5), 0, {}};
    fw::Window::PreTranslateChain(move);
    std::vector<HWND> tips = TooltipsOf(hwnd);
    ASSERT_EQ(tips.size(), 1u);
    EXPECT_EQ(SendMessageA(tips[0], TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_EQ(SkinButtonProbe(button).tipText(), "Record audio");

    button.SetTipText("Stop audio recording", true);
    fw::Window::PreTranslateChain(move);
    EXPECT_EQ(TooltipsOf(hwnd).size(), 1u);
    EXPECT_EQ(SendMessageA(tips[0], TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_EQ(SkinButtonProbe(button).tipText(), "Stop audio recording");
}

TEST_F(ButtonBehaviour, HotTrackingConditions) {
    SkinButton flat, solid;
    HWND flatWindow = Add(flat, 1);
    HWND solidWindow = Add(solid, 2);
    solid.SetFlatStyle(false, true);
    const LPARAM middle = MAKELPARAM(40, 15);

    PointAt(solidWindow);
    SendMessageA(solidWindow, WM_MOUSEMOVE, 0, middle);
    EXPECT_FALSE(SkinButtonProbe(solid).isHot()) << "a 3-D button never becomes hot";

    PointAt(flatWindow);
    SendMessageA(flatWindow, WM_MOUSEMOVE, MK_LBUTTON, middle);
    EXPECT_FALSE(SkinButtonProbe(flat).isHot()) << "a press that started elsewhere";
    SendMessageA(flatWindow, WM_MOUSEMOVE, 0, middle);
    EXPECT_TRUE(SkinButtonProbe(flat).isHot());
    // Still over it: the mouse-leave request must not end the hot state.
    Pump(50);
    EXPECT_TRUE(SkinButtonProbe(flat).isHot());
    SetCursorPos(5, 5);
    SendMessageA(flatWindow, WM_MOUSEMOVE, 0, MAKELPARAM(-300, -300));
    EXPECT_FALSE(SkinButtonProbe(flat).isHot());

    PointAt(flatWindow);
    SendMessageA(flatWindow, WM_MOUSEMOVE, 0, middle);
    ASSERT_TRUE(SkinButtonProbe(flat).isHot());
    SetCursorPos(5, 5);
    Pump(700);
    EXPECT_FALSE(SkinButtonProbe(flat).isHot()) << "the platform's mouse-leave notice ends it";
}

TEST_F(ButtonBehaviour, DisablingTheFocusedButtonMovesFocusOn) {
    SkinButton first, second, third;
    HWND a = Add(first, 1), b = Add(second, 2), c = Add(third, 3);
    SetForegroundWindow(parent.hwnd());
    SetFocus(a);
    EnableWindow(a, FALSE);
    EXPECT_EQ(GetFocus(), b);
    // A button without the focus leaves it where it is.
    EnableWindow(c, FALSE);
    EXPECT_EQ(GetFocus(), b);
    EnableWindow(b, FALSE);
    EXPECT_EQ(GetFocus(), parent.hwnd()) << "no tab stop left";
}

// The platform documents only that WM_CANCELMODE comes first; where the focus is removed
// before the window is marked disabled, the button must still pass the focus on.
TEST_F(ButtonBehaviour, FocusPassesOnWhenRemovedBeforeTheDisable) {
    SkinButton first, second;
    HWND a = Add(first, 1), b = Add(second, 2);
    SetForegroundWindow(parent.hwnd());
    SetFocus(a);
    SendMessageA(a, WM_CANCELMODE, 0, 0);
    SetFocus(nullptr);
    EnableWindow(a, FALSE);
    EXPECT_EQ(GetFocus(), b);
    // A cancel, then the focus moved to another control: a later disable claims nothing.
    SendMessageA(b, WM_CANCELMODE, 0, 0);
    SetFocus(a == GetFocus() ? b : parent.hwnd());
    EnableWindow(b, FALSE);
    EXPECT_EQ(GetFocus(), parent.hwnd());
}

TEST_F(ButtonBehaviour, ClickReachesTheParentsHandlerAndTakesFocus) {
    SkinButton button;
    HWND hwnd = Add(button, 1);
    int clicks = 0;
    parent.onCommand = [&clicks](int id, int code) { clicks += id == 1 && code == BN_CLICKED; };
    SendMessageA(hwnd, BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(GetFocus(), hwnd);

    // Through the message loop, a double-click counts as a second click.
    const LPARAM at = MAKELPARAM(5, 5);
    PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
    PostMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
    Pump(30);
    EXPECT_EQ(clicks, 3);
}

// Counts the paints that reach the button through the parent's reflection of WM_DRAWITEM.
class CountingButton : public SkinButton {
public:
    int faces = 0;

protected:
    void DrawFace(HDC dc, RECT& rect) override {
        ++faces;
        SkinButton::DrawFace(dc, rect);
    }
};

TEST_F(ButtonBehaviour, PaintsThroughTheParentsOwnerDrawRequest) {
    CountingButton button;
    HWND hwnd = Add(button, 1);
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
    EXPECT_GE(button.faces, 1);
}

TEST_F(ButtonBehaviour, SystemColourChangeResetsColours) {
    SkinButton button;
    HWND hwnd = Add(button, 1);
    for (int i = 0; i < SkinButton::ColourCount; ++i) {
        button.SetColour(i, RGB(12, 34, 56), false);
    }
    SendMessageA(hwnd, WM_SYSCOLORCHANGE, 0, 0);
    for (int i = 0; i < SkinButton::ColourCount; ++i) {
        EXPECT_EQ(SkinButtonProbe(button).colour(i),
                  GetSysColor(i % 2 ? COLOR_BTNTEXT : COLOR_BTNFACE))
            << i;
    }
}
} // namespace
