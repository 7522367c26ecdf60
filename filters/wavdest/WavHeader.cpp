#include "filters/wavdest/WavHeader.h"

#include <cstring>
#include <stdexcept>

namespace wavdest {

namespace {

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagExtensible = 0xFFFE;
// KSDATAFORMAT_SUBTYPE_PCM in its on-disk byte order.
constexpr uint8_t kPcmSubformat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                       0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71};

uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

void Put64(std::vector<uint8_t>& out, uint64_t v) {
    for (int i = 0; i < 8; ++i) {
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

void PutTag(std::vector<uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

// The default speaker positions for a channel count, as Windows assigns them.
uint32_t DefaultChannelMask(uint16_t channels) {
    switch (channels) {
    case 1:
        return 0x4;
    case 2:
        return 0x3;
    case 4:
        return 0x33;
    case 6:
        return 0x3F;
    case 8:
        return 0x63F;
    default:
        return channels < 32 ? (1u << channels) - 1 : 0;
    }
}

} // namespace

WavHeader::WavHeader(std::vector<uint8_t> fmtChunk, uint16_t blockAlign)
    : m_fmt(std::move(fmtChunk)), m_blockAlign(blockAlign ? blockAlign : 1) {}

WavHeader WavHeader::FromWaveFormat(const void* wfx, size_t cbFormat) {
    if (!wfx || cbFormat < 16) {
        throw std::invalid_argument("format block too short");
    }
    const auto* p = static_cast<const uint8_t*>(wfx);
    uint16_t tag = Get16(p);
    uint16_t channels = Get16(p + 2);
    uint16_t blockAlign = Get16(p + 12);
    uint16_t bits = Get16(p + 14);
    if (tag == kTagExtensible) {
        if (cbFormat < 40) {
            throw std::invalid_argument("extensible format block too short");
        }
        std::vector<uint8_t> fmt(p, p + 40);
        fmt[16] = 22; // cbSize
        fmt[17] = 0;
        return WavHeader(std::move(fmt), blockAlign);
    }
    std::vector<uint8_t> fmt(p, p + 16);
    if (channels <= 2 && bits <= 16) {
        return WavHeader(std::move(fmt), blockAlign);
    }
    fmt[0] = static_cast<uint8_t>(kTagExtensible);
    fmt[1] = static_cast<uint8_t>(kTagExtensible >> 8);
    Put16(fmt, 22);
    Put16(fmt, bits);
    Put32(fmt, DefaultChannelMask(channels));
    fmt.insert(fmt.end(), kPcmSubformat, kPcmSubformat + 16);
    return WavHeader(std::move(fmt), blockAlign);
}

size_t WavHeader::Size() const noexcept {
    return 12 + kJunkChunkSize + 8 + m_fmt.size() + 8;
}

uint64_t WavHeader::RiffSize(uint64_t dataBytes, bool padded) const noexcept {
    uint64_t pad = padded ? (dataBytes & 1) : 0;
    return Size() - 8 + dataBytes + pad;
}

bool WavHeader::IsRf64(uint64_t dataBytes, bool padded) const noexcept {
    return RiffSize(dataBytes, padded) > kMaxRiffSize;
}

std::vector<uint8_t> WavHeader::Build(uint64_t dataBytes, bool padded) const {
    std::vector<uint8_t> out;
    out.reserve(Size());
    uint64_t riffSize = RiffSize(dataBytes, padded);
    bool rf64 = riffSize > kMaxRiffSize;
    PutTag(out, rf64 ? "RF64" : "RIFF");
    Put32(out, rf64 ? 0xFFFFFFFFu : static_cast<uint32_t>(riffSize));
    PutTag(out, "WAVE");
    PutTag(out, rf64 ? "ds64" : "JUNK");
    Put32(out, kJunkChunkSize - 8);
    if (rf64) {
        Put64(out, riffSize);
        Put64(out, dataBytes);
        Put64(out, dataBytes / m_blockAlign);
        Put32(out, 0);
    } else {
        out.insert(out.end(), kJunkChunkSize - 8, 0);
    }
    PutTag(out, "fmt ");
    Put32(out, static_cast<uint32_t>(m_fmt.size()));
    out.insert(out.end(), m_fmt.begin(), m_fmt.end());
    PutTag(out, "data");
    Put32(out, rf64 ? 0xFFFFFFFFu : static_cast<uint32_t>(dataBytes));
    return out;
}

} // namespace wavdest
