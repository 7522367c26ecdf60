// Where a running capture device's bytes stand in wall-clock time. A device hands its sound
// over late and in lumps, the later the busier the machine, but never before it was captured:
// of all the (arrival time - bytes before / byte rate) seen since the device started, the
// least is the nearest to the time its first byte was captured. With that anchor a click's
// time becomes the offset in the stream where a recording must begin or end, however late
// the bytes around it arrive.
#pragma once
#include <cstdint>

namespace audiocapture {

class CaptureTimeline {
public:
    CaptureTimeline(uint32_t bytesPerSecond, uint32_t blockAlign) noexcept;

    // The monotonic clock the timeline is kept in, in milliseconds.
    static double NowMs() noexcept;

    // The device (re)started at `startMs`: offsets count from 0 again, and until bytes arrive
    // the start is the best guess of the anchor.
    void Restart(double startMs) noexcept;
    // By `nowMs` the stream has handed over `bytes` bytes in all since the restart.
    void Arrived(double nowMs, uint64_t bytes) noexcept;
    // The offset of the byte captured at `ms`, in whole blocks, never before the stream's start.
    uint64_t OffsetAt(double ms) const noexcept;
    double AnchorMs() const noexcept { return m_anchorMs; }

private:
    uint32_t m_bytesPerSecond;
    uint32_t m_blockAlign;
    double m_startMs = 0;
    double m_anchorMs = 0;
    bool m_anchored = false;
};

} // namespace audiocapture
