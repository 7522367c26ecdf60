#include "tests/unit/RecorderDialogTest.h"

#include "app/Settings.h"
#include "resources/resource.h"

#include <commctrl.h>

namespace {

using Calls = std::vector<std::string>;

// The mixer calls only: pin names are the first word of every call a pin logs.
Calls MixerCalls(const CallLog& log, const std::vector<std::string>& pins) {
    Calls calls;
    for (const std::string& call : log.calls()) {
        for (const std::string& pin : pins) {
            if (call.rfind(pin + ".", 0) == 0) {
                calls.push_back(call);
            }
        }
    }
    return calls;
}

struct StartUpCase {
    const char* name;
    std::vector<std::string> inputs;
    int searchFlag, storedPin;
    int selected;
    Calls mixerCalls;
};

class FirstInputSelection : public RecorderDialogTest,
                            public testing::WithParamInterface<StartUpCase> {};

TEST_P(FirstInputSelection, SelectsAndEnablesOneInputAndDisablesTheOthersInOrder) {
    const StartUpCase& c = GetParam();
    AddCard("Card", c.inputs);
    Seed(settings::kSearchFlag, c.searchFlag);
    Seed(settings::kCapturePinIndex, c.storedPin);
    Open();
    EXPECT_EQ(Entries(IDC_INPUT), c.inputs);
    EXPECT_EQ(Selection(IDC_INPUT), c.selected);
    EXPECT_EQ(MixerCalls(log, c.inputs), c.mixerCalls);
    EXPECT_EQ(desktop.inputHelpShown, 0) << "start-up never shows the guidance";
    Close();
    EXPECT_EQ(SettingInt(settings::kSearchFlag), 1);
    EXPECT_EQ(SettingInt(settings::kCapturePinIndex), c.selected);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, FirstInputSelection,
    testing::Values(StartUpCase{"loopback_found",
                                {"Microphone", "Line In", "Stereo Mix"},
                                0,
                                0,
                                2,
                                {"Microphone.disable", "Line In.disable", "Stereo Mix.readLevel",
                                 "Stereo Mix.enable"}},
                    StartUpCase{"no_keyword_keeps_stored_position",
                                {"Microphone", "Line In", "CD Audio"},
                                0,
                                1,
                                1,
                                {"Microphone.disable", "Line In.readLevel", "Line In.enable",
                                 "CD Audio.disable"}},
                    StartUpCase{"capitals_match_first_wins",
                                {"Microphone", "WAVE OUT MIX", "Stereo Mix"},
                                0,
                                0,
                                1,
                                {"Microphone.disable", "WAVE OUT MIX.readLevel",
                                 "WAVE OUT MIX.enable", "Stereo Mix.disable"}},
                    StartUpCase{
                        "search_ran_before",
                        {"Microphone", "Stereo Mix"},
                        1,
                        0,
                        0,
                        {"Microphone.readLevel", "Microphone.enable", "Stereo Mix.disable"}}),
    [](const testing::TestParamInfo<StartUpCase>& row) { return std::string(row.param.name); });

class InputLineTest : public RecorderDialogTest {
protected:
    void OpenIdle() {
        Seed(settings::kOnlyOnce, 1);
        Open();
        log.Clear();
    }
    void ReleaseSliderAt(int position) {
        SendDlgItemMessageA(window(), IDC_LEVEL, TBM_SETPOS, TRUE, position);
        NMHDR header{Item(IDC_LEVEL), IDC_LEVEL, static_cast<UINT>(NM_RELEASEDCAPTURE)};
        SendMessageA(window(), WM_NOTIFY, IDC_LEVEL, reinterpret_cast<LPARAM>(&header));
    }
};

TEST_F(InputLineTest, PositionBeyondAnotherDevicesInputsSelectsNothingAndDisablesAll) {
    AddCard("A", {"a1", "a2", "a3", "a4"});
    AddCard("B", {"b1", "b2"});
    Seed(settings::kSearchFlag, 1);
    Seed(settings::kCapturePinIndex, 3);
    OpenIdle();
    ASSERT_EQ(Selection(IDC_INPUT), 3);
    Select(IDC_SOUND_CARD, 1);
    EXPECT_EQ(Entries(IDC_INPUT), (std::vector<std::string>{"b1", "b2"}));
    EXPECT_EQ(Selection(IDC_INPUT), CB_ERR);
    EXPECT_EQ(MixerCalls(log, {"b1", "b2"}), (Calls{"b1.disable", "b2.disable"}));
    EXPECT_EQ(nCapturePinIndex, -1);
}

TEST_F(InputLineTest, PinsWithoutMixerAreSkippedAndUnreadablePinsListedAsErrors) {
    FakeCaptureFilter& card = AddCard("Card", {"Mic"});
    card.AddPin("Aux", PINDIR_INPUT, false);
    card.AddPin("Stereo Mix", PINDIR_INPUT, true);
    card.AddPin("Broken", PINDIR_INPUT, true).directionResult = E_UNEXPECTED;
    OpenIdle();
    EXPECT_EQ(Entries(IDC_INPUT),
              (std::vector<std::string>{"Mic", "Aux", "Stereo Mix", "<ERROR>"}));
    Select(IDC_INPUT, 2);
    EXPECT_EQ(MixerCalls(log, {"Mic", "Aux", "Stereo Mix", "Broken"}),
              (Calls{"Mic.disable", "Stereo Mix.readLevel", "Stereo Mix.enable"}));
}

TEST_F(InputLineTest, SliderShowsTheSelectedInputsLevelTruncated) {
    FakeCaptureFilter& card = AddCard("Card", {"Line In"});
    OpenIdle();
    const struct {
        double level;
        HRESULT readResult;
        int position;
    } cases[] = {{0.75, S_OK, 150},
                 {0.4999, S_OK, 99},
                 {1.0, S_OK, 200},
                 {-0.2, S_OK, 0},
                 {0.75, E_FAIL, 0}};
    for (const auto& c : cases) {
        card.pin("Line In").level = c.level;
        card.pin("Line In").levelResult = c.readResult;
        Select(IDC_INPUT, 0);
        EXPECT_EQ(SliderPosition(), c.position)
            << "level " << c.level << " read 0x" << std::hex << c.readResult;
    }
}

TEST_F(InputLineTest, ReleasingTheSliderSetsTheLevelOnTheSelectedInputOnly) {
    FakeCaptureFilter& card = AddCard("Card", {"Mic", "Line In", "Stereo Mix"});
    OpenIdle();
    Select(IDC_INPUT, 1);
    card.pin("Mic").level = 0.3;
    log.Clear();
    ReleaseSliderAt(100);
    EXPECT_EQ(MixerCalls(log, {"Mic", "Line In", "Stereo Mix"}),
              (Calls{"Mic.disable", "Line In.level=0.5", "Line In.enable", "Stereo Mix.disable"}));
    EXPECT_EQ(card.pin("Mic").level, 0.3) << "untouched level of another input";
    EXPECT_EQ(nCapturePinIndex, 1);
}

TEST_F(InputLineTest, EmptyInputListAppliesNothingAndSucceeds) {
    services.AddDevice("Card").AddPin("Capture", PINDIR_OUTPUT);
    OpenIdle();
    EXPECT_TRUE(Entries(IDC_INPUT).empty());
    ReleaseSliderAt(100);
    EXPECT_EQ(Probe().ApplyRecordingLevel(0.5), S_OK);
    EXPECT_EQ(Probe().ApplyInputSelection(), S_OK);
    EXPECT_TRUE(log.calls().empty());
}

TEST_F(InputLineTest, InputChangeWhileRecordingStopsFirst) {
    AddCard("Card", {"Mic", "Line In"});
    OpenIdle();
    Click(IDC_RECORD);
    Select(IDC_INPUT, 1);
    const int stopped = log.IndexOf("g1.StopWhenReady");
    ASSERT_GE(stopped, 0);
    EXPECT_GT(log.IndexOf("g1.RemoveFilter File Writer"), stopped);
    EXPECT_GT(log.IndexOf("Mic.disable"), log.IndexOf("g1.RemoveFilter File Writer"));
    EXPECT_FALSE(Probe().recording());
    EXPECT_EQ(Text(IDC_STATUS), "Status : Ready");
}

TEST_F(InputLineTest, GuidanceShowsOnUserChangesUntilOkWithItsBoxChecked) {
    AddCard("Card", {"Mic", "Line In"});
    Open();
    ASSERT_EQ(desktop.inputHelpShown, 0);
    const struct {
        INT_PTR result;
        int checkBox;
        int shownAfter;
    } changes[] = {
        {IDOK, 0, 1},     // OK with the box cleared: shown again next time
        {IDCANCEL, 1, 2}, // cancel: the box does not count
        {IDOK, 1, 3},     // OK with the box checked: the last time
        {IDOK, 0, 3},
    };
    int shown = 0;
    for (const auto& change : changes) {
        desktop.inputHelpResult = change.result;
        desktop.inputHelpCheckBox = change.checkBox;
        log.Clear();
        Select(IDC_INPUT, 1);
        EXPECT_EQ(desktop.inputHelpShown, change.shownAfter);
        EXPECT_EQ(log.calls().back(), "Line In.enable") << "the change is applied anyway";
        if (change.shownAfter > shown) {
            EXPECT_EQ(log.calls().front(), "input help") << "guidance comes before the change";
        }
        shown = change.shownAfter;
    }
}

} // namespace

