// A capture device of the test's own for CaptureReader: it captures as the test's clock
// advances, at a rate of the test's, frames that count up (each 4-byte frame holds its number,
// the handle's first frame 0x10000000 times the handle's number), so that what a recording
// kept tells which handle captured it and whether anything is missing or out of order.
#pragma once
#include <windows.h>
#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "filters/wine/audiocapture/CaptureDevice.h"

class FakeSoundCard : public std::enable_shared_from_this<FakeSoundCard> {
public:
    static constexpr uint32_t kHandleStep = 0x10000000;

    explicit FakeSoundCard(DWORD framesPerSecond) noexcept
        : m_framesPerMs(framesPerSecond / 1000.0) {}

    // The device the reader gets; it signals `bufferEvent` as sound arrives.
    std::unique_ptr<audiocapture::CaptureDevice> MakeDevice(HANDLE bufferEvent);
    double Now() noexcept;
    // Moves the clock on by `ms`; a started, open handle that is not cut off captures meanwhile.
    // Then waits until the reader has taken it and gone round once more (false: it did not).
    bool Advance(double ms) noexcept;
    void SetClock(double ms) noexcept;
    void SetSpeed(double factor) noexcept;
    // A started handle hands over its last `ms` of sound only once stopped, as a buffer that
    // is still filling.
    void SetLatency(double ms) noexcept;
    // The count, and the handing over, run `ms` behind what was captured, as on a busy machine.
    void SetCountLag(double ms) noexcept;
    void FailOpen(bool fail) noexcept;
    // Every start after the first hands over this much sound from before it (kStaleFrame),
    // in buffers of a tenth of a second, as Wine's waveIn does.
    void SetStaleOnRestart(double ms) noexcept;
    static constexpr uint32_t kStaleFrame = 0xFFFFFFFF;
    // The next `ms` of sound is dropped upstream: its frames are never handed over or counted.
    void Drop(double ms) noexcept;
    // The source goes away: nothing more is captured.
    void CutOff(bool cut) noexcept;
    // The reader's collecting blocks, as a winmm call does when the source goes away.
    void Block(bool block) noexcept;
    int Opens() noexcept;

private:
    class Device;
    friend class Device;
    size_t HeldFrames() const noexcept { return std::max(m_latencyFrames, m_lagFrames); }

    std::mutex m_lock;
    std::condition_variable m_unblocked;
    double m_framesPerMs;
    double m_speed = 1.0;
    double m_now = 1000;
    double m_owed = 0;
    size_t m_latencyFrames = 0;
    size_t m_lagFrames = 0;
    size_t m_staleFrames = 0;
    uint64_t m_dropFrames = 0;
    int m_starts = 0;
    bool m_open = false;
    bool m_started = false;
    bool m_failOpen = false;
    bool m_cut = false;
    bool m_blocked = false;
    int m_opens = 0;
    uint32_t m_nextFrame = 0;
    uint64_t m_sinceStart = 0;
    uint64_t m_collectionsBegun = 0;
    uint64_t m_collectionsDone = 0;
    std::vector<uint32_t> m_pending;
    HANDLE m_bufferEvent = nullptr;
};
