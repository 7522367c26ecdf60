// The skinned button's drop-down menu: loading, the opening sequence with its callback, the
// posted command, menu characters and the routing of measuring requests.
#include "tests/widgets/GlyphMenuProbe.h"
#include "tests/widgets/SkinButtonProbe.h"
#include "MenuTestIds.h"
#include "TestSupport.h"
#include "widgets/button/SkinButton.h"

#include <functional>
#include <optional>

namespace {
constexpr UINT kCallbackMessage = WM_APP + 5;
constexpr int kButtonId = 1200;

// Receives the button's callback just before the menu opens, while the menu loop runs.
class CallbackSink : public fw::Window {
public:
    std::function<void(HMENU popup, LPARAM lParam)> onCallback;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kCallbackMessage && onCallback) {
            onCallback(reinterpret_cast<HMENU>(wParam), lParam);
            return 0;
        }
        return Window::WindowProc(message, wParam, lParam);
    }
};

class ButtonMenuTest : public WidgetTest {
protected:
    void SetUp() override {
        HWND hwnd = parent.AddChild("BUTTON", "Menu", BS_PUSHBUTTON, {10, 10, 110, 40}, kButtonId);
        ASSERT_TRUE(button.Attach(hwnd));
        ASSERT_TRUE(sink.Create(0, "STATIC", "", WS_CHILD, {0, 0, 1, 1}, parent.hwnd(), 1201));
        parent.onCommand = [this](int id, int code) {
            if (id != kButtonId) {
                commands.push_back({id, code});
            }
        };
    }
    void LoadMenuWithCallback() {
        ASSERT_EQ(button.SetMenu(IDM_TEST_MENU, parent.hwnd(), {sink.hwnd(), kCallbackMessage, 42},
                                 false),
                  SkinButton::Ok);
    }
    // The menu loop takes these from the queue as if they were typed.
    void Type(UINT message, WPARAM key) const { PostMessageA(button.hwnd(), message, key, 0); }
    void Click() const { SendMessageA(button.hwnd(), BM_CLICK, 0, 0); }

    SkinButton button;
    CallbackSink sink;
    std::vector<std::pair<int, int>> commands;
};

// A letter of the ANSI code page whose byte there is not its UTF-16 code, when the code page
// has one: what an ANSI window receives for it differs from the item text's character.
std::optional<std::pair<wchar_t, BYTE>> AnsiLetterNotLatin1() {
    for (const wchar_t letter : std::wstring(L"\u0160\u017D\u0152\u0427\u0416\u03A3")) {
        char byte = 0;
        BOOL lossy = FALSE;
        if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &letter, 1, &byte, 1, nullptr,
                                &lossy) == 1 &&
            !lossy && static_cast<BYTE>(byte) != letter) {
            return std::make_pair(letter, static_cast<BYTE>(byte));
        }
    }
    return std::nullopt;
}
} // namespace

TEST_F(ButtonMenuTest, AMenuCharacterChoosesAnItemAndItsCommandIsPosted) {
    LoadMenuWithCallback();
    HMENU shownPopup = nullptr;
    LPARAM shownLParam = 0;
    bool pressedWhileOpen = false;
    sink.onCallback = [&](HMENU popup, LPARAM lParam) {
        shownPopup = popup;
        shownLParam = lParam;
        pressedWhileOpen = SkinButtonProbe(button).menuShown();
        Type(WM_CHAR, 'O');
    };
    Click();
    EXPECT_EQ(shownPopup, GetSubMenu(SkinButtonProbe(button).menu().get(), 0));
    EXPECT_EQ(shownLParam, 42);
    EXPECT_TRUE(pressedWhileOpen);
    EXPECT_FALSE(SkinButtonProbe(button).menuShown());
    Pump(50);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], std::make_pair(ID_OPEN, 0));
}

TEST_F(ButtonMenuTest, DismissingTheMenuPostsNothing) {
    LoadMenuWithCallback();
    sink.onCallback = [&](HMENU, LPARAM) { Type(WM_KEYDOWN, VK_ESCAPE); };
    Click();
    Pump(50);
    EXPECT_TRUE(commands.empty());
    EXPECT_FALSE(SkinButtonProbe(button).menuShown());
}

TEST_F(ButtonMenuTest, TheButtonPaintsPressedWhileItsMenuIsOpen) {
    LoadMenuWithCallback();
    auto paint = [&](Canvas& canvas) {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.hwndItem = button.hwnd();
        item.hDC = canvas.dc();
        item.rcItem = {0, 0, 100, 30};
        button.DrawItem(item);
    };
    Canvas closed(100, 30, RGB(250, 0, 250));
    paint(closed);
    Canvas open(100, 30, RGB(250, 0, 250));
    sink.onCallback = [&](HMENU, LPARAM) {
        paint(open);
        Type(WM_KEYDOWN, VK_ESCAPE);
    };
    Click();
    EXPECT_EQ(open.at(0, 0), GetSysColor(COLOR_BTNSHADOW)) << "sunken frame";
    EXPECT_EQ(open.at(99, 29), GetSysColor(COLOR_BTNHIGHLIGHT)) << "sunken frame";
    EXPECT_NE(closed.at(0, 0), GetSysColor(COLOR_BTNSHADOW));
}

