// LevelMeasure on known signals in every sample format it reads, the edges of 24-bit and float
// samples, the time of silence, buffers cut inside a frame, and formats it cannot read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "filters/wavdest/LevelMeasure.h"

namespace {

struct FormatCase {
    const char* name;
    WORD tag, subformat; // an extensible format carries its subformat's tag
    WORD bits, validBits;
    double sineToleranceDb; // 8 bits come no nearer to -20 dBFS than 0.14 dB
};
const FormatCase kFormats[] = {
    {"u8", WAVE_FORMAT_PCM, 0, 8, 8, 0.15},
    {"s16", WAVE_FORMAT_PCM, 0, 16, 16, 0.1},
    {"s24", WAVE_FORMAT_PCM, 0, 24, 24, 0.1},
    {"s32", WAVE_FORMAT_PCM, 0, 32, 32, 0.1},
    {"f32", WAVE_FORMAT_IEEE_FLOAT, 0, 32, 32, 0.1},
    {"ext24in32", WAVE_FORMAT_EXTENSIBLE, WAVE_FORMAT_PCM, 32, 24, 0.1},
    {"extfloat", WAVE_FORMAT_EXTENSIBLE, WAVE_FORMAT_IEEE_FLOAT, 32, 32, 0.1},
};
const FormatCase& kS16 = kFormats[1];
const FormatCase& kS24 = kFormats[2];
const FormatCase& kF32 = kFormats[4];

void Start(wavdest::LevelMeasure& measure, const FormatCase& f, WORD channels) {
    WAVEFORMATEXTENSIBLE x{};
    x.Format = {f.tag, channels, 48000, 0, static_cast<WORD>(channels * f.bits / 8), f.bits, 22};
    x.Samples.wValidBitsPerSample = f.validBits;
    x.SubFormat = {f.subformat, 0, 0x10, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
    measure.Start(x.Format, sizeof x, 0);
}

// Stereo frames of wave(i) (1.0 is full scale), clamped as a converter would.
template <typename Wave> std::vector<uint8_t> Frames(const FormatCase& f, size_t n, Wave wave) {
    std::vector<uint8_t> out;
    const bool isFloat = f.tag == WAVE_FORMAT_IEEE_FLOAT || f.subformat == WAVE_FORMAT_IEEE_FLOAT;
    const double top = std::ldexp(1.0, f.validBits - 1);
    for (size_t i = 0; i < 2 * n; ++i) {
        const float real = static_cast<float>(wave(i / 2));
        int64_t integer = 0;
        if (!isFloat) {
            integer = static_cast<int64_t>(std::clamp(std::round(real * top), -top, top - 1))
                      << (f.bits - f.validBits);
            integer += f.bits == 8 ? 128 : 0;
        }
        const auto* bytes = isFloat ? reinterpret_cast<const uint8_t*>(&real)
                                    : reinterpret_cast<const uint8_t*>(&integer);
        out.insert(out.end(), bytes, bytes + f.bits / 8);
    }
    return out;
}

double Db(float peak) {
    return 20.0 * std::log10(peak);
}

class LevelFormats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(LevelFormats, SquareSineAndSilence) {
    const FormatCase& f = GetParam();
    wavdest::LevelMeasure measure;
    Start(measure, f, 2);
    auto feed = [&](const std::vector<uint8_t>& bytes, uint64_t nowMs) {
        measure.Feed(bytes.data(), bytes.size(), nowMs);
        return measure.Read(nowMs);
    };
    LevelReading r = feed(Frames(f, 4800, [](size_t i) { return i / 24 % 2 ? 1.0 : -1.0; }), 100);
    EXPECT_EQ(r.channels, 2u);
    EXPECT_NEAR(Db(r.peak[1]), 0.0, 0.01) << "full-scale square";
    EXPECT_EQ(r.clippedSamples, 9600u) << "every sample of both channels";

    const double amplitude = std::pow(10.0, -20.0 / 20.0); // 1 kHz at 48 kHz
    r = feed(Frames(f, 4800, [&](size_t i) { return amplitude * std::sin(i * 0.1309); }), 200);
    EXPECT_NEAR(Db(r.peak[0]), -20.0, f.sineToleranceDb) << "-20 dBFS sine";
    EXPECT_EQ(r.clippedSamples, 9600u) << "no more clipping";

    // Half a second of sound and a quarter of silence, arriving at 1000; then silence only.
    r = feed(Frames(f, 36000, [](size_t i) { return i < 24000 ? 0.5 : 0.0; }), 1000);
    EXPECT_EQ(r.silentMs, 250u) << "since the last sound in the buffer";
    r = feed(Frames(f, 48000, [](size_t) { return 0.0; }), 2000);
    EXPECT_EQ(r.peak[0], 0.0f) << "digital silence";
    EXPECT_EQ(r.silentMs, 1250u);
    EXPECT_EQ(r.frames, 4800u + 4800 + 36000 + 48000);
}

INSTANTIATE_TEST_SUITE_P(, LevelFormats, ::testing::ValuesIn(kFormats),
                         [](const auto& test) { return std::string(test.param.name); });

// One sample at an edge of its format: its level (NAN: silent) and whether it clips.
TEST(LevelEdges, TwentyFourBitAndFloatSamples) {
    const struct {
        const char* what;
        const FormatCase& format;
        double value; // 1.0 is full scale
        double db;
        bool clipped;
    } cases[] = {
        {"24-bit most negative", kS24, -1.0, 0.0, true},
        {"24-bit largest positive", kS24, 1.0, 0.0, true},
        {"24-bit as large, negative", kS24, -1.0 + std::ldexp(1, -23), 0.0, true},
        {"24-bit one below the largest", kS24, 1.0 - std::ldexp(1, -22), 0.0, false},
        {"24-bit -1", kS24, -std::ldexp(1, -23), NAN, false},
        {"float over full scale", kF32, 1.5, 0.0, true},
        {"float just below full scale", kF32, 0.99999994, 0.0, false},
        {"float below -90 dBFS", kF32, 1e-5, NAN, false},
        {"float not a number", kF32, NAN, NAN, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        wavdest::LevelMeasure measure;
        Start(measure, c.format, 2);
        const std::vector<uint8_t> bytes = Frames(c.format, 1, [&](size_t) { return c.value; });
        measure.Feed(bytes.data(), bytes.size(), 10);
        const LevelReading r = measure.Read(10);
        EXPECT_EQ(r.silentMs, std::isnan(c.db) ? 10u : 0u);
        if (!std::isnan(c.db)) {
            EXPECT_NEAR(Db(r.peak[0]), c.db, 0.01);
        }
        EXPECT_EQ(r.clippedSamples, c.clipped ? 2u : 0u);
    }
}

TEST(LevelReadings, ABufferEndingInsideAFrameKeepsTheFramesAligned) {
    wavdest::LevelMeasure measure;
    Start(measure, kS16, 2);
    std::vector<uint8_t> bytes = Frames(kS16, 4, [](size_t) { return 0.01; });
    for (size_t right = 2; right < bytes.size(); right += 4) {
        bytes[right] = 0x00; // -0.5
        bytes[right + 1] = 0xC0;
    }
    measure.Feed(bytes.data(), 5, 1);
    measure.Feed(bytes.data() + 5, bytes.size() - 5, 2);
    const LevelReading r = measure.Read(2);
    EXPECT_NEAR(Db(r.peak[0]), -40.0, 0.01);
    EXPECT_NEAR(Db(r.peak[1]), -6.02, 0.01);
    EXPECT_EQ(r.frames, 3u) << "the frame cut in two is left out";
    EXPECT_EQ(measure.Read(3).peak[1], 0.0f) << "the peaks start again after a reading";
}

TEST(LevelReadings, FormatsItCannotReadAreNotMeasured) {
    for (const FormatCase& f : {FormatCase{"adpcm", WAVE_FORMAT_ADPCM, 0, 16, 16, 0},
                                FormatCase{"double", WAVE_FORMAT_IEEE_FLOAT, 0, 64, 64, 0},
                                FormatCase{"other", WAVE_FORMAT_EXTENSIBLE, 0x55, 32, 24, 0}}) {
        wavdest::LevelMeasure measure;
        Start(measure, f, 2);
        const std::vector<uint8_t> bytes(64, 0x7F);
        measure.Feed(bytes.data(), bytes.size(), 1);
        EXPECT_EQ(measure.Read(1).channels, 0u) << f.name;
    }
    const WAVEFORMATEX extensibleAlone = {WAVE_FORMAT_EXTENSIBLE, 2, 48000, 192000, 4, 16, 0};
    wavdest::LevelMeasure cut;
    cut.Start(extensibleAlone, sizeof extensibleAlone, 0);
    EXPECT_EQ(cut.Read(0).channels, 0u) << "an extensible format without its extension";
}

} // namespace
