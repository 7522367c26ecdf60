#include "filters/wavdest/WavDestPins.h"

#include "filters/wavdest/WavDestFilter.h"

namespace wavdest {

// A source that can wait is held while the queue is full.
WavDestInputPin::WavDestInputPin(WavDestFilter& filter) noexcept
    : InputPin(filter, L"In", kit::ReceiveBlocks::Yes), m_owner(filter) {}

HRESULT WavDestInputPin::CheckMediaType(const AM_MEDIA_TYPE* pmt) noexcept {
    return kit::PcmFormatOf(pmt) ? S_OK : S_FALSE;
}

HRESULT WavDestInputPin::OnReceive(IMediaSample* sample) noexcept {
    return m_owner.ReceiveData(sample);
}

STDMETHODIMP WavDestInputPin::EndOfStream() noexcept {
    return m_owner.InputEnded();
}

WavDestOutputPin::WavDestOutputPin(WavDestFilter& filter) noexcept : OutputPin(filter, L"Out") {}

HRESULT WavDestOutputPin::CheckMediaType(const AM_MEDIA_TYPE* pmt) noexcept {
    if (!pmt || !IsEqualGUID(pmt->majortype, MEDIATYPE_Stream)) {
        return S_FALSE;
    }
    if (!IsEqualGUID(pmt->subtype, MEDIASUBTYPE_WAVE) && !IsEqualGUID(pmt->subtype, GUID_NULL)) {
        return S_FALSE;
    }
    return S_OK;
}

HRESULT WavDestOutputPin::GetMediaType(int index, AM_MEDIA_TYPE* pmt) noexcept {
    if (!pmt) {
        return E_POINTER;
    }
    if (index != 0) {
        return VFW_S_NO_MORE_ITEMS;
    }
    *pmt = AM_MEDIA_TYPE{};
    pmt->majortype = MEDIATYPE_Stream;
    pmt->subtype = MEDIASUBTYPE_WAVE;
    pmt->formattype = FORMAT_None;
    pmt->lSampleSize = 1;
    return S_OK;
}

HRESULT WavDestOutputPin::DecideBufferSize(IMemAllocator* alloc,
                                           ALLOCATOR_PROPERTIES* props) noexcept {
    if (props->cBuffers < 4) {
        props->cBuffers = 4;
    }
    if (props->cbBuffer < kBufferSize) {
        props->cbBuffer = kBufferSize;
    }
    ALLOCATOR_PROPERTIES actual{};
    HRESULT hr = alloc->SetProperties(props, &actual);
    if (FAILED(hr)) {
        return hr;
    }
    // The header must fit in one sample.
    return actual.cbBuffer >= 512 && actual.cBuffers >= 1 ? S_OK : E_FAIL;
}

} // namespace wavdest
