#include "filters/wine/audiocapture/CaptureReader.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "base/ComApartment.h"

namespace audiocapture {

namespace {

double SystemMs() noexcept {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
}

// A Stop or a Pause waits up to kDrainMs for its sound, and a loaded machine adds to that.
constexpr DWORD kCommandTimeoutMs = 5000;
// After a stop, the device marks its partly filled buffer done within this.
constexpr DWORD kPartialBufferMs = 500;
// How often the device's count is read for its rate.
constexpr double kRateSampleMs = 250;
// A count that fell behind before a click may be sound a busy machine still owes, not sound
// dropped: owed sound comes within this (Wine's capture was seen to hold back over a second
// beside three spinning processes), a dropped piece never does.
constexpr double kCatchUpMs = 1000;
constexpr DWORD kCatchUpPollMs = 20;
// Meanwhile the count is read each time it has moved on this much: the floor's ring keeps the
// readings from before the click.
constexpr double kCatchUpReadMs = 100;
} // namespace

CaptureReader::CaptureReader(CaptureSink& sink, const CaptureSource& source,
                             const WAVEFORMATEX& format, DWORD pieceBytes) noexcept
    : CaptureReader(
          sink, format,
          [&](HANDLE bufferEvent) {
              return CaptureDevice::Create(source, format, pieceBytes, bufferEvent);
          },
          &SystemMs) {
    m_pieceBytes = pieceBytes;
}

CaptureReader::CaptureReader(CaptureSink& sink, const WAVEFORMATEX& format,
                             const DeviceFactory& makeDevice, Clock clock) noexcept
    : m_sink(sink), m_clock(std::move(clock)), m_format(format),
      m_pieceBytes(CaptureDevice::BufferBytes(format)),
      m_bufferEvent(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      m_device(makeDevice(m_bufferEvent.get())), m_rate(format.nAvgBytesPerSec / 1000.0) {
    m_format.cbSize = 0;
}

CaptureReader::~CaptureReader() = default;

HRESULT CaptureReader::Open() noexcept {
    if (!m_device) {
        return E_OUTOFMEMORY;
    }
    if (!m_bufferEvent || !m_commands.Create()) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    HRESULT hr = m_device->Allocate();
    if (FAILED(hr)) {
        return hr;
    }
    try {
        m_held.reserve(static_cast<size_t>(m_format.nAvgBytesPerSec) * kHoldMs / 1000);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    // A device that is already gone does not fail the pause (Wine's graph cannot be released
    // after a failed pause): the thread reports the loss and keeps trying, as after a stall.
    m_lost = FAILED(m_device->Open());
    m_handle = m_lost ? 0 : 1;
    // The thread may outlive every other reference to this module (see Discard).
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&CaptureReader::ThreadMain), &m_module)) {
        m_module = nullptr;
    }
    m_thread.reset(CreateThread(nullptr, 0, &CaptureReader::ThreadMain, this, 0, nullptr));
    if (!m_thread) {
        hr = HRESULT_FROM_WIN32(GetLastError());
        m_device->Close();
        if (m_module) {
            FreeLibrary(m_module);
        }
        m_module = nullptr;
        return hr;
    }
    SetThreadPriority(m_thread.get(), THREAD_PRIORITY_TIME_CRITICAL);
    m_watchdogQuit.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (m_watchdogQuit) {
        m_watchdog.reset(CreateThread(nullptr, 0, &CaptureReader::WatchdogMain, this, 0, nullptr));
    }
    return m_watchdog ? S_OK : HRESULT_FROM_WIN32(GetLastError());
}

void CaptureReader::StopWatchdog() noexcept {
    if (!m_watchdog) {
        return;
    }
    SetEvent(m_watchdogQuit.get());
    WaitForSingleObject(m_watchdog.get(), INFINITE);
    m_watchdog.reset();
}

