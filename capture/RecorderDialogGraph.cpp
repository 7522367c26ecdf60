#include "app/RecorderDialog.h"
#include "base/AnsiText.h"
#include "base/DebugPrint.h"
#include "base/FindPin.h"
#include "filters/wavdest/WavDestClassId.h"
#include "resources/resource.h"

HRESULT RecorderDialog::CreateCaptureGraph() {
    HRESULT hr =
        m_graphServices.CreateInstance(CLSID_FilterGraph, IID_IGraphBuilder, m_pGB.put_void());
    if (FAILED(hr) || !m_pGB) {
        return E_NOINTERFACE;
    }
    hr = m_graphServices.CreateInstance(CLSID_CaptureGraphBuilder2, IID_ICaptureGraphBuilder2,
                                        m_pCaptureBuilder.put_void());
    if (FAILED(hr) || !m_pCaptureBuilder) {
        return E_NOINTERFACE;
    }
    hr = m_pCaptureBuilder->SetFiltergraph(m_pGB.get());
    if (FAILED(hr)) {
        return hr;
    }
    hr = m_pGB->QueryInterface(IID_IMediaControl, m_pMC.put_void());
    if (FAILED(hr)) {
        DebugPrint("FAILED(0x%x) hr = m_pGB->QueryInterface(IID_IMediaControl, (void **)&m_pMC)\n",
                   hr);
        return hr;
    }
    hr = m_pGB->QueryInterface(IID_IMediaEventEx, m_pME.put_void());
    if (FAILED(hr)) {
        DebugPrint("FAILED(0x%x) hr = m_pGB->QueryInterface(IID_IMediaEventEx, (void **)&m_pME)\n",
                   hr);
        return hr;
    }
    return m_pME->SetNotifyWindow(reinterpret_cast<OAHWND>(hwnd()), WM_GRAPHNOTIFY, 0);
}

// The first Record would otherwise load the libraries of "WAV Dest" and the file writer while
// the user waits for the recording to begin (40 to 70 ms measured): they are loaded now, and
// stay loaded while the program runs. A missing filter is reported by Record, not here.
void RecorderDialog::PreloadRecordingFilters() {
    for (const CLSID* id : {&CLSID_WavDest, &CLSID_FileWriter}) {
        base::ComPtr<IBaseFilter> filter;
        m_graphServices.CreateInstance(*id, IID_IBaseFilter, filter.put_void());
    }
}

void RecorderDialog::ResetGraphPointers() {
    // Every caller has released the graph before; resetting releases whatever is left, so a
    // graph dropped here cannot leak its device.
    m_pGB.reset();
    m_pMC.reset();
    m_pME.reset();
    m_pCaptureBuilder.reset();
    m_pCaptureFilter.reset();
    StopLevelMeter();
    m_pWavDest.reset();
    m_pFileWriter.reset();
    m_bPaused = false;
    m_editOutputFile.SetText(m_strOutputFile);
}

void RecorderDialog::ReleaseCaptureGraph() {
    if (m_pME) {
        m_pME->SetNotifyWindow(0, 0, 0);
    }
    m_pMC.reset();
    m_pME.reset();
    m_pFileWriter.reset();
    StopLevelMeter();
    m_pWavDest.reset();
    m_pCaptureFilter.reset();
    m_pGB.reset();
    m_pCaptureBuilder.reset();
}

HRESULT RecorderDialog::RemoveRecordingChain() {
    HRESULT hr = S_OK;
    if (m_pWavDest) {
        StopLevelMeter();
        hr = m_pGB ? m_pGB->RemoveFilter(m_pWavDest.get()) : S_OK;
        m_pWavDest.reset();
    }
    if (m_pFileWriter) {
        hr = m_pGB ? m_pGB->RemoveFilter(m_pFileWriter.get()) : S_OK;
        m_pFileWriter.reset();
    }
    return hr;
}

HRESULT RecorderDialog::BuildRecordingChain() {
    if (!m_pGB) {
        return E_POINTER;
    }
    // A failed build removes what it made at once (below), so a second Record starts from the
    // plain capture graph; this also drops leftovers of any other earlier build.
    RemoveRecordingChain();
    HRESULT hr =
        m_graphServices.CreateInstance(CLSID_WavDest, IID_IBaseFilter, m_pWavDest.put_void());
    if (FAILED(hr) || !m_pWavDest) {
        m_pWavDest.reset();
        ShowMessage(
            "The program does not detect its file writer. Please install the program again!",
            "Error", 0);
        return E_NOINTERFACE;
    }
    base::ComPtr<IFileSinkFilter2> sink;
    hr = m_graphServices.CreateInstance(CLSID_FileWriter, IID_IFileSinkFilter2, sink.put_void());
    if (FAILED(hr) || !sink) {
        RemoveRecordingChain();
        return E_NOINTERFACE;
    }
    if (FAILED(sink->QueryInterface(IID_IBaseFilter, m_pFileWriter.put_void()))) {
        RemoveRecordingChain();
        return E_NOINTERFACE;
    }
    hr = m_pGB->AddFilter(m_pWavDest.get(), L"WAV Dest");
    if (SUCCEEDED(hr)) {
        hr = m_pGB->AddFilter(m_pFileWriter.get(), L"File Writer");
    }
    if (FAILED(hr)) {
        RemoveRecordingChain();
        return hr;
    }
    sink->SetMode(AM_FILE_OVERWRITE);

    char path[MAX_PATH] = {};
    GetWindowTextA(m_editOutputFile.hwnd(), path, MAX_PATH);
    if (path[0] == '\0') {
        lstrcpynA(path, "c:\\record.wav", MAX_PATH);
    }
    hr = sink->SetFileName(base::Widen(path).c_str(), nullptr);
    if (FAILED(hr)) {
        RemoveRecordingChain();
        return hr;
    }
    base::ComPtr<IPin> pin;
    hr = FindPin(m_pCaptureFilter.get(), PINDIR_OUTPUT, 0, pin.put());
    if (SUCCEEDED(hr) && pin) {
        hr = m_pGB->Render(pin.get());
    }
    if (FAILED(hr)) {
        RemoveRecordingChain();
    }
    return hr;
}
