// The bytes of a WAV file's header for a given amount of data: plain RIFF/WAVE with a reserved
// "JUNK" chunk while the file fits in 4 GiB, RF64 (EBU Tech 3306) with "ds64" beyond. Pure:
// no I/O, so the 4 GiB rules are tested without writing gigabytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace wavdest {

class WavHeader {
public:
    // The format chunk's body, as it goes into the file (16 bytes for plain PCM, 40 for
    // WAVE_FORMAT_EXTENSIBLE), and the block align it states.
    WavHeader(std::vector<uint8_t> fmtChunk, uint16_t blockAlign);

    // From a WAVEFORMATEX block: plain PCM of up to 2 channels and 16 bits stays a 16-byte
    // PCM chunk; more channels or bits, or valid bits below the container, become
    // WAVE_FORMAT_EXTENSIBLE; an extensible input is copied.
    static WavHeader FromWaveFormat(const void* wfx, size_t cbFormat);

    static constexpr uint32_t kJunkChunkSize = 36; // header + ds64 body of 28 bytes
    static constexpr uint64_t kMaxRiffSize = 0xFFFFFFFFull;

    // Bytes before the first data byte.
    size_t Size() const noexcept;
    // The RIFF chunk size for `dataBytes`, with the pad byte of an odd data chunk if `padded`.
    uint64_t RiffSize(uint64_t dataBytes, bool padded) const noexcept;
    bool IsRf64(uint64_t dataBytes, bool padded) const noexcept;
    // The header for `dataBytes` of data; `padded` counts the pad byte an odd data chunk gets
    // once it is finished (the writer then writes that byte after the data).
    std::vector<uint8_t> Build(uint64_t dataBytes, bool padded) const;

private:
    std::vector<uint8_t> m_fmt;
    uint16_t m_blockAlign;
};

} // namespace wavdest
