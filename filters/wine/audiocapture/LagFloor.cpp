#include "filters/wine/audiocapture/LagFloor.h"

#include <algorithm>
#include <limits>

namespace audiocapture {

void LagFloor::Restart(double startMs) noexcept {
    *this = LagFloor();
    m_startMs = startMs;
}

void LagFloor::Sample(double ms, uint64_t bytes) noexcept {
    // Until the count moves, each reading only tells how long it has not: the settling starts
    // once it does.
    if (m_flowMs < 0) {
        if (bytes == 0) {
            return;
        }
        m_flowMs = ms;
    }
    if (ms < m_flowMs + kSettleMs) {
        return;
    }
    if (ms <= m_flowMs + kSettleMs + kWindowMs && m_earlyCount < kReadings) {
        m_early[m_earlyCount++] = {ms, bytes};
    }
    m_recent[m_recentNext] = {ms, bytes};
    m_recentNext = (m_recentNext + 1) % kReadings;
    m_recentCount = std::min(m_recentCount + 1, kReadings);
}

uint64_t LagFloor::LostBy(double atMs, double bytesPerMs, double seenUntilMs) const noexcept {
    const double early = LeastBehind(m_early.data(), m_earlyCount, 0, atMs, bytesPerMs);
    const double recent = LeastBehind(m_recent.data(), m_recentCount, atMs - kWindowMs,
                                      std::max(atMs, seenUntilMs), bytesPerMs);
    const double lost = recent - early;
    if (early == std::numeric_limits<double>::infinity() ||
        recent == std::numeric_limits<double>::infinity() || lost < kLeastLossMs * bytesPerMs) {
        return 0;
    }
    return static_cast<uint64_t>(lost);
}

double LagFloor::LeastBehind(const Reading* readings, size_t count, double fromMs, double toMs,
                             double bytesPerMs) const noexcept {
    double least = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < count; ++i) {
        const Reading& reading = readings[i];
        if (reading.ms >= fromMs && reading.ms <= toMs) {
            const double expected = (reading.ms - m_startMs) * bytesPerMs;
            least = std::min(least, expected - static_cast<double>(reading.bytes));
        }
    }
    return least;
}

} // namespace audiocapture
