// A source filter for the filter tests: one output pin of a given PCM format, and Push, which
// delivers the bytes it is given as the next sample, its times running on from the last from
// stream time 0. A live one tells so as capture filters do, by the answer of its paused state,
// and may send the rest of its sound when it is paused, after the sink, as a capture filter does.
#pragma once
#include <cstdint>
#include <functional>

#include "filters/kit/Filter.h"
#include "filters/kit/OutputPin.h"

class PushSource;

class PushSourcePin : public kit::OutputPin {
public:
    PushSourcePin(PushSource& filter, const WAVEFORMATEX& format) noexcept;
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* pmt) noexcept override;
    HRESULT GetMediaType(int index, AM_MEDIA_TYPE* pmt) noexcept override;

protected:
    HRESULT DecideBufferSize(IMemAllocator* alloc, ALLOCATOR_PROPERTIES* props) noexcept override;

private:
    WAVEFORMATEX m_format;
};

class PushSource : public kit::FilterBase {
public:
    explicit PushSource(const WAVEFORMATEX& format, bool live = false) noexcept;

    int PinCount() noexcept override { return 1; }
    kit::PinBase* GetPin(int index) noexcept override { return index == 0 ? &m_output : nullptr; }
    IPin* Output() noexcept { return &m_output; }

    HRESULT Push(const uint8_t* data, long bytes) noexcept;
    // The stream time now, and of the end of what was pushed.
    REFERENCE_TIME StreamTime() noexcept;
    REFERENCE_TIME PushedUntil() const noexcept { return m_next; }

    static constexpr long kSampleBytes = 64 * 1024;
    std::function<void()> onRunToPause;

protected:
    HRESULT PausedStateResult() noexcept override { return m_live ? VFW_S_CANT_CUE : S_OK; }
    HRESULT OnRunToPause() noexcept override {
        if (onRunToPause) {
            onRunToPause();
        }
        return S_OK;
    }

private:
    PushSourcePin m_output;
    REFERENCE_TIME m_next = 0;
    DWORD m_bytesPerSecond;
    bool m_live;
};
