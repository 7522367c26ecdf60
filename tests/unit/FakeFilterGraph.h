#pragma once
#include "tests/unit/CallLog.h"
#include "tests/unit/FakeComObject.h"

#include "base/ComPtr.h"

#include <dshow.h>
#include <deque>
#include <map>
#include <string>
#include <vector>

// A filter graph with its control and event interfaces. Calls go to the log prefixed with
// the graph's name ("g1.Run"); results are scriptable and events come from a queue.
class FakeFilterGraph : public FakeComObject<IGraphBuilder, IMediaControl, IMediaEventEx> {
public:
    FakeFilterGraph(CallLog& log, std::string name);

    struct Event {
        long code;
        LONG_PTR param1, param2;
    };
    void QueueEvent(long code, LONG_PTR param1, LONG_PTR param2) {
        m_events.push_back({code, param1, param2});
    }
    // The names of the filters in the graph, in the order they were added.
    std::vector<std::string> filterNames() const;
    IBaseFilter* filter(const std::string& name) const;

    HRESULT runResult = S_OK;
    HRESULT renderResult = S_OK;
    std::map<std::string, HRESULT> addFilterResults;
    HWND notifyWindow = nullptr;
    long notifyMessage = 0;

    // IFilterGraph, IGraphBuilder
    STDMETHODIMP AddFilter(IBaseFilter* filter, LPCWSTR name) noexcept override;
    STDMETHODIMP RemoveFilter(IBaseFilter* filter) noexcept override;
    STDMETHODIMP EnumFilters(IEnumFilters**) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP FindFilterByName(LPCWSTR, IBaseFilter**) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP ConnectDirect(IPin*, IPin*, const AM_MEDIA_TYPE*) noexcept override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Reconnect(IPin*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP Disconnect(IPin*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP SetDefaultSyncSource() noexcept override { return E_NOTIMPL; }
    STDMETHODIMP Connect(IPin*, IPin*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP Render(IPin* pin) noexcept override;
    STDMETHODIMP RenderFile(LPCWSTR, LPCWSTR) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP AddSourceFilter(LPCWSTR, LPCWSTR, IBaseFilter**) noexcept override {
        return E_NOTIMPL;
    }
    STDMETHODIMP SetLogFile(DWORD_PTR) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP Abort() noexcept override { return E_NOTIMPL; }
    STDMETHODIMP ShouldOperationContinue() noexcept override { return E_NOTIMPL; }

    // IDispatch (shared by both automation interfaces)
    STDMETHODIMP GetTypeInfoCount(UINT*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                        UINT*) noexcept override {
        return E_NOTIMPL;
    }

    // IMediaControl
    STDMETHODIMP Run() noexcept override;
    STDMETHODIMP Pause() noexcept override;
    STDMETHODIMP Stop() noexcept override;
    STDMETHODIMP GetState(LONG, OAFilterState*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP RenderFile(BSTR) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP AddSourceFilter(BSTR, IDispatch**) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP get_FilterCollection(IDispatch**) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP get_RegFilterCollection(IDispatch**) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP StopWhenReady() noexcept override;

    // IMediaEvent, IMediaEventEx
    STDMETHODIMP GetEventHandle(OAEVENT*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP GetEvent(long* code, LONG_PTR* param1, LONG_PTR* param2,
                          long timeout) noexcept override;
    STDMETHODIMP WaitForCompletion(long, long*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP CancelDefaultHandling(long) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP RestoreDefaultHandling(long) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP FreeEventParams(long code, LONG_PTR, LONG_PTR) noexcept override;
    STDMETHODIMP SetNotifyWindow(OAHWND window, long message, LONG_PTR) noexcept override;
    STDMETHODIMP SetNotifyFlags(long) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP GetNotifyFlags(long*) noexcept override { return E_NOTIMPL; }

private:
    struct Entry {
        std::string name;
        base::ComPtr<IBaseFilter> filter;
    };
    void Log(const std::string& call) { m_log.Add(m_name + "." + call); }

    CallLog& m_log;
    std::string m_name;
    std::vector<Entry> m_filters;
    std::deque<Event> m_events;
};
