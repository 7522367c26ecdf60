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

WaveInReader::~WaveInReader() = default;

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
        m_preroll.reserve(static_cast<size_t>(m_format.nAvgBytesPerSec) * kPrerollMs / 1000);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    // A device that is already gone does not fail the pause (Wine's graph cannot be released
    // after a failed pause): the thread reports the loss and keeps trying, as after a stall.
    m_lost = OpenDevice() != MMSYSERR_NOERROR;
    // The thread may outlive every other reference to this module (see Discard).
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&WaveInReader::ThreadMain), &m_module)) {
        m_module = nullptr;
    }
    m_thread.reset(CreateThread(nullptr, 0, &WaveInReader::ThreadMain, this, 0, nullptr));
    if (!m_thread) {
        HRESULT hr = HRESULT_FROM_WIN32(GetLastError());
        CloseDevice();
        if (m_module) {
            FreeLibrary(m_module);
        }
        m_module = nullptr;
        return hr;
    }
    SetThreadPriority(m_thread.get(), THREAD_PRIORITY_TIME_CRITICAL);
    m_watchdogQuit.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (m_watchdogQuit) {
        m_watchdog.reset(CreateThread(nullptr, 0, &WaveInReader::WatchdogMain, this, 0, nullptr));
    }
    return m_watchdog ? S_OK : HRESULT_FROM_WIN32(GetLastError());
}

void WaveInReader::StopWatchdog() noexcept {
    if (!m_watchdog) {
        return;
    }
    SetEvent(m_watchdogQuit.get());
    WaitForSingleObject(m_watchdog.get(), INFINITE);
    m_watchdog.reset();
}

void WaveInReader::Discard(std::unique_ptr<WaveInReader> reader) noexcept {
    if (!reader) {
        return;
    }
    reader->StopWatchdog();
    {
        std::lock_guard<std::mutex> lock(reader->m_sinkLock);
        reader->m_sinkGone = true;
    }
    if (!reader->m_thread) {
        reader->CloseDevice();
        return;
    }
    // From here the thread owns the reader.
    WaveInReader* owned = reader.release();
    {
        std::lock_guard<std::mutex> lock(owned->m_commandLock);
        owned->m_command = Command::Quit;
    }
    SetEvent(owned->m_commandEvent.get());
}

HRESULT WaveInReader::Arm() noexcept {
    return RunCommand(Command::Arm);
}

HRESULT WaveInReader::Start() noexcept {
    return RunCommand(Command::Start);
}

HRESULT WaveInReader::Stop() noexcept {
    return RunCommand(Command::Stop);
}

HRESULT WaveInReader::Warm() noexcept {
    return RunCommand(Command::Warm);
}

HRESULT WaveInReader::Pause() noexcept {
    return RunCommand(Command::Pause);
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
    m_started = false;
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
        ToSink([](CaptureSink& sink) { sink.OnDeviceLost(); });
        SetEvent(m_commandEvent.get());
    }
}

DWORD WINAPI WaveInReader::ThreadMain(void* self) noexcept {
    auto* reader = static_cast<WaveInReader*>(self);
    reader->Loop();
    HMODULE module = reader->m_module;
    delete reader;
    if (module) {
        FreeLibraryAndExitThread(module, 0);
    }
    return 0;
}

void WaveInReader::Loop() noexcept {
    if (m_lost) {
        ToSink([](CaptureSink& sink) { sink.OnDeviceLost(); });
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
        case Command::Arm:
            ArmRun();
            m_commandResult = S_OK;
            SetEvent(m_doneEvent.get());
            break;
        case Command::Start:
            StartRun();
            SetEvent(m_doneEvent.get());
            break;
        case Command::Warm:
            if (!m_started && m_wave) {
                m_warming = DeviceStart();
            }
            m_commandResult = S_OK;
            SetEvent(m_doneEvent.get());
            break;
        case Command::Pause:
            BeginPause();
            m_commandResult = S_OK;
            SetEvent(m_doneEvent.get());
            break;
        case Command::Stop:
            Finish();
            m_commandResult = S_OK;
            SetEvent(m_doneEvent.get());
            break;
        case Command::Quit:
            m_recording = false;
            CloseDevice();
            return;
        case Command::None:
            break;
        }
        CollectBuffers();
        if (m_warming && (m_bytesSinceStart > 0 || GetTickCount64() - m_startTick > kFirstDataMs)) {
            Finish();
        }
        if (m_lost) {
            Reconnect();
        }
    }
}

// A device armed already runs on, and so does one still warming up: a restart would cost its
// start-up delay. What a warming device captured before now is dropped.
void WaveInReader::ArmRun() noexcept {
    if (m_warming && m_started) {
        CollectBuffers();
        m_warming = false;
        m_prerolling = true;
        CutAtPosition();
        return;
    }
    if (m_prerolling && m_started) {
        return;
    }
    Finish();
    m_prerolling = m_wave && DeviceStart();
}

// The first run after Open begins with what the device captured since Open.
void WaveInReader::StartRun() noexcept {
    CollectBuffers();
    m_commandResult = S_OK;
    if (m_pausing && m_started) {
        Resume();
        return;
    }
    if (m_wave && !m_prerolling) {
        DeviceStart();
    }
    if (m_wave) {
        m_commandResult = m_started ? S_OK : E_FAIL;
    }
    m_recording = true;
    m_discontinuity = true;
    m_lastDataTick = GetTickCount64();
    for (size_t at = 0; at < m_preroll.size(); at += m_bufferBytes) {
        DWORD bytes = static_cast<DWORD>(std::min<size_t>(m_bufferBytes, m_preroll.size() - at));
        bool discontinuity = std::exchange(m_discontinuity, false);
        ToSink([&](CaptureSink& sink) { sink.OnCaptured(&m_preroll[at], bytes, discontinuity); });
    }
    m_preroll.clear();
    m_prerolling = false;
}

