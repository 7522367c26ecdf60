// WavHeader: the RIFF layout for plain and extensible PCM, the sizes near and past 4 GiB,
// and the RF64 layout (EBU Tech 3306), all without writing any data.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "filters/wavdest/WavHeader.h"

using wavdest::WavHeader;

namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

uint64_t U64(const std::vector<uint8_t>& b, size_t at) {
    return U32(b, at) | static_cast<uint64_t>(U32(b, at + 4)) << 32;
}

uint16_t U16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

std::string Tag(const std::vector<uint8_t>& b, size_t at) {
    return std::string(b.begin() + at, b.begin() + at + 4);
}

// A WAVEFORMATEX (18 bytes) as the input pin gets it.
std::vector<uint8_t> WaveFormat(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    std::vector<uint8_t> f(18, 0);
    auto put16 = [&](size_t at, uint16_t v) { f[at] = v & 0xFF, f[at + 1] = v >> 8; };
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            f[at + i] = (v >> (8 * i)) & 0xFF;
        }
    };
    put16(0, tag);
    put16(2, channels);
    put32(4, rate);
    put32(8, rate * align);
    put16(12, align);
    put16(14, bits);
    return f;
}

WavHeader CdHeader() {
    auto f = WaveFormat(1, 2, 44100, 16);
    return WavHeader::FromWaveFormat(f.data(), f.size());
}

// Data bytes that make the RIFF size exactly `riff` for a header.
uint64_t DataForRiff(const WavHeader& h, uint64_t riff) {
    return riff - (h.Size() - 8);
}

} // namespace

TEST(WavHeader, PlainPcmLayout) {
    WavHeader h = CdHeader();
    ASSERT_EQ(h.Size(), 80u); // 12 + JUNK 36 + fmt 8+16 + data 8
    auto b = h.Build(1000, true);
    ASSERT_EQ(b.size(), 80u);
    EXPECT_EQ(Tag(b, 0), "RIFF");
    EXPECT_EQ(U32(b, 4), 80u - 8 + 1000);
    EXPECT_EQ(Tag(b, 8), "WAVE");
    EXPECT_EQ(Tag(b, 12), "JUNK");
    EXPECT_EQ(U32(b, 16), 28u);
    for (size_t i = 20; i < 48; ++i) {
        EXPECT_EQ(b[i], 0) << "JUNK byte " << i;
    }
    EXPECT_EQ(Tag(b, 48), "fmt ");
    EXPECT_EQ(U32(b, 52), 16u);
    EXPECT_EQ(U16(b, 56), 1);
    EXPECT_EQ(U16(b, 58), 2);
    EXPECT_EQ(U32(b, 60), 44100u);
    EXPECT_EQ(U32(b, 64), 176400u);
    EXPECT_EQ(U16(b, 68), 4);
    EXPECT_EQ(U16(b, 70), 16);
    EXPECT_EQ(Tag(b, 72), "data");
    EXPECT_EQ(U32(b, 76), 1000u);
}

TEST(WavHeader, EmptyRecordingIsValid) {
    auto b = CdHeader().Build(0, true);
    EXPECT_EQ(U32(b, 4), 72u);
    EXPECT_EQ(U32(b, 76), 0u);
}

TEST(WavHeader, OddDataCountsPadByteOnlyWhenFinished) {
    auto f = WaveFormat(1, 1, 8000, 8);
    WavHeader h = WavHeader::FromWaveFormat(f.data(), f.size());
    EXPECT_EQ(U32(h.Build(101, false), 4), h.Size() - 8 + 101);
    EXPECT_EQ(U32(h.Build(101, true), 4), h.Size() - 8 + 102);
    EXPECT_EQ(U32(h.Build(101, true), h.Size() - 4), 101u); // the data size never counts it
}

TEST(WavHeader, MoreThanTwoChannelsBecomeExtensible) {
    auto f = WaveFormat(1, 6, 48000, 16);
    WavHeader h = WavHeader::FromWaveFormat(f.data(), f.size());
    auto b = h.Build(0, true);
    EXPECT_EQ(h.Size(), 104u);
    EXPECT_EQ(U32(b, 52), 40u);
    EXPECT_EQ(U16(b, 56), 0xFFFE);
    EXPECT_EQ(U16(b, 72), 22);    // cbSize
    EXPECT_EQ(U16(b, 74), 16);    // valid bits
    EXPECT_EQ(U32(b, 76), 0x3Fu); // 5.1 channel mask
    EXPECT_EQ(U32(b, 80), 1u);    // subformat PCM, first field
    EXPECT_EQ(Tag(b, 96), "data");
}

