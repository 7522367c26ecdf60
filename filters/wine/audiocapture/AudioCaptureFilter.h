// An audio capture source over waveIn for Wine prefixes, registered there as
// CLSID_AudioRecord so that the audio-input monikers of Wine's device enumerator bind to it
// (Wine 8.0's own has no pins). A live source: nothing is delivered while paused, and the
// samples' times run on without gap or overlap from the graph clock's time at the first one.
// Its input lines are those of a sound card: a device that is not a monitor has "Stereo Mix"
// (what the computer plays) and its own input ("Microphone" or "Line In"); a monitor of an
// output has "Stereo Mix" only, itself.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "filters/kit/Filter.h"
#include "filters/wine/audiocapture/CapturePins.h"
#include "filters/wine/audiocapture/CaptureReader.h"
#include "filters/wine/audiocapture/DefaultOutputMonitor.h"

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
    // Enabling a line makes it the one captured, which only a stopped filter can change;
    // disabling the captured line mutes it.
    HRESULT EnableLine(size_t line, bool enable) noexcept;

protected:
    void* FindInterface(REFIID riid) noexcept override;
    HRESULT OnStopToPause() noexcept override;
    HRESULT OnPauseToRun(REFERENCE_TIME tStart) noexcept override;
    HRESULT OnRunToPause() noexcept override;
    HRESULT OnPauseToStop() noexcept override;
    HRESULT PausedStateResult() noexcept override { return VFW_S_CANT_CUE; }

private:
    void OnCaptured(const BYTE* data, DWORD bytes, bool discontinuity,
                    double agoMs) noexcept override;
    void OnSentUntil(double agoMs) noexcept override;
    void DeliverStamped(IMediaSample* sample, double agoMs) noexcept;
    void OnDeviceLost() noexcept override;
    void OnDeviceBack() noexcept override;
    HRESULT UseDevice(UINT deviceId) noexcept;
    HRESULT CreateLinePins() noexcept;
    void AddLine(const WCHAR* name, LineInput input);
    CaptureSource SourceOf(LineInput input) noexcept;
    bool LoopbackSupported() noexcept;
    void Prepare() noexcept;
    HRESULT OpenReader(const WAVEFORMATEX& wfx, const CaptureSource& source) noexcept;
    double Gain() const noexcept;

    CaptureOutputPin m_output;
    std::vector<std::unique_ptr<MixerLinePin>> m_lines;
    std::vector<std::unique_ptr<MixerLinePin>> m_retiredLines;
    std::atomic<size_t> m_captured{0};
    UINT m_deviceId = 0;
    // InitNew gives device 0, which a Load may still replace; nothing follows a Load.
    enum class Persisted { No, New, Loaded };
    Persisted m_persisted = Persisted::No;
    std::optional<bool> m_loopback;
    DefaultOutputMonitor m_defaultOutput; // asked only where Wine has no loopback
    std::unique_ptr<CaptureReader> m_reader;
    CaptureSource m_source; // what m_reader reads
    std::mutex m_supportLock;
    std::vector<std::pair<uint64_t, bool>> m_supported;
    WAVEFORMATEX m_format{};
    // Stream times: the first sample's start and the bytes delivered since.
    ULONGLONG m_bytesDelivered = 0;
};

} // namespace audiocapture