void CaptureReader::Discard(std::unique_ptr<CaptureReader> reader) noexcept {
    if (!reader) {
        return;
    }
    reader->StopWatchdog();
    {
        std::lock_guard<std::mutex> lock(reader->m_sinkLock);
        reader->m_sinkGone = true;
    }
    if (!reader->m_thread) {
        if (reader->m_device) {
            reader->m_device->Close();
        }
        return;
    }
    // From here the thread owns the reader.
    CaptureReader* owned = reader.release();
    owned->m_commands.Post({Kind::Quit, 0});
}

HRESULT CaptureReader::Arm() noexcept {
    return Run(Kind::Arm);
}

HRESULT CaptureReader::Start() noexcept {
    return Run(Kind::Start);
}

HRESULT CaptureReader::Stop() noexcept {
    return Run(Kind::Stop);
}

HRESULT CaptureReader::Pause() noexcept {
    return Run(Kind::Pause);
}

// The call's time is taken here, not when the capture thread gets to it: on a loaded machine
// that can be hundreds of milliseconds later.
HRESULT CaptureReader::Run(Kind kind) noexcept {
    if (!m_thread) {
        return E_UNEXPECTED;
    }
    HRESULT hr = m_commands.Run({kind, m_clock()}, kCommandTimeoutMs);
    if (hr == HRESULT_FROM_WIN32(ERROR_TIMEOUT)) {
        // A failed state change strands Wine's graph; the command still runs, late.
        OutputDebugStringA("Audio Capture: the capture thread did not answer a command in time\n");
        return S_OK;
    }
    return hr;
}

DWORD WINAPI CaptureReader::WatchdogMain(void* self) noexcept {
    static_cast<CaptureReader*>(self)->Watch();
    return 0;
}

// Runs apart from the capture thread, because that thread can sit for seconds inside a winmm
// call when the PulseAudio source goes away; Wine may then even resume the handle on another
// source (measured), so only a reopened device counts as back. It watches the device only:
// the capture thread never waits for what lies downstream (the writer queues).
void CaptureReader::Watch() noexcept {
    DWORD waitMs = kWatchMs;
    while (WaitForSingleObject(m_watchdogQuit.get(), waitMs) == WAIT_TIMEOUT) {
        waitMs = kWatchMs;
        if (m_state != State::Recording || m_lost || m_draining || m_delivering) {
            continue;
        }
        // The last sound's time first: a clock read before a newer arrival is no stall.
        const double lastMs = m_lastDataMs;
        const double nowMs = m_clock();
        const double stallAtMs = lastMs + (m_dataSinceOpen ? kStallMs : kFirstDataMs);
        if (nowMs < stallAtMs) {
            // Next when this silence would make a stall, or after kWatchMs if that is sooner.
            waitMs = static_cast<DWORD>(std::clamp(stallAtMs - nowMs + 1, 1.0, double{kWatchMs}));
            continue;
        }
        m_lossMs = nowMs;
        m_takeLost = true;
        m_lost = true;
        ReportLoss();
        SetEvent(m_bufferEvent.get());
    }
}

DWORD WINAPI CaptureReader::ThreadMain(void* self) noexcept {
    auto* reader = static_cast<CaptureReader*>(self);
    HMODULE module = reader->m_module;
    {
        // A loopback device is reopened and closed on this thread.
        base::ComApartment com;
        com.Enter(COINIT_MULTITHREADED);
        reader->Loop();
        delete reader;
    }
    if (module) {
        FreeLibraryAndExitThread(module, 0);
    }
    return 0;
}

void CaptureReader::Loop() noexcept {
    if (m_lost) {
        ReportLoss();
    }
    for (;;) {
        // A waveIn device signals each buffer; a stream is collected at the timeout.
        HANDLE handles[2] = {m_commands.PostedEvent(), m_bufferEvent.get()};
        WaitForMultipleObjects(2, handles, FALSE, 100);
        CollectBuffers();
        while (auto posted = m_commands.Take()) {
            if (posted->command.kind == Kind::Quit) {
                m_state = State::Idle;
                m_device->Close();
                return;
            }
            m_commands.Complete(posted->id, Execute(posted->command));
        }
        if (m_lost) {
            Reconnect();
        }
    }
}

