// The capture source's pins: the PCM output, and one input pin per input line that is never
// connected and carries the line's IAMAudioInputMixer. The output is configured as a capture
// device's: IAMStreamConfig chooses its format, IAMBufferNegotiation its buffers.
#pragma once
#include <atomic>
#include <optional>

#include "filters/kit/AudioInputMixerBase.h"
#include "filters/kit/InputPin.h"
#include "filters/kit/OutputPin.h"
#include "filters/kit/PinCategoryProperty.h"

namespace audiocapture {

class AudioCaptureFilter;

class CaptureOutputPin : public kit::OutputPin,
                         public kit::PinCategoryProperty,
                         public IAMStreamConfig,
                         public IAMBufferNegotiation {
public:
    explicit CaptureOutputPin(AudioCaptureFilter& filter) noexcept;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) noexcept override {
        return OutputPin::QueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return OutputPin::AddRef(); }
    STDMETHODIMP_(ULONG) Release() noexcept override { return OutputPin::Release(); }

    // The format a connection gets unless it asks for another.
    static WAVEFORMATEX FirstFormat() noexcept;
    // The format the pin offers first: the one set through IAMStreamConfig, or FirstFormat.
    WAVEFORMATEX OfferedFormat() const noexcept;
    // The bytes of each sample delivered in `wfx`: the buffer asked for through
    // IAMBufferNegotiation in whole frames, no less than 10 ms, or else the device's buffer.
    DWORD PieceBytes(const WAVEFORMATEX& wfx) const noexcept;
    // Asks the device about every format the pin offers, so that the answers are known before
    // the first connection.
    void LearnFormats() noexcept;
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* pmt) noexcept override;
    HRESULT GetMediaType(int index, AM_MEDIA_TYPE* pmt) noexcept override;

    // IAMStreamConfig
    STDMETHODIMP SetFormat(AM_MEDIA_TYPE* pmt) noexcept override;
    STDMETHODIMP GetFormat(AM_MEDIA_TYPE** ppmt) noexcept override;
    STDMETHODIMP GetNumberOfCapabilities(int* piCount, int* piSize) noexcept override;
    STDMETHODIMP GetStreamCaps(int iIndex, AM_MEDIA_TYPE** ppmt, BYTE* pSCC) noexcept override;
    // IAMBufferNegotiation
    STDMETHODIMP SuggestAllocatorProperties(const ALLOCATOR_PROPERTIES* pprop) noexcept override;
    STDMETHODIMP GetAllocatorProperties(ALLOCATOR_PROPERTIES* pprop) noexcept override;

protected:
    void* FindInterface(REFIID riid) noexcept override;
    HRESULT DecideBufferSize(IMemAllocator* alloc, ALLOCATOR_PROPERTIES* props) noexcept override;
    HRESULT ConnectionType(const AM_MEDIA_TYPE* asked, kit::MediaType* type) noexcept override;

private:
    // The consistent format of a type the pin can deliver, whichever format is set.
    bool Deliverable(const AM_MEDIA_TYPE* pmt, WAVEFORMATEX* wfx) noexcept;

    AudioCaptureFilter& m_owner;
    std::optional<WAVEFORMATEX> m_chosen;             // by SetFormat: the only type offered
    ALLOCATOR_PROPERTIES m_suggested{-1, -1, -1, -1}; // -1: no preference
};

// What a line captures: the device the filter was made for, or what the default output plays.
enum class LineInput { Device, DefaultOutput };

// One of the filter's input lines. The filter captures one line at a time, the one enabled
// last; its level and its enable flag (off: muted) apply to what is captured.
class MixerLinePin : public kit::InputPin, public kit::AudioInputMixerBase {
public:
    MixerLinePin(AudioCaptureFilter& filter, const WCHAR* name, size_t line,
                 LineInput input) noexcept;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) noexcept override {
        return InputPin::QueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return InputPin::AddRef(); }
    STDMETHODIMP_(ULONG) Release() noexcept override { return InputPin::Release(); }

    HRESULT CheckMediaType(const AM_MEDIA_TYPE*) noexcept override { return S_FALSE; }

    STDMETHODIMP put_Enable(WINBOOL fEnable) noexcept override;
    STDMETHODIMP get_Enable(WINBOOL* pfEnable) noexcept override;
    STDMETHODIMP put_MixLevel(double Level) noexcept override;
    STDMETHODIMP get_MixLevel(double* pLevel) noexcept override;

    LineInput Input() const noexcept { return m_input; }
    void SetEnabled(bool enabled) noexcept { m_enabled = enabled; }
    // The gain this line gives the captured signal when captured: 0 when disabled.
    double Gain() const noexcept { return m_enabled ? m_level.load() : 0.0; }

protected:
    void* FindInterface(REFIID riid) noexcept override;

private:
    AudioCaptureFilter& m_owner;
    size_t m_line;
    LineInput m_input;
    std::atomic<bool> m_enabled{false};
    std::atomic<double> m_level{1.0};
};

} // namespace audiocapture
