#include "filters/wavdest/WavDestFilter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/ComPtr.h"
#include "filters/wavdest/LiveUpstream.h"

namespace wavdest {

namespace {
constexpr ULONGLONG kHeaderIntervalMs = 250;
// The queue holds this much sound: a writer or disk may stall that long and lose nothing.
constexpr size_t kQueueSeconds = 12;
// The longest the end of a take waits for the writer, from the click: a program that does not
// answer for 5 s is shown as hung by Windows. A writer still stalled then ends the take with
// what it wrote (its header keeps counting that), and the program tells what was lost.
constexpr DWORD kStopWriteMs = 5000;
constexpr size_t kSilenceChunk = 64 * 1024;
// A live source's times and our clock agree to a millisecond or two (the capture stand-in's
// last sound before a click was seen stamped 1 ms short of it): an empty sample, a source's
// word that it sent all its sound up to its time, ends the take this close to the click. A
// sample of sound ends it only by reaching the click: the sound after it may still come.
constexpr REFERENCE_TIME kEndSlack = 10 * 10000;

void Note(const char* format, unsigned long long value) noexcept {
    char text[160];
    snprintf(text, sizeof(text), format, value);
    OutputDebugStringA(text);
}
} // namespace

WavDestFilter::WavDestFilter() noexcept
    : FilterBase(CLSID_WavDest), m_input(*this), m_output(*this), m_queue(*this) {}

WavDestFilter::~WavDestFilter() {
    m_queue.Stop(INFINITE);
}

kit::PinBase* WavDestFilter::GetPin(int index) noexcept {
    if (index == 0) {
        return &m_input;
    }
    if (index == 1) {
        return &m_output;
    }
    return nullptr;
}

void* WavDestFilter::FindInterface(REFIID riid) noexcept {
    if (IsEqualIID(riid, IID_ILevelSource)) {
        return static_cast<ILevelSource*>(&m_levels);
    }
    return FilterBase::FindInterface(riid);
}

HRESULT WavDestFilter::OnStopToPause() noexcept {
    std::lock_guard lock(m_streamLock);
    m_header.reset();
    m_dataBytes = m_bytesAtLastHeader = 0;
    m_headerWritten = false;
    m_ranOnce = false;
    m_live = false;
    m_silencedBytes = 0;
    m_levels.SetLost(0, 0);
    // Unconnected, there is nothing to write; failing the pause would strand Wine's graph.
    if (!m_input.IsConnected() || !m_output.IsConnected()) {
        return S_OK;
    }
    const AM_MEDIA_TYPE& mt = m_input.CurrentType();
    const WAVEFORMATEX* wfx = kit::PcmFormatOf(&mt);
    if (!wfx) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    try {
        m_header.emplace(WavHeader::FromWaveFormat(wfx, mt.cbFormat));
    } catch (...) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    m_bytesPerSecond = wfx->nAvgBytesPerSec;
    m_blockAlign = std::max<WORD>(wfx->nBlockAlign, 1);
    m_silence = wfx->wBitsPerSample == 8 ? 0x80 : 0;
    m_levels.measure().Start(*wfx, mt.cbFormat, GetTickCount64());
    // As with the writer's own failures: reported, and returned by every Receive. The writer
    // may still be stalled in the previous take's last write.
    HRESULT hr = m_queue.Start(static_cast<size_t>(m_bytesPerSecond) * kQueueSeconds, kStopWriteMs);
    if (FAILED(hr)) {
        NotifyEvent(EC_ERRORABORT, hr, 0);
    }
    return S_OK;
}

// Upstream filters are paused when we start (the graph runs them downstream first), which is
// when a live source tells itself apart. A resume keeps the take and its header.
HRESULT WavDestFilter::OnPauseToRun(REFERENCE_TIME) noexcept {
    m_endTime = kNoEnd;
    m_receivedUntil = kNoSound;
    m_takeClosed = false;
    if (m_ranOnce || !m_header) {
        return S_OK;
    }
    m_ranOnce = true;
    m_live = IsLiveUpstream(m_input.ConnectedPin());
    std::lock_guard lock(m_streamLock);
    return WriteHeader(false);
}

void WavDestFilter::OnLeavingRun() noexcept {
    m_endTick = GetTickCount64();
    if (m_live) {
        REFERENCE_TIME now = 0;
        m_endTime = ClockTime(&now) ? now - StartTime() : kEndAtOnce;
    }
}

// The graph pauses us before the source, so a live source still runs here and its sound up to
// the click is usually still to come: the sample that reaches the click closes the take (the
// source's own pause hands it over), and nothing is waited for here, so the window answers at
// once. A header that cannot be written (the disk is full) has already been reported by the
// writer (EC_ERRORABORT); failing the pause as well would leave Wine's graph running with a
// paused filter, its chain could not be removed, and every later Record would fail.
HRESULT WavDestFilter::OnRunToPause() noexcept {
    if (!m_live || ReachesEnd(m_receivedUntil)) {
        CloseTake();
    }
    return S_OK;
}

// A live sample ending here brings the sound up to the click (within `slack`). A source's sound
// may come ahead of our clock, all of it before the click: the take closes at the click then.
bool WavDestFilter::ReachesEnd(REFERENCE_TIME stop, REFERENCE_TIME slack) const noexcept {
    const REFERENCE_TIME end = m_endTime;
    return end == kEndAtOnce || (end != kNoEnd && stop >= end - slack);
}

// Everything of the take is in the file under a final header, unless the writer is still
// stalled when the bound from the click has passed. Done once per pause.
void WavDestFilter::CloseTake() noexcept {
    if (!m_takeClosed.exchange(true)) {
        FlushQueue(m_endTick + kStopWriteMs);
    }
}

// The writer stops before us (the graph stops downstream first): what the queue still holds
// cannot reach the file any more, and is told as unwritten.
HRESULT WavDestFilter::OnPauseToStop() noexcept {
    m_takeClosed = true;
    m_queue.Stop(0);
    const uint64_t dropped = m_queue.DroppedBytes();
    if (uint64_t gap = m_silencedBytes) {
        Note("WAV Dest: the writer fell behind; %llu bytes of silence stand for sound that did "
             "not fit the queue\n",
             gap);
    }
    if (dropped) {
        Note("WAV Dest: the writer was still stalled at the end; %llu bytes were not written\n",
             dropped);
    }
    m_levels.SetLost(Milliseconds(m_silencedBytes), Milliseconds(dropped));
    // A writer stalled inside its last write holds the lock: the file keeps the header it has.
    std::unique_lock lock(m_streamLock, std::try_to_lock);
    return lock.owns_lock() && m_headerWritten ? WriteHeaderThroughStream() : S_OK;
}

uint32_t WavDestFilter::Milliseconds(uint64_t bytes) const noexcept {
    return m_bytesPerSecond ? static_cast<uint32_t>(bytes * 1000 / m_bytesPerSecond) : 0;
}

// Everything received is in the file, under a final header, before this returns, unless the
// writer is still stalled at `deadline` (a tick count).
HRESULT WavDestFilter::FlushQueue(ULONGLONG deadline) noexcept {
    auto left = [&] {
        ULONGLONG now = GetTickCount64();
        return static_cast<DWORD>(now < deadline ? deadline - now : 0);
    };
    if (!m_queue.Flush(left())) {
        Note("WAV Dest: the writer did not take the end of the recording within %llu ms\n",
             kStopWriteMs);
        return S_OK;
    }
    std::unique_lock lock(m_streamLock, std::chrono::milliseconds(left()));
    return lock.owns_lock() && m_header ? WriteHeader(true) : S_OK;
}

HRESULT WavDestFilter::WriteAt(uint64_t position, const uint8_t* data, size_t length) noexcept {
    while (length > 0) {
        base::ComPtr<IMediaSample> sample;
        HRESULT hr = m_output.GetDeliveryBuffer(sample.put());
        if (FAILED(hr)) {
            return hr;
        }
        BYTE* buffer = nullptr;
        hr = sample->GetPointer(&buffer);
        if (FAILED(hr)) {
            return hr;
        }
        size_t chunk = std::min<size_t>(length, static_cast<size_t>(sample->GetSize()));
        memcpy(buffer, data, chunk);
        sample->SetActualDataLength(static_cast<long>(chunk));
        REFERENCE_TIME start = static_cast<REFERENCE_TIME>(position);
        REFERENCE_TIME stop = start + static_cast<REFERENCE_TIME>(chunk);
        sample->SetTime(&start, &stop);
        sample->SetSyncPoint(TRUE);
        hr = m_output.Deliver(sample.get());
        if (FAILED(hr)) {
            return hr;
        }
        position += chunk;
        data += chunk;
        length -= chunk;
    }
    return S_OK;
}

// `final` adds the pad byte of an odd data chunk; later data, if the recording resumes,
// simply overwrites it.
HRESULT WavDestFilter::WriteHeader(bool final) noexcept {
    if (!m_header) {
        return VFW_E_NOT_CONNECTED;
    }
    try {
        std::vector<uint8_t> bytes = m_header->Build(m_dataBytes, final);
        HRESULT hr = WriteAt(0, bytes.data(), bytes.size());
        if (FAILED(hr)) {
            return hr;
        }
        if (final && (m_dataBytes & 1)) {
            const uint8_t pad = 0;
            hr = WriteAt(m_header->Size() + m_dataBytes, &pad, 1);
            if (FAILED(hr)) {
                return hr;
            }
        }
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    m_headerWritten = true;
    m_bytesAtLastHeader = m_dataBytes;
    m_lastHeaderTick = GetTickCount64();
    return S_OK;
}

HRESULT WavDestFilter::WriteHeaderThroughStream() noexcept {
    IPin* peer = m_output.ConnectedPin();
    if (!peer || !m_header) {
        return S_OK;
    }
    base::ComPtr<IStream> stream;
    if (FAILED(peer->QueryInterface(IID_IStream, stream.put_void()))) {
        return S_OK;
    }
    try {
        std::vector<uint8_t> bytes = m_header->Build(m_dataBytes, true);
        LARGE_INTEGER zero{};
        HRESULT hr = stream->Seek(zero, STREAM_SEEK_SET, nullptr);
        if (SUCCEEDED(hr)) {
            hr = stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
        }
        return hr;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

// How much of a live sample belongs to the take: what starts before the click, by the
// sample's times; `ends` tells that the sound up to the click has come.
long WavDestFilter::PartOfTake(IMediaSample* sample, long length, bool* ends) const noexcept {
    const REFERENCE_TIME end = m_endTime;
    *ends = end != kNoEnd;
    if (!*ends) {
        return length;
    }
    REFERENCE_TIME start = 0, stop = 0;
    if (end == kEndAtOnce || FAILED(sample->GetTime(&start, &stop)) || start >= end) {
        return 0;
    }
    *ends = ReachesEnd(stop);
    if (stop <= end) {
        return length;
    }
    const auto before = static_cast<long>((end - start) * m_bytesPerSecond / 10000000);
    return std::min(length, before - before % m_blockAlign);
}

// The sample's bytes are copied into the queue. A live source never waits here, but the
// sample that ends its take is written before this returns; one that can wait is held while
// the queue is full, and what it sends once the graph left Running is written before this
// returns. Either way the final header is in while the writer still has the file open.
HRESULT WavDestFilter::ReceiveData(IMediaSample* sample) noexcept {
    if (!m_header) {
        return VFW_E_WRONG_STATE;
    }
    BYTE* data = nullptr;
    HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) {
        return hr;
    }
    long length = sample->GetActualDataLength();
    const bool live = m_live;
    if (length <= 0) {
        REFERENCE_TIME start = 0, stop = 0;
        if (live && SUCCEEDED(sample->GetTime(&start, &stop)) && ReachesEnd(stop, kEndSlack)) {
            CloseTake();
        }
        return S_OK;
    }
    bool ends = false;
    if (live) {
        if (m_takeClosed) {
            return S_OK;
        }
        length = PartOfTake(sample, length, &ends);
    }
    if (length > 0) {
        m_levels.measure().Feed(data, static_cast<size_t>(length), GetTickCount64());
        using Overflow = WriteQueue::Overflow;
        hr = m_queue.Push(data, static_cast<size_t>(length),
                          live ? Overflow::Silence : Overflow::Wait);
        if (FAILED(hr)) {
            return hr;
        }
    }
    // The click may have come while this sample was queued: one of this and the pause sees
    // that the sound up to it is in.
    REFERENCE_TIME start = 0, stop = 0;
    if (live && SUCCEEDED(sample->GetTime(&start, &stop))) {
        m_receivedUntil = stop;
        ends = ends || ReachesEnd(stop);
    }
    if (ends) {
        CloseTake();
    }
    return live || State() == State_Running ? S_OK : FlushQueue(GetTickCount64() + kStopWriteMs);
}

HRESULT WavDestFilter::WriteQueued(const uint8_t* data, size_t bytes) noexcept {
    std::lock_guard lock(m_streamLock);
    if (!m_header) {
        return VFW_E_WRONG_STATE;
    }
    if (!m_headerWritten) {
        HRESULT hr = WriteHeader(false);
        if (FAILED(hr)) {
            return hr;
        }
    }
    HRESULT hr = WriteAt(m_header->Size() + m_dataBytes, data, bytes);
    return SUCCEEDED(hr) ? Appended(bytes) : hr;
}

// Silence in place of sound the queue could not hold, so that what follows keeps its time.
HRESULT WavDestFilter::WriteGap(uint64_t bytes) noexcept {
    Note("WAV Dest: %llu bytes did not fit the queue; written as silence\n", bytes);
    m_silencedBytes += bytes;
    try {
        std::vector<uint8_t> silence(static_cast<size_t>(std::min<uint64_t>(bytes, kSilenceChunk)),
                                     m_silence);
        while (bytes > 0) {
            size_t chunk = static_cast<size_t>(std::min<uint64_t>(bytes, silence.size()));
            HRESULT hr = WriteQueued(silence.data(), chunk);
            if (FAILED(hr)) {
                return hr;
            }
            bytes -= chunk;
        }
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

// Counts bytes just written and refreshes the header when due. Data written after the graph
// left Running must still be counted by the header the file ends with.
HRESULT WavDestFilter::Appended(size_t bytes) noexcept {
    m_dataBytes += bytes;
    bool late = State() != State_Running;
    bool due = m_dataBytes - m_bytesAtLastHeader >= m_bytesPerSecond / 4 ||
               GetTickCount64() - m_lastHeaderTick >= kHeaderIntervalMs;
    return late || due ? WriteHeader(late) : S_OK;
}

HRESULT WavDestFilter::InputEnded() noexcept {
    FlushQueue(GetTickCount64() + kStopWriteMs);
    // Wine's File Writer keeps an end of stream received while paused and fires EC_COMPLETE
    // at the next Run, so pass it on only while running.
    return State() == State_Running ? m_output.DeliverEndOfStream() : S_OK;
}

} // namespace wavdest