TEST_F(ButtonMenuTest, ACheckBoxButtonTogglesAndNeverOpensItsMenu) {
    SkinButton box;
    HWND hwnd = parent.AddChild("BUTTON", "Box", BS_CHECKBOX, {10, 50, 110, 80}, 1202);
    ASSERT_TRUE(box.Attach(hwnd));
    ASSERT_EQ(box.SetMenu(IDM_TEST_MENU, parent.hwnd(), {sink.hwnd(), kCallbackMessage, 0}, false),
              SkinButton::Ok);
    bool opened = false;
    sink.onCallback = [&](HMENU, LPARAM) {
        opened = true;
        Type(WM_KEYDOWN, VK_ESCAPE);
    };
    SendMessageA(hwnd, BM_CLICK, 0, 0);
    EXPECT_FALSE(opened);
    EXPECT_TRUE(SkinButtonProbe(box).isChecked());
}

TEST_F(ButtonMenuTest, MeasuringAndMenuCharactersReachTheMenuOnlyForItsRegisteredPopups) {
    LoadMenuWithCallback();
    MEASUREITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    item.itemID = 12345;
    item.itemWidth = 77;
    EXPECT_EQ(SendMessageA(button.hwnd(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&item)), 0);
    EXPECT_EQ(item.itemWidth, 77u) << "not a menu of ours: default handling";

    HMENU file = GetSubMenu(SkinButtonProbe(button).menu().get(), 0);
    HMENU recent = GetSubMenu(file, 2);
    const GlyphMenuData* recentRecord =
        GlyphMenuProbe(*GlyphMenu::FromHandle(file)).records()[2].get();
    item.itemID = static_cast<UINT>(reinterpret_cast<UINT_PTR>(recent));
    item.itemData = reinterpret_cast<ULONG_PTR>(recentRecord);
    EXPECT_EQ(SendMessageA(button.hwnd(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&item)),
              TRUE);
    EXPECT_GT(item.itemWidth, 31u);

    const LRESULT answer = SendMessageA(button.hwnd(), WM_MENUCHAR, MAKEWPARAM('o', MF_POPUP),
                                        reinterpret_cast<LPARAM>(file));
    EXPECT_EQ(answer, MAKELRESULT(0, MNC_EXECUTE));
}

TEST_F(ButtonMenuTest, AMenuCharacterOutsideAsciiComesInTheAnsiCodePageAndFindsItsItem) {
    const auto letter = AnsiLetterNotLatin1();
    if (!letter) {
        GTEST_SKIP() << "the ANSI code page has no letter beyond Latin-1";
    }
    GlyphMenu top, popup;
    ASSERT_TRUE(top.Attach(CreatePopupMenu()));
    ASSERT_TRUE(popup.Attach(CreatePopupMenu()));
    top.AppendGlyphItem(L"&Tools", MF_POPUP, reinterpret_cast<UINT_PTR>(popup.get()), -1);
    popup.AppendGlyphItem(L"&Open", 0, 1, -1);
    popup.AppendGlyphItem((L"&" + std::wstring(1, letter->first) + L"ai").c_str(), 0, 2, -1);
    const LRESULT answer =
        SendMessageA(button.hwnd(), WM_MENUCHAR, MAKEWPARAM(letter->second, MF_POPUP),
                     reinterpret_cast<LPARAM>(popup.get()));
    EXPECT_EQ(answer, MAKELRESULT(1, MNC_EXECUTE)) << "byte 0x" << std::hex << int{letter->second};
}

TEST_F(ButtonMenuTest, WhileItsMenuIsOpenOnlyItsOwnItemsAreMeasured) {
    LoadMenuWithCallback();
    HMENU file = GetSubMenu(SkinButtonProbe(button).menu().get(), 0);
    const GlyphMenuData* open = GlyphMenuProbe(*GlyphMenu::FromHandle(file)).records()[0].get();
    auto measure = [&](UINT id, const void* data) {
        MEASUREITEMSTRUCT item{};
        item.CtlType = ODT_MENU;
        item.itemID = id;
        item.itemData = reinterpret_cast<ULONG_PTR>(data);
        item.itemWidth = 77;
        const LRESULT handled =
            SendMessageA(button.hwnd(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&item));
        return std::make_pair(handled, item.itemWidth);
    };
    // Shaped like a record, so that reading it as one does no harm here; it is no item of ours.
    GlyphMenuData foreign;
    foreign.text = L"Foreign";
    std::pair<LRESULT, UINT> ownItem, foreignItem;
    sink.onCallback = [&](HMENU, LPARAM) {
        ownItem = measure(ID_OPEN, open);
        foreignItem = measure(5000, &foreign);
        Type(WM_KEYDOWN, VK_ESCAPE);
    };
    Click();
    EXPECT_EQ(ownItem.first, TRUE);
    EXPECT_GT(ownItem.second, 31u);
    EXPECT_EQ(foreignItem, std::make_pair(LRESULT{0}, 77u)) << "another menu's item: default";
}

TEST_F(ButtonMenuTest, AMissingMenuResourceIsReportedAndIdZeroRemovesTheMenu) {
    EXPECT_EQ(button.SetMenu(999, parent.hwnd(), {}, false), SkinButton::ResourceFailed);
    EXPECT_FALSE(SkinButtonProbe(button).menu());
    LoadMenuWithCallback();
    EXPECT_TRUE(SkinButtonProbe(button).menu());
    EXPECT_EQ(button.SetMenu(0, nullptr, {}, false), SkinButton::Ok);
    EXPECT_FALSE(SkinButtonProbe(button).menu());
}
