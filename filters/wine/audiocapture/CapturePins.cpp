#include "filters/wine/audiocapture/CapturePins.h"

#include <algorithm>
#include <cstring>

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
constexpr int kFormatCount = static_cast<int>(sizeof(kFormats) / sizeof(kFormats[0]));

// What the pin delivers, in any combination the device takes.
constexpr WORD kMaxChannels = 2;
constexpr WORD kMinBits = 8, kMaxBits = 16;
constexpr DWORD kMinRate = 8000, kMaxRate = 192000;
// Our default, Windows' being 4 of half a second: the recorder's Stop and meter count on
// buffers of a tenth of a second.
constexpr long kBuffers = 8;

WAVEFORMATEX FormatAt(int index) noexcept {
    const Format& f = kFormats[index];
    return kit::MakePcmFormat(f.rate, f.channels, f.bits);
}

DWORD WholeFrames(DWORD bytes, const WAVEFORMATEX& wfx) noexcept {
    return (bytes + wfx.nBlockAlign - 1) / wfx.nBlockAlign * wfx.nBlockAlign;
}

} // namespace

CaptureOutputPin::CaptureOutputPin(AudioCaptureFilter& filter) noexcept
    : OutputPin(filter, L"Capture"), PinCategoryProperty(PIN_CATEGORY_CAPTURE), m_owner(filter) {}

void* CaptureOutputPin::FindInterface(REFIID riid) noexcept {
    void* found = kit::FindInEntries(
        riid, {{&IID_IKsPropertySet, static_cast<IKsPropertySet*>(this)},
               {&IID_IAMStreamConfig, static_cast<IAMStreamConfig*>(this)},
               {&IID_IAMBufferNegotiation, static_cast<IAMBufferNegotiation*>(this)}});
    return found ? found : OutputPin::FindInterface(riid);
}

WAVEFORMATEX CaptureOutputPin::FirstFormat() noexcept {
    return FormatAt(0);
}

WAVEFORMATEX CaptureOutputPin::OfferedFormat() const noexcept {
    return m_chosen ? *m_chosen : FirstFormat();
}

void CaptureOutputPin::LearnFormats() noexcept {
    for (int i = 0; i < kFormatCount; ++i) {
        m_owner.DeviceSupports(FormatAt(i));
    }
}

bool CaptureOutputPin::Deliverable(const AM_MEDIA_TYPE* pmt, WAVEFORMATEX* wfx) noexcept {
    if (!kit::MendedPcmFormat(pmt, wfx)) {
        return false;
    }
    if (wfx->wBitsPerSample < kMinBits || wfx->wBitsPerSample > kMaxBits ||
        wfx->nChannels > kMaxChannels || wfx->nSamplesPerSec < kMinRate ||
        wfx->nSamplesPerSec > kMaxRate) {
        return false;
    }
    return m_owner.DeviceSupports(*wfx);
}

HRESULT CaptureOutputPin::CheckMediaType(const AM_MEDIA_TYPE* pmt) noexcept {
    WAVEFORMATEX wfx;
    if (!Deliverable(pmt, &wfx)) {
        return S_FALSE;
    }
    return !m_chosen || kit::SamePcmFormat(wfx, *m_chosen) ? S_OK : S_FALSE;
}

// The peer gets the consistent type of what was asked for.
HRESULT CaptureOutputPin::ConnectionType(const AM_MEDIA_TYPE* asked,
                                         kit::MediaType* type) noexcept {
    WAVEFORMATEX wfx;
    if (!kit::MendedPcmFormat(asked, &wfx)) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    type->Clear();
    return kit::MakeAudioMediaType(wfx, type->get());
}

HRESULT CaptureOutputPin::GetMediaType(int index, AM_MEDIA_TYPE* pmt) noexcept {
    if (!pmt) {
        return E_POINTER;
    }
    if (index < 0 || index >= (m_chosen ? 1 : kFormatCount)) {
        return VFW_S_NO_MORE_ITEMS;
    }
    return kit::MakeAudioMediaType(m_chosen ? *m_chosen : FormatAt(index), pmt);
}

// Windows' pin would reconnect with another format; ours keeps its connection's.
STDMETHODIMP CaptureOutputPin::SetFormat(AM_MEDIA_TYPE* pmt) noexcept {
    if (!pmt) {
        return E_POINTER;
    }
    std::lock_guard lock(m_filter.FilterLock());
    if (m_filter.State() != State_Stopped) {
        return VFW_E_NOT_STOPPED;
    }
    WAVEFORMATEX wfx;
    if (!Deliverable(pmt, &wfx)) {
        return VFW_E_INVALIDMEDIATYPE;
    }
    const WAVEFORMATEX* connected = IsConnected() ? kit::PcmFormatOf(&CurrentType()) : nullptr;
    if (connected && !kit::SamePcmFormat(wfx, *connected)) {
        return VFW_E_WRONG_STATE;
    }
    m_chosen = wfx;
    return S_OK;
}

