#include "tests/unit/RecorderDialogTest.h"

#include "app/Settings.h"
#include "resources/resource.h"
#include "tests/widgets/LevelMeterProbe.h"

namespace {

class LevelMeterRecordingTest : public RecorderDialogTest {
protected:
    void SetUp() override {
        AddCard("Card", {"Mic", "Line In"});
        Seed(settings::kOnlyOnce, 1);
        Seed(settings::kCapturePinIndex, 1);
    }
    HWND MeterWindow() const { return Item(IDC_LEVEL_METER); }
    LevelMeterProbe Meter() const {
        return LevelMeterProbe(*dynamic_cast<LevelMeter*>(fw::Window::FromHandle(MeterWindow())));
    }
    // Whether the meter's own timer is set; it is left as it was.
    bool MeterTimerSet() const {
        const bool set = KillTimer(MeterWindow(), LevelMeter::kTimerId);
        if (set) {
            SetTimer(MeterWindow(), LevelMeter::kTimerId, LevelMeter::kPeriodMs, nullptr);
        }
        return set;
    }
    FakeWavDest& WavDest() const { return *services.wavDests.back().get(); }
};

TEST_F(LevelMeterRecordingTest, RecordingShowsTheWavDestsLevelsFromTheMetersOwnTimer) {
    Open();
    Click(IDC_RECORD);
    EXPECT_TRUE(MeterTimerSet());
    EXPECT_EQ(Meter().tipText(), "Recording from \"Card\", input \"Line In\"");
    WavDest().reading = {2, {0.5f, 0.25f}, 4800, 0, 0, 0, 0};
    SendMessageA(MeterWindow(), WM_TIMER, LevelMeter::kTimerId, 0);
    EXPECT_EQ(Text(IDC_LEVEL_METER), "Level: left -6 dB, right -12 dB");
    Tick();
    EXPECT_EQ(WavDest().reads, 1) << "the record timer does not read the levels";

    Click(IDC_PAUSE);
    EXPECT_EQ(Meter().mode(), LevelMeter::Mode::Paused);
    EXPECT_FALSE(MeterTimerSet());
    Click(IDC_RECORD);
    EXPECT_TRUE(MeterTimerSet()) << "resumed";
    Click(IDC_STOP);
    EXPECT_EQ(Meter().mode(), LevelMeter::Mode::Empty);
    EXPECT_FALSE(MeterTimerSet());
    EXPECT_EQ(WavDest().refs(), 1u) << "the meter let go of the filter";
}

// What a slow disk cost the take stays in the meter's strip until the next Record; the status
// line says what it always says.
TEST_F(LevelMeterRecordingTest, ATakeThatLostSoundToTheDiskSaysSoUntilTheNextRecord) {
    struct Case {
        UINT32 silencedMs, unwrittenMs;
        const char* text;
    };
    const Case cases[] = {
        {3000, 0, "The disk fell behind: 3.0 s of this take are silence"},
        {0, 2950, "The disk stalled: the last 3.0 s were not written"},
        {1500, 400, "The disk fell behind: 1.5 s are silence, 0.4 s not written"},
        {0, 0, ""},
    };
    Open();
    for (const Case& c : cases) {
        Click(IDC_RECORD);
        EXPECT_EQ(Text(IDC_LEVEL_METER), "") << "a new take starts without the last one's notice";
        WavDest().reading.silencedMs = c.silencedMs;
        WavDest().reading.unwrittenMs = c.unwrittenMs;
        Click(IDC_STOP);
        EXPECT_EQ(Text(IDC_LEVEL_METER), c.text);
        EXPECT_EQ(Text(IDC_STATUS), "Status : Ready");
    }
}

TEST_F(LevelMeterRecordingTest, AWavDestWithoutLevelsRecordsWithAnEmptyMeter) {
    services.wavDestHasLevels = false;
    Open();
    Click(IDC_RECORD);
    EXPECT_TRUE(Probe().recording());
    EXPECT_EQ(Meter().mode(), LevelMeter::Mode::Empty);
    EXPECT_FALSE(MeterTimerSet());
}

TEST_F(LevelMeterRecordingTest, ClosingWhileRecordingLetsGoOfTheFilter) {
    Open();
    Click(IDC_RECORD);
    Close();
    EXPECT_EQ(WavDest().refs(), 1u);
}

} // namespace
