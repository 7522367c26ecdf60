// The glyph menu's model: template loading, item records, re-synchronisation, menu characters
// and the facts that choose the look.
#include "tests/widgets/GlyphMenuProbe.h"
#include "MenuTestIds.h"
#include "base/RegistryKey.h"
#include "widgets/menu/GlyphMenu.h"
#include "widgets/menu/MenuLook.h"
#include "widgets/menu/MenuTemplate.h"
#include "widgets/menu/ToolbarResource.h"

#include <gtest/gtest.h>

namespace {
GlyphMenu* SubMenuOf(const GlyphMenu& menu, int position) {
    return GlyphMenu::FromHandle(GetSubMenu(menu.get(), position));
}

bool LiveOwnerDrawn(HMENU menu, int position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
    return (info.fType & MFT_OWNERDRAW) != 0;
}

ULONG_PTR LiveItemData(HMENU menu, int position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
    return info.dwItemData;
}

std::wstring LiveText(HMENU menu, int position) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 255, MF_BYPOSITION);
    return text;
}

class PopupMenuTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(menu.Attach(CreatePopupMenu())); }
    GlyphMenu menu;
};
} // namespace

TEST(GlyphMenuTemplate, NestedPopupsLoadIntoTheirLevelsAndTheTopLevelStaysPlain) {
    GlyphMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDM_TEST_MENU));
    ASSERT_EQ(GetMenuItemCount(menu.get()), 2);
    ASSERT_EQ(GlyphMenuProbe(menu).records().size(), 2u);
    EXPECT_TRUE(GlyphMenuProbe(menu).plainTopLevel());
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(GlyphMenuProbe(menu).records()[i]->itemFlags, UINT{MF_BYPOSITION | MF_POPUP})
            << i;
        EXPECT_FALSE(LiveOwnerDrawn(menu.get(), i)) << "top-level item " << i;
    }
    EXPECT_EQ(LiveText(menu.get(), 0), L"&File");
    EXPECT_EQ(LiveText(menu.get(), 1), L"&Help");
    ASSERT_EQ(GlyphMenuProbe(menu).subMenus().size(), 2u);

    GlyphMenu* file = SubMenuOf(menu, 0);
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(GlyphMenuProbe(*file).records().size(), 3u);
    const GlyphMenuData& open = *GlyphMenuProbe(*file).records()[0];
    EXPECT_EQ(open.commandId, UINT_PTR{ID_OPEN});
    EXPECT_EQ(open.itemFlags, UINT{MF_OWNERDRAW});
    EXPECT_EQ(open.text.substr(0, 5), L"&Open");
    EXPECT_NE(open.text.find(L"\tCtrl+O"), std::wstring::npos);
    const GlyphMenuData& separator = *GlyphMenuProbe(*file).records()[1];
    EXPECT_EQ(separator.itemFlags, UINT{MF_SEPARATOR | MF_OWNERDRAW});
    EXPECT_EQ(separator.commandId, UINT_PTR{0});
    const GlyphMenuData& recentItem = *GlyphMenuProbe(*file).records()[2];
    EXPECT_EQ(recentItem.itemFlags, UINT{MF_POPUP | MF_OWNERDRAW}) << "end bit removed";
    EXPECT_EQ(recentItem.commandId, reinterpret_cast<UINT_PTR>(GetSubMenu(file->get(), 2)));
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(LiveOwnerDrawn(file->get(), i)) << i;
        EXPECT_EQ(LiveItemData(file->get(), i),
                  reinterpret_cast<ULONG_PTR>(GlyphMenuProbe(*file).records()[i].get()));
    }

    GlyphMenu* recent = SubMenuOf(*file, 2);
    ASSERT_NE(recent, nullptr);
    ASSERT_EQ(GlyphMenuProbe(*recent).records().size(), 2u);
    EXPECT_EQ(GlyphMenuProbe(*recent).records()[0]->commandId, UINT_PTR{ID_FIRST});
    EXPECT_EQ(GlyphMenuProbe(*recent).records()[1]->commandId, UINT_PTR{ID_SECOND});
    EXPECT_EQ(GlyphMenuProbe(*recent).records()[1]->itemFlags, UINT{MF_GRAYED | MF_OWNERDRAW});

    GlyphMenu* help = SubMenuOf(menu, 1);
    ASSERT_NE(help, nullptr);
    ASSERT_EQ(GlyphMenuProbe(*help).records().size(), 1u)
        << "the end bit of Recent closed File as well";
    EXPECT_EQ(GlyphMenuProbe(*help).records()[0]->commandId, UINT_PTR{ID_ABOUT});
    EXPECT_EQ(GlyphMenuProbe(*help).records()[0]->itemFlags, UINT{MF_CHECKED | MF_OWNERDRAW});

    for (HMENU popup : {file->get(), recent->get(), help->get()}) {
        EXPECT_TRUE(GlyphMenu::IsRegisteredMenu(popup));
    }
    std::string text;
    EXPECT_TRUE(GlyphMenuProbe(menu).GetItemText(ID_FIRST, text, MF_BYCOMMAND));
    EXPECT_EQ(text, "First");
    EXPECT_FALSE(GlyphMenuProbe(menu).GetItemText(999, text, MF_BYCOMMAND));
    int position = 7;
    EXPECT_EQ(GlyphMenuProbe(menu).FindItemOwner(ID_SECOND, position), recent);
    EXPECT_EQ(position, 1);

    const HMENU fileHandle = file->get();
    menu.DestroyMenu();
    EXPECT_FALSE(menu);
    EXPECT_FALSE(GlyphMenu::IsRegisteredMenu(fileHandle));
    EXPECT_EQ(GlyphMenu::FromHandle(fileHandle), nullptr);
    EXPECT_TRUE(GlyphMenuProbe(menu).records().empty());
    EXPECT_TRUE(menu.LoadMenu(IDM_TEST_MENU)) << "an emptied menu loads again";
}

