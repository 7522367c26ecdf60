// The pins of "WAV Dest": PCM audio in, a WAVE byte stream out.
#pragma once
#include "filters/kit/InputPin.h"
#include "filters/kit/OutputPin.h"

namespace wavdest {

class WavDestFilter;

class WavDestInputPin : public kit::InputPin {
public:
    explicit WavDestInputPin(WavDestFilter& filter) noexcept;
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* pmt) noexcept override;
    STDMETHODIMP EndOfStream() noexcept override;

protected:
    HRESULT OnReceive(IMediaSample* sample) noexcept override;

private:
    WavDestFilter& m_owner;
};

class WavDestOutputPin : public kit::OutputPin {
public:
    explicit WavDestOutputPin(WavDestFilter& filter) noexcept;
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* pmt) noexcept override;
    HRESULT GetMediaType(int index, AM_MEDIA_TYPE* pmt) noexcept override;

    static constexpr long kBufferSize = 64 * 1024;

protected:
    HRESULT DecideBufferSize(IMemAllocator* alloc, ALLOCATOR_PROPERTIES* props) noexcept override;
};

} // namespace wavdest