HRESULT CaptureReader::Execute(const Command& command) noexcept {
    switch (command.kind) {
    case Kind::Arm:
        return ArmRun();
    case Kind::Start:
        return StartRun(command.atMs);
    case Kind::Pause:
        PauseRun(command.atMs);
        return S_OK;
    case Kind::Stop:
        StopRun(command.atMs);
        return S_OK;
    case Kind::Quit:
        break;
    }
    return S_OK;
}

HRESULT CaptureReader::ArmRun() noexcept {
    if (m_state != State::Idle) {
        StopRun(m_clock());
    }
    DeviceStart();
    m_takeHandle = m_handle;
    // A take armed while the device is lost has lost it from its start.
    m_lossMs = m_startMs;
    m_takeLost = m_lost.load();
    m_state = State::Armed;
    return S_OK;
}

// A resume keeps what was captured from its call on, some of which may already be held.
HRESULT CaptureReader::StartRun(double atMs) noexcept {
    HRESULT result = S_OK;
    if (m_state == State::Paused) {
        m_keepFrom = OffsetAt(atMs);
    } else if (m_state == State::Idle) {
        DeviceStart();
    }
    if (m_device->IsOpen() && !m_device->Started()) {
        result = E_FAIL;
    }
    m_discontinuity = true;
    m_lastDataMs = m_clock();
    m_state = State::Recording;
    // Now the filter is in a graph that tells the window (a loss at the open was not).
    if (!m_device->Started() || TakeCut()) {
        if (!m_takeLost.exchange(true)) {
            m_lossMs = m_startMs;
        }
        ReportLoss();
    }
    Route(m_held.data(), static_cast<DWORD>(m_held.size()), m_heldOffset);
    m_held.clear();
    return result;
}

void CaptureReader::PauseRun(double atMs) noexcept {
    if (m_state != State::Recording) {
        return;
    }
    Drain(atMs);
    DeviceStart();
    m_state = State::Paused;
}

void CaptureReader::StopRun(double atMs) noexcept {
    if (m_state == State::Recording) {
        Drain(atMs);
    }
    m_device->Stop(kPartialBufferMs);
    CollectBuffers();
    m_state = State::Idle;
    m_held.clear();
}

// Everything captured up to `atMs` reaches the sink before this returns: the device's count
// tells when it has captured that much, and its partly filled buffer is handed over by
// stopping it. A device that falls short for kDrainMs (lost, or sound lost upstream) ends the
// recording with what arrived, and the shortfall goes to the debugger output.
void CaptureReader::Drain(double atMs) noexcept {
    m_draining = true;
    DrainUntil(atMs);
    const double agoMs = std::max(0.0, m_clock() - atMs);
    ToSink([&](CaptureSink& sink) { sink.OnSentUntil(agoMs); });
    m_draining = false;
}

void CaptureReader::DrainUntil(double atMs) noexcept {
    m_keepUntil = EndAt(atMs);
    if (TakeCut()) {
        m_device->Stop(kPartialBufferMs);
        CollectBuffers();
        return;
    }
    const double deadline = atMs + kDrainMs;
    while (m_device->Started() && !m_lost && KeptCaptured() < m_keepUntil && m_clock() < deadline) {
        WaitForSingleObject(m_bufferEvent.get(), 5);
        CollectBuffers();
    }
    m_device->Stop(kPartialBufferMs);
    CollectBuffers();
    if (m_kept < m_keepUntil) {
        char text[128];
        snprintf(text, sizeof(text), "Audio Capture: %llu ms of sound before the stop never came\n",
                 static_cast<unsigned long long>((m_keepUntil - m_kept) * 1000 /
                                                 m_format.nAvgBytesPerSec));
        OutputDebugStringA(text);
    }
}

