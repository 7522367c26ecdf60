// IPin bookkeeping common to input and output pins. A pin lives inside its filter and shares
// the filter's reference count.
#pragma once
#include <windows.h>
#include <dshow.h>

#include "base/ComPtr.h"
#include "filters/kit/ComObject.h"
#include "filters/kit/MediaType.h"

namespace kit {

class FilterBase;

class PinBase : public IPin {
public:
    PinBase(FilterBase& filter, const WCHAR* name, PIN_DIRECTION dir) noexcept;
    virtual ~PinBase();
    PinBase(const PinBase&) = delete;
    PinBase& operator=(const PinBase&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) noexcept override;
    STDMETHODIMP_(ULONG) AddRef() noexcept override;
    STDMETHODIMP_(ULONG) Release() noexcept override;

    STDMETHODIMP Disconnect() noexcept override;
    STDMETHODIMP ConnectedTo(IPin** pPin) noexcept override;
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* pmt) noexcept override;
    STDMETHODIMP QueryPinInfo(PIN_INFO* pInfo) noexcept override;
    STDMETHODIMP QueryDirection(PIN_DIRECTION* pPinDir) noexcept override;
    STDMETHODIMP QueryId(LPWSTR* Id) noexcept override;
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* pmt) noexcept override;
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** ppEnum) noexcept override;
    STDMETHODIMP QueryInternalConnections(IPin** apPin, ULONG* nPin) noexcept override;
    STDMETHODIMP EndOfStream() noexcept override;
    STDMETHODIMP BeginFlush() noexcept override;
    STDMETHODIMP EndFlush() noexcept override;
    STDMETHODIMP NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop,
                            double dRate) noexcept override;

    // S_OK when the pin can take this type.
    virtual HRESULT CheckMediaType(const AM_MEDIA_TYPE* pmt) noexcept = 0;
    // The i-th preferred type into an empty *pmt; VFW_S_NO_MORE_ITEMS past the end.
    virtual HRESULT GetMediaType(int index, AM_MEDIA_TYPE* pmt) noexcept;
    // Called by the filter on Stop to Pause and Pause to Stop.
    virtual HRESULT Active() noexcept { return S_OK; }
    virtual HRESULT Inactive() noexcept { return S_OK; }

    const WCHAR* Name() const noexcept { return m_name; }
    bool IsConnected() const noexcept { return static_cast<bool>(m_connected); }
    IPin* ConnectedPin() const noexcept { return m_connected.get(); }
    const AM_MEDIA_TYPE& CurrentType() const noexcept { return *m_mt.get(); }
    FilterBase& Filter() noexcept { return m_filter; }

protected:
    virtual void* FindInterface(REFIID riid) noexcept;
    // Completes or undoes a connection; the base only drops the peer and the type.
    virtual HRESULT CompleteConnect(IPin*) noexcept { return S_OK; }
    virtual void BreakConnect() noexcept {}
    void ClearConnection() noexcept;
    // What every connection asks first, under the filter lock: this pin free, the filter
    // stopped, and the peer a pin of the other direction.
    HRESULT CheckConnectable(IPin* peer) noexcept;

    FilterBase& m_filter;
    WCHAR m_name[MAX_PIN_NAME];
    PIN_DIRECTION m_dir;
    base::ComPtr<IPin> m_connected;
    MediaType m_mt;
};

} // namespace kit
