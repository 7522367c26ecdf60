#include "tests/unit/FakeFilterGraph.h"

#include "base/AnsiText.h"

FakeFilterGraph::FakeFilterGraph(CallLog& log, std::string name)
    : m_log(log), m_name(std::move(name)) {
    Expose(IID_IGraphBuilder, static_cast<IGraphBuilder*>(this));
    Expose(IID_IFilterGraph, static_cast<IGraphBuilder*>(this));
    Expose(IID_IMediaControl, static_cast<IMediaControl*>(this));
    Expose(IID_IMediaEventEx, static_cast<IMediaEventEx*>(this));
    Expose(IID_IMediaEvent, static_cast<IMediaEventEx*>(this));
}

std::vector<std::string> FakeFilterGraph::filterNames() const {
    std::vector<std::string> names;
    for (const Entry& entry : m_filters) {
        names.push_back(entry.name);
    }
    return names;
}

IBaseFilter* FakeFilterGraph::filter(const std::string& name) const {
    for (const Entry& entry : m_filters) {
        if (entry.name == name) {
            return entry.filter.get();
        }
    }
    return nullptr;
}

STDMETHODIMP FakeFilterGraph::AddFilter(IBaseFilter* filter, LPCWSTR wideName) noexcept {
    std::string name = wideName ? base::Narrow(wideName) : std::string();
    Log("AddFilter " + name);
    auto scripted = addFilterResults.find(name);
    if (scripted != addFilterResults.end() && FAILED(scripted->second)) {
        return scripted->second;
    }
    m_filters.push_back({name, base::ComPtr<IBaseFilter>::CopyFrom(filter)});
    return S_OK;
}

STDMETHODIMP FakeFilterGraph::RemoveFilter(IBaseFilter* filter) noexcept {
    for (auto it = m_filters.begin(); it != m_filters.end(); ++it) {
        if (it->filter.get() == filter) {
            Log("RemoveFilter " + it->name);
            m_filters.erase(it);
            return S_OK;
        }
    }
    Log("RemoveFilter (not in graph)");
    return VFW_E_NOT_FOUND;
}

STDMETHODIMP FakeFilterGraph::Render(IPin* pin) noexcept {
    PIN_INFO info{};
    pin->QueryPinInfo(&info);
    if (info.pFilter) {
        info.pFilter->Release();
    }
    Log("Render " + base::Narrow(info.achName));
    return renderResult;
}

STDMETHODIMP FakeFilterGraph::Run() noexcept {
    Log("Run");
    return runResult;
}

STDMETHODIMP FakeFilterGraph::Pause() noexcept {
    Log("Pause");
    return S_OK;
}

STDMETHODIMP FakeFilterGraph::Stop() noexcept {
    Log("Stop");
    return S_OK;
}

STDMETHODIMP FakeFilterGraph::StopWhenReady() noexcept {
    Log("StopWhenReady");
    return S_OK;
}

STDMETHODIMP FakeFilterGraph::GetEvent(long* code, LONG_PTR* param1, LONG_PTR* param2,
                                       long) noexcept {
    if (m_events.empty()) {
        return E_ABORT;
    }
    *code = m_events.front().code;
    *param1 = m_events.front().param1;
    *param2 = m_events.front().param2;
    m_events.pop_front();
    return S_OK;
}

STDMETHODIMP FakeFilterGraph::FreeEventParams(long code, LONG_PTR, LONG_PTR) noexcept {
    Log("FreeEventParams " + std::to_string(code));
    return S_OK;
}

STDMETHODIMP FakeFilterGraph::SetNotifyWindow(OAHWND window, long message, LONG_PTR) noexcept {
    notifyWindow = reinterpret_cast<HWND>(window);
    notifyMessage = message;
    Log(window ? "SetNotifyWindow" : "SetNotifyWindow(null)");
    return S_OK;
}
