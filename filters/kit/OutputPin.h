// An output pin that connects by the DirectShow protocol and negotiates the allocator over
// the peer's IMemInputPin.
#pragma once
#include "filters/kit/Pin.h"

namespace kit {

class OutputPin : public PinBase {
public:
    OutputPin(FilterBase& filter, const WCHAR* name) noexcept;
    ~OutputPin() override;

    STDMETHODIMP Connect(IPin* pReceivePin, const AM_MEDIA_TYPE* pmt) noexcept override;
    STDMETHODIMP ReceiveConnection(IPin* pConnector, const AM_MEDIA_TYPE* pmt) noexcept override;

    HRESULT Active() noexcept override;
    HRESULT Inactive() noexcept override;

    // A free sample of the negotiated allocator; blocks while all are downstream.
    HRESULT GetDeliveryBuffer(IMediaSample** sample) noexcept;
    HRESULT Deliver(IMediaSample* sample) noexcept;
    HRESULT DeliverEndOfStream() noexcept;

protected:
    // Fills in the wanted properties (the peer's requirements are already in *props) and
    // calls SetProperties; checks what the allocator granted.
    virtual HRESULT DecideBufferSize(IMemAllocator* alloc,
                                     ALLOCATOR_PROPERTIES* props) noexcept = 0;
    // The type the pin connects with when `asked` (which CheckMediaType took) is tried: the
    // default keeps it; a pin that mends what it takes hands the peer the mended type.
    virtual HRESULT ConnectionType(const AM_MEDIA_TYPE* asked, MediaType* type) noexcept {
        return type->Set(asked);
    }
    void BreakConnect() noexcept override;
    // The negotiated allocator while connected.
    IMemAllocator* Allocator() const noexcept { return m_allocator.get(); }

private:
    HRESULT TryConnect(IPin* peer, const AM_MEDIA_TYPE* mt) noexcept;
    HRESULT DecideAllocator() noexcept;
    HRESULT TryTypesOf(IPin* source, IPin* peer, const AM_MEDIA_TYPE* filter,
                       bool* anyFitted) noexcept;

    base::ComPtr<IMemInputPin> m_peerInput;
    base::ComPtr<IMemAllocator> m_allocator;
};

} // namespace kit
