// LevelMeasure on known signals in every sample format it reads: full scale, a -20 dBFS sine,
// silence and its time, the edges of 24-bit and float samples, and buffers cut inside a frame.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "filters/wavdest/LevelMeasure.h"

using wavdest::LevelMeasure;

namespace {

constexpr DWORD kRate = 48000;
const double kPi = std::acos(-1.0);

enum class Kind { Unsigned8, Int16, Int24, Int32, Float32 };

struct FormatCase {
    const char* name;
    Kind kind;
    WORD tag; // WAVE_FORMAT_EXTENSIBLE carries `subformat` as its subformat
    WORD subformat;
    WORD bits;      // container
    WORD validBits; // of an extensible format
    double sineToleranceDb;
};

// 8 bits cannot come nearer to -20 dBFS than 0.14 dB.
const FormatCase kFormats[] = {
    {"8-bit", Kind::Unsigned8, WAVE_FORMAT_PCM, 0, 8, 8, 0.15},
    {"16-bit", Kind::Int16, WAVE_FORMAT_PCM, 0, 16, 16, 0.1},
    {"24-bit packed", Kind::Int24, WAVE_FORMAT_PCM, 0, 24, 24, 0.1},
    {"32-bit", Kind::Int32, WAVE_FORMAT_PCM, 0, 32, 32, 0.1},
    {"float", Kind::Float32, WAVE_FORMAT_IEEE_FLOAT, 0, 32, 32, 0.1},
    {"extensible 24 in 32", Kind::Int32, WAVE_FORMAT_EXTENSIBLE, WAVE_FORMAT_PCM, 32, 24, 0.1},
    {"extensible float", Kind::Float32, WAVE_FORMAT_EXTENSIBLE, WAVE_FORMAT_IEEE_FLOAT, 32, 32,
     0.1},
};

WAVEFORMATEXTENSIBLE Format(const FormatCase& f, WORD channels) {
    WAVEFORMATEXTENSIBLE x{};
    x.Format.wFormatTag = f.tag;
    x.Format.nChannels = channels;
    x.Format.nSamplesPerSec = kRate;
    x.Format.wBitsPerSample = f.bits;
    x.Format.nBlockAlign = static_cast<WORD>(channels * f.bits / 8);
    x.Format.nAvgBytesPerSec = kRate * x.Format.nBlockAlign;
    if (f.tag == WAVE_FORMAT_EXTENSIBLE) {
        x.Format.cbSize = sizeof x - sizeof x.Format;
        x.Samples.wValidBitsPerSample = f.validBits;
        x.SubFormat = {
            f.subformat, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
    }
    return x;
}

// One sample of `value` (full scale is 1.0), clamped as a converter would, in the valid bits.
void Put(std::vector<uint8_t>& out, const FormatCase& f, double value) {
    if (f.kind == Kind::Float32) {
        const float v = static_cast<float>(value);
        const auto* p = reinterpret_cast<const uint8_t*>(&v);
        out.insert(out.end(), p, p + 4);
        return;
    }
    const double top = std::ldexp(1.0, f.validBits - 1);
    double scaled = std::min(std::max(std::round(value * top), -top), top - 1);
    int64_t v = static_cast<int64_t>(scaled) << (f.bits - f.validBits);
    if (f.kind == Kind::Unsigned8) {
        v += 128;
    }
    for (int i = 0; i < f.bits / 8; ++i) {
        out.push_back(static_cast<uint8_t>(static_cast<uint64_t>(v) >> (8 * i)));
    }
}

// Stereo frames whose both channels follow `wave(frame)`.
template <typename Wave>
std::vector<uint8_t> Frames(const FormatCase& f, size_t frames, Wave wave) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i < frames; ++i) {
        Put(out, f, wave(i));
        Put(out, f, wave(i));
    }
    return out;
}

double Db(float peak) {
    return 20.0 * std::log10(peak);
}

