// CaptureTimeline: the stream's anchor is the earliest that its bytes could have been captured,
// whatever the lateness of their arrival, and never before the device's start.
#include <gtest/gtest.h>

#include "filters/wine/audiocapture/CaptureTimeline.h"

using audiocapture::CaptureTimeline;

namespace {

constexpr uint32_t kRate = 176400; // 44.1 kHz 16-bit stereo
constexpr uint32_t kBuffer = kRate / 10;

TEST(CaptureTimeline, LateArrivalsDoNotMoveTheAnchor) {
    CaptureTimeline timeline(kRate, 4);
    timeline.Restart(1000);
    // Buffers of 100 ms, the first two 20 ms after they filled, the third 300 ms late and the
    // two after it with it.
    const double arrivals[] = {1120, 1220, 1620, 1620, 1620};
    uint64_t bytes = 0;
    for (double at : arrivals) {
        bytes += kBuffer;
        timeline.Arrived(at, bytes);
    }
    EXPECT_DOUBLE_EQ(timeline.AnchorMs(), 1020);
    EXPECT_EQ(timeline.OffsetAt(1020 + 2500), 2500u * kRate / 1000);
}

TEST(CaptureTimeline, OffsetsAreWholeBlocksFromTheStreamStart) {
    CaptureTimeline timeline(kRate, 4);
    timeline.Restart(500);
    EXPECT_EQ(timeline.OffsetAt(400), 0u) << "before the start";
    EXPECT_EQ(timeline.OffsetAt(500.01) % 4, 0u);
    EXPECT_EQ(timeline.OffsetAt(501), 176u) << "176.4 bytes a millisecond, cut to a block";
}

TEST(CaptureTimeline, SoundFromBeforeTheStartDoesNotPullTheAnchorEarlier) {
    CaptureTimeline timeline(kRate, 4);
    timeline.Restart(2000);
    timeline.Arrived(2050, kBuffer); // 100 ms of sound 50 ms after the start
    EXPECT_DOUBLE_EQ(timeline.AnchorMs(), 2000);
}

TEST(CaptureTimeline, RestartForgetsTheOldAnchor) {
    CaptureTimeline timeline(kRate, 4);
    timeline.Restart(0);
    timeline.Arrived(110, kBuffer);
    timeline.Restart(5000);
    EXPECT_DOUBLE_EQ(timeline.AnchorMs(), 5000);
    timeline.Arrived(5150, kBuffer);
    EXPECT_DOUBLE_EQ(timeline.AnchorMs(), 5050);
}

} // namespace
