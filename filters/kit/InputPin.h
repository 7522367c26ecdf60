// An input pin that accepts connections and receives samples over IMemInputPin.
#pragma once
#include "filters/kit/Pin.h"

namespace kit {

// Whether a pin's Receive may wait (for the disk, for room in a queue): ReceiveCanBlock tells a
// source, which then delivers from a thread of its own.
enum class ReceiveBlocks { No, Yes };

class InputPin : public PinBase, public IMemInputPin {
public:
    InputPin(FilterBase& filter, const WCHAR* name, ReceiveBlocks blocks) noexcept;
    ~InputPin() override;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) noexcept override;
    STDMETHODIMP_(ULONG) AddRef() noexcept override;
    STDMETHODIMP_(ULONG) Release() noexcept override;

    STDMETHODIMP Connect(IPin* pReceivePin, const AM_MEDIA_TYPE* pmt) noexcept override;
    STDMETHODIMP ReceiveConnection(IPin* pConnector, const AM_MEDIA_TYPE* pmt) noexcept override;

    // IMemInputPin
    STDMETHODIMP GetAllocator(IMemAllocator** ppAllocator) noexcept override;
    STDMETHODIMP NotifyAllocator(IMemAllocator* pAllocator, WINBOOL bReadOnly) noexcept override;
    STDMETHODIMP GetAllocatorRequirements(ALLOCATOR_PROPERTIES* pProps) noexcept override;
    STDMETHODIMP Receive(IMediaSample* pSample) noexcept override;
    STDMETHODIMP ReceiveMultiple(IMediaSample** pSamples, LONG nSamples,
                                 LONG* nSamplesProcessed) noexcept override;
    STDMETHODIMP ReceiveCanBlock() noexcept override;

protected:
    void* FindInterface(REFIID riid) noexcept override;
    void BreakConnect() noexcept override;
    // The sample's data; the default refuses it.
    virtual HRESULT OnReceive(IMediaSample*) noexcept { return E_NOTIMPL; }

private:
    base::ComPtr<IMemAllocator> m_allocator;
    ReceiveBlocks m_blocks;
};

} // namespace kit
