// The capture thread: owns the waveIn device, hands each filled buffer to a sink in order,
// and watches for the silent stall that is all waveIn shows when its device goes away
// (Wine 8.0 with PulseAudio). On a stall it reports the loss, closes the device and keeps
// trying to reopen it; the first buffer after a reopen reports its return.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <atomic>
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
    ~WaveInReader();
    WaveInReader(const WaveInReader&) = delete;
    WaveInReader& operator=(const WaveInReader&) = delete;

    // Opens the device and starts the thread; the device records only after Start.
    HRESULT Open() noexcept;
    // Start and Stop return once the thread has done them; Stop first hands over the
    // partly filled buffer.
    HRESULT Start() noexcept;
    HRESULT Stop() noexcept;
    void Close() noexcept;

    static constexpr DWORD kStallMs = 1000;
    static constexpr DWORD kFirstDataMs = 3000;
    static constexpr DWORD kDrainMs = 1500;
    static constexpr DWORD kRetryMs = 500;

private:
    enum class Command { None, Start, Stop, Quit };

    static DWORD WINAPI ThreadMain(void* self) noexcept;
    static DWORD WINAPI WatchdogMain(void* self) noexcept;
    void Watch() noexcept;
    void Reconnect() noexcept;
    void Loop() noexcept;
    HRESULT RunCommand(Command command) noexcept;
    MMRESULT OpenDevice() noexcept;
    void CloseDevice() noexcept;
    void Drain() noexcept;
    void CollectBuffers(bool deliver) noexcept;

    CaptureSink& m_sink;
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
    static constexpr ULONGLONG kNoLimit = ~0ull;
    ULONGLONG m_runStartTick = 0;
    ULONGLONG m_runBytes = 0;
    ULONGLONG m_runLimit = kNoLimit;
    ULONGLONG m_lastRetryTick = 0;
};

} // namespace audiocapture
