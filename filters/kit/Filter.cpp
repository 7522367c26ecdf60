#include "filters/kit/Filter.h"

#include <cwchar>
#include <new>
#include <utility>

#include "base/ComPtr.h"
#include "filters/kit/EnumPins.h"
#include "filters/kit/Pin.h"

namespace kit {

FilterBase::FilterBase(const CLSID& clsid) noexcept : m_clsid(clsid) {}

FilterBase::~FilterBase() = default;

void* FilterBase::FindInterface(REFIID riid) noexcept {
    return FindInEntries(riid, {{&IID_IUnknown, static_cast<IBaseFilter*>(this)},
                                {&IID_IPersist, static_cast<IBaseFilter*>(this)},
                                {&IID_IMediaFilter, static_cast<IBaseFilter*>(this)},
                                {&IID_IBaseFilter, static_cast<IBaseFilter*>(this)}});
}

STDMETHODIMP FilterBase::GetClassID(CLSID* pClassID) noexcept {
    if (!pClassID) {
        return E_POINTER;
    }
    *pClassID = m_clsid;
    return S_OK;
}

HRESULT FilterBase::PauseFromStopped() noexcept {
    for (int i = 0; i < PinCount(); ++i) {
        HRESULT hr = GetPin(i)->Active();
        if (FAILED(hr)) {
            return hr;
        }
    }
    return OnStopToPause();
}

STDMETHODIMP FilterBase::Stop() noexcept {
    std::lock_guard lock(m_lock);
    HRESULT result = S_OK;
    if (m_state == State_Running) {
        OnLeavingRun();
        result = OnRunToPause();
        m_state = State_Paused;
    }
    if (m_state == State_Paused) {
        m_state = State_Stopped;
        HRESULT hr = OnPauseToStop();
        if (SUCCEEDED(result)) {
            result = hr;
        }
        for (int i = 0; i < PinCount(); ++i) {
            GetPin(i)->Inactive();
        }
    }
    return FAILED(result) ? result : S_OK;
}

STDMETHODIMP FilterBase::Pause() noexcept {
    std::lock_guard lock(m_lock);
    if (m_state == State_Stopped) {
        HRESULT hr = PauseFromStopped();
        if (FAILED(hr)) {
            OnPauseToStop();
            for (int i = 0; i < PinCount(); ++i) {
                GetPin(i)->Inactive();
            }
            return hr;
        }
        m_state = State_Paused;
    } else if (m_state == State_Running) {
        OnLeavingRun();
        m_state = State_Paused;
        HRESULT hr = OnRunToPause();
        if (FAILED(hr)) {
            return hr;
        }
    }
    // A live source tells that it cannot cue through GetState only, as the platform's do: a
    // graph passes what Pause returns on to its caller's Pause, Run and Stop.
    return S_OK;
}

STDMETHODIMP FilterBase::Run(REFERENCE_TIME tStart) noexcept {
    std::lock_guard lock(m_lock);
    if (m_state == State_Running) {
        return S_OK;
    }
    if (m_state == State_Stopped) {
        HRESULT hr = Pause();
        if (FAILED(hr)) {
            return hr;
        }
    }
    AdoptGraphClock();
    m_tStart = tStart;
    HRESULT hr = OnPauseToRun(tStart);
    if (FAILED(hr)) {
        return hr;
    }
    m_state = State_Running;
    return S_OK;
}

STDMETHODIMP FilterBase::GetState(DWORD, FILTER_STATE* State) noexcept {
    if (!State) {
        return E_POINTER;
    }
    *State = m_state;
    return m_state == State_Paused ? PausedStateResult() : S_OK;
}

STDMETHODIMP FilterBase::SetSyncSource(IReferenceClock* pClock) noexcept {
    std::lock_guard lock(m_graphLock);
    m_clock = base::ComPtr<IReferenceClock>::CopyFrom(pClock);
    return S_OK;
}

STDMETHODIMP FilterBase::GetSyncSource(IReferenceClock** pClock) noexcept {
    if (!pClock) {
        return E_POINTER;
    }
    std::lock_guard lock(m_graphLock);
    *pClock = base::ComPtr<IReferenceClock>::CopyFrom(m_clock.get()).detach();
    return S_OK;
}

// Wine's graph hands its clock to the filters it holds when it first runs, and not to a filter
// added later (a new recording chain in a graph that ran before): such a filter asks for it.
// The graph calls Run holding its own lock, on this thread, so the question cannot block.
void FilterBase::AdoptGraphClock() noexcept {
    base::ComPtr<IMediaFilter> graph;
    {
        std::lock_guard lock(m_graphLock);
        if (m_clock || !m_graph ||
            FAILED(m_graph->QueryInterface(IID_IMediaFilter, graph.put_void()))) {
            return;
        }
    }
    base::ComPtr<IReferenceClock> clock;
    if (SUCCEEDED(graph->GetSyncSource(clock.put())) && clock) {
        std::lock_guard lock(m_graphLock);
        if (!m_clock) {
            m_clock = std::move(clock);
        }
    }
}

bool FilterBase::ClockTime(REFERENCE_TIME* now) noexcept {
    std::lock_guard lock(m_graphLock);
    return m_clock && SUCCEEDED(m_clock->GetTime(now));
}

STDMETHODIMP FilterBase::EnumPins(IEnumPins** ppEnum) noexcept {
    if (!ppEnum) {
        return E_POINTER;
    }
    *ppEnum = new (std::nothrow) kit::EnumPins(*this, 0);
    return *ppEnum ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP FilterBase::FindPin(LPCWSTR Id, IPin** ppPin) noexcept {
    if (!Id || !ppPin) {
        return E_POINTER;
    }
    for (int i = 0; i < PinCount(); ++i) {
        PinBase* pin = GetPin(i);
        if (wcscmp(pin->Name(), Id) == 0) {
            pin->AddRef();
            *ppPin = pin;
            return S_OK;
        }
    }
    *ppPin = nullptr;
    return VFW_E_NOT_FOUND;
}

STDMETHODIMP FilterBase::QueryFilterInfo(FILTER_INFO* pInfo) noexcept {
    if (!pInfo) {
        return E_POINTER;
    }
    std::lock_guard lock(m_graphLock);
    wcsncpy(pInfo->achName, m_name, MAX_FILTER_NAME - 1);
    pInfo->achName[MAX_FILTER_NAME - 1] = 0;
    pInfo->pGraph = m_graph;
    if (m_graph) {
        m_graph->AddRef();
    }
    return S_OK;
}

STDMETHODIMP FilterBase::JoinFilterGraph(IFilterGraph* pGraph, LPCWSTR pName) noexcept {
    std::lock_guard lock(m_graphLock);
    m_graph = pGraph;
    m_name[0] = 0;
    if (pGraph && pName) {
        wcsncpy(m_name, pName, MAX_FILTER_NAME - 1);
        m_name[MAX_FILTER_NAME - 1] = 0;
    }
    return S_OK;
}

STDMETHODIMP FilterBase::QueryVendorInfo(LPWSTR*) noexcept {
    return E_NOTIMPL;
}

HRESULT FilterBase::NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2) noexcept {
    base::ComPtr<IMediaEventSink> sink;
    {
        std::lock_guard lock(m_graphLock);
        if (!m_graph) {
            return E_UNEXPECTED;
        }
        HRESULT hr = m_graph->QueryInterface(IID_IMediaEventSink, sink.put_void());
        if (FAILED(hr)) {
            return hr;
        }
    }
    return sink->Notify(code, param1, param2);
}

} // namespace kit
