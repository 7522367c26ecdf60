#include "filters/wavdest/LevelMeasure.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace wavdest {

namespace {

// Each sample kind: its size and its magnitude in units of 2^-31 of full scale. Samples are
// little-endian.
struct Unsigned8 {
    static constexpr size_t kBytes = 1;
    static uint32_t Magnitude(const uint8_t* p) {
        const int v = int{p[0]} - 128;
        return static_cast<uint32_t>(v < 0 ? -v : v) << 24;
    }
};

struct Int16 {
    static constexpr size_t kBytes = 2;
    static uint32_t Magnitude(const uint8_t* p) {
        const int32_t v = static_cast<int16_t>(static_cast<uint16_t>(p[0] | p[1] << 8));
        return static_cast<uint32_t>(v < 0 ? -v : v) << 16;
    }
};

struct Int24 {
    static constexpr size_t kBytes = 3;
    static uint32_t Magnitude(const uint8_t* p) {
        const uint32_t high = uint32_t{p[0]} << 8 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 24;
        const int32_t v = static_cast<int32_t>(high) >> 8;
        return static_cast<uint32_t>(v < 0 ? -v : v) << 8;
    }
};

struct Int32 {
    static constexpr size_t kBytes = 4;
    static uint32_t Magnitude(const uint8_t* p) {
        uint32_t bits;
        memcpy(&bits, p, sizeof bits);
        const int64_t v = static_cast<int32_t>(bits);
        return static_cast<uint32_t>(v < 0 ? -v : v);
    }
};

struct Float32 {
    static constexpr size_t kBytes = 4;
    static uint32_t Magnitude(const uint8_t* p) {
        float v;
        memcpy(&v, p, sizeof v);
        v = std::fabs(v);
        if (!(v < 1.0f)) {
            // Not-a-number carries no sound; anything else from 1.0 up is full scale.
            return std::isnan(v) ? 0 : LevelMeasure::kFullScale;
        }
        return static_cast<uint32_t>(v * static_cast<float>(LevelMeasure::kFullScale));
    }
};

// The subformats of WAVE_FORMAT_EXTENSIBLE are the plain format tags inside a fixed GUID.
WORD TagOfSubformat(const GUID& subformat) {
    static const BYTE kBase[8] = {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71};
    if (subformat.Data2 != 0 || subformat.Data3 != 0x10 ||
        memcmp(subformat.Data4, kBase, sizeof kBase) != 0 || subformat.Data1 > 0xFFFF) {
        return 0;
    }
    return static_cast<WORD>(subformat.Data1);
}

struct SampleFormat {
    LevelMeasure::Encoding encoding = LevelMeasure::Encoding::None;
    unsigned validBits = 0; // the bits that carry the sample, from the top of its container
};

SampleFormat SampleFormatOf(const WAVEFORMATEX& format, size_t formatSize) {
    using Encoding = LevelMeasure::Encoding;
    if (formatSize < sizeof(PCMWAVEFORMAT) || format.nChannels == 0 || format.nSamplesPerSec == 0 ||
        format.nBlockAlign % format.nChannels != 0) {
        return {};
    }
    const unsigned bytes = format.nBlockAlign / format.nChannels;
    unsigned validBits = format.wBitsPerSample;
    WORD tag = format.wFormatTag;
    if (tag == WAVE_FORMAT_EXTENSIBLE) {
        if (formatSize < sizeof(WAVEFORMATEXTENSIBLE)) {
            return {};
        }
        const auto& extensible = reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(format);
        tag = TagOfSubformat(extensible.SubFormat);
        const unsigned valid = extensible.Samples.wValidBitsPerSample;
        if (valid != 0 && valid < validBits) {
            validBits = valid;
        }
    }
    if (validBits == 0 || format.wBitsPerSample > bytes * 8) {
        return {};
    }
    if (tag == WAVE_FORMAT_IEEE_FLOAT) {
        return {bytes == 4 ? Encoding::Float32 : Encoding::None, validBits};
    }
    static const Encoding kIntegers[] = {Encoding::None, Encoding::Unsigned8, Encoding::Int16,
                                         Encoding::Int24, Encoding::Int32};
    if (tag != WAVE_FORMAT_PCM || bytes > 4) {
        return {};
    }
    return {kIntegers[bytes], validBits};
}

} // namespace

