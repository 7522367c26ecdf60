#include "filters/wine/audiocapture/DeviceRate.h"

#include <algorithm>
#include <cmath>

namespace audiocapture {

void DeviceRate::Restart(double startMs) noexcept {
    *this = DeviceRate(m_nominal);
    m_startMs = startMs;
}

void DeviceRate::Sample(double ms, uint64_t bytes) noexcept {
    if (ms < m_startMs + kSettleMs) {
        return;
    }
    if (m_count == 0) {
        m_firstMs = ms;
        m_firstBytes = bytes;
    }
    m_lastMs = ms;
    const double x = ms - m_firstMs;
    const double y = static_cast<double>(bytes) - static_cast<double>(m_firstBytes);
    m_count += 1;
    const double dx = x - m_meanMs;
    const double dy = y - m_meanBytes;
    m_meanMs += dx / m_count;
    m_meanBytes += dy / m_count;
    m_sumBytesBytes += dy * (y - m_meanBytes);
    m_sumMsMs += dx * (x - m_meanMs);
    m_sumMsBytes += dx * (y - m_meanBytes);
}

double DeviceRate::BytesPerMs() const noexcept {
    if (m_count < 3 || m_lastMs - m_firstMs < kMeasureAfterMs || m_sumMsMs <= 0) {
        return m_nominal;
    }
    const double measured = m_sumMsBytes / m_sumMsMs;
    // The slope's standard error, from the readings' scatter about the fitted line.
    const double scatter =
        std::max(0.0, m_sumBytesBytes - m_sumMsBytes * m_sumMsBytes / m_sumMsMs) / (m_count - 2);
    const double error = std::sqrt(scatter / m_sumMsMs);
    const double off = std::fabs(measured - m_nominal);
    return off > kSignificant * error && off <= kMostOff * m_nominal ? measured : m_nominal;
}

} // namespace audiocapture