TEST(GlyphMenuTemplate, AMissingResourceLeavesTheMenuAsItWas) {
    GlyphMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDM_TEST_MENU));
    const HMENU before = menu.get();
    EXPECT_FALSE(menu.LoadMenu(999));
    EXPECT_EQ(menu.get(), before);
    EXPECT_EQ(GlyphMenuProbe(menu).records().size(), 2u);
}

TEST(GlyphMenuTemplate, ATruncatedTemplateYieldsItsWholeItemsOnly) {
    const WORD data[] = {0, 0, MF_POPUP, L'A', 0, 0x80, 7, L'B', L'c'};
    const auto items = MenuTemplate::Parse(reinterpret_cast<const BYTE*>(data), sizeof data);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].text, L"A");
    EXPECT_TRUE(MenuTemplate::Parse(nullptr, 0).empty());
}

TEST_F(PopupMenuTest, AnItemWithIdZeroIsAnOwnerDrawnSeparatorWhateverTheFlags) {
    ASSERT_TRUE(menu.AppendGlyphItem(L"ignored", MF_GRAYED | MF_CHECKED | MF_BYPOSITION, 0, -1));
    ASSERT_TRUE(menu.AppendGlyphItem(L"plain", MF_CHECKED, 0, -1));
    EXPECT_EQ(GlyphMenuProbe(menu).records()[0]->itemFlags,
              UINT{MF_BYPOSITION | MF_SEPARATOR | MF_OWNERDRAW});
    EXPECT_EQ(GlyphMenuProbe(menu).records()[1]->itemFlags, UINT{MF_SEPARATOR | MF_OWNERDRAW});
    EXPECT_TRUE(GetMenuState(menu.get(), 0, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_TRUE(LiveOwnerDrawn(menu.get(), 1));
}

TEST_F(PopupMenuTest, AppendingToATemplateMenuTurnsTopLevelPopupsBackToPlainText) {
    GlyphMenu top;
    ASSERT_TRUE(top.LoadMenu(IDM_TEST_MENU));
    GlyphMenu extra;
    ASSERT_TRUE(extra.Attach(CreatePopupMenu()));
    top.AppendGlyphItem(L"&Extra", MF_POPUP, reinterpret_cast<UINT_PTR>(extra.get()), -1);
    EXPECT_FALSE(LiveOwnerDrawn(top.get(), 2));
    EXPECT_EQ(LiveText(top.get(), 2), L"&Extra");
    EXPECT_EQ(GlyphMenuProbe(top).records()[2]->itemFlags, UINT{MF_BYPOSITION | MF_POPUP});
}

TEST(GlyphMenuOwnership, ACallerOwnedPopupIsEmptiedWhenItsParentGoes) {
    GlyphMenu popup; // outlives the parent, as a caller's member would
    GlyphMenu top;
    ASSERT_TRUE(popup.Attach(CreatePopupMenu()));
    ASSERT_TRUE(top.Attach(CreatePopupMenu()));
    popup.AppendGlyphItem(L"&Inner", 0, 1, -1);
    top.AppendGlyphItem(L"&Popup", MF_POPUP, reinterpret_cast<UINT_PTR>(popup.get()), -1);
    const HMENU handle = popup.get();
    top.DestroyMenu();
    EXPECT_FALSE(popup) << "the platform destroyed its handle with the parent's";
    EXPECT_EQ(GlyphMenu::FromHandle(handle), nullptr);
    EXPECT_TRUE(GlyphMenuProbe(popup).records().empty());
}

TEST_F(PopupMenuTest, ResynchronisingKeepsTheRecordsWhoseIdsRemain) {
    menu.AppendGlyphItem(L"&Alpha", 0, 1, -1);
    menu.AppendGlyphItem(L"&Beta", 0, 2, -1);
    menu.AppendGlyphItem(nullptr, 0, 0, -1);
    menu.AppendGlyphItem(L"&Gamma", 0, 3, -1);
    const GlyphMenuData* alpha = GlyphMenuProbe(menu).records()[0].get();
    const GlyphMenuData* separator = GlyphMenuProbe(menu).records()[2].get();
    const GlyphMenuData* gamma = GlyphMenuProbe(menu).records()[3].get();
    // Other code changes the live menu: Beta goes, two plain items come.
    DeleteMenu(menu.get(), 2, MF_BYCOMMAND);
    AppendMenuW(menu.get(), MF_STRING, 9, L"&Nine");
    AppendMenuW(menu.get(), MF_STRING | MF_GRAYED, 10, L"&Ten");

    const LRESULT nine = GlyphMenu::MenuCharToPosition(L'N', MF_POPUP, menu.get());
    EXPECT_EQ(nine, MAKELRESULT(3, MNC_EXECUTE)) << "the lookup re-synchronised first";
    ASSERT_EQ(GlyphMenuProbe(menu).records().size(), 5u);
    EXPECT_EQ(GlyphMenuProbe(menu).records()[0].get(), alpha);
    EXPECT_EQ(GlyphMenuProbe(menu).records()[1].get(), separator);
    EXPECT_EQ(GlyphMenuProbe(menu).records()[2].get(), gamma);
    EXPECT_EQ(GlyphMenuProbe(menu).records()[3]->commandId, UINT_PTR{9});
    EXPECT_EQ(GlyphMenuProbe(menu).records()[3]->text, L"&Nine");
    EXPECT_EQ(GlyphMenuProbe(menu).records()[4]->itemFlags &
                  (MF_GRAYED | MF_OWNERDRAW | MF_BYPOSITION),
              UINT{MF_GRAYED | MF_OWNERDRAW | MF_BYPOSITION});
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(LiveOwnerDrawn(menu.get(), i)) << i;
        EXPECT_EQ(LiveItemData(menu.get(), i),
                  reinterpret_cast<ULONG_PTR>(GlyphMenuProbe(menu).records()[i].get()))
            << i;
    }
    EXPECT_TRUE(GetMenuState(menu.get(), 1, MF_BYPOSITION) & MF_SEPARATOR);
}

TEST_F(PopupMenuTest, MenuCharactersMatchWithoutCaseAndTheFirstPositionWins) {
    menu.AppendGlyphItem(L"&Open", 0, 1, -1);
    menu.AppendGlyphItem(L"&save", 0, 2, -1);
    menu.AppendGlyphItem(L"&Save As", 0, 3, -1);
    menu.AppendGlyphItem(L"E&xit", 0, 4, -1);
    const HMENU h = menu.get();
    EXPECT_EQ(GlyphMenu::MenuCharToPosition(L'S', MF_POPUP, h), MAKELRESULT(1, MNC_EXECUTE));
    EXPECT_EQ(GlyphMenu::MenuCharToPosition(L'o', MF_POPUP, h), MAKELRESULT(0, MNC_EXECUTE));
    EXPECT_EQ(GlyphMenu::MenuCharToPosition(L'X', MF_POPUP, h), MAKELRESULT(3, MNC_EXECUTE));
    EXPECT_EQ(GlyphMenu::MenuCharToPosition(L'q', MF_POPUP, h), 0);
    EXPECT_EQ(GlyphMenu::MenuCharToPosition(L'S', 0, h), 0) << "not a popup";
    EXPECT_EQ(GlyphMenu::MenuCharToPosition(L'S', MF_POPUP, nullptr), 0);
}

TEST(MenuLook, TheClassicThemeIsKnownByTheTailOfTheThemePath) {
    const char* key = "Software\\CorvaleTests\\Theme";
    struct Case {
        const char* value;
        bool classic;
    } cases[] = {
        {"C:\\WINDOWS\\Resources\\Themes\\WINDOWS CLASSIC.THEME", true},
        {"Windows Classic.theme", true},
        {"Classic.theme", false},
        {"C:\\Themes\\Luna.theme", false},
    };
    for (const Case& c : cases) {
        base::RegistryKey::Create(HKEY_CURRENT_USER, key).WriteString("", c.value);
        EXPECT_EQ(MenuLook::ReadClassicTheme(HKEY_CURRENT_USER, key), c.classic) << c.value;
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
    EXPECT_FALSE(MenuLook::ReadClassicTheme(HKEY_CURRENT_USER, key)) << "missing key";
    const bool first = GlyphMenu::IsClassicTheme();
    EXPECT_EQ(GlyphMenu::IsClassicTheme(), first);
}

TEST(MenuLook, VersionsMapToTheirClasses) {
    struct Case {
        DWORD platform, major, minor;
        int expected;
    } cases[] = {
        {VER_PLATFORM_WIN32s, 3, 10, MenuLook::kHostedLayer},
        {VER_PLATFORM_WIN32_WINDOWS, 3, 95, MenuLook::kHostedLayer},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 0, MenuLook::kNonNt},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 10, MenuLook::kNonNt410},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 90, MenuLook::kNonNt490},
        {VER_PLATFORM_WIN32_NT, 4, 0, MenuLook::kNt4},
        {VER_PLATFORM_WIN32_NT, 5, 0, MenuLook::kNt50},
        {VER_PLATFORM_WIN32_NT, 5, 1, MenuLook::kNt51},
        {VER_PLATFORM_WIN32_NT, 5, 2, MenuLook::kNtOther},
        {VER_PLATFORM_WIN32_NT, 10, 0, MenuLook::kNtOther},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MenuLook::ClassifyWindowsVersion(c.platform, c.major, c.minor), c.expected)
            << c.platform << " " << c.major << "." << c.minor;
    }
}

TEST(ToolbarResource, ButtonsCountImagesAndGapsDoNot) {
    ToolbarResource toolbar =
        ToolbarResource::Load(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_TEST_GLYPHS));
    EXPECT_EQ(toolbar.imageWidth(), 16);
    EXPECT_EQ(toolbar.imageHeight(), 15);
    int image = 0;
    EXPECT_TRUE(toolbar.FindImage(ID_FRAMED, image));
    EXPECT_EQ(image, 2);
    image = 0;
    EXPECT_TRUE(toolbar.FindImage(ID_RED, image));
    EXPECT_EQ(image, 0);
    EXPECT_FALSE(toolbar.FindImage(ID_OPEN, image));
}