STDMETHODIMP CaptureOutputPin::GetFormat(AM_MEDIA_TYPE** ppmt) noexcept {
    if (!ppmt) {
        return E_POINTER;
    }
    std::lock_guard lock(m_filter.FilterLock());
    kit::MediaType offered;
    HRESULT hr = IsConnected() ? offered.Set(&CurrentType())
                               : kit::MakeAudioMediaType(OfferedFormat(), offered.get());
    if (FAILED(hr)) {
        return hr;
    }
    *ppmt = kit::CreateMediaType(offered.get());
    return *ppmt ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CaptureOutputPin::GetNumberOfCapabilities(int* piCount, int* piSize) noexcept {
    if (!piCount || !piSize) {
        return E_POINTER;
    }
    *piCount = kFormatCount;
    *piSize = sizeof(AUDIO_STREAM_CONFIG_CAPS);
    return S_OK;
}

// Each type the pin offers, with the ranges of what else it takes.
STDMETHODIMP CaptureOutputPin::GetStreamCaps(int iIndex, AM_MEDIA_TYPE** ppmt,
                                             BYTE* pSCC) noexcept {
    if (!ppmt || !pSCC) {
        return E_POINTER;
    }
    if (iIndex < 0) {
        return E_INVALIDARG;
    }
    if (iIndex >= kFormatCount) {
        return S_FALSE;
    }
    kit::MediaType type;
    HRESULT hr = kit::MakeAudioMediaType(FormatAt(iIndex), type.get());
    if (FAILED(hr)) {
        return hr;
    }
    *ppmt = kit::CreateMediaType(type.get());
    if (!*ppmt) {
        return E_OUTOFMEMORY;
    }
    AUDIO_STREAM_CONFIG_CAPS caps{};
    caps.guid = MEDIATYPE_Audio;
    caps.MinimumChannels = 1;
    caps.MaximumChannels = kMaxChannels;
    caps.ChannelsGranularity = 1;
    caps.MinimumBitsPerSample = kMinBits;
    caps.MaximumBitsPerSample = kMaxBits;
    caps.BitsPerSampleGranularity = 8;
    caps.MinimumSampleFrequency = kMinRate;
    caps.MaximumSampleFrequency = kMaxRate;
    caps.SampleFrequencyGranularity = 1;
    memcpy(pSCC, &caps, sizeof(caps));
    return S_OK;
}

STDMETHODIMP
CaptureOutputPin::SuggestAllocatorProperties(const ALLOCATOR_PROPERTIES* pprop) noexcept {
    if (!pprop) {
        return E_POINTER;
    }
    std::lock_guard lock(m_filter.FilterLock());
    if (IsConnected()) {
        return VFW_E_ALREADY_CONNECTED;
    }
    m_suggested = *pprop;
    return S_OK;
}

STDMETHODIMP CaptureOutputPin::GetAllocatorProperties(ALLOCATOR_PROPERTIES* pprop) noexcept {
    if (!pprop) {
        return E_POINTER;
    }
    std::lock_guard lock(m_filter.FilterLock());
    if (!Allocator()) {
        return VFW_E_NOT_CONNECTED;
    }
    return Allocator()->GetProperties(pprop);
}

DWORD CaptureOutputPin::PieceBytes(const WAVEFORMATEX& wfx) const noexcept {
    if (m_suggested.cbBuffer <= 0 || wfx.nBlockAlign == 0) {
        return CaptureDevice::BufferBytes(wfx);
    }
    const DWORD least = WholeFrames(wfx.nAvgBytesPerSec / 100, wfx);
    return std::max(WholeFrames(static_cast<DWORD>(m_suggested.cbBuffer), wfx), least);
}

// Each sample holds one piece of what the device captured; a suggestion's -1 (or any value
// below 1) leaves ours.
HRESULT CaptureOutputPin::DecideBufferSize(IMemAllocator* alloc,
                                           ALLOCATOR_PROPERTIES* props) noexcept {
    const WAVEFORMATEX* wfx = kit::PcmFormatOf(&CurrentType());
    if (!wfx) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    const LONG wanted = static_cast<LONG>(PieceBytes(*wfx));
    props->cBuffers =
        std::max(props->cBuffers, m_suggested.cBuffers > 0 ? m_suggested.cBuffers : kBuffers);
    props->cbBuffer = std::max(props->cbBuffer, wanted);
    props->cbAlign = std::max(props->cbAlign, m_suggested.cbAlign);
    props->cbPrefix = std::max(props->cbPrefix, m_suggested.cbPrefix);
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