// Each start begins the kept stream again: its offsets count from here.
bool CaptureReader::DeviceStart() noexcept {
    m_startMs = m_clock();
    bool started = m_device->Start();
    m_rate.Restart(m_startMs);
    m_lagFloor.Restart(m_startMs);
    m_lastSampleMs = m_startMs;
    m_bytesSinceStart = m_kept = 0;
    m_keepFrom = 0;
    m_keepUntil = UINT64_MAX;
    m_lossBound = UINT64_MAX;
    m_held.clear();
    m_heldOffset = 0;
    return started;
}

// A device's sound arrives late, the later the busier the machine, but it was captured from
// its start on, so a call's time places it in the kept stream, whatever has arrived by then.
// (Placing it by the arrivals instead cut the end short by the sound system's latency.)
uint64_t CaptureReader::OffsetAt(double ms) const noexcept {
    if (ms <= m_startMs) {
        return 0;
    }
    auto bytes = static_cast<uint64_t>((ms - m_startMs) * m_rate.BytesPerMs());
    return bytes - bytes % m_format.nBlockAlign;
}

// Where a Stop or a Pause ends the kept stream: sound dropped upstream before the call is not
// made up for with sound from after it.
uint64_t CaptureReader::EndAt(double ms) noexcept {
    const uint64_t offset = OffsetAt(ms);
    uint64_t lost = LostBefore(ms, ms);
    if (lost > 0 && !m_lost) {
        lost = AwaitCatchUp(ms, lost);
    }
    if (lost > 0) {
        char text[96];
        snprintf(text, sizeof(text), "Audio Capture: %llu ms of sound dropped before the stop\n",
                 static_cast<unsigned long long>(lost * 1000 / m_format.nAvgBytesPerSec));
        OutputDebugStringA(text);
    }
    return offset - lost;
}

uint64_t CaptureReader::LostBefore(double atMs, double seenUntilMs) const noexcept {
    uint64_t lost =
        std::min(OffsetAt(atMs), m_lagFloor.LostBy(atMs, m_rate.BytesPerMs(), seenUntilMs));
    return lost - lost % m_format.nBlockAlign;
}

// Reads the count until it has caught up or kCatchUpMs have passed. Meanwhile the sound up to
// the click less `lost` goes to the sink, and what lies beyond it up to the click is held: it
// is delivered as far as it turns out to have been owed.
uint64_t CaptureReader::AwaitCatchUp(double atMs, uint64_t lost) noexcept {
    const uint64_t offset = OffsetAt(atMs);
    m_keepUntil = offset;
    m_deliverUntil = offset - lost;
    m_held.clear();
    const auto step = static_cast<uint64_t>(kCatchUpReadMs * m_rate.BytesPerMs());
    uint64_t readAt = KeptCaptured();
    while (lost > 0 && m_device->Started() && !m_lost && m_clock() < atMs + kCatchUpMs) {
        WaitForSingleObject(m_bufferEvent.get(), kCatchUpPollMs);
        CollectBuffers();
        const uint64_t counted = KeptCaptured();
        if (counted >= readAt + step) {
            readAt = counted;
            const double nowMs = m_clock();
            m_lagFloor.Sample(nowMs, counted);
            lost = LostBefore(atMs, nowMs);
        }
    }
    const uint64_t heldUntil = m_heldOffset + m_held.size();
    m_deliverUntil = UINT64_MAX;
    if (!m_held.empty() && offset - lost > m_heldOffset) {
        Deliver(m_held.data(),
                static_cast<DWORD>(std::min(heldUntil, offset - lost) - m_heldOffset),
                m_heldOffset);
    }
    m_held.clear();
    return lost;
}

