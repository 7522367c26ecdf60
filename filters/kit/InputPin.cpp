#include "filters/kit/InputPin.h"

#include "filters/kit/Filter.h"

namespace kit {

InputPin::InputPin(FilterBase& filter, const WCHAR* name, ReceiveBlocks blocks) noexcept
    : PinBase(filter, name, PINDIR_INPUT), m_blocks(blocks) {}

InputPin::~InputPin() {
    BreakConnect();
}

void* InputPin::FindInterface(REFIID riid) noexcept {
    if (IsEqualIID(riid, IID_IMemInputPin)) {
        return static_cast<IMemInputPin*>(this);
    }
    return PinBase::FindInterface(riid);
}

STDMETHODIMP InputPin::QueryInterface(REFIID riid, void** ppv) noexcept {
    return PinBase::QueryInterface(riid, ppv);
}

STDMETHODIMP_(ULONG) InputPin::AddRef() noexcept {
    return PinBase::AddRef();
}

STDMETHODIMP_(ULONG) InputPin::Release() noexcept {
    return PinBase::Release();
}

void InputPin::BreakConnect() noexcept {
    m_allocator.reset();
}

STDMETHODIMP InputPin::Connect(IPin*, const AM_MEDIA_TYPE*) noexcept {
    return VFW_E_INVALID_DIRECTION;
}

STDMETHODIMP InputPin::ReceiveConnection(IPin* pConnector, const AM_MEDIA_TYPE* pmt) noexcept {
    if (!pConnector || !pmt) {
        return E_POINTER;
    }
    std::lock_guard lock(m_filter.FilterLock());
    HRESULT hr = CheckConnectable(pConnector);
    if (FAILED(hr)) {
        return hr;
    }
    if (CheckMediaType(pmt) != S_OK) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    hr = m_mt.Set(pmt);
    if (FAILED(hr)) {
        return hr;
    }
    m_connected = base::ComPtr<IPin>::CopyFrom(pConnector);
    hr = CompleteConnect(pConnector);
    if (FAILED(hr)) {
        BreakConnect();
        ClearConnection();
    }
    return hr;
}

STDMETHODIMP InputPin::GetAllocator(IMemAllocator** ppAllocator) noexcept {
    if (!ppAllocator) {
        return E_POINTER;
    }
    std::lock_guard lock(m_filter.FilterLock());
    if (!m_allocator) {
        HRESULT hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IMemAllocator, m_allocator.put_void());
        if (FAILED(hr)) {
            *ppAllocator = nullptr;
            return hr;
        }
    }
    *ppAllocator = base::ComPtr<IMemAllocator>::CopyFrom(m_allocator.get()).detach();
    return S_OK;
}

STDMETHODIMP InputPin::NotifyAllocator(IMemAllocator* pAllocator, WINBOOL) noexcept {
    if (!pAllocator) {
        return E_POINTER;
    }
    std::lock_guard lock(m_filter.FilterLock());
    m_allocator = base::ComPtr<IMemAllocator>::CopyFrom(pAllocator);
    return S_OK;
}

STDMETHODIMP InputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP InputPin::Receive(IMediaSample* pSample) noexcept {
    if (!pSample) {
        return E_POINTER;
    }
    if (m_filter.State() == State_Stopped) {
        return VFW_E_WRONG_STATE;
    }
    return OnReceive(pSample);
}

STDMETHODIMP InputPin::ReceiveMultiple(IMediaSample** pSamples, LONG nSamples,
                                       LONG* nSamplesProcessed) noexcept {
    if (!pSamples || !nSamplesProcessed) {
        return E_POINTER;
    }
    *nSamplesProcessed = 0;
    for (LONG i = 0; i < nSamples; ++i) {
        HRESULT hr = Receive(pSamples[i]);
        if (hr != S_OK) {
            return hr;
        }
        ++*nSamplesProcessed;
    }
    return S_OK;
}

STDMETHODIMP InputPin::ReceiveCanBlock() noexcept {
    return m_blocks == ReceiveBlocks::Yes ? S_OK : S_FALSE;
}

} // namespace kit
