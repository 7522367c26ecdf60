// waveIn's byte position is 32 bits and counts from the open: at 44.1 kHz stereo it wraps
// after 6.8 hours. Read at least once between wraps, this carries it on in 64 bits.
#pragma once
#include <cstdint>

namespace audiocapture {

class UnwrappedPosition {
public:
    void Reset() noexcept { m_position = 0; }
    // A step back of more than half the range is a wrap; a smaller one is not taken.
    uint64_t Update(uint32_t raw) noexcept {
        const auto last = static_cast<uint32_t>(m_position);
        const uint32_t step = raw - last;
        if (step < (uint32_t{1} << 31)) {
            m_position += step;
        }
        return m_position;
    }
    uint64_t Last() const noexcept { return m_position; }

private:
    uint64_t m_position = 0;
};

} // namespace audiocapture
