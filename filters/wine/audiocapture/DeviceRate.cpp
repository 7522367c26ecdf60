#include "filters/wine/audiocapture/DeviceRate.h"

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
    m_meanMs += dx / m_count;
    m_meanBytes += (y - m_meanBytes) / m_count;
    m_sumMsMs += dx * (x - m_meanMs);
    m_sumMsBytes += dx * (y - m_meanBytes);
}

double DeviceRate::BytesPerMs() const noexcept {
    if (m_count < 2 || m_lastMs - m_firstMs < kMeasureAfterMs || m_sumMsMs <= 0) {
        return m_nominal;
    }
    const double measured = m_sumMsBytes / m_sumMsMs;
    return std::fabs(measured / m_nominal - 1) <= kMostOff ? measured : m_nominal;
}

} // namespace audiocapture
