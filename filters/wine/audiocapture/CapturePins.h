// The capture source's pins: the PCM output, and one input pin per mixer source line that
// is never connected and carries the line's IAMAudioInputMixer.
#pragma once
#include <atomic>

#include "filters/kit/InputPin.h"
#include "filters/kit/OutputPin.h"

namespace audiocapture {

class AudioCaptureFilter;

class CaptureOutputPin : public kit::OutputPin {
public:
    explicit CaptureOutputPin(AudioCaptureFilter& filter) noexcept;
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* pmt) noexcept override;
    HRESULT GetMediaType(int index, AM_MEDIA_TYPE* pmt) noexcept override;

protected:
    HRESULT DecideBufferSize(IMemAllocator* alloc, ALLOCATOR_PROPERTIES* props) noexcept override;

private:
    AudioCaptureFilter& m_owner;
};

class MixerLinePin : public kit::InputPin, public IAMAudioInputMixer {
public:
    MixerLinePin(AudioCaptureFilter& filter, const WCHAR* name, size_t line) noexcept;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) noexcept override {
        return InputPin::QueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return InputPin::AddRef(); }
    STDMETHODIMP_(ULONG) Release() noexcept override { return InputPin::Release(); }

    HRESULT CheckMediaType(const AM_MEDIA_TYPE*) noexcept override { return S_FALSE; }

    STDMETHODIMP put_Enable(WINBOOL fEnable) noexcept override;
    STDMETHODIMP get_Enable(WINBOOL* pfEnable) noexcept override;
    STDMETHODIMP put_Mono(WINBOOL) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP get_Mono(WINBOOL*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP put_MixLevel(double Level) noexcept override;
    STDMETHODIMP get_MixLevel(double* pLevel) noexcept override;
    STDMETHODIMP put_Pan(double) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP get_Pan(double*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP put_Loudness(WINBOOL) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP get_Loudness(WINBOOL*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP put_Treble(double) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP get_Treble(double*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP get_TrebleRange(double*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP put_Bass(double) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP get_Bass(double*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP get_BassRange(double*) noexcept override { return E_NOTIMPL; }

    // The gain this line contributes to the captured signal: 0 when disabled.
    double Gain() const noexcept { return m_enabled ? m_level.load() : 0.0; }

protected:
    void* FindInterface(REFIID riid) noexcept override;

private:
    AudioCaptureFilter& m_owner;
    size_t m_line;
    std::atomic<bool> m_enabled{true};
    std::atomic<double> m_level{1.0};
};

} // namespace audiocapture
