// Peaks, clipping and silence of PCM audio as it passes. One thread feeds the bytes, any other
// reads, and neither waits: the results live in atomics. Pure otherwise: the caller gives the
// time, so that silence is tested without waiting for it.
#pragma once
#include <windows.h>
#include <mmreg.h>

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "filters/wavdest/ILevelSource.h"

namespace wavdest {

class LevelMeasure {
public:
    // Magnitudes are kept as fractions of full scale in units of 2^-31.
    static constexpr uint32_t kFullScale = 0x80000000u;
    // -90 dBFS: quieter samples count as silence.
    static constexpr uint32_t kSilenceBelow = 67908;

    // Forgets what was measured and takes the format of the bytes that follow: integer PCM of
    // 8 (unsigned), 16, 24 or 32 bits, 32-bit float, either also as WAVE_FORMAT_EXTENSIBLE.
    // Another format is not measured (0 channels). Call it while nothing is fed.
    void Start(const WAVEFORMATEX& format, size_t formatSize, uint64_t nowMs) noexcept;
    // Bytes as they arrive, at the time given; buffers may end inside a frame.
    void Feed(const uint8_t* data, size_t length, uint64_t nowMs) noexcept;
    // What was measured; the peaks start again from nothing.
    LevelReading Read(uint64_t nowMs) noexcept;

    enum class Encoding { None, Unsigned8, Int16, Int24, Int32, Float32 };

private:
    struct Scan {
        uint32_t peak[kLevelChannels] = {};
        uint64_t clipped = 0;
        size_t lastLoudFrame = SIZE_MAX;
    };
    template <typename Sample> Scan ScanFrames(const uint8_t* data, size_t frames) const noexcept;
    Scan ScanAny(const uint8_t* data, size_t frames) const noexcept;
    void Publish(const Scan& scan, size_t frames, uint64_t nowMs) noexcept;

    // The format: set by Start only, read by the feeding thread.
    Encoding m_encoding = Encoding::None;
    uint32_t m_channelCount = 0;
    size_t m_blockAlign = 0;
    uint32_t m_clipAt = kFullScale; // magnitudes from here up are at full scale
    uint32_t m_rate = 0;
    size_t m_frameOffset = 0; // bytes of a frame begun in the previous buffer

    std::atomic<uint32_t> m_channels{0};
    std::atomic<uint32_t> m_peak[kLevelChannels] = {};
    std::atomic<uint64_t> m_frames{0};
    std::atomic<uint64_t> m_clipped{0};
    std::atomic<uint64_t> m_lastSoundMs{0};
};

} // namespace wavdest
