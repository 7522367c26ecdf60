#include "LevelMeterProbe.h"
#include "TestSupport.h"
#include "widgets/meter/LevelMeter.h"

#include <cmath>

namespace {
// Two bars of 5 rows (1-5 and 7-11) with the scale's row 6 between; the clip light at the right.
constexpr int W = 200, H = 13;
constexpr int kLeftRow = 3, kRightRow = 9, kLampX = W - 6, kLampY = 6;

LevelReading Reading(double leftDb, double rightDb, UINT64 clipped = 0, UINT32 silentMs = 0) {
    auto peak = [](double db) {
        return db <= -200 ? 0.0f : static_cast<float>(std::pow(10, db / 20));
    };
    static UINT64 frames = 0;
    LevelReading r{};
    r.channels = 2;
    r.frames = frames += 2400; // new data in each reading
    r.peak[0] = peak(leftDb);
    r.peak[1] = peak(rightDb);
    r.clippedSamples = clipped;
    r.silentMs = silentMs;
    return r;
}

bool IsLit(COLORREF c) {
    return c == LevelMeter::kGreen || c == LevelMeter::kYellow || c == LevelMeter::kRed;
}

class MeterPaint : public WidgetTest {
protected:
    void SetUp() override {
        meter.Attach(parent.AddChild("STATIC", "", SS_LEFT, {10, 10, 10 + W, 10 + H}, 2001));
        meter.Start(nullptr, 0);
    }
    void Paint() {
        canvas = std::make_unique<Canvas>(W, H, RGB(255, 255, 255));
        meter.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->dc()));
    }
    // One past the last lit pixel of a row (the peak tick at its end included), or 0.
    int LitTo(int row) {
        int end = 0;
        for (int x = 0; x < W; ++x) {
            const COLORREF c = canvas->at(x, row);
            end = IsLit(c) || c == LevelMeter::kHold ? x + 1 : end;
        }
        return end;
    }
    // The x of a level on the scale, from where the bars start and end.
    int XOf(double db) const {
        return 1 + static_cast<int>(std::lround((db + 60) / 60 * (m_end - 1)));
    }
    void MeasureFullScale() {
        Paint();
        m_end = canvas->BoxOf(LevelMeter::kUnlitRed).right;
    }
    LevelMeter meter;
    std::unique_ptr<Canvas> canvas;

private:
    int m_end = 0;
};

TEST_F(MeterPaint, BarLengthFollowsTheDbScale) {
    MeasureFullScale();
    ASSERT_GT(XOf(0), W * 3 / 4) << "the bars take most of the strip";
    struct Case {
        double db;
        double fraction; // of the full bar
    };
    for (const Case& c :
         {Case{-30, 0.5}, Case{-15, 0.75}, Case{-6, 0.9}, Case{-60, 0}, Case{-75, 0}}) {
        SCOPED_TRACE(c.db);
        meter.Start(nullptr, 0);
        meter.Update(Reading(c.db, -200), 10);
        Paint();
        const int length = LitTo(kLeftRow);
        if (c.fraction == 0) {
            EXPECT_EQ(length, 0);
        } else {
            EXPECT_NEAR(length - 1, c.fraction * (XOf(0) - 1), 1.0);
        }
        EXPECT_EQ(LitTo(kRightRow), 0) << "the silent right channel";
    }
}

TEST_F(MeterPaint, ZonesAreGreenToMinus12YellowToMinus6RedAbove) {
    MeasureFullScale();
    meter.Update(Reading(0, -20), 10);
    Paint();
    EXPECT_PIXELS(*canvas, {{XOf(-30), kLeftRow, LevelMeter::kGreen, "-30 dB"},
                            {XOf(-13), kLeftRow, LevelMeter::kGreen, "-13 dB"},
                            {XOf(-11), kLeftRow, LevelMeter::kYellow, "-11 dB"},
                            {XOf(-7), kLeftRow, LevelMeter::kYellow, "-7 dB"},
                            {XOf(-5), kLeftRow, LevelMeter::kRed, "-5 dB"},
                            {XOf(-1), kLeftRow, LevelMeter::kRed, "-1 dB"},
                            {XOf(-30), kRightRow, LevelMeter::kGreen, "right at -30 dB"},
                            {XOf(-9), kRightRow, LevelMeter::kUnlitYellow, "right's unlit yellow"},
                            {XOf(-3), kRightRow, LevelMeter::kUnlitRed, "right's unlit red"},
                            {XOf(-12), 6, LevelMeter::kScale, "the scale's mark at -12 dB"}});
}