// A keyboard move of the slider ends with TB_ENDTRACK and no NM_RELEASEDCAPTURE: the level
// applies then, once per move; a mouse move, which holds the capture at TB_ENDTRACK, applies
// once at the release.
TEST_F(InputLineTest, KeyboardMoveOfTheSliderAppliesTheLevelOnceWhenItEnds) {
    AddCard("Card", {"Mic", "Line In"});
    OpenIdle();
    Select(IDC_INPUT, 1);
    log.Clear();
    HWND slider = Item(IDC_LEVEL);
    SendMessageA(slider, TBM_SETPOS, TRUE, 100);
    SendMessageA(window(), WM_VSCROLL, TB_LINEDOWN, reinterpret_cast<LPARAM>(slider));
    Pump();
    EXPECT_TRUE(log.Matching("Line In.level").empty()) << "nothing before the move ends";
    SendMessageA(window(), WM_VSCROLL, TB_ENDTRACK, reinterpret_cast<LPARAM>(slider));
    Pump();
    EXPECT_EQ(log.Matching("Line In.level"), (Calls{"Line In.level=0.5"}));

    log.Clear();
    RECT thumb{};
    SendMessageA(slider, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const LPARAM at = MAKELPARAM((thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2);
    SendMessageA(slider, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(slider, WM_LBUTTONUP, 0, at);
    Pump();
    EXPECT_EQ(log.Matching("Line In.level").size(), 1u) << "a mouse move applies once";
}