class LevelFormats : public ::testing::TestWithParam<FormatCase> {
protected:
    void Start(uint64_t nowMs = 0) {
        const WAVEFORMATEXTENSIBLE format = Format(GetParam(), 2);
        measure.Start(format.Format, sizeof format, nowMs);
    }
    void Feed(const std::vector<uint8_t>& bytes, uint64_t nowMs) {
        measure.Feed(bytes.data(), bytes.size(), nowMs);
    }
    LevelMeasure measure;
};

TEST_P(LevelFormats, FullScaleSquareIsZeroDbAndClips) {
    Start();
    Feed(Frames(GetParam(), 4800, [](size_t i) { return (i / 24) % 2 ? 1.0 : -1.0; }), 100);
    const LevelReading r = measure.Read(100);
    EXPECT_EQ(r.channels, 2u);
    EXPECT_NEAR(Db(r.peak[0]), 0.0, 0.01);
    EXPECT_NEAR(Db(r.peak[1]), 0.0, 0.01);
    EXPECT_EQ(r.clippedSamples, 9600u) << "every sample of both channels";
}

TEST_P(LevelFormats, SineAtMinus20DbReadsMinus20Db) {
    Start();
    const double amplitude = std::pow(10.0, -20.0 / 20.0);
    Feed(Frames(GetParam(), 4800,
                [&](size_t i) { return amplitude * std::sin(2 * kPi * 1000.0 * i / kRate); }),
         100);
    const LevelReading r = measure.Read(100);
    EXPECT_NEAR(Db(r.peak[0]), -20.0, GetParam().sineToleranceDb);
    EXPECT_NEAR(Db(r.peak[1]), -20.0, GetParam().sineToleranceDb);
    EXPECT_EQ(r.clippedSamples, 0u);
    EXPECT_EQ(r.silentMs, 0u);
}

TEST_P(LevelFormats, DigitalSilenceIsSilentAndCountsItsTime) {
    Start(1000);
    Feed(Frames(GetParam(), 48000, [](size_t) { return 0.0; }), 2000);
    LevelReading r = measure.Read(2500);
    EXPECT_EQ(r.peak[0], 0.0f);
    EXPECT_EQ(r.peak[1], 0.0f);
    EXPECT_EQ(r.silentMs, 1500u) << "silent since the start";

    // Half a second of sound, then a quarter second of silence, arriving at 3000.
    auto wave = [](size_t i) { return i < 24000 ? 0.5 : 0.0; };
    Feed(Frames(GetParam(), 36000, wave), 3000);
    r = measure.Read(3100);
    EXPECT_NEAR(r.silentMs, 350u, 1u) << "since the last sound in the buffer";
}

