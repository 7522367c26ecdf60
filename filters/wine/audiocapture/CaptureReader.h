// The capture thread: owns the capture device (an input, or the default output's loopback),
// hands what a recording keeps to a sink in order, and watches for the silent stall that is
// all a device shows when its source goes away (Wine with PulseAudio). On a stall it reports
// the loss, closes the device and keeps trying to reopen it; the first buffer after a reopen
// reports its return. The take a loss broke keeps what the lost handle captured before it
// and nothing of a reopened handle: the next take starts anew.
// The device stays open from Open to Discard, across runs, since opening it costs tens to
// hundreds of milliseconds under Wine; it runs from Arm to Stop. A recording keeps what was
// captured between the calls that began and ended it, placed by the time since the device's
// start at the device's measured rate: a Stop or a Pause waits for the sound captured up to its
// call, however late the sound system hands it over, and a resume keeps what was captured from
// its call on.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "base/UniqueHandle.h"
#include "filters/wine/audiocapture/CaptureDevice.h"
#include "filters/wine/audiocapture/CommandChannel.h"
#include "filters/wine/audiocapture/DeviceRate.h"
#include "filters/wine/audiocapture/LagFloor.h"

namespace audiocapture {

class CaptureSink {
public:
    // `agoMs`: how long before this call the first byte was captured, by the device's clock.
    virtual void OnCaptured(const BYTE* data, DWORD bytes, bool discontinuity,
                            double agoMs) noexcept = 0;
    // A Stop or a Pause has handed over all there will be of the sound captured up to `agoMs`
    // before this call, its click.
    virtual void OnSentUntil(double agoMs) noexcept = 0;
    virtual void OnDeviceLost() noexcept = 0;
    virtual void OnDeviceBack() noexcept = 0;

protected:
    ~CaptureSink() = default;
};

class CaptureReader final : private CaptureDevice::Receiver {
public:
    // Milliseconds of a monotonic clock: the calls, the device's starts and its arrivals.
    using Clock = std::function<double()>;
    using DeviceFactory = std::function<std::unique_ptr<CaptureDevice>(HANDLE bufferEvent)>;

    // Hands the sink pieces of `pieceBytes`, the size of the device's buffers.
    CaptureReader(CaptureSink& sink, const CaptureSource& source, const WAVEFORMATEX& format,
                  DWORD pieceBytes) noexcept;
    // A device and a clock of the caller's (tests); pieces of CaptureDevice::BufferBytes.
    CaptureReader(CaptureSink& sink, const WAVEFORMATEX& format, const DeviceFactory& makeDevice,
                  Clock clock) noexcept;
    // Frees the handles only: a reader whose thread was started is ended through Discard.
    ~CaptureReader();
    CaptureReader(const CaptureReader&) = delete;
    CaptureReader& operator=(const CaptureReader&) = delete;

    // Opens the device and starts the thread.
    HRESULT Open() noexcept;
    // Starts the device for a new recording, keeping what it captures until Start.
    HRESULT Arm() noexcept;
    // Delivers from here on: after Arm everything since the device's start, after Pause what
    // was captured from this call on.
    HRESULT Start() noexcept;
    // Delivers everything captured up to this call, waiting for it up to kDrainMs, and stops
    // the device.
    HRESULT Stop() noexcept;
    // Like Stop, then starts the device again: a waveIn device under Wine hands over sound from
    // before a restart, and this way that falls inside the pause.
    HRESULT Pause() noexcept;
    // Returns at once and never calls the sink again. Closing a waveIn device takes up to a
    // few hundred milliseconds under Wine, and longer when its source went away, so the
    // capture thread closes it and then deletes the reader; nothing it uses is freed under it.
    static void Discard(std::unique_ptr<CaptureReader> reader) noexcept;

    const WAVEFORMATEX& Format() const noexcept { return m_format; }
    DWORD PieceBytes() const noexcept { return m_pieceBytes; }

    // No sound for this long is a device gone away (it just stalls then). A loaded machine
    // makes Wine's capture stall too: over a second, beside three spinning processes (measured).
    static constexpr DWORD kStallMs = 3000;
    // The longest the watchdog sleeps; it also wakes when a stall would begin.
    static constexpr DWORD kWatchMs = 500;
    static constexpr DWORD kFirstDataMs = 3000;
    static constexpr DWORD kRetryMs = 500;
    // The longest a Stop or a Pause waits for the sound captured before it.
    static constexpr DWORD kDrainMs = 2000;
    // The most kept while armed or paused, before the recording (re)starts.
    static constexpr DWORD kHoldMs = 2000;
    // Data older than the device's start is looked for this long after it. No more can have
    // been captured since the start than the time since it, read before the device starts;
    // the slack is for a device a little faster than nominal. Every millisecond more lets
    // stale sound in: a restart under Wine 8 hands over 100 ms within 10 ms, 90 of them old.
    static constexpr DWORD kStaleWindowMs = 300;
    static constexpr DWORD kStaleSlackMs = 2;

private:
    enum class Kind { Arm, Start, Stop, Pause, Quit };
    struct Command {
        Kind kind;
        double atMs; // when it was called: where in the sound it takes effect
    };
    // Armed and Paused keep the last kHoldMs of sound for the Start that follows.
    enum class State { Idle, Armed, Recording, Paused };

