#include "filters/wine/audiocapture/WaveInReader.h"

#include <algorithm>
#include <utility>

namespace audiocapture {

namespace {
constexpr size_t kBufferCount = 8;
constexpr DWORD kCommandTimeoutMs = 3000;
} // namespace

WaveInReader::WaveInReader(CaptureSink& sink, UINT deviceId, const WAVEFORMATEX& format) noexcept
    : m_sink(sink), m_deviceId(deviceId), m_format(format) {
    m_format.cbSize = 0;
    DWORD bytes = format.nAvgBytesPerSec / 10;
    m_bufferBytes = bytes - bytes % format.nBlockAlign;
}

WaveInReader::~WaveInReader() {
    Close();
}

HRESULT WaveInReader::Open() noexcept {
    m_bufferEvent.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    m_commandEvent.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    m_doneEvent.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!m_bufferEvent || !m_commandEvent || !m_doneEvent) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    try {
        m_memory.assign(kBufferCount, std::vector<BYTE>(m_bufferBytes));
        m_headers.assign(kBufferCount, WAVEHDR{});
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    // A device that is already gone does not fail the pause (Wine's graph cannot be released
    // after a failed pause): the thread reports the loss and keeps trying, as after a stall.
    m_lost = OpenDevice() != MMSYSERR_NOERROR;
    m_thread.reset(CreateThread(nullptr, 0, &WaveInReader::ThreadMain, this, 0, nullptr));
    if (!m_thread) {
        CloseDevice();
        return HRESULT_FROM_WIN32(GetLastError());
    }
    SetThreadPriority(m_thread.get(), THREAD_PRIORITY_TIME_CRITICAL);
    m_watchdogQuit.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (m_watchdogQuit) {
        m_watchdog.reset(CreateThread(nullptr, 0, &WaveInReader::WatchdogMain, this, 0, nullptr));
    }
    return m_watchdog ? S_OK : HRESULT_FROM_WIN32(GetLastError());
}

void WaveInReader::Close() noexcept {
    if (m_watchdog) {
        SetEvent(m_watchdogQuit.get());
        WaitForSingleObject(m_watchdog.get(), INFINITE);
        m_watchdog.reset();
    }
    m_watchdogQuit.reset();
    if (m_thread) {
        RunCommand(Command::Quit);
        WaitForSingleObject(m_thread.get(), kCommandTimeoutMs);
        m_thread.reset();
    }
    CloseDevice();
    m_bufferEvent.reset();
    m_commandEvent.reset();
    m_doneEvent.reset();
}

HRESULT WaveInReader::Start() noexcept {
    return RunCommand(Command::Start);
}

HRESULT WaveInReader::Stop() noexcept {
    return RunCommand(Command::Stop);
}

HRESULT WaveInReader::RunCommand(Command command) noexcept {
    if (!m_thread) {
        return E_UNEXPECTED;
    }
    {
        std::lock_guard<std::mutex> lock(m_commandLock);
        m_command = command;
    }
    SetEvent(m_commandEvent.get());
    if (WaitForSingleObject(m_doneEvent.get(), kCommandTimeoutMs) != WAIT_OBJECT_0) {
        return HRESULT_FROM_WIN32(ERROR_TIMEOUT);
    }
    return m_commandResult;
}

MMRESULT WaveInReader::OpenDevice() noexcept {
    MMRESULT rc = waveInOpen(&m_wave, m_deviceId, &m_format,
                             reinterpret_cast<DWORD_PTR>(m_bufferEvent.get()), 0, CALLBACK_EVENT);
    if (rc != MMSYSERR_NOERROR) {
        m_wave = nullptr;
        return rc;
    }
    for (size_t i = 0; i < m_headers.size(); ++i) {
        WAVEHDR& h = m_headers[i];
        h = WAVEHDR{};
        h.lpData = reinterpret_cast<LPSTR>(m_memory[i].data());
        h.dwBufferLength = m_bufferBytes;
        waveInPrepareHeader(m_wave, &h, sizeof(h));
        waveInAddBuffer(m_wave, &h, sizeof(h));
    }
    m_next = 0;
    m_dataSinceOpen = false;
    return MMSYSERR_NOERROR;
}

void WaveInReader::CloseDevice() noexcept {
    if (!m_wave) {
        return;
    }
    waveInReset(m_wave);
    for (WAVEHDR& h : m_headers) {
        waveInUnprepareHeader(m_wave, &h, sizeof(h));
    }
    waveInClose(m_wave);
    m_wave = nullptr;
}

DWORD WINAPI WaveInReader::WatchdogMain(void* self) noexcept {
    static_cast<WaveInReader*>(self)->Watch();
    return 0;
}

// Runs apart from the capture thread, because that thread can sit for seconds inside a winmm
// call when the PulseAudio source goes away; Wine may then even resume the handle on another
// source (measured), so only a reopened device counts as back.
void WaveInReader::Watch() noexcept {
    while (WaitForSingleObject(m_watchdogQuit.get(), 100) == WAIT_TIMEOUT) {
        if (!m_recording || m_lost) {
            continue;
        }
        ULONGLONG stallMs = m_dataSinceOpen ? kStallMs : kFirstDataMs;
        if (GetTickCount64() - m_lastDataTick < stallMs) {
            continue;
        }
        m_lost = true;
        m_sink.OnDeviceLost();
        SetEvent(m_commandEvent.get());
    }
}

DWORD WINAPI WaveInReader::ThreadMain(void* self) noexcept {
    static_cast<WaveInReader*>(self)->Loop();
    return 0;
}

void WaveInReader::Loop() noexcept {
    if (m_lost) {
        m_sink.OnDeviceLost();
    }
    for (;;) {
        HANDLE handles[2] = {m_commandEvent.get(), m_bufferEvent.get()};
        WaitForMultipleObjects(2, handles, FALSE, 100);
        Command command;
        {
            std::lock_guard<std::mutex> lock(m_commandLock);
            command = std::exchange(m_command, Command::None);
        }
        switch (command) {
        case Command::Start:
            m_commandResult = S_OK;
            if (m_wave) {
                m_commandResult = waveInStart(m_wave) == MMSYSERR_NOERROR ? S_OK : E_FAIL;
            }
            m_recording = true;
            m_discontinuity = true;
            m_runStartTick = m_lastDataTick = GetTickCount64();
            m_runBytes = 0;
            SetEvent(m_doneEvent.get());
            break;
        case Command::Stop:
            Drain();
            m_recording = false;
            m_commandResult = S_OK;
            SetEvent(m_doneEvent.get());
            break;
        case Command::Quit:
            m_recording = false;
            CloseDevice();
            m_commandResult = S_OK;
            SetEvent(m_doneEvent.get());
            return;
        case Command::None:
            break;
        }
        CollectBuffers(m_recording);
        if (m_lost) {
            Reconnect();
        }
    }
}

// The device hands data over later than it was played (the PulseAudio pipeline's latency,
// up to about a second with a player's default latency), so a stop waits for the data that
// belongs to the time recorded, then ends the run at exactly that length.
void WaveInReader::Drain() noexcept {
    ULONGLONG now = GetTickCount64();
    ULONGLONG target = (now - m_runStartTick) * m_format.nAvgBytesPerSec / 1000;
    m_runLimit = target - target % m_format.nBlockAlign;
    ULONGLONG deadline = now + kDrainMs;
    while (m_wave && !m_lost && m_runBytes < m_runLimit && GetTickCount64() < deadline) {
        WaitForSingleObject(m_bufferEvent.get(), 20);
        CollectBuffers(true);
    }
    if (m_wave) {
        waveInStop(m_wave);
        // The partly filled buffer comes back marked done, shortly after.
        for (int i = 0; i < 20 && !(m_headers[m_next].dwFlags & WHDR_DONE); ++i) {
            Sleep(5);
        }
    }
    CollectBuffers(true);
    m_runLimit = kNoLimit;
}

void WaveInReader::CollectBuffers(bool deliver) noexcept {
    if (!m_wave) {
        return;
    }
    while (m_headers[m_next].dwFlags & WHDR_DONE) {
        WAVEHDR& h = m_headers[m_next];
        if (h.dwBytesRecorded > 0) {
            m_lastDataTick = GetTickCount64();
            m_dataSinceOpen = true;
            if (m_lost && !m_reopened) {
                // Data of the handle the loss was seen on: not the device's return.
            } else if (m_lost) {
                m_lost = false;
                m_reopened = false;
                m_sink.OnDeviceBack();
            }
            ULONGLONG room = m_runLimit > m_runBytes ? m_runLimit - m_runBytes : 0;
            DWORD bytes = static_cast<DWORD>(std::min<ULONGLONG>(h.dwBytesRecorded, room));
            if (deliver && bytes > 0) {
                m_sink.OnCaptured(reinterpret_cast<const BYTE*>(h.lpData), bytes, m_discontinuity);
                m_discontinuity = false;
                m_runBytes += bytes;
            }
        }
        h.dwFlags &= ~WHDR_DONE;
        h.dwBytesRecorded = 0;
        waveInAddBuffer(m_wave, &h, sizeof(h));
        m_next = (m_next + 1) % m_headers.size();
    }
}

// Lost: the old handle is dropped, and a reopened device that stays silent is closed again
// and retried later.
void WaveInReader::Reconnect() noexcept {
    ULONGLONG now = GetTickCount64();
    if (m_wave && !m_reopened) {
        CloseDevice();
        m_lastRetryTick = 0;
    }
    ULONGLONG stallMs = m_dataSinceOpen ? kStallMs : kFirstDataMs;
    if (m_wave && now - m_lastDataTick < stallMs) {
        return;
    }
    if (now - m_lastRetryTick < kRetryMs) {
        return;
    }
    m_lastRetryTick = now;
    CloseDevice();
    if (OpenDevice() == MMSYSERR_NOERROR) {
        m_reopened = true;
        m_lastDataTick = now;
        m_discontinuity = true;
        waveInStart(m_wave);
    }
}

} // namespace audiocapture
