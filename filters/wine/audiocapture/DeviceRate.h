// The rate a device really captures at. A sound card's clock runs 10 to 100 ppm off its
// nominal rate (at 50 ppm an hour's take ends 180 ms off), and a source with a clock of its
// own can be further off: the byte count against time, from a moment after the start's
// latency settled, is fitted by least squares, so that neither a constant latency nor the
// jitter of single readings bends it. Until the readings span kMeasureAfterMs, and where the
// fit does not differ from it significantly, it is nominal.
#pragma once
#include <cstdint>

namespace audiocapture {

class DeviceRate {
public:
    static constexpr double kSettleMs = 500;
    // The count is read as the capture thread collects buffers, which a busy machine delays by
    // up to the device's second of buffers: over a few seconds that lag bent the fit by 3 to 4 %
    // and cut takes 0.2 s short (measured beside three spinning processes), so the fit waits
    // for a span that such a lag cannot bend by more than what a clock may be off.
    static constexpr double kMeasureAfterMs = 15000;
    // A fit further off than this is no clock's: the count stalled or jumped. Sound cards are
    // within 0.01 %; a source with a clock of its own (a pipe, a network stream) within 1 %.
    static constexpr double kMostOff = 0.01;
    // Readings scatter on a loaded machine: the fit replaces the nominal rate only where it
    // differs from it by this many standard errors, so a true clock keeps its exact placing.
    static constexpr double kSignificant = 3;

    explicit DeviceRate(double nominalBytesPerMs) noexcept : m_nominal(nominalBytesPerMs) {}

    void Restart(double startMs) noexcept;
    // The device had captured `bytes` since its start at `ms`.
    void Sample(double ms, uint64_t bytes) noexcept;
    double BytesPerMs() const noexcept;

private:
    double m_nominal;
    double m_startMs = 0;
    double m_firstMs = 0;
    double m_lastMs = 0;
    // Running means and co-moments of the readings, relative to the first (stable over hours).
    double m_count = 0;
    double m_meanMs = 0;
    double m_meanBytes = 0;
    double m_sumMsMs = 0;
    double m_sumMsBytes = 0;
    double m_sumBytesBytes = 0;
    uint64_t m_firstBytes = 0;
};

} // namespace audiocapture
