#include "tests/filters/PushSource.h"

#include <algorithm>
#include <cstring>

#include "base/ComPtr.h"

PushSourcePin::PushSourcePin(PushSource& filter, const WAVEFORMATEX& format) noexcept
    : OutputPin(filter, L"Out"), m_format(format) {}

HRESULT PushSourcePin::CheckMediaType(const AM_MEDIA_TYPE* pmt) noexcept {
    const WAVEFORMATEX* wfx = kit::PcmFormatOf(pmt);
    return wfx && memcmp(wfx, &m_format, sizeof(PCMWAVEFORMAT)) == 0 ? S_OK : S_FALSE;
}

HRESULT PushSourcePin::GetMediaType(int index, AM_MEDIA_TYPE* pmt) noexcept {
    if (index != 0) {
        return VFW_S_NO_MORE_ITEMS;
    }
    return kit::MakeAudioMediaType(m_format, pmt);
}

HRESULT PushSourcePin::DecideBufferSize(IMemAllocator* alloc,
                                        ALLOCATOR_PROPERTIES* props) noexcept {
    props->cBuffers = std::max<long>(props->cBuffers, 2);
    props->cbBuffer = std::max<long>(props->cbBuffer, PushSource::kSampleBytes);
    props->cbAlign = std::max<long>(props->cbAlign, 1);
    ALLOCATOR_PROPERTIES actual{};
    return alloc->SetProperties(props, &actual);
}

PushSource::PushSource(const WAVEFORMATEX& format, bool live) noexcept
    : FilterBase(GUID_NULL), m_output(*this, format), m_bytesPerSecond(format.nAvgBytesPerSec),
      m_live(live) {}

HRESULT PushSource::Push(const uint8_t* data, long bytes) noexcept {
    base::ComPtr<IMediaSample> sample;
    HRESULT hr = m_output.GetDeliveryBuffer(sample.put());
    BYTE* buffer = nullptr;
    if (SUCCEEDED(hr)) {
        hr = sample->GetPointer(&buffer);
    }
    if (FAILED(hr) || bytes > sample->GetSize()) {
        return FAILED(hr) ? hr : E_INVALIDARG;
    }
    memcpy(buffer, data, static_cast<size_t>(bytes));
    sample->SetActualDataLength(bytes);
    REFERENCE_TIME start = m_next;
    m_next += static_cast<REFERENCE_TIME>(bytes) * 10000000 / m_bytesPerSecond;
    sample->SetTime(&start, &m_next);
    return m_output.Deliver(sample.get());
}

REFERENCE_TIME PushSource::StreamTime() noexcept {
    REFERENCE_TIME now = 0;
    return ClockTime(&now) ? now - StartTime() : 0;
}
