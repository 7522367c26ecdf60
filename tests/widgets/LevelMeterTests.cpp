#include "LevelMeterProbe.h"
#include "TestSupport.h"
#include "widgets/meter/LevelMeter.h"

#include <cmath>

namespace {
// Two bars of 5 rows (1-5 and 7-11) with the scale's row 6 between; the clip light at the right.
constexpr int W = 200, H = 13;
constexpr int kLeftRow = 3, kRightRow = 9, kScaleRow = 6, kLampX = W - 6;
constexpr double kSilent = -200;

// A reading with new data of the given levels.
MeterReading Reading(double leftDb, double rightDb, UINT64 clipped = 0, UINT32 silentMs = 0) {
    static UINT64 frames = 0;
    auto peak = [](double db) { return db <= kSilent ? 0.0f : float(std::pow(10, db / 20)); };
    return {2, {peak(leftDb), peak(rightDb)}, frames += 2400, clipped, silentMs};
}

class MeterPaint : public WidgetTest {
protected:
    void SetUp() override {
        meter.Attach(parent.AddChild("STATIC", "", SS_LEFT, {10, 10, 10 + W, 10 + H}, 2001));
        meter.Start(nullptr, 0);
        m_end = Paint().BoxOf(LevelMeter::kUnlitRed).right;
    }
    const Canvas& Paint() {
        canvas = std::make_unique<Canvas>(W, H, RGB(255, 255, 255));
        meter.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->dc()));
        return *canvas;
    }
    // One past the last lit pixel of a row (the peak tick at its end included), or 0.
    int LitTo(int row) const {
        int end = 0;
        for (int x = 0; x < W; ++x) {
            const COLORREF c = canvas->at(x, row);
            const bool lit = c == LevelMeter::kGreen || c == LevelMeter::kYellow ||
                             c == LevelMeter::kRed || c == LevelMeter::kHold;
            end = lit ? x + 1 : end;
        }
        return end;
    }
    // The x of a level on the scale, from where the bars start and end.
    int XOf(double db) const { return 1 + int(std::lround((db + 60) / 60 * (m_end - 1))); }
    COLORREF LeftAt(double db) const { return canvas->at(XOf(db), kLeftRow); }
    bool Warning() const { return LevelMeterProbe(meter).warning(); }

    LevelMeter meter;
    std::unique_ptr<Canvas> canvas;
    int m_end = 0;
};

TEST_F(MeterPaint, BarsFollowTheDbScaleInGreenYellowAndRed) {
    ASSERT_GT(XOf(0), W * 3 / 4) << "the bars take most of the strip";
    for (double db : {-30.0, -15.0, -6.0, -75.0}) {
        meter.Start(nullptr, 0);
        meter.Update(Reading(db, 0), 10);
        Paint();
        EXPECT_NEAR(LitTo(kLeftRow), db < -60 ? 0 : XOf(db), 1) << db << " dB";
    }
    EXPECT_PIXELS(*canvas, {{XOf(-13), kRightRow, LevelMeter::kGreen, "-13 dB"},
                            {XOf(-11), kRightRow, LevelMeter::kYellow, "-11 dB"},
                            {XOf(-7), kRightRow, LevelMeter::kYellow, "-7 dB"},
                            {XOf(-5), kRightRow, LevelMeter::kRed, "-5 dB"},
                            {XOf(-9), kLeftRow, LevelMeter::kUnlitYellow, "unlit yellow"},
                            {XOf(-3), kLeftRow, LevelMeter::kUnlitRed, "unlit red"},
                            {XOf(-12), kScaleRow, LevelMeter::kScale, "the mark at -12 dB"}});
}

