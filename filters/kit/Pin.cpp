#include "filters/kit/Pin.h"

#include <cwchar>
#include <new>

#include "filters/kit/EnumMediaTypes.h"
#include "filters/kit/Filter.h"

namespace kit {

PinBase::PinBase(FilterBase& filter, const WCHAR* name, PIN_DIRECTION dir) noexcept
    : m_filter(filter), m_dir(dir) {
    wcsncpy(m_name, name, MAX_PIN_NAME - 1);
    m_name[MAX_PIN_NAME - 1] = 0;
}

PinBase::~PinBase() = default;

void* PinBase::FindInterface(REFIID riid) noexcept {
    return FindInEntries(
        riid, {{&IID_IUnknown, static_cast<IPin*>(this)}, {&IID_IPin, static_cast<IPin*>(this)}});
}

STDMETHODIMP PinBase::QueryInterface(REFIID riid, void** ppv) noexcept {
    if (!ppv) {
        return E_POINTER;
    }
    *ppv = FindInterface(riid);
    if (!*ppv) {
        return E_NOINTERFACE;
    }
    m_filter.AddRefObject();
    return S_OK;
}

STDMETHODIMP_(ULONG) PinBase::AddRef() noexcept {
    return m_filter.AddRefObject();
}

STDMETHODIMP_(ULONG) PinBase::Release() noexcept {
    return m_filter.ReleaseObject();
}

void PinBase::ClearConnection() noexcept {
    m_connected.reset();
    m_mt.Clear();
}

HRESULT PinBase::CheckConnectable(IPin* peer) noexcept {
    if (m_connected) {
        return VFW_E_ALREADY_CONNECTED;
    }
    if (m_filter.State() != State_Stopped) {
        return VFW_E_NOT_STOPPED;
    }
    PIN_DIRECTION dir;
    if (FAILED(peer->QueryDirection(&dir)) || dir == m_dir) {
        return VFW_E_INVALID_DIRECTION;
    }
    return S_OK;
}

STDMETHODIMP PinBase::Disconnect() noexcept {
    std::lock_guard lock(m_filter.FilterLock());
    if (m_filter.State() != State_Stopped) {
        return VFW_E_NOT_STOPPED;
    }
    if (!m_connected) {
        return S_FALSE;
    }
    BreakConnect();
    ClearConnection();
    return S_OK;
}

STDMETHODIMP PinBase::ConnectedTo(IPin** pPin) noexcept {
    if (!pPin) {
        return E_POINTER;
    }
    std::lock_guard lock(m_filter.FilterLock());
    if (!m_connected) {
        *pPin = nullptr;
        return VFW_E_NOT_CONNECTED;
    }
    *pPin = base::ComPtr<IPin>::CopyFrom(m_connected.get()).detach();
    return S_OK;
}

STDMETHODIMP PinBase::ConnectionMediaType(AM_MEDIA_TYPE* pmt) noexcept {
    if (!pmt) {
        return E_POINTER;
    }
    std::lock_guard lock(m_filter.FilterLock());
    if (!m_connected) {
        *pmt = AM_MEDIA_TYPE{};
        return VFW_E_NOT_CONNECTED;
    }
    return CopyMediaType(pmt, m_mt.get());
}

STDMETHODIMP PinBase::QueryPinInfo(PIN_INFO* pInfo) noexcept {
    if (!pInfo) {
        return E_POINTER;
    }
    pInfo->pFilter = &m_filter;
    m_filter.AddRefObject();
    pInfo->dir = m_dir;
    wcsncpy(pInfo->achName, m_name, MAX_PIN_NAME);
    return S_OK;
}

STDMETHODIMP PinBase::QueryDirection(PIN_DIRECTION* pPinDir) noexcept {
    if (!pPinDir) {
        return E_POINTER;
    }
    *pPinDir = m_dir;
    return S_OK;
}

STDMETHODIMP PinBase::QueryId(LPWSTR* Id) noexcept {
    if (!Id) {
        return E_POINTER;
    }
    size_t bytes = (wcslen(m_name) + 1) * sizeof(WCHAR);
    *Id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*Id) {
        return E_OUTOFMEMORY;
    }
    memcpy(*Id, m_name, bytes);
    return S_OK;
}

STDMETHODIMP PinBase::QueryAccept(const AM_MEDIA_TYPE* pmt) noexcept {
    if (!pmt) {
        return E_POINTER;
    }
    return CheckMediaType(pmt) == S_OK ? S_OK : S_FALSE;
}

HRESULT PinBase::GetMediaType(int, AM_MEDIA_TYPE*) noexcept {
    return VFW_S_NO_MORE_ITEMS;
}

STDMETHODIMP PinBase::EnumMediaTypes(IEnumMediaTypes** ppEnum) noexcept {
    if (!ppEnum) {
        return E_POINTER;
    }
    *ppEnum = new (std::nothrow) kit::EnumMediaTypes(*this, 0);
    return *ppEnum ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP PinBase::QueryInternalConnections(IPin**, ULONG*) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP PinBase::EndOfStream() noexcept {
    return m_dir == PINDIR_INPUT ? S_OK : E_UNEXPECTED;
}

STDMETHODIMP PinBase::BeginFlush() noexcept {
    return m_dir == PINDIR_INPUT ? S_OK : E_UNEXPECTED;
}

STDMETHODIMP PinBase::EndFlush() noexcept {
    return m_dir == PINDIR_INPUT ? S_OK : E_UNEXPECTED;
}

STDMETHODIMP PinBase::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) noexcept {
    return S_OK;
}

} // namespace kit