void LevelMeasure::Start(const WAVEFORMATEX& format, size_t formatSize, uint64_t nowMs) noexcept {
    const SampleFormat sampleFormat = SampleFormatOf(format, formatSize);
    m_encoding = sampleFormat.encoding;
    const bool measured = m_encoding != Encoding::None;
    // Full scale is the largest positive sample, one step of the valid bits below 1.0; a
    // negative sample as large counts as well, as a converter that clips evenly gives it.
    m_clipAt = !measured || m_encoding == Encoding::Float32
                   ? kFullScale
                   : kFullScale - (kFullScale >> (sampleFormat.validBits - 1));
    m_channelCount = measured ? format.nChannels : 0;
    m_blockAlign = measured ? format.nBlockAlign : 0;
    m_rate = measured ? format.nSamplesPerSec : 0;
    m_frameOffset = 0;
    for (auto& peak : m_peak) {
        peak.store(0);
    }
    m_frames.store(0);
    m_clipped.store(0);
    m_lastSoundMs.store(nowMs);
    m_channels.store(m_channelCount);
}

template <typename Sample>
LevelMeasure::Scan LevelMeasure::ScanFrames(const uint8_t* data, size_t frames) const noexcept {
    Scan scan;
    const uint32_t peaked = std::min(m_channelCount, kLevelChannels);
    for (size_t frame = 0; frame < frames; ++frame, data += m_blockAlign) {
        const uint8_t* sample = data;
        for (uint32_t channel = 0; channel < m_channelCount; ++channel, sample += Sample::kBytes) {
            const uint32_t magnitude = Sample::Magnitude(sample);
            if (magnitude < kSilenceBelow) {
                continue;
            }
            scan.lastLoudFrame = frame;
            if (channel < peaked && magnitude > scan.peak[channel]) {
                scan.peak[channel] = magnitude;
            }
            if (magnitude >= m_clipAt) {
                ++scan.clipped;
            }
        }
    }
    return scan;
}

LevelMeasure::Scan LevelMeasure::ScanAny(const uint8_t* data, size_t frames) const noexcept {
    switch (m_encoding) {
    case Encoding::Unsigned8:
        return ScanFrames<Unsigned8>(data, frames);
    case Encoding::Int16:
        return ScanFrames<Int16>(data, frames);
    case Encoding::Int24:
        return ScanFrames<Int24>(data, frames);
    case Encoding::Int32:
        return ScanFrames<Int32>(data, frames);
    case Encoding::Float32:
        return ScanFrames<Float32>(data, frames);
    case Encoding::None:
        break;
    }
    return {};
}

void LevelMeasure::Feed(const uint8_t* data, size_t length, uint64_t nowMs) noexcept {
    if (m_encoding == Encoding::None || !data) {
        return;
    }
    // The rest of a frame begun in the previous buffer is skipped: the frames stay aligned.
    if (m_frameOffset != 0) {
        const size_t rest = std::min(length, m_blockAlign - m_frameOffset);
        m_frameOffset = (m_frameOffset + rest) % m_blockAlign;
        data += rest;
        length -= rest;
    }
    const size_t frames = length / m_blockAlign;
    m_frameOffset = length % m_blockAlign;
    if (frames > 0) {
        Publish(ScanAny(data, frames), frames, nowMs);
    }
}

void LevelMeasure::Publish(const Scan& scan, size_t frames, uint64_t nowMs) noexcept {
    for (uint32_t channel = 0; channel < kLevelChannels; ++channel) {
        uint32_t seen = m_peak[channel].load(std::memory_order_relaxed);
        while (scan.peak[channel] > seen &&
               !m_peak[channel].compare_exchange_weak(seen, scan.peak[channel])) {
        }
    }
    m_frames.fetch_add(frames);
    if (scan.clipped != 0) {
        m_clipped.fetch_add(scan.clipped);
    }
    if (scan.lastLoudFrame != SIZE_MAX) {
        // The buffer ends now; its last sound came as many frames before its end.
        const uint64_t after = (frames - 1 - scan.lastLoudFrame) * uint64_t{1000} / m_rate;
        m_lastSoundMs.store(nowMs > after ? nowMs - after : 0);
    }
}

LevelReading LevelMeasure::Read(uint64_t nowMs) noexcept {
    LevelReading reading{};
    reading.channels = m_channels.load();
    for (uint32_t channel = 0; channel < kLevelChannels; ++channel) {
        reading.peak[channel] =
            static_cast<float>(m_peak[channel].exchange(0)) / static_cast<float>(kFullScale);
    }
    reading.frames = m_frames.load();
    reading.clippedSamples = m_clipped.load();
    const uint64_t last = m_lastSoundMs.load();
    const uint64_t silent = nowMs > last ? nowMs - last : 0;
    reading.silentMs = static_cast<UINT32>(std::min<uint64_t>(silent, UINT32_MAX));
    return reading;
}

} // namespace wavdest
