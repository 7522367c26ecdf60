// The filter state machine and the IBaseFilter bookkeeping shared by all our filters.
#pragma once
#include <windows.h>
#include <dshow.h>
#include <atomic>
#include <mutex>

#include "base/ComPtr.h"
#include "filters/kit/ComObject.h"

namespace kit {

class PinBase;

class FilterBase : public IBaseFilter, public ComObject {
public:
    explicit FilterBase(const CLSID& clsid) noexcept;
    ~FilterBase() override;

    KIT_IUNKNOWN

    // IPersist
    STDMETHODIMP GetClassID(CLSID* pClassID) noexcept override;
    // IMediaFilter
    STDMETHODIMP Stop() noexcept override;
    STDMETHODIMP Pause() noexcept override;
    STDMETHODIMP Run(REFERENCE_TIME tStart) noexcept override;
    STDMETHODIMP GetState(DWORD dwMilliSecsTimeout, FILTER_STATE* State) noexcept override;
    STDMETHODIMP SetSyncSource(IReferenceClock* pClock) noexcept override;
    STDMETHODIMP GetSyncSource(IReferenceClock** pClock) noexcept override;
    // IBaseFilter
    STDMETHODIMP EnumPins(IEnumPins** ppEnum) noexcept override;
    STDMETHODIMP FindPin(LPCWSTR Id, IPin** ppPin) noexcept override;
    STDMETHODIMP QueryFilterInfo(FILTER_INFO* pInfo) noexcept override;
    STDMETHODIMP JoinFilterGraph(IFilterGraph* pGraph, LPCWSTR pName) noexcept override;
    STDMETHODIMP QueryVendorInfo(LPWSTR* pVendorInfo) noexcept override;

    virtual int PinCount() noexcept = 0;
    virtual PinBase* GetPin(int index) noexcept = 0;

    std::recursive_mutex& FilterLock() noexcept { return m_lock; }
    FILTER_STATE State() const noexcept { return m_state.load(); }
    REFERENCE_TIME StartTime() const noexcept { return m_tStart; }
    // The graph clock's time (100 ns units), false without a clock.
    bool ClockTime(REFERENCE_TIME* now) noexcept;
    // Posts an event to the graph's IMediaEventSink; safe from any thread.
    HRESULT NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2) noexcept;

protected:
    void* FindInterface(REFIID riid) noexcept override;

    // Transition hooks, called with the filter lock held, after the pins' own work
    // (allocators committed before OnStopToPause, decommitted after OnPauseToStop).
    virtual HRESULT OnStopToPause() noexcept { return S_OK; }
    virtual HRESULT OnPauseToRun(REFERENCE_TIME) noexcept { return S_OK; }
    // Called with the filter lock held before the state leaves Running (for Pause and for
    // Stop), so that no sample sees the new state before the filter knows it is coming.
    virtual void OnLeavingRun() noexcept {}
    virtual HRESULT OnRunToPause() noexcept { return S_OK; }
    virtual HRESULT OnPauseToStop() noexcept { return S_OK; }
    // What GetState answers in the paused state (Pause itself says S_OK): live sources
    // return VFW_S_CANT_CUE.
    virtual HRESULT PausedStateResult() noexcept { return S_OK; }

private:
    HRESULT PauseFromStopped() noexcept;
    void AdoptGraphClock() noexcept;

    CLSID m_clsid;
    std::recursive_mutex m_lock; // Run pauses first, under the same lock
    std::mutex m_graphLock;
    std::atomic<FILTER_STATE> m_state{State_Stopped};
    REFERENCE_TIME m_tStart = 0;
    base::ComPtr<IReferenceClock> m_clock;
    IFilterGraph* m_graph = nullptr; // not counted: the graph owns us
    WCHAR m_name[MAX_FILTER_NAME] = {};
};

} // namespace kit
