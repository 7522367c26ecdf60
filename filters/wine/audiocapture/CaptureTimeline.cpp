#include "filters/wine/audiocapture/CaptureTimeline.h"

#include <windows.h>

#include <algorithm>

namespace audiocapture {

CaptureTimeline::CaptureTimeline(uint32_t bytesPerSecond, uint32_t blockAlign) noexcept
    : m_bytesPerSecond(bytesPerSecond), m_blockAlign(std::max<uint32_t>(blockAlign, 1)) {}

double CaptureTimeline::NowMs() noexcept {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
}

void CaptureTimeline::Restart(double startMs) noexcept {
    m_startMs = m_anchorMs = startMs;
    m_anchored = false;
}

// No byte is captured before the device starts, so an anchor earlier than the start is a
// device that handed over more than real time (sound from before the start): the start holds.
void CaptureTimeline::Arrived(double nowMs, uint64_t bytes) noexcept {
    double candidate = nowMs - static_cast<double>(bytes) * 1000.0 / m_bytesPerSecond;
    candidate = std::max(candidate, m_startMs);
    m_anchorMs = m_anchored ? std::min(m_anchorMs, candidate) : candidate;
    m_anchored = true;
}

uint64_t CaptureTimeline::OffsetAt(double ms) const noexcept {
    if (ms <= m_anchorMs) {
        return 0;
    }
    auto bytes = static_cast<uint64_t>((ms - m_anchorMs) * m_bytesPerSecond / 1000.0);
    return bytes - bytes % m_blockAlign;
}

} // namespace audiocapture
