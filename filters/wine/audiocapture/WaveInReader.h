// The capture thread: owns the waveIn device, hands each filled buffer to a sink in order,
// and watches for the silent stall that is all waveIn shows when its device goes away
// (Wine 8.0 with PulseAudio). On a stall it reports the loss, closes the device and keeps
// trying to reopen it; the first buffer after a reopen reports its return.
// The device stays open from Open to Discard, across runs, since opening it costs tens to
// hundreds of milliseconds under Wine. It records from Arm on: what it captures before the
// first Start (the graph's start-up) is kept and delivered first, so that a recording begins
// as close to the user's click as the device allows.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "base/UniqueHandle.h"

namespace audiocapture {

class CaptureSink {
public:
    virtual void OnCaptured(const BYTE* data, DWORD bytes, bool discontinuity) noexcept = 0;
    virtual void OnDeviceLost() noexcept = 0;
    virtual void OnDeviceBack() noexcept = 0;

protected:
    ~CaptureSink() = default;
};

class WaveInReader {
public:
    WaveInReader(CaptureSink& sink, UINT deviceId, const WAVEFORMATEX& format) noexcept;
    // Frees the handles only: a reader whose thread was started is ended through Discard.
    ~WaveInReader();
    WaveInReader(const WaveInReader&) = delete;
    WaveInReader& operator=(const WaveInReader&) = delete;

    // Opens the device and starts the thread.
    HRESULT Open() noexcept;
    // Starts the device in the background and stops it once sound flows: the first start of a
    // device in a process waits for the sound system (about 1 s measured under Wine 8), later
    // ones do not. What it captures is dropped.
    HRESULT Warm() noexcept;
    // Starts the device for a new run, keeping what it captures until Start.
    HRESULT Arm() noexcept;
    // Arm, Start and Stop return once the thread has done them; Stop stops the device and hands
    // over the partly filled buffer and what the device still holds, without waiting for data
    // recorded later.
    HRESULT Start() noexcept;
    HRESULT Stop() noexcept;
    // Stops like Stop, then starts the device again and drops what it captures until the next
    // Start: a waveIn device under Wine needs 0.3 s and more after a start before sound flows,
    // and this way that delay falls inside the pause instead of after the resume.
    HRESULT Pause() noexcept;
    // Returns at once and never calls the sink again. Closing a waveIn device takes up to a
    // few hundred milliseconds under Wine, and longer when its source went away, so the
    // capture thread closes it and then deletes the reader; nothing it uses is freed under it.
    static void Discard(std::unique_ptr<WaveInReader> reader) noexcept;

    const WAVEFORMATEX& Format() const noexcept { return m_format; }

    static constexpr DWORD kStallMs = 1000;
    static constexpr DWORD kFirstDataMs = 3000;
    static constexpr DWORD kStopWaitMs = 50;
    static constexpr DWORD kRetryMs = 500;
    // The most kept between Open and the first Start.
    static constexpr DWORD kPrerollMs = 2000;
    // Data older than the device's start is looked for this long after it, allowing for
    // this much clock jitter.
    static constexpr DWORD kStaleWindowMs = 300;
    static constexpr DWORD kStaleSlackMs = 15;

private:
    enum class Command { None, Warm, Arm, Start, Stop, Pause, Quit };

    template <typename Call> void ToSink(Call call) noexcept {
        std::lock_guard<std::mutex> lock(m_sinkLock);
        if (!m_sinkGone) {
            call(m_sink);
        }
    }
    void StopWatchdog() noexcept;
    void StartRun() noexcept;
    void Keep(const BYTE* data, DWORD bytes) noexcept;
    bool DeviceStart() noexcept;
    DWORD StaleBytes(DWORD bytes) noexcept;
    DWORD TakeDrop(DWORD bytes) noexcept;
    static DWORD WINAPI ThreadMain(void* self) noexcept;
    static DWORD WINAPI WatchdogMain(void* self) noexcept;
    void Watch() noexcept;
    void Reconnect() noexcept;
    void Loop() noexcept;
    HRESULT RunCommand(Command command) noexcept;
    MMRESULT OpenDevice() noexcept;
    void CloseDevice() noexcept;
    void Finish() noexcept;
    void BeginPause() noexcept;
    void Resume() noexcept;
    void ArmRun() noexcept;
    void CutAtPosition() noexcept;
    ULONGLONG DevicePosition() noexcept;
    void CollectBuffers() noexcept;

    CaptureSink& m_sink;
    std::mutex m_sinkLock;
    bool m_sinkGone = false;
    HMODULE m_module = nullptr;
    UINT m_deviceId;
    WAVEFORMATEX m_format;
    DWORD m_bufferBytes;
    HWAVEIN m_wave = nullptr;
    fw::KernelHandle m_bufferEvent;
    fw::KernelHandle m_commandEvent;
    fw::KernelHandle m_doneEvent;
    fw::KernelHandle m_thread;
    std::mutex m_commandLock;
    Command m_command = Command::None;
    HRESULT m_commandResult = S_OK;
    std::vector<std::vector<BYTE>> m_memory;
    std::vector<WAVEHDR> m_headers;
    size_t m_next = 0;
    fw::KernelHandle m_watchdog;
    fw::KernelHandle m_watchdogQuit;
    // Shared with the watchdog thread.
    std::atomic<bool> m_recording{false};
    std::atomic<bool> m_lost{false};
    std::atomic<bool> m_dataSinceOpen{false};
    std::atomic<ULONGLONG> m_lastDataTick{0};
    bool m_reopened = false;
    bool m_discontinuity = true;
    bool m_started = false;
    ULONGLONG m_startTick = 0;
    ULONGLONG m_bytesSinceStart = 0;
    // While paused the device runs and its data is dropped; the resume drops what the device
    // captured before it, counted in bytes since the device's start.
    bool m_pausing = false;
    bool m_warming = false;
    ULONGLONG m_positionAtStart = 0;
    ULONGLONG m_dropBytes = 0;
    bool m_prerolling = false;
    std::vector<BYTE> m_preroll;
    ULONGLONG m_lastRetryTick = 0;
};

} // namespace audiocapture
