// IAMAudioInputMixer for an input line that has a level and an on/off switch only: mono, pan,
// loudness, treble and bass answer E_NOTIMPL, as the interface allows for a line without them.
#pragma once
#include <windows.h>
#include <dshow.h>

namespace kit {

class AudioInputMixerBase : public IAMAudioInputMixer {
public:
    STDMETHODIMP put_Mono(WINBOOL) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP get_Mono(WINBOOL*) noexcept override { return E_NOTIMPL; }
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

protected:
    ~AudioInputMixerBase() = default;
};

} // namespace kit
