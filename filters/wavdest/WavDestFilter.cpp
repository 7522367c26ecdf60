#include "filters/wavdest/WavDestFilter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/ComPtr.h"

namespace wavdest {

namespace {
constexpr ULONGLONG kHeaderIntervalMs = 250;
// The queue holds this much sound: a writer or disk may stall that long and lose nothing.
constexpr size_t kQueueSeconds = 12;
// The longest the end of a recording waits for a stalled writer before the file is closed.
constexpr DWORD kFlushTimeoutMs = 30000;
constexpr size_t kSilenceChunk = 64 * 1024;

void Note(const char* format, unsigned long long value) noexcept {
    char text[160];
    snprintf(text, sizeof(text), format, value);
    OutputDebugStringA(text);
}
} // namespace

WavDestFilter::WavDestFilter() noexcept
    : FilterBase(CLSID_WavDest), m_input(*this), m_output(*this), m_queue(*this) {}

WavDestFilter::~WavDestFilter() {
    m_queue.Stop();
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
    m_silence = wfx->wBitsPerSample == 8 ? 0x80 : 0;
    m_levels.measure().Start(*wfx, mt.cbFormat, GetTickCount64());
    // As with the writer's own failures: reported, and returned by every Receive.
    HRESULT hr = m_queue.Start(static_cast<size_t>(m_bytesPerSecond) * kQueueSeconds);
    if (FAILED(hr)) {
        NotifyEvent(EC_ERRORABORT, hr, 0);
    }
    return S_OK;
}

HRESULT WavDestFilter::OnPauseToRun(REFERENCE_TIME) noexcept {
    std::lock_guard lock(m_streamLock);
    return m_headerWritten || !m_header ? S_OK : WriteHeader(false);
}

// A header that cannot be written (the disk is full) has already been reported by the writer
// (EC_ERRORABORT); failing the pause as well would leave Wine's graph running with a paused
// filter, its chain could not be removed, and every later Record would fail to connect.
// Until the queue is written the source still runs, and what it delivers meanwhile joins the
// queue: it must not wait for a stalled writer, or its device would overflow.
HRESULT WavDestFilter::OnRunToPause() noexcept {
    m_pausing = true;
    FlushQueue();
    m_pausing = false;
    return S_OK;
}

HRESULT WavDestFilter::OnPauseToStop() noexcept {
    m_queue.Stop();
    if (uint64_t gap = m_queue.GapBytes()) {
        Note("WAV Dest: the writer fell behind; %llu bytes of silence stand for sound that did "
             "not fit the queue\n",
             gap);
    }
    std::lock_guard lock(m_streamLock);
    return m_headerWritten ? WriteHeaderThroughStream() : S_OK;
}

// Everything received is in the file, under a final header, before this returns.
HRESULT WavDestFilter::FlushQueue() noexcept {
    if (!m_queue.Flush(kFlushTimeoutMs)) {
        Note("WAV Dest: the writer did not take the end of the recording within %llu ms\n",
             kFlushTimeoutMs);
    }
    std::lock_guard lock(m_streamLock);
    return m_header ? WriteHeader(true) : S_OK;
}

HRESULT WavDestFilter::WriteAt(uint64_t position, const uint8_t* data, size_t length) noexcept {
    while (length > 0) {
        fw::ComPtr<IMediaSample> sample;
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
    fw::ComPtr<IStream> stream;
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

// The sample's bytes are copied into the queue. The capture source hands over its last sound
// after the graph left Running (it waits for it in its own pause, after ours): that is written
// before this returns, under a final header, while the writer still has the file open.
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
    if (length <= 0) {
        return S_OK;
    }
    m_levels.measure().Feed(data, static_cast<size_t>(length), GetTickCount64());
    hr = m_queue.Push(data, static_cast<size_t>(length));
    if (FAILED(hr)) {
        return hr;
    }
    return State() == State_Running || m_pausing ? S_OK : FlushQueue();
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
    FlushQueue();
    // Wine's File Writer keeps an end of stream received while paused and fires EC_COMPLETE
    // at the next Run, so pass it on only while running.
    return State() == State_Running ? m_output.DeliverEndOfStream() : S_OK;
}

} // namespace wavdest