void CaptureReader::CollectBuffers() noexcept {
    if (m_lost && !m_reopened && m_lossBound == UINT64_MAX && m_device->IsOpen()) {
        m_lossBound = KeptCaptured();
        if (m_lossMs > m_startMs) {
            // What the sound system had not handed over by then went with the device.
            char text[128];
            snprintf(
                text, sizeof(text),
                "Audio Capture: lost %llu ms after the start, with %llu ms of sound counted\n",
                static_cast<unsigned long long>(m_lastDataMs - m_startMs),
                static_cast<unsigned long long>(m_lossBound * 1000 / m_format.nAvgBytesPerSec));
            OutputDebugStringA(text);
        }
    }
    m_device->TakeFilled(*this);
    SampleRate();
}

void CaptureReader::SampleRate() noexcept {
    const double nowMs = m_clock();
    if (m_lost || !m_device->Started() || nowMs - m_lastSampleMs < kRateSampleMs) {
        return;
    }
    m_lastSampleMs = nowMs;
    const uint64_t kept = KeptCaptured();
    m_rate.Sample(nowMs, kept);
    m_lagFloor.Sample(nowMs, kept);
}

// What the device captured since its start, less the stale sound a restart hands over.
uint64_t CaptureReader::KeptCaptured() noexcept {
    const uint64_t stale = m_bytesSinceStart - m_kept;
    const uint64_t captured = m_device->CapturedSinceStart();
    return captured > stale ? captured - stale : 0;
}

// The loss broke the take: its handle is gone, or it was lost before the take began.
bool CaptureReader::TakeCut() const noexcept {
    return m_handle != m_takeHandle || (m_takeLost && m_lossMs <= m_startMs);
}

void CaptureReader::Take(const BYTE* data, DWORD bytes) noexcept {
    m_lastDataMs = m_clock();
    m_dataSinceOpen = true;
    // Only a reopened handle's sound is the device's return. What the lost handle still hands
    // over was captured before the loss (its thread may have sat in winmm), bounded in Route.
    if (m_lost && m_reopened) {
        m_lost = false;
        m_reopened = false;
        ToSink([](CaptureSink& sink) { sink.OnDeviceBack(); });
    }
    DWORD stale = StaleBytes(bytes);
    uint64_t offset = m_kept;
    m_kept += bytes - stale;
    Route(data + stale, bytes - stale, offset);
}

// The part of [offset, offset + bytes) that the recording keeps goes to the sink while it
// records, and is held while armed or paused; the rest is dropped.
void CaptureReader::Route(const BYTE* data, DWORD bytes, uint64_t offset) noexcept {
    if (TakeCut()) {
        return;
    }
    uint64_t begin = std::max(offset, m_keepFrom);
    uint64_t end = std::min(offset + bytes, m_keepUntil);
    if (m_takeLost) {
        end = std::min({end, OffsetAt(m_lossMs), m_lossBound});
    }
    if (begin >= end) {
        return;
    }
    data += begin - offset;
    auto kept = static_cast<DWORD>(end - begin);
    if (m_state == State::Recording) {
        const uint64_t split = std::clamp(m_deliverUntil, begin, end);
        if (split > begin) {
            Deliver(data, static_cast<DWORD>(split - begin), begin);
        }
        if (end > split) {
            Hold(data + (split - begin), static_cast<DWORD>(end - split), split);
        }
    } else if (m_state == State::Armed || m_state == State::Paused) {
        Hold(data, kept, begin);
    }
}

// The newest kHoldMs of sound is kept; what came before it is dropped.
void CaptureReader::Hold(const BYTE* data, DWORD bytes, uint64_t offset) noexcept {
    const size_t align = m_format.nBlockAlign;
    const size_t limit = m_held.capacity() - m_held.capacity() % align;
    if (bytes > limit) {
        DWORD skip = static_cast<DWORD>(bytes - limit);
        data += skip;
        offset += skip;
        bytes -= skip;
        m_held.clear();
    }
    if (m_held.empty()) {
        m_heldOffset = offset;
    }
    if (m_held.size() + bytes > limit) {
        size_t drop = m_held.size() + bytes - limit;
        drop = std::min(drop + (align - drop % align) % align, m_held.size());
        m_held.erase(m_held.begin(), m_held.begin() + static_cast<ptrdiff_t>(drop));
        m_heldOffset += drop;
    }
    m_held.insert(m_held.end(), data, data + bytes);
}

