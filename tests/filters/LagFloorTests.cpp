// LagFloor: sound dropped upstream told from the device's count, latency not taken for a loss.
#include <gtest/gtest.h>

#include "filters/wine/audiocapture/LagFloor.h"

namespace {

// Wine's waveIn counts nothing for about a second after a program's first start, then runs
// that far behind (measured: 0 at 0.6 and 0.9 s, 190 ms at 1.2 s, 980 ms behind from then on).
TEST(LagFloor, ACountThatBeginsLateIsLatencyAndADropAfterItIsALoss) {
    constexpr double kBytesPerMs = 176.4, kLateMs = 980, kDropMs = 200;
    struct Case {
        const char* name;
        double dropAtMs;
        double expectedLossMs;
    };
    const Case cases[] = {{"a late start alone", 1e9, 0}, {"a drop after it", 3000, kDropMs}};
    for (const Case& c : cases) {
        audiocapture::LagFloor floor;
        floor.Restart(0);
        for (double ms = 250; ms <= 6000; ms += 250) {
            const double behind = kLateMs + (ms >= c.dropAtMs ? kDropMs : 0);
            const double counted = ms < 1100 ? 0 : (ms - behind) * kBytesPerMs;
            floor.Sample(ms, static_cast<uint64_t>(counted));
        }
        EXPECT_NEAR(floor.LostBy(6000, kBytesPerMs, 6000) / kBytesPerMs, c.expectedLossMs, 1)
            << c.name;
    }
}

} // namespace
