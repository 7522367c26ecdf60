#pragma once
#include "tests/unit/FakeComObject.h"

#include <dshow.h>

// The capture graph builder: the recorder only attaches it to the graph.
class FakeCaptureGraphBuilder : public FakeComObject<ICaptureGraphBuilder2> {
public:
    FakeCaptureGraphBuilder() {
        Expose(IID_ICaptureGraphBuilder2, static_cast<ICaptureGraphBuilder2*>(this));
    }

    // Not counted, as the tests only compare it.
    IGraphBuilder* graph = nullptr;

    STDMETHODIMP SetFiltergraph(IGraphBuilder* filterGraph) noexcept override {
        graph = filterGraph;
        return S_OK;
    }
    STDMETHODIMP GetFiltergraph(IGraphBuilder**) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP SetOutputFileName(const GUID*, LPCOLESTR, IBaseFilter**,
                                   IFileSinkFilter**) noexcept override {
        return E_NOTIMPL;
    }
    STDMETHODIMP FindInterface(const GUID*, const GUID*, IBaseFilter*, REFIID,
                               void**) noexcept override {
        return E_NOTIMPL;
    }
    STDMETHODIMP RenderStream(const GUID*, const GUID*, IUnknown*, IBaseFilter*,
                              IBaseFilter*) noexcept override {
        return E_NOTIMPL;
    }
    STDMETHODIMP ControlStream(const GUID*, const GUID*, IBaseFilter*, REFERENCE_TIME*,
                               REFERENCE_TIME*, WORD, WORD) noexcept override {
        return E_NOTIMPL;
    }
    STDMETHODIMP AllocCapFile(LPCOLESTR, DWORDLONG) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP CopyCaptureFile(LPOLESTR, LPOLESTR, int,
                                 IAMCopyCaptureFileProgress*) noexcept override {
        return E_NOTIMPL;
    }
    STDMETHODIMP FindPin(IUnknown*, PIN_DIRECTION, const GUID*, const GUID*, WINBOOL, int,
                         IPin**) noexcept override {
        return E_NOTIMPL;
    }
};