TEST_F(MeterPaint, PeakTickHoldsOneAndAHalfSecondsAndBarsWaitForData) {
    auto tickEnd = [&] { return int(Paint().BoxOf(LevelMeter::kHold).right); };
    meter.Update(Reading(-10, -10), 1000);
    meter.Update(Reading(-40, -40), 2500);
    EXPECT_NEAR(tickEnd(), XOf(-10), 1) << "held at 1.5 s";
    meter.Update(Reading(-40, -40), 2550);
    EXPECT_NEAR(tickEnd(), XOf(-40), 1) << "back at the bar";

    MeterReading same = Reading(-20, -20);
    meter.Update(same, 3000);
    same.peak[0] = 0.0f; // the same frames: nothing new arrived
    meter.Update(same, 3500);
    Paint();
    EXPECT_EQ(LeftAt(-25), LevelMeter::kGreen) << "waiting";
    meter.Update(same, 3600);
    Paint();
    EXPECT_EQ(LeftAt(-25), LevelMeter::kUnlitGreen) << "none for 0.6 s: fallen 12 dB";
}

TEST_F(MeterPaint, PausedLooksDimmedAndTheClipLightStaysUntilTheNextStart) {
    meter.Update(Reading(-6, -6, 1), 10);
    meter.Pause();
    meter.Update(Reading(-60, -60), 60);
    Paint();
    EXPECT_PIXELS(*canvas, {{XOf(-30), kLeftRow, LevelMeter::Dimmed(LevelMeter::kGreen), "lit"},
                            {XOf(-3), kLeftRow, LevelMeter::Dimmed(LevelMeter::kUnlitRed), "unlit"},
                            {kLampX, kScaleRow, LevelMeter::Dimmed(LevelMeter::kClipOn), "clip"}});
    meter.Stop();
    Paint();
    EXPECT_EQ(canvas->at(kLampX, kScaleRow), LevelMeter::kClipOn) << "stopped";
    EXPECT_EQ(LitTo(kLeftRow), 0) << "and empty";
    meter.Start(nullptr, 100);
    EXPECT_EQ(Paint().at(kLampX, kScaleRow), LevelMeter::kClipOff);
}

TEST_F(MeterPaint, WarningAfterFiveSecondsOfSilenceUntilSoundComes) {
    meter.Update(Reading(kSilent, kSilent, 0, 4950), 4950);
    EXPECT_FALSE(Warning());
    meter.Update(Reading(kSilent, kSilent, 0, 5000), 5000);
    ASSERT_TRUE(Warning());
    Paint();
    EXPECT_NE(canvas->BoxOf(LevelMeter::kWarningColour).right, 0) << "the warning's text";
    EXPECT_EQ(canvas->BoxOf(LevelMeter::kUnlitGreen).right, 0) << "in place of the bars";
    EXPECT_EQ(meter.text(), LevelMeter::kWarningText);
    meter.Update(Reading(-30, -30), 5050);
    EXPECT_FALSE(Warning());
    meter.Pause();
    meter.Resume(60000);
    meter.Update(Reading(kSilent, kSilent, 0, 55000), 61000);
    EXPECT_FALSE(Warning()) << "paused time is not silence";
}

TEST_F(MeterPaint, WindowTextSaysTheLoudestLevelsAtMostOnceASecond) {
    meter.Update(Reading(-12.2, -14), 1000);
    EXPECT_EQ(meter.text(), "Level: left -12 dB, right -14 dB");
    meter.Update(Reading(-3, kSilent), 1500);
    meter.Update(Reading(-30, kSilent), 1900);
    EXPECT_EQ(meter.text(), "Level: left -12 dB, right -14 dB");
    meter.Update(Reading(-30, kSilent), 2000);
    EXPECT_EQ(meter.text(), "Level: left -3 dB, right silent");

    MeterReading mono = Reading(-7, kSilent);
    mono.channels = 1;
    meter.Start(nullptr, 0);
    EXPECT_EQ(meter.text(), "");
    meter.Update(mono, 10);
    EXPECT_EQ(meter.text(), "Level: -7 dB");
    EXPECT_EQ(Paint().at(5, kScaleRow), LevelMeter::kGreen) << "one bar over both rows";
}
} // namespace