TEST(WavHeader, TwentyFourBitsBecomeExtensible) {
    auto f = WaveFormat(1, 2, 96000, 24);
    auto b = WavHeader::FromWaveFormat(f.data(), f.size()).Build(0, true);
    EXPECT_EQ(U16(b, 56), 0xFFFE);
    EXPECT_EQ(U16(b, 70), 24);
    EXPECT_EQ(U16(b, 74), 24);
    EXPECT_EQ(U32(b, 76), 0x3u);
}

TEST(WavHeader, ExtensibleInputIsCopied) {
    auto f = WaveFormat(0xFFFE, 2, 48000, 32);
    f.resize(40, 0);
    f[16] = 22;
    f[18] = 24; // valid bits below the container
    f[20] = 0x03;
    const uint8_t pcm[16] = {1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xaa, 0, 0x38, 0x9b, 0x71};
    memcpy(f.data() + 24, pcm, 16);
    auto b = WavHeader::FromWaveFormat(f.data(), f.size()).Build(0, true);
    EXPECT_EQ(0, memcmp(b.data() + 56, f.data(), 40));
}

TEST(WavHeader, LargestPlainRiff) {
    WavHeader h = CdHeader();
    uint64_t data = DataForRiff(h, 0xFFFFFFFFull);
    EXPECT_FALSE(h.IsRf64(data, false));
    auto b = h.Build(data, false);
    EXPECT_EQ(Tag(b, 0), "RIFF");
    EXPECT_EQ(U32(b, 4), 0xFFFFFFFFu);
    EXPECT_EQ(Tag(b, 12), "JUNK");
    EXPECT_EQ(U32(b, 76), static_cast<uint32_t>(data));
}

TEST(WavHeader, JustUnderFourGiBStaysRiff) {
    WavHeader h = CdHeader();
    uint64_t data = DataForRiff(h, 0xFFFFFFFFull) - 3; // the last whole frame below the limit
    ASSERT_EQ(data % 4, 0u);
    auto b = h.Build(data, true);
    EXPECT_EQ(Tag(b, 0), "RIFF");
    EXPECT_EQ(U32(b, 4), 0xFFFFFFFFu - 3);
    EXPECT_EQ(U32(b, 76), static_cast<uint32_t>(data));
}

TEST(WavHeader, OneBytePastLimitBecomesRf64) {
    WavHeader h = CdHeader();
    uint64_t data = DataForRiff(h, 0xFFFFFFFFull) + 1;
    EXPECT_TRUE(h.IsRf64(data, false));
    auto b = h.Build(data, false);
    EXPECT_EQ(b.size(), h.Size()); // the same header size: JUNK turned into ds64 in place
    EXPECT_EQ(Tag(b, 0), "RF64");
    EXPECT_EQ(U32(b, 4), 0xFFFFFFFFu);
    EXPECT_EQ(Tag(b, 8), "WAVE");
    EXPECT_EQ(Tag(b, 12), "ds64");
    EXPECT_EQ(U32(b, 16), 28u);
    EXPECT_EQ(U64(b, 20), 0x100000000ull); // RIFF size, 64 bits
    EXPECT_EQ(U64(b, 28), data);           // data size
    EXPECT_EQ(U64(b, 36), data / 4);       // sample frames
    EXPECT_EQ(U32(b, 44), 0u);             // table length
    EXPECT_EQ(Tag(b, 48), "fmt ");
    EXPECT_EQ(Tag(b, 72), "data");
    EXPECT_EQ(U32(b, 76), 0xFFFFFFFFu);
}

TEST(WavHeader, PadByteCanTipIntoRf64) {
    auto f = WaveFormat(1, 1, 8000, 8);
    WavHeader h = WavHeader::FromWaveFormat(f.data(), f.size());
    uint64_t data = DataForRiff(h, 0xFFFFFFFFull); // odd: Size() - 8 is even
    ASSERT_EQ(data & 1, 1u);
    EXPECT_FALSE(h.IsRf64(data, false));
    EXPECT_TRUE(h.IsRf64(data, true));
    EXPECT_EQ(U64(h.Build(data, true), 20), 0x100000000ull);
}

TEST(WavHeader, TenGigabytesOfRf64) {
    WavHeader h = CdHeader();
    uint64_t data = 10ull * 1024 * 1024 * 1024;
    auto b = h.Build(data, true);
    EXPECT_EQ(Tag(b, 0), "RF64");
    EXPECT_EQ(U64(b, 20), data + h.Size() - 8);
    EXPECT_EQ(U64(b, 28), data);
    EXPECT_EQ(U64(b, 36), data / 4);
}

TEST(WavHeader, ShortFormatBlockIsRefused) {
    uint8_t tiny[8] = {};
    EXPECT_THROW(WavHeader::FromWaveFormat(tiny, sizeof(tiny)), std::invalid_argument);
}
