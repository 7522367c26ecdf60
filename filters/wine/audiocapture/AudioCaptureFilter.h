// An audio capture source over waveIn for Wine prefixes, registered there as
// CLSID_AudioRecord so that the audio-input monikers of Wine's device enumerator bind to it
// (Wine 8.0's own has no pins). A live source: nothing is delivered while paused, and the
// samples' times run on without gap or overlap from the graph clock's time at the first one.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "filters/kit/Filter.h"
#include "filters/wine/audiocapture/CapturePins.h"
#include "filters/wine/audiocapture/WaveInMixer.h"
#include "filters/wine/audiocapture/WaveInReader.h"

namespace audiocapture {

class AudioCaptureFilter : public kit::FilterBase,
                           public IPersistPropertyBag,
                           public IAMFilterMiscFlags,
                           private CaptureSink {
public:
    AudioCaptureFilter() noexcept;
    ~AudioCaptureFilter() override;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) noexcept override {
        return QueryObject(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return AddRefObject(); }
    STDMETHODIMP_(ULONG) Release() noexcept override { return ReleaseObject(); }

    // IPersist, reached through both IBaseFilter and IPersistPropertyBag.
    STDMETHODIMP GetClassID(CLSID* pClassID) noexcept override {
        return FilterBase::GetClassID(pClassID);
    }
    // IPersistPropertyBag
    STDMETHODIMP InitNew() noexcept override;
    STDMETHODIMP Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) noexcept override;
    STDMETHODIMP Save(IPropertyBag*, WINBOOL, WINBOOL) noexcept override { return E_NOTIMPL; }
    // IAMFilterMiscFlags
    STDMETHODIMP_(ULONG) GetMiscFlags() noexcept override { return AM_FILTER_MISC_FLAGS_IS_SOURCE; }

    int PinCount() noexcept override;
    kit::PinBase* GetPin(int index) noexcept override;

    bool DeviceSupports(const WAVEFORMATEX& wfx) noexcept;
    WaveInMixer& Mixer() noexcept { return m_mixer; }

protected:
    void* FindInterface(REFIID riid) noexcept override;
    HRESULT OnStopToPause() noexcept override;
    HRESULT OnPauseToRun(REFERENCE_TIME tStart) noexcept override;
    HRESULT OnRunToPause() noexcept override;
    HRESULT OnPauseToStop() noexcept override;
    HRESULT PausedStateResult() noexcept override { return VFW_S_CANT_CUE; }

private:
    void OnCaptured(const BYTE* data, DWORD bytes, bool discontinuity) noexcept override;
    void OnDeviceLost() noexcept override;
    void OnDeviceBack() noexcept override;
    HRESULT CreateLinePins() noexcept;
    HRESULT OpenReader(const WAVEFORMATEX& wfx) noexcept;
    static bool SameFormat(const WAVEFORMATEX& a, const WAVEFORMATEX& b) noexcept;
    double Gain() const noexcept;

    CaptureOutputPin m_output;
    std::vector<std::unique_ptr<MixerLinePin>> m_lines;
    WaveInMixer m_mixer;
    UINT m_deviceId = 0;
    bool m_loaded = false;
    std::unique_ptr<WaveInReader> m_reader;
    std::mutex m_supportLock;
    std::vector<std::pair<uint64_t, bool>> m_supported;
    WAVEFORMATEX m_format{};
    // Stream times: the first sample's start and the bytes delivered since.
    bool m_haveOrigin = false;
    REFERENCE_TIME m_origin = 0;
    ULONGLONG m_bytesDelivered = 0;
};

} // namespace audiocapture
