#include "filters/kit/OutputPin.h"

#include <utility>

#include "base/ComPtr.h"
#include "filters/kit/Filter.h"

namespace kit {

OutputPin::OutputPin(FilterBase& filter, const WCHAR* name) noexcept
    : PinBase(filter, name, PINDIR_OUTPUT) {}

OutputPin::~OutputPin() {
    BreakConnect();
}

void OutputPin::BreakConnect() noexcept {
    if (m_allocator) {
        m_allocator->Decommit();
    }
    m_allocator.reset();
    m_peerInput.reset();
}

STDMETHODIMP OutputPin::ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) noexcept {
    return E_UNEXPECTED;
}

STDMETHODIMP OutputPin::Connect(IPin* pReceivePin, const AM_MEDIA_TYPE* pmt) noexcept {
    if (!pReceivePin) {
        return E_POINTER;
    }
    std::lock_guard lock(m_filter.FilterLock());
    HRESULT checked = CheckConnectable(pReceivePin);
    if (FAILED(checked)) {
        return checked;
    }

    bool complete = pmt && !IsEqualGUID(pmt->majortype, GUID_NULL) &&
                    !IsEqualGUID(pmt->subtype, GUID_NULL) &&
                    !IsEqualGUID(pmt->formattype, GUID_NULL);
    if (complete) {
        HRESULT hr = TryConnect(pReceivePin, pmt);
        return SUCCEEDED(hr) ? S_OK : hr;
    }
    bool anyFitted = false;
    HRESULT hr = TryTypesOf(pReceivePin, pReceivePin, pmt, &anyFitted);
    if (hr == S_OK) {
        return S_OK;
    }
    hr = TryTypesOf(this, pReceivePin, pmt, &anyFitted);
    if (hr == S_OK) {
        return S_OK;
    }
    return anyFitted ? hr : VFW_E_NO_ACCEPTABLE_TYPES;
}

// Tries each type `source` lists that passes the partial filter; S_OK on the first that connects.
HRESULT OutputPin::TryTypesOf(IPin* source, IPin* peer, const AM_MEDIA_TYPE* filter,
                              bool* anyFitted) noexcept {
    base::ComPtr<IEnumMediaTypes> types;
    if (FAILED(source->EnumMediaTypes(types.put())) || !types) {
        return VFW_E_NO_ACCEPTABLE_TYPES;
    }
    HRESULT last = VFW_E_NO_ACCEPTABLE_TYPES;
    AM_MEDIA_TYPE* mt = nullptr;
    while (types->Next(1, &mt, nullptr) == S_OK) {
        HRESULT hr = VFW_E_NO_ACCEPTABLE_TYPES;
        if (MatchesPartial(*mt, filter) && CheckMediaType(mt) == S_OK) {
            *anyFitted = true;
            hr = TryConnect(peer, mt);
        }
        DeleteMediaType(mt);
        mt = nullptr;
        if (SUCCEEDED(hr)) {
            return S_OK;
        }
        // A peer that refuses the type is one more type that did not fit.
        if (hr != VFW_E_NO_ACCEPTABLE_TYPES && hr != VFW_E_TYPE_NOT_ACCEPTED) {
            last = hr;
        }
    }
    return last;
}

HRESULT OutputPin::TryConnect(IPin* peer, const AM_MEDIA_TYPE* mt) noexcept {
    if (CheckMediaType(mt) != S_OK) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT hr = ConnectionType(mt, &m_mt);
    if (FAILED(hr)) {
        m_mt.Clear();
        return hr;
    }
    m_connected = base::ComPtr<IPin>::CopyFrom(peer);
    hr = peer->ReceiveConnection(this, m_mt.get());
    if (FAILED(hr)) {
        ClearConnection();
        return hr;
    }
    hr = DecideAllocator();
    if (SUCCEEDED(hr)) {
        hr = CompleteConnect(peer);
    }
    if (FAILED(hr)) {
        peer->Disconnect();
        BreakConnect();
        ClearConnection();
        return hr;
    }
    return S_OK;
}

HRESULT OutputPin::DecideAllocator() noexcept {
    HRESULT hr = m_connected.As(m_peerInput);
    if (FAILED(hr)) {
        return hr;
    }
    base::ComPtr<IMemAllocator> alloc;
    hr = m_peerInput->GetAllocator(alloc.put());
    if (FAILED(hr)) {
        hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IMemAllocator, alloc.put_void());
        if (FAILED(hr)) {
            return hr;
        }
    }
    ALLOCATOR_PROPERTIES props{};
    if (FAILED(m_peerInput->GetAllocatorRequirements(&props))) {
        props = ALLOCATOR_PROPERTIES{};
    }
    if (props.cbAlign < 1) {
        props.cbAlign = 1;
    }
    hr = DecideBufferSize(alloc.get(), &props);
    if (FAILED(hr)) {
        return hr;
    }
    hr = m_peerInput->NotifyAllocator(alloc.get(), FALSE);
    if (FAILED(hr)) {
        return hr;
    }
    m_allocator = std::move(alloc);
    return S_OK;
}

HRESULT OutputPin::Active() noexcept {
    return m_allocator ? m_allocator->Commit() : S_OK;
}

HRESULT OutputPin::Inactive() noexcept {
    return m_allocator ? m_allocator->Decommit() : S_OK;
}

HRESULT OutputPin::GetDeliveryBuffer(IMediaSample** sample) noexcept {
    if (!m_allocator) {
        return VFW_E_NO_ALLOCATOR;
    }
    return m_allocator->GetBuffer(sample, nullptr, nullptr, 0);
}

HRESULT OutputPin::Deliver(IMediaSample* sample) noexcept {
    if (!m_peerInput) {
        return VFW_E_NOT_CONNECTED;
    }
    return m_peerInput->Receive(sample);
}

HRESULT OutputPin::DeliverEndOfStream() noexcept {
    if (!m_connected) {
        return VFW_E_NOT_CONNECTED;
    }
    return m_connected->EndOfStream();
}

} // namespace kit