INSTANTIATE_TEST_SUITE_P(, LevelFormats, ::testing::ValuesIn(kFormats), [](const auto& test) {
    std::string name = test.param.name;
    for (char& c : name) {
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
});

// Single mono samples at the edges of their format: the level they read and whether they clip.
TEST(LevelEdges, TwentyFourBitAndFloatSamples) {
    struct Case {
        const char* what;
        size_t format; // index into kFormats
        std::vector<uint8_t> bytes;
        double db; // NAN: silent
        bool clipped;
    };
    auto f32 = [](float v) {
        std::vector<uint8_t> b(4);
        memcpy(b.data(), &v, 4);
        return b;
    };
    const Case cases[] = {
        {"24-bit largest positive", 2, {0xFF, 0xFF, 0x7F}, 0.0, true},
        {"24-bit most negative", 2, {0x00, 0x00, 0x80}, 0.0, true},
        {"24-bit one below the largest", 2, {0xFE, 0xFF, 0x7F}, 0.0, false},
        {"24-bit negative as large as the largest", 2, {0x01, 0x00, 0x80}, 0.0, true},
        {"24-bit smallest step", 2, {0x01, 0x00, 0x00}, NAN, false},
        {"24-bit -1", 2, {0xFF, 0xFF, 0xFF}, NAN, false},
        {"24-bit half scale", 2, {0x00, 0x00, 0xC0}, -6.02, false},
        {"float 1.0", 4, f32(1.0f), 0.0, true},
        {"float -1.0", 4, f32(-1.0f), 0.0, true},
        {"float over full scale", 4, f32(1.5f), 0.0, true},
        {"float just below full scale", 4, f32(0.99999994f), 0.0, false},
        {"float 0.5", 4, f32(-0.5f), -6.02, false},
        {"float below -90 dBFS", 4, f32(1e-5f), NAN, false},
        {"float not a number", 4, f32(NAN), NAN, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LevelMeasure measure;
        const WAVEFORMATEXTENSIBLE format = Format(kFormats[c.format], 1);
        measure.Start(format.Format, sizeof format, 0);
        measure.Feed(c.bytes.data(), c.bytes.size(), 10);
        const LevelReading r = measure.Read(10);
        if (std::isnan(c.db)) {
            EXPECT_EQ(r.peak[0], 0.0f) << "silent";
            EXPECT_EQ(r.silentMs, 10u);
        } else {
            EXPECT_NEAR(Db(r.peak[0]), c.db, 0.01);
            EXPECT_EQ(r.silentMs, 0u);
        }
        EXPECT_EQ(r.clippedSamples, c.clipped ? 1u : 0u);
    }
}

TEST(LevelReadings, PeaksStartAgainAfterEachReadAndChannelsStayApart) {
    LevelMeasure measure;
    const WAVEFORMATEXTENSIBLE format = Format(kFormats[1], 2);
    measure.Start(format.Format, sizeof format, 0);
    std::vector<uint8_t> loudLeft;
    Put(loudLeft, kFormats[1], 0.5);
    Put(loudLeft, kFormats[1], 0.0);
    measure.Feed(loudLeft.data(), loudLeft.size(), 1);
    LevelReading r = measure.Read(1);
    EXPECT_NEAR(Db(r.peak[0]), -6.02, 0.01);
    EXPECT_EQ(r.peak[1], 0.0f);
    r = measure.Read(2);
    EXPECT_EQ(r.peak[0], 0.0f) << "nothing arrived since the last reading";
}

TEST(LevelReadings, ABufferEndingInsideAFrameKeepsTheFramesAligned) {
    LevelMeasure measure;
    const WAVEFORMATEXTENSIBLE format = Format(kFormats[1], 2);
    measure.Start(format.Format, sizeof format, 0);
    // Frames of a quiet left and a loud right channel, cut after 5 bytes.
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 4; ++i) {
        Put(bytes, kFormats[1], 0.01);
        Put(bytes, kFormats[1], -0.5);
    }
    measure.Feed(bytes.data(), 5, 1);
    measure.Feed(bytes.data() + 5, bytes.size() - 5, 2);
    const LevelReading r = measure.Read(2);
    EXPECT_NEAR(Db(r.peak[0]), -40.0, 0.01);
    EXPECT_NEAR(Db(r.peak[1]), -6.02, 0.01);
    EXPECT_EQ(r.frames, 3u) << "the frame cut in two is left out";
}

TEST(LevelReadings, FormatsItCannotReadAreNotMeasured) {
    FormatCase adpcm = kFormats[1];
    adpcm.tag = WAVE_FORMAT_ADPCM;
    FormatCase doubles = kFormats[4];
    doubles.bits = 64;
    FormatCase unknownSubformat = kFormats[5];
    unknownSubformat.subformat = 0x55;
    for (const FormatCase& f : {adpcm, doubles, unknownSubformat}) {
        LevelMeasure measure;
        const WAVEFORMATEXTENSIBLE format = Format(f, 2);
        measure.Start(format.Format, sizeof format, 0);
        const std::vector<uint8_t> bytes(64, 0x7F);
        measure.Feed(bytes.data(), bytes.size(), 1);
        const LevelReading r = measure.Read(1);
        EXPECT_EQ(r.channels, 0u) << f.name << " tag " << f.tag;
        EXPECT_EQ(r.peak[0], 0.0f);
    }
    LevelMeasure cut;
    const WAVEFORMATEXTENSIBLE extensible = Format(kFormats[5], 2);
    cut.Start(extensible.Format, sizeof(WAVEFORMATEX), 0);
    EXPECT_EQ(cut.Read(0).channels, 0u) << "an extensible format without its extension";
}

} // namespace
