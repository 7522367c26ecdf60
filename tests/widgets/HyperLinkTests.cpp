#include "tests/widgets/HyperLinkProbe.h"
#include "TestSupport.h"
#include "widgets/statics/HyperLink.h"

#include <vector>

namespace {
TEST(HyperLinkText, BrowserCommandLineCutRules) {
    struct Case {
        const char* command;
        const char* expected;
    };
    const Case cases[] = {
        {"\"C:\\Web\\browse.exe\" -nohome \"%1\"", "\"C:\\Web\\browse.exe\" -nohome  \"x.htm\""},
        {"C:\\Web\\browse.exe %1 -new", "C:\\Web\\browse.exe  \"x.htm\""},
        {"C:\\Web\\browse.exe", "C:\\Web\\browse.exe \"x.htm\""},
        {"browse.exe -url \"%1\" %1", "browse.exe -url  \"x.htm\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HyperLink::BrowserCommandLine(c.command, "x.htm"), c.expected) << c.command;
    }
}

TEST(HyperLinkText, ErrorTextForEveryCode) {
    struct Case {
        int code;
        const char* message;
    };
    const Case cases[] = {
        {0, "The operating system is out\nof memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied\naccess to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, "A sharing violation occurred. "},
        {27, "The filename association is\nincomplete or invalid."},
        {28, "The DDE transaction could not\nbe completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere "
             "being processed."},
        {31, "There is no application associated\nwith the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
        {4, "Unknown Error (4) occurred."},
        {-7, "Unknown Error (-7) occurred."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HyperLink::ErrorText(c.code),
                  std::string("Unable to open hyperlink:\n\n") + c.message)
            << c.code;
    }
}

// Opens nothing: answers with a chosen shell result and records the errors it was told of.
class FakeLink : public HyperLink {
public:
    int answer = 42;
    std::vector<int> reported;
    std::vector<int> shows;

protected:
    int OpenTarget(const std::string&, int show) override {
        shows.push_back(show);
        return answer;
    }
    void ReportError(int code) override { reported.push_back(code); }
};

class LinkBehaviour : public WidgetTest {
protected:
    HWND Make(const char* text, DWORD style = SS_LEFT, RECT rect = {20, 20, 220, 40}) {
        return parent.AddChild("STATIC", text, style, rect, 3001);
    }
    COLORREF TextColour() {
        HDC dc = CreateCompatibleDC(nullptr);
        SendMessageA(parent.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(link.hwnd()));
        const COLORREF colour = GetTextColor(dc);
        DeleteDC(dc);
        return colour;
    }
    bool Underlined() {
        LOGFONTA font{};
        GetObjectA(reinterpret_cast<HGDIOBJ>(link.Send(WM_GETFONT)), sizeof font, &font);
        return font.lfUnderline != 0;
    }
    RECT InParent(HWND hwnd) {
        RECT r{};
        GetWindowRect(hwnd, &r);
        MapWindowPoints(nullptr, parent.hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    FakeLink link;
};

TEST_F(LinkBehaviour, EmptyTemplateTextShowsTheTarget) {
    link.SetLink("corvale.example/contact");
    link.Attach(Make(""));
    EXPECT_EQ(link.text(), "corvale.example/contact");
    EXPECT_EQ(HyperLinkProbe(link).tipText(), "corvale.example/contact");
    EXPECT_NE(HyperLinkProbe(link).linkCursor(), nullptr);
    EXPECT_TRUE(GetWindowLongA(link.hwnd(), GWL_STYLE) & SS_NOTIFY);
}

TEST_F(LinkBehaviour, FitsToItsTextByAlignment) {
    struct Case {
        DWORD style;
        const char* what;
    };
    for (const Case& c :
         {Case{SS_LEFT, "left"}, Case{SS_CENTER, "centre"}, Case{SS_RIGHT, "right"}}) {
        SCOPED_TRACE(c.what);
        HyperLink one;
        HWND hwnd = Make("Click here", c.style | WS_BORDER, {20, 60, 220, 90});
        one.Attach(hwnd);
        SIZE extent{};
        HDC dc = GetDC(hwnd);
        HGDIOBJ old = SelectObject(dc, HyperLinkProbe(one).underlineFont());
        GetTextExtentPoint32A(dc, "Click here", 10, &extent);
        SelectObject(dc, old);
        ReleaseDC(hwnd, dc);
        const LONG width = extent.cx + 2, height = extent.cy + 2;
        const LONG left = c.style == SS_LEFT    ? 20
                          : c.style == SS_RIGHT ? 220 - width
                                                : 20 + (200 - width) / 2;
        EXPECT_BOX(InParent(hwnd), (RECT{left, 60, left + width, 60 + height}), "window");
        DestroyWindow(hwnd);
    }
}

TEST_F(LinkBehaviour, UnderlineModes) {
    HWND hwnd = Make("Homepage");
    link.Attach(hwnd);
    EXPECT_FALSE(Underlined());
    PointAt(hwnd);
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(Underlined()) << "on hover";
    Pump(250);
    EXPECT_TRUE(Underlined()) << "ticks with the pointer inside keep it";
    EXPECT_TRUE(HyperLinkProbe(link).isOverControl());
    SetCursorPos(5, 5);
    Pump(250);
    EXPECT_FALSE(Underlined()) << "the tick finding the pointer outside ends it";
    EXPECT_FALSE(HyperLinkProbe(link).isOverControl());

    link.SetUnderlineMode(HyperLink::UnderlineAlways);
    EXPECT_TRUE(Underlined());
    PointAt(hwnd);
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    SetCursorPos(5, 5);
    Pump(250);
    EXPECT_FALSE(HyperLinkProbe(link).isOverControl());
    EXPECT_TRUE(Underlined()) << "always stays underlined";
}

TEST_F(LinkBehaviour, ColoursAndVisitedStateFollowTheOpenResult) {
    HWND hwnd = Make("Support Email: Click here");
    link.Attach(hwnd);
    int parentSaw = 0;
    parent.onCommand = [&parentSaw](int, int) { ++parentSaw; };
    EXPECT_EQ(TextColour(), RGB(0, 0, 238));

    SetCursorPos(5, 5);
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(TextColour(), RGB(255, 0, 0)) << "hover";

    link.answer = 42;
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(HyperLinkProbe(link).isVisited());
    EXPECT_TRUE(link.reported.empty()) << "42 is success";
    EXPECT_EQ(TextColour(), RGB(85, 26, 139)) << "visited, hover ended by the click";
    EXPECT_EQ(parentSaw, 0) << "the link consumes its click";
    EXPECT_EQ(link.shows, std::vector<int>{SW_SHOW}) << "the target opens with show mode 5";

    link.answer = 4;
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_FALSE(HyperLinkProbe(link).isVisited());
    EXPECT_EQ(link.reported, std::vector<int>{4});
    EXPECT_EQ(TextColour(), RGB(0, 0, 238)) << "a failed open clears the visited state";
}
} // namespace