// Everything recorded up to now: the device, stopped, marks its partly filled buffer done
// and puts into it what the sound system still held (measured: within 10 ms under Wine 8).
void WaveInReader::Finish() noexcept {
    if (m_wave && m_started) {
        waveInStop(m_wave);
        m_started = false;
        // Only a recording waits for its partly filled buffer: what a pause or a warm-up
        // captured is dropped anyway.
        ULONGLONG deadline = GetTickCount64() + (m_recording ? kStopWaitMs : 0);
        while (!(m_headers[m_next].dwFlags & WHDR_DONE) && GetTickCount64() < deadline) {
            Sleep(2);
        }
    }
    CollectBuffers();
    m_recording = false;
    m_prerolling = false;
    m_preroll.clear();
    m_pausing = false;
    m_warming = false;
    m_dropBytes = 0;
}

void WaveInReader::BeginPause() noexcept {
    bool running = m_recording && m_started;
    Finish();
    if (running && m_wave && DeviceStart()) {
        m_pausing = true;
    }
}

// The resume cuts the device's stream where its position stands now: what the device captured
// before the click is dropped, whether it has reached a buffer yet or not.
void WaveInReader::Resume() noexcept {
    CollectBuffers();
    CutAtPosition();
    m_pausing = false;
    m_recording = true;
    m_discontinuity = true;
    m_lastDataTick = GetTickCount64();
}

void WaveInReader::CutAtPosition() noexcept {
    ULONGLONG captured = DevicePosition() - m_positionAtStart;
    m_dropBytes = captured > m_bytesSinceStart ? captured - m_bytesSinceStart : 0;
    m_dropBytes -= m_dropBytes % m_format.nBlockAlign;
}

ULONGLONG WaveInReader::DevicePosition() noexcept {
    MMTIME time{};
    time.wType = TIME_BYTES;
    if (waveInGetPosition(m_wave, &time, sizeof(time)) != MMSYSERR_NOERROR ||
        time.wType != TIME_BYTES) {
        return m_positionAtStart + m_bytesSinceStart;
    }
    return time.u.cb;
}

bool WaveInReader::DeviceStart() noexcept {
    m_started = waveInStart(m_wave) == MMSYSERR_NOERROR;
    m_startTick = GetTickCount64();
    m_bytesSinceStart = 0;
    m_positionAtStart = m_started ? DevicePosition() : 0;
    return m_started;
}

// A restarted device first hands over sound from before its start (measured under Wine 8:
// 80 to 90 ms on every start of a handle that ran before, even after waveInReset). No
// sound can be older than the start, so what the first buffer holds beyond the time since
// the start is dropped.
DWORD WaveInReader::StaleBytes(DWORD bytes) noexcept {
    ULONGLONG elapsedMs = GetTickCount64() - m_startTick;
    ULONGLONG sinceStart = m_bytesSinceStart;
    m_bytesSinceStart += bytes;
    // Only the first buffer after a start carries it.
    if (sinceStart > 0 || elapsedMs > kStaleWindowMs) {
        return 0;
    }
    ULONGLONG allowed = (elapsedMs + kStaleSlackMs) * m_format.nAvgBytesPerSec / 1000;
    if (bytes <= allowed) {
        return 0;
    }
    ULONGLONG stale = bytes - allowed;
    return static_cast<DWORD>(stale - stale % m_format.nBlockAlign);
}

DWORD WaveInReader::TakeDrop(DWORD bytes) noexcept {
    if (!m_recording && !m_prerolling) {
        return 0;
    }
    auto drop = static_cast<DWORD>(std::min<ULONGLONG>(m_dropBytes, bytes));
    m_dropBytes -= drop;
    return drop;
}

void WaveInReader::Keep(const BYTE* data, DWORD bytes) noexcept {
    size_t limit = m_preroll.capacity();
    if (bytes > limit) {
        return;
    }
    if (m_preroll.size() + bytes > limit) {
        size_t drop = m_preroll.size() + bytes - limit;
        drop += (m_format.nBlockAlign - drop % m_format.nBlockAlign) % m_format.nBlockAlign;
        m_preroll.erase(m_preroll.begin(), m_preroll.begin() + static_cast<ptrdiff_t>(std::min(
                                                                   drop, m_preroll.size())));
    }
    m_preroll.insert(m_preroll.end(), data, data + bytes);
}

void WaveInReader::CollectBuffers() noexcept {
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
                ToSink([](CaptureSink& sink) { sink.OnDeviceBack(); });
            }
            DWORD skip = std::max(StaleBytes(h.dwBytesRecorded), TakeDrop(h.dwBytesRecorded));
            const auto* data = reinterpret_cast<const BYTE*>(h.lpData) + skip;
            DWORD bytes = h.dwBytesRecorded - skip;
            if (bytes > 0 && m_recording) {
                bool discontinuity = std::exchange(m_discontinuity, false);
                ToSink([&](CaptureSink& sink) { sink.OnCaptured(data, bytes, discontinuity); });
            } else if (bytes > 0 && m_prerolling) {
                Keep(data, bytes);
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
        DeviceStart();
    }
}

} // namespace audiocapture
