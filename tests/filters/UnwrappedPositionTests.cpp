// UnwrappedPosition: waveIn's 32-bit byte count carried on past its wrap.
#include <gtest/gtest.h>

#include <vector>

#include "filters/wine/audiocapture/UnwrappedPosition.h"

namespace {

TEST(UnwrappedPosition, CarriesTheCountOnPastTheWrap) {
    struct Case {
        const char* name;
        std::vector<uint32_t> raw;
        uint64_t expected;
    };
    // Read far more often than once per half range, as the capture thread reads it.
    const Case cases[] = {
        {"across the wrap", {0x7FFFFFFF, 0xFFFFFF00, 0x100}, 0x100000100},
        {"twice across", {0x70000000, 0xE0000000, 0x50000000, 0xC0000000, 0x30000000}, 0x230000000},
        {"a small step back is not a wrap", {0x5000, 0x4000}, 0x5000},
    };
    for (const Case& c : cases) {
        audiocapture::UnwrappedPosition position;
        uint64_t got = 0;
        for (uint32_t raw : c.raw) {
            got = position.Update(raw);
        }
        EXPECT_EQ(got, c.expected) << c.name;
    }
}

} // namespace