TEST_F(MeterPaint, PeakHoldTickStaysForOneAndAHalfSecondsThenFalls) {
    MeasureFullScale();
    auto tickEnd = [&] {
        Paint();
        return static_cast<int>(canvas->BoxOf(LevelMeter::kHold).right);
    };
    meter.Update(Reading(-10, -10), 1000);
    meter.Update(Reading(-40, -40), 2000);
    EXPECT_NEAR(tickEnd(), XOf(-10), 1) << "held";
    meter.Update(Reading(-40, -40), 2500);
    EXPECT_NEAR(tickEnd(), XOf(-10), 1) << "still held at 1.5 s";
    meter.Update(Reading(-40, -40), 2550);
    EXPECT_NEAR(tickEnd(), XOf(-40), 1) << "back at the bar";
}

TEST_F(MeterPaint, BarsWaitForTheNextBufferAndFallWhenNoneComes) {
    MeasureFullScale();
    LevelReading reading = Reading(-20, -20);
    meter.Update(reading, 1000);
    reading.peak[0] = reading.peak[1] = 0.0f; // the same frames: nothing new arrived
    meter.Update(reading, 1500);
    Paint();
    EXPECT_EQ(canvas->at(XOf(-25), kLeftRow), LevelMeter::kGreen) << "waiting";
    meter.Update(reading, 1600);
    Paint();
    EXPECT_EQ(canvas->at(XOf(-25), kLeftRow), LevelMeter::kUnlitGreen) << "fallen 12 dB";
}

TEST_F(MeterPaint, ClipLightStaysLitUntilTheNextStart) {
    Paint();
    EXPECT_EQ(canvas->at(kLampX, kLampY), LevelMeter::kClipOff);
    meter.Update(Reading(0, 0, 3), 10);
    meter.Update(Reading(-20, -20, 3), 60);
    meter.Stop();
    Paint();
    EXPECT_EQ(canvas->at(kLampX, kLampY), LevelMeter::kClipOn) << "stopped";
    EXPECT_EQ(LitTo(kLeftRow), 0) << "a stopped meter is empty";
    meter.Start(nullptr, 100);
    Paint();
    EXPECT_EQ(canvas->at(kLampX, kLampY), LevelMeter::kClipOff);
}

TEST_F(MeterPaint, WarningAfterFiveSecondsOfSilenceUntilSoundComes) {
    meter.Update(Reading(-200, -200, 0, 4950), 4950);
    EXPECT_FALSE(LevelMeterProbe(meter).warning());
    meter.Update(Reading(-200, -200, 0, 5000), 5000);
    ASSERT_TRUE(LevelMeterProbe(meter).warning());
    Paint();
    EXPECT_NE(canvas->BoxOf(LevelMeter::kWarningColour).right, 0) << "the warning's text";
    EXPECT_EQ(canvas->BoxOf(LevelMeter::kUnlitGreen).right, 0) << "in place of the bars";
    EXPECT_EQ(meter.text(), LevelMeter::kWarningText);
    meter.Update(Reading(-30, -30), 5050);
    EXPECT_FALSE(LevelMeterProbe(meter).warning());

    meter.Pause();
    meter.Resume(60000);
    meter.Update(Reading(-200, -200, 0, 55000), 61000);
    EXPECT_FALSE(LevelMeterProbe(meter).warning()) << "paused time is not silence";
}

TEST_F(MeterPaint, PausedMeterShowsItsLastReadingDimmed) {
    MeasureFullScale();
    meter.Update(Reading(-6, -6, 1), 10);
    meter.Pause();
    meter.Update(Reading(-60, -60), 60);
    Paint();
    EXPECT_PIXELS(*canvas,
                  {{XOf(-30), kLeftRow, LevelMeter::Dimmed(LevelMeter::kGreen), "lit green"},
                   {XOf(-3), kLeftRow, LevelMeter::Dimmed(LevelMeter::kUnlitRed), "unlit red"},
                   {kLampX, kLampY, LevelMeter::Dimmed(LevelMeter::kClipOn), "clip light"}});
    EXPECT_NE(LevelMeter::Dimmed(LevelMeter::kGreen), LevelMeter::kGreen);
}

TEST_F(MeterPaint, WindowTextSaysTheLoudestLevelsAtMostOnceASecond) {
    meter.Update(Reading(-12.2, -14), 1000);
    EXPECT_EQ(meter.text(), "Level: left -12 dB, right -14 dB");
    meter.Update(Reading(-3, -200), 1500);
    meter.Update(Reading(-30, -200), 1900);
    EXPECT_EQ(meter.text(), "Level: left -12 dB, right -14 dB");
    meter.Update(Reading(-30, -200), 2000);
    EXPECT_EQ(meter.text(), "Level: left -3 dB, right silent");

    LevelReading mono = Reading(-7, -200);
    mono.channels = 1;
    meter.Start(nullptr, 0);
    EXPECT_EQ(meter.text(), "");
    meter.Update(mono, 10);
    EXPECT_EQ(meter.text(), "Level: -7 dB");
    Paint();
    EXPECT_TRUE(IsLit(canvas->at(5, 6))) << "one bar over both rows and the middle";
    meter.Stop();
    EXPECT_EQ(meter.text(), "");
}
} // namespace
