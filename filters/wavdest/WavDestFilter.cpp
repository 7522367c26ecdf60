#include "filters/wavdest/WavDestFilter.h"

#include <algorithm>
#include <cstring>

#include "base/ComPtr.h"

namespace wavdest {

namespace {
constexpr ULONGLONG kHeaderIntervalMs = 250;
}

WavDestFilter::WavDestFilter() noexcept
    : FilterBase(CLSID_WavDest), m_input(*this), m_output(*this) {}

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
    kit::ScopedLock lock(m_streamLock);
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
    m_levels.measure().Start(*wfx, mt.cbFormat, GetTickCount64());
    return S_OK;
}

HRESULT WavDestFilter::OnPauseToRun(REFERENCE_TIME) noexcept {
    kit::ScopedLock lock(m_streamLock);
    return m_headerWritten || !m_header ? S_OK : WriteHeader(false);
}

// A header that cannot be written (the disk is full) has already been reported by the writer
// (EC_ERRORABORT); failing the pause as well would leave Wine's graph running with a paused
// filter, its chain could not be removed, and every later Record would fail to connect.
HRESULT WavDestFilter::OnRunToPause() noexcept {
    kit::ScopedLock lock(m_streamLock);
    if (m_header) {
        WriteHeader(true);
    }
    return S_OK;
}

HRESULT WavDestFilter::OnPauseToStop() noexcept {
    kit::ScopedLock lock(m_streamLock);
    return m_headerWritten ? WriteHeaderThroughStream() : S_OK;
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

HRESULT WavDestFilter::ReceiveData(IMediaSample* sample) noexcept {
    kit::ScopedLock lock(m_streamLock);
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
    if (!m_headerWritten) {
        hr = WriteHeader(false);
        if (FAILED(hr)) {
            return hr;
        }
    }
    hr = WriteAt(m_header->Size() + m_dataBytes, data, static_cast<size_t>(length));
    if (FAILED(hr)) {
        return hr;
    }
    m_dataBytes += static_cast<uint64_t>(length);
    // Data that arrives after the graph left Running (the source's last partial buffer) must
    // still be counted by the header the file ends with.
    bool late = State() != State_Running;
    bool due = m_dataBytes - m_bytesAtLastHeader >= m_bytesPerSecond / 4 ||
               GetTickCount64() - m_lastHeaderTick >= kHeaderIntervalMs;
    if (late || due) {
        return WriteHeader(late);
    }
    return S_OK;
}

HRESULT WavDestFilter::InputEnded() noexcept {
    {
        kit::ScopedLock lock(m_streamLock);
        if (m_header) {
            WriteHeader(true);
        }
    }
    // Wine's File Writer keeps an end of stream received while paused and fires EC_COMPLETE
    // at the next Run, so pass it on only while running.
    return State() == State_Running ? m_output.DeliverEndOfStream() : S_OK;
}

} // namespace wavdest
