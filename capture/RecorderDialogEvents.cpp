#include "app/RecorderDialog.h"
#include "resources/resource.h"

namespace {
const char kEventCaption[] = "DirectShow Audio Capture Sample";
}

HRESULT RecorderDialog::HandleGraphEvents() {
    if (!m_pME) {
        return S_OK;
    }
    HRESULT freed = S_OK;
    long code = 0;
    LONG_PTR param1 = 0, param2 = 0;
    while (m_pME && SUCCEEDED(m_pME->GetEvent(&code, &param1, &param2, 0))) {
        if (code == EC_DEVICE_LOST && param2 == 0) {
            OnStop();
            ClearSoundCardList();
            m_cbInput.ResetContent();
            RemoveRecordingChain();
            // The event's parameters belong to the queue that goes with the graph.
            m_pME->FreeEventParams(code, param1, param2);
            ReleaseCaptureGraph();
            ResetGraphPointers();
            m_desktop.Beep(0);
            ShowMessage("The selected input device was removed!", kEventCaption,
                        MB_OK | MB_ICONEXCLAMATION);
            return freed;
        }
        if (code == EC_DEVICE_LOST) {
            m_pME->FreeEventParams(code, param1, param2);
            HandleDeviceBack();
            continue;
        }
        freed = m_pME->FreeEventParams(code, param1, param2);
        if (code == EC_ERRORABORT && m_bRecording) {
            // The writer gave up (the file cannot be opened, the disk is full): a recording
            // that goes on showing its time would record nothing. Say so and stop.
            ReportRecordingError();
            PostMessageA(hwnd(), WM_COMMAND, IDC_STOP, 0);
        }
    }
    return freed;
}

void RecorderDialog::HandleDeviceBack() {
    // The old graph, if any, is released before the new one is built, so the device is never
    // held twice.
    RemoveRecordingChain();
    ReleaseCaptureGraph();
    ResetGraphPointers();
    if (SUCCEEDED(CreateCaptureGraph())) {
        ClearSoundCardList();
        m_cbInput.ResetContent();
        // The "No audio capture hardware!" box says that the program now exits: keep its word,
        // through the ordinary close so that the settings are saved.
        if (FAILED(ListCaptureDevices()) && !HasListedDevice()) {
            PostMessageA(hwnd(), WM_CLOSE, 0, 0);
        }
    }
    m_desktop.Beep(0);
    ShowMessage("The audio input device has been reattached!", kEventCaption,
                MB_OK | MB_ICONINFORMATION);
}

bool RecorderDialog::HasListedDevice() const {
    for (int i = 0; i < m_cbSoundCard.GetCount(); ++i) {
        if (m_cbSoundCard.GetItemData(i) != 0) {
            return true;
        }
    }
    return false;
}
