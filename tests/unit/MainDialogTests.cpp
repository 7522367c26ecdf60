#include "tests/unit/RecorderDialogTest.h"

#include "app/Settings.h"
#include "tests/unit/TestApplication.h"
#include "tests/widgets/SkinLabelProbe.h"

#include "base/GdiObject.h"
#include "framework/MemoryDC.h"
#include "framework/SelectGuard.h"
#include "resources/resource.h"
#include "widgets/statics/SkinLabel.h"

#include <commctrl.h>

namespace {

const char* const kClosingKeys[] = {settings::kSoundCaptureIndex, settings::kCapturePinIndex,
                                    settings::kSearchFlag, settings::kOutputFile};

class MainDialogTest : public RecorderDialogTest {
protected:
    // A skinned label paints its own copy of the text; the window text keeps the template's.
    std::string Caption(int id) const {
        auto* label = dynamic_cast<SkinLabel*>(fw::Window::FromHandle(Item(id)));
        return label ? SkinLabelProbe(*label).caption() : "<not a skinned label>";
    }
    void SetUp() override {
        AddCard("A", {"Mic"});
        AddCard("B", {"Mic", "Line In", "Stereo Mix"});
        Seed(settings::kOnlyOnce, 1);
    }
};

namespace {
std::string LabelCaption(HWND dialog, int id) {
    auto* label = dynamic_cast<SkinLabel*>(fw::Window::FromHandle(GetDlgItem(dialog, id)));
    return label ? SkinLabelProbe(*label).caption() : std::string("(not a skinned label)");
}
} // namespace

TEST_F(MainDialogTest, CloseStopsTheRunningGraphThenSavesTheFourValues) {
    Open();
    Select(IDC_SOUND_CARD, 1);
    Select(IDC_INPUT, 2);
    Click(IDC_RECORD);
    SetText(IDC_OUTPUT_FILE, "D:\\typed\\later.wav");
    log.Clear();
    Close();
    const int stop = log.IndexOf("g2.Stop");
    ASSERT_GE(stop, 0);
    EXPECT_LT(stop, log.IndexOf("g2.SetNotifyWindow(null)"));
    EXPECT_EQ(SettingInt(settings::kSoundCaptureIndex), 1);
    EXPECT_EQ(SettingInt(settings::kCapturePinIndex), 2);
    EXPECT_EQ(SettingInt(settings::kSearchFlag), 1);
    EXPECT_EQ(Setting(settings::kOutputFile), "D:\\typed\\later.wav");
    for (const auto& graph : services.graphs) {
        EXPECT_EQ(graph->refs(), 1u) << "a graph is still held";
    }
    for (const auto& device : services.devices) {
        EXPECT_EQ(device->refs(), 1u) << "the list still holds " << device->name();
    }
}

// Escape ends the dialog without OnClose: nothing is saved, but a running recording must still
// be stopped before its graph goes, or the file would lose its final header.
TEST_F(MainDialogTest, EscapeStopsARecordingBeforeReleasingAndSavesNothing) {
    Open();
    Click(IDC_RECORD);
    log.Clear();
    SendMessageA(window(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(dialog->ended());
    DestroyWindow(window());
    const int stop = log.IndexOf("g1.Stop");
    ASSERT_GE(stop, 0);
    EXPECT_LT(stop, log.IndexOf("g1.SetNotifyWindow(null)"));
    for (const char* key : kClosingKeys) {
        EXPECT_FALSE(TestApplication::Get().HasSetting(key)) << key;
    }
}

TEST_F(MainDialogTest, LabelsAreRenamedFromMajorVersion6On) {
    const struct {
        DWORD major;
        const char* soundCard;
        const char* input;
    } cases[] = {{5, "Select a Sound Card", "Select an Input Device"},
                 {6, "Select a recording device", "Device properties"},
                 {10, "Select a recording device", "Device properties"}};
    for (const auto& c : cases) {
        desktop.majorVersion = c.major;
        Open();
        // The labels paint their own caption; the window text keeps the template's.
        EXPECT_EQ(LabelCaption(window(), IDC_SOUND_CARD_LABEL), c.soundCard) << "major " << c.major;
        EXPECT_EQ(LabelCaption(window(), IDC_INPUT_LABEL), c.input) << "major " << c.major;
        DestroyWindow(window());
    }
}

TEST_F(MainDialogTest, SystemMenuEndsWithASeparatorAndTheAboutItem) {
    Open();
    HMENU menu = GetSystemMenu(window(), FALSE);
    const int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    EXPECT_EQ(GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    char text[64] = {};
    GetMenuStringA(menu, IDM_ABOUTBOX, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&About Corvale Recorder");
    EXPECT_TRUE(GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR);
}

// 32-bit pixels of a bitmap, top row first.
std::vector<DWORD> PixelsOf(HDC dc, HBITMAP bitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    for (DWORD& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    return pixels;
}

TEST_F(MainDialogTest, BackgroundIsTheBitmapTiledOverTheWholeClientArea) {
    Open();
    RECT client{};
    GetClientRect(window(), &client);
    const int w = client.right, h = client.bottom;
    base::Bitmap tile(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BACKGROUND)));
    BITMAP tileInfo{};
    ASSERT_TRUE(GetObjectA(tile.get(), sizeof tileInfo, &tileInfo));
    const int tw = tileInfo.bmWidth, th = tileInfo.bmHeight;

    fw::MemoryDC target(nullptr);
    HDC screen = GetDC(nullptr);
    base::Bitmap canvas(CreateCompatibleBitmap(screen, w, h));
    ReleaseDC(nullptr, screen);
    std::vector<DWORD> tilePixels = PixelsOf(target.get(), tile.get(), tw, th);
    {
        fw::SelectGuard select(target.get(), canvas.get());
        SendMessageA(window(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(target.get()), 0);
    }
    std::vector<DWORD> painted = PixelsOf(target.get(), canvas.get(), w, h);
    int wrong = 0;
    std::string first;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            DWORD got = painted[static_cast<size_t>(y * w + x)];
            DWORD expected = tilePixels[static_cast<size_t>((y % th) * tw + x % tw)];
            if (got != expected && wrong++ == 0) {
                char text[96];
                snprintf(text, sizeof text, "(%d,%d): got %06lx, expected %06lx", x, y, got,
                         expected);
                first = text;
            }
        }
    }
    EXPECT_EQ(wrong, 0) << "first wrong pixel " << first;
}

} // namespace

// F1 arrives as WM_HELP, the framework's Help command as ID_HELP: both open the help file the
// Help button opens.
TEST_F(MainDialogTest, F1AndTheHelpCommandOpenTheHelpFile) {
    Open();
    Click(IDC_HELP_BUTTON);
    const std::vector<std::string> button = log.Matching("run ");
    ASSERT_EQ(button.size(), 1u);
    log.Clear();
    HELPINFO info{sizeof info, HELPINFO_WINDOW, IDC_RECORD, Item(IDC_RECORD), 0, {0, 0}};
    SendMessageA(window(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    SendMessageA(window(), WM_COMMAND, ID_HELP, 0);
    EXPECT_EQ(log.Matching("run "), (std::vector<std::string>{button[0], button[0]}));
}

// The platform tells only top-level windows of a colour-scheme change; the controls learn it
// from their parent.
TEST_F(MainDialogTest, ColourSchemeChangeReachesEveryControl) {
    Open();
    struct Heard {
        static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM w, LPARAM l, UINT_PTR,
                                     DWORD_PTR count) {
            if (message == WM_SYSCOLORCHANGE) {
                ++*reinterpret_cast<int*>(count);
            }
            return DefSubclassProc(hwnd, message, w, l);
        }
    };
    const int ids[] = {IDC_RECORD, IDC_STATUS, IDC_LEVEL, IDC_OUTPUT_FILE};
    int counts[4] = {};
    for (int i = 0; i < 4; ++i) {
        SetWindowSubclass(Item(ids[i]), Heard::Proc, 1, reinterpret_cast<DWORD_PTR>(&counts[i]));
    }
    SendMessageA(window(), WM_SYSCOLORCHANGE, 0, 0);
    for (int i = 0; i < 4; ++i) {
        RemoveWindowSubclass(Item(ids[i]), Heard::Proc, 1);
        EXPECT_EQ(counts[i], 1) << "control " << ids[i];
    }
}