// Each piece is told when it was captured, placed in the kept stream as the clicks are: the
// sink's times then cut a take where the clicks do, however late the sound arrived.
void CaptureReader::Deliver(const BYTE* data, DWORD bytes, uint64_t offset) noexcept {
    const DWORD chunk = m_pieceBytes;
    for (DWORD at = 0; at < bytes; at += chunk) {
        DWORD part = std::min(chunk, bytes - at);
        bool discontinuity = std::exchange(m_discontinuity, false);
        const double capturedMs =
            m_startMs + static_cast<double>(offset + at) / m_rate.BytesPerMs();
        const double agoMs = std::max(0.0, m_clock() - capturedMs);
        m_delivering = true;
        ToSink([&](CaptureSink& sink) { sink.OnCaptured(data + at, part, discontinuity, agoMs); });
        m_lastDataMs = m_clock();
        m_delivering = false;
    }
}

// A restarted device first hands over sound from before its start (measured under Wine 8:
// 80 to 90 ms on every start of a handle that ran before, even after waveInReset; under
// Wine 10 more than one buffer holds). No sound can be older than the start, so what the
// first moments hand over beyond the time since the start is dropped from the front of the
// stream: from this buffer, and from what was held of the buffers before it.
DWORD CaptureReader::StaleBytes(DWORD bytes) noexcept {
    double elapsedMs = m_clock() - m_startMs;
    m_bytesSinceStart += bytes;
    if (elapsedMs > kStaleWindowMs) {
        return 0;
    }
    auto allowed =
        static_cast<uint64_t>((elapsedMs + kStaleSlackMs) * m_format.nAvgBytesPerSec / 1000);
    if (m_kept + bytes <= allowed) {
        return 0;
    }
    uint64_t excess = m_kept + bytes - allowed;
    excess -= excess % m_format.nBlockAlign;
    const uint64_t earlier = std::min(excess, ForgettableKept());
    if (earlier > 0) {
        m_held.erase(m_held.begin(), m_held.begin() + static_cast<ptrdiff_t>(earlier));
        m_kept -= earlier;
    }
    return static_cast<DWORD>(std::min<uint64_t>(excess - earlier, bytes));
}

// What was kept since the start and can still be taken back: all of it while all of it is
// held, nothing once any of it reached the sink or was let go.
uint64_t CaptureReader::ForgettableKept() const noexcept {
    const bool holding = m_state == State::Armed || m_state == State::Paused;
    return holding && m_held.size() == m_kept ? m_kept : 0;
}

// Lost: the old handle is dropped, and a reopened device that stays silent is closed again
// and retried later.
// Under PipeWire a handle of a source that is gone opens on the default source instead
// (measured on Debian 13): a reopened handle's sound joins no take the loss broke.
void CaptureReader::Reconnect() noexcept {
    if (m_device->IsOpen() && !m_reopened) {
        // Its partly filled buffer was captured before the loss.
        m_device->Stop(kPartialBufferMs);
        CollectBuffers();
        m_device->Close();
        m_lastRetryMs = m_clock() - kRetryMs;
    }
    const double nowMs = m_clock();
    const double lastMs = m_lastDataMs;
    if (m_device->IsOpen() && nowMs - lastMs < (m_dataSinceOpen ? kStallMs : kFirstDataMs)) {
        return;
    }
    if (nowMs - m_lastRetryMs < kRetryMs) {
        return;
    }
    m_lastRetryMs = nowMs;
    m_device->Close();
    if (SUCCEEDED(m_device->Open())) {
        ++m_handle;
        m_reopened = true;
        m_dataSinceOpen = false;
        m_lastDataMs = nowMs;
        DeviceStart();
    }
}

void CaptureReader::ReportLoss() noexcept {
    ToSink([](CaptureSink& sink) { sink.OnDeviceLost(); });
}

} // namespace audiocapture
