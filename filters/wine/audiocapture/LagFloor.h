// Sound lost upstream, told from the device's count. The count runs behind what the device
// captured by the sound system's latency, which a loaded machine stretches to most of a second,
// and by every piece the sound system dropped (Wine's waveIn loses pieces of 10 to 90 ms on a
// loaded machine, measured). The latency comes and goes; a dropped piece stays. So the least
// the count fell behind in the seconds before a click, less the least it fell behind after the
// start, is what was dropped since: a Stop that waited for it would keep sound from after the
// click instead.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace audiocapture {

class LagFloor {
public:
    // Readings this close before a click, and this soon after the settling that follows the
    // count's first move, make the floors: enough of them for the latency to have fallen to its
    // least at least once.
    static constexpr double kWindowMs = 2000;
    static constexpr double kSettleMs = 500;
    // Less than this is the latency's own wobble (a period of Wine's reader), not a loss.
    static constexpr double kLeastLossMs = 40;

    void Restart(double startMs) noexcept;
    // The device had counted `bytes` since its start at `ms`.
    void Sample(double ms, uint64_t bytes) noexcept;
    // The bytes dropped upstream between the start and `atMs`, the count taken at `bytesPerMs`,
    // by the readings up to `seenUntilMs`: a count that caught up after the click lost nothing.
    uint64_t LostBy(double atMs, double bytesPerMs, double seenUntilMs) const noexcept;

private:
    struct Reading {
        double ms;
        uint64_t bytes;
    };
    // Of the readings in [fromMs, toMs], the most the count fell behind the rate's line.
    double LeastBehind(const Reading* readings, size_t count, double fromMs, double toMs,
                       double bytesPerMs) const noexcept;

    // Readings are taken every quarter second or so; twice the window allows for a late Stop.
    static constexpr size_t kReadings = 24;
    double m_startMs = 0;
    // When the count first moved; below 0 until then.
    double m_flowMs = -1;
    std::array<Reading, kReadings> m_early{};
    size_t m_earlyCount = 0;
    std::array<Reading, kReadings> m_recent{};
    size_t m_recentCount = 0;
    size_t m_recentNext = 0;
};

} // namespace audiocapture