    HRESULT Run(Kind kind) noexcept;
    template <typename Call> void ToSink(Call call) noexcept {
        std::lock_guard<std::mutex> lock(m_sinkLock);
        if (!m_sinkGone) {
            call(m_sink);
        }
    }
    static DWORD WINAPI ThreadMain(void* self) noexcept;
    static DWORD WINAPI WatchdogMain(void* self) noexcept;
    void StopWatchdog() noexcept;
    void Watch() noexcept;
    void Loop() noexcept;
    HRESULT Execute(const Command& command) noexcept;
    HRESULT ArmRun() noexcept;
    HRESULT StartRun(double atMs) noexcept;
    void PauseRun(double atMs) noexcept;
    void StopRun(double atMs) noexcept;
    void Drain(double atMs) noexcept;
    void DrainUntil(double atMs) noexcept;
    bool DeviceStart() noexcept;
    uint64_t OffsetAt(double ms) const noexcept;
    uint64_t EndAt(double ms) noexcept;
    uint64_t LostBefore(double atMs, double seenUntilMs) const noexcept;
    uint64_t AwaitCatchUp(double atMs, uint64_t lost) noexcept;
    void CollectBuffers() noexcept;
    void Take(const BYTE* data, DWORD bytes) noexcept override;
    void Route(const BYTE* data, DWORD bytes, uint64_t offset) noexcept;
    void Hold(const BYTE* data, DWORD bytes, uint64_t offset) noexcept;
    void Deliver(const BYTE* data, DWORD bytes, uint64_t offset) noexcept;
    DWORD StaleBytes(DWORD bytes) noexcept;
    uint64_t ForgettableKept() const noexcept;
    bool TakeCut() const noexcept;
    void SampleRate() noexcept;
    uint64_t KeptCaptured() noexcept;
    void Reconnect() noexcept;
    void ReportLoss() noexcept;

    CaptureSink& m_sink;
    Clock m_clock;
    std::mutex m_sinkLock;
    bool m_sinkGone = false;
    HMODULE m_module = nullptr;
    WAVEFORMATEX m_format;
    DWORD m_pieceBytes;
    base::KernelHandle m_bufferEvent;
    std::unique_ptr<CaptureDevice> m_device;
    CommandChannel<Command> m_commands;
    base::KernelHandle m_thread;
    base::KernelHandle m_watchdog;
    base::KernelHandle m_watchdogQuit;
    // Shared with the watchdog thread.
    std::atomic<State> m_state{State::Idle};
    std::atomic<bool> m_lost{false};
    // No stall is told while a Stop or a Pause waits for its sound (it has a bound of its own)
    // or while the sink takes its time (the end of a take written to disk).
    std::atomic<bool> m_draining{false};
    std::atomic<bool> m_delivering{false};
    std::atomic<bool> m_dataSinceOpen{false};
    std::atomic<double> m_lastDataMs{0};
    // Set when the take loses its device, cleared by the next take's Arm: from the loss on
    // (m_lossMs) the take keeps nothing.
    std::atomic<bool> m_takeLost{false};
    std::atomic<double> m_lossMs{0};
    // The kept stream's offset the lost handle had captured when the capture thread first saw
    // the loss: a handle that resumes (on another source) adds nothing past it.
    uint64_t m_lossBound = UINT64_MAX;
    bool m_reopened = false;
    // Counts the device's successful opens: a take keeps the sound of the handle it armed.
    unsigned m_handle = 0;
    unsigned m_takeHandle = 0;
    DeviceRate m_rate;
    LagFloor m_lagFloor;
    double m_lastSampleMs = 0;
    bool m_discontinuity = true;
    double m_startMs = 0;
    // Bytes since the device's start: as handed over, and as kept (stale sound dropped).
    uint64_t m_bytesSinceStart = 0;
    uint64_t m_kept = 0;
    // What a recording keeps, as offsets of the kept stream.
    uint64_t m_keepFrom = 0;
    uint64_t m_keepUntil = UINT64_MAX;
    // While a Stop waits to see whether the count catches up, what lies beyond this is held.
    uint64_t m_deliverUntil = UINT64_MAX;
    // Armed or paused: the newest sound, starting at m_heldOffset.
    std::vector<BYTE> m_held;
    uint64_t m_heldOffset = 0;
    double m_lastRetryMs = 0;
};

} // namespace audiocapture
