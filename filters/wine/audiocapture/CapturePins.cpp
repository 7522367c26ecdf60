#include "filters/wine/audiocapture/CapturePins.h"

#include "filters/wine/audiocapture/AudioCaptureFilter.h"
#include "filters/wine/audiocapture/CaptureDevice.h"

namespace audiocapture {

namespace {

struct Format {
    DWORD rate;
    WORD channels;
    WORD bits;
};

// 44.1 kHz 16-bit stereo first: what the graph gets unless it asks for another format.
constexpr Format kFormats[] = {{44100, 2, 16}, {48000, 2, 16}, {44100, 1, 16}, {48000, 1, 16},
                               {22050, 2, 16}, {22050, 1, 16}, {11025, 1, 16}, {8000, 1, 16},
                               {44100, 2, 8},  {22050, 1, 8},  {11025, 1, 8},  {8000, 1, 8}};

} // namespace

CaptureOutputPin::CaptureOutputPin(AudioCaptureFilter& filter) noexcept
    : OutputPin(filter, L"Capture"), PinCategoryProperty(PIN_CATEGORY_CAPTURE), m_owner(filter) {}

void* CaptureOutputPin::FindInterface(REFIID riid) noexcept {
    if (IsEqualIID(riid, IID_IKsPropertySet)) {
        return static_cast<IKsPropertySet*>(this);
    }
    return OutputPin::FindInterface(riid);
}

WAVEFORMATEX CaptureOutputPin::FirstFormat() noexcept {
    const Format& f = kFormats[0];
    return kit::MakePcmFormat(f.rate, f.channels, f.bits);
}

void CaptureOutputPin::LearnFormats() noexcept {
    for (const Format& f : kFormats) {
        m_owner.DeviceSupports(kit::MakePcmFormat(f.rate, f.channels, f.bits));
    }
}

HRESULT CaptureOutputPin::CheckMediaType(const AM_MEDIA_TYPE* pmt) noexcept {
    const WAVEFORMATEX* wfx = kit::PcmFormatOf(pmt);
    if (!wfx || wfx->wFormatTag != WAVE_FORMAT_PCM) {
        return S_FALSE;
    }
    if (wfx->wBitsPerSample != 8 && wfx->wBitsPerSample != 16) {
        return S_FALSE;
    }
    if (wfx->nChannels > 2 || wfx->nSamplesPerSec < 8000 || wfx->nSamplesPerSec > 192000) {
        return S_FALSE;
    }
    return m_owner.DeviceSupports(*wfx) ? S_OK : S_FALSE;
}

HRESULT CaptureOutputPin::GetMediaType(int index, AM_MEDIA_TYPE* pmt) noexcept {
    if (!pmt) {
        return E_POINTER;
    }
    if (index < 0 || index >= static_cast<int>(sizeof(kFormats) / sizeof(kFormats[0]))) {
        return VFW_S_NO_MORE_ITEMS;
    }
    const Format& f = kFormats[index];
    return kit::MakeAudioMediaType(kit::MakePcmFormat(f.rate, f.channels, f.bits), pmt);
}

HRESULT CaptureOutputPin::DecideBufferSize(IMemAllocator* alloc,
                                           ALLOCATOR_PROPERTIES* props) noexcept {
    const WAVEFORMATEX* wfx = kit::PcmFormatOf(&CurrentType());
    if (!wfx) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    LONG wanted = static_cast<LONG>(CaptureDevice::BufferBytes(*wfx));
    if (props->cBuffers < 8) {
        props->cBuffers = 8;
    }
    if (props->cbBuffer < wanted) {
        props->cbBuffer = wanted;
    }
    ALLOCATOR_PROPERTIES actual{};
    HRESULT hr = alloc->SetProperties(props, &actual);
    if (FAILED(hr)) {
        return hr;
    }
    return actual.cbBuffer >= wanted ? S_OK : E_FAIL;
}

// A line is never connected: nothing reaches its Receive.
MixerLinePin::MixerLinePin(AudioCaptureFilter& filter, const WCHAR* name, size_t line,
                           LineInput input) noexcept
    : InputPin(filter, name, kit::ReceiveBlocks::No), m_owner(filter), m_line(line),
      m_input(input) {}

void* MixerLinePin::FindInterface(REFIID riid) noexcept {
    if (IsEqualIID(riid, IID_IAMAudioInputMixer)) {
        return static_cast<IAMAudioInputMixer*>(this);
    }
    return InputPin::FindInterface(riid);
}

STDMETHODIMP MixerLinePin::put_Enable(WINBOOL fEnable) noexcept {
    return m_owner.EnableLine(m_line, fEnable != FALSE);
}

STDMETHODIMP MixerLinePin::get_Enable(WINBOOL* pfEnable) noexcept {
    if (!pfEnable) {
        return E_POINTER;
    }
    *pfEnable = m_enabled ? TRUE : FALSE;
    return S_OK;
}

// Under Wine the winmm mixer's controls do not act on the captured signal (measured with
// Wine 8.0: see tests/filters/mixer_test.sh), so the filter applies the level itself.
STDMETHODIMP MixerLinePin::put_MixLevel(double Level) noexcept {
    if (Level == AMF_AUTOMATICGAIN) {
        return E_NOTIMPL;
    }
    if (Level < 0.0 || Level > 1.0) {
        return E_INVALIDARG;
    }
    m_level = Level;
    return S_OK;
}

STDMETHODIMP MixerLinePin::get_MixLevel(double* pLevel) noexcept {
    if (!pLevel) {
        return E_POINTER;
    }
    *pLevel = m_level;
    return S_OK;
}

} // namespace audiocapture
