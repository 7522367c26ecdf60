#include "app/RecorderDialog.h"
#include "base/FileExists.h"
#include "capture/StatusText.h"
#include "resources/resource.h"

namespace {
const char kStartRecordingError[] =
    "1. Your audio hardware may be used by other program. Please exit other program.\n"
    "2. Or your audio hardware has unknown problem. The program can not start recording.\n"
    "3. The output file is being used by other program.";
}

void RecorderDialog::OnRecord() {
    if (m_bPaused) {
        if (m_pMC) {
            m_pMC->Run();
            SetTimer(hwnd(), kRecordTimerId, kRecordTimerMs, nullptr);
            m_stLevelMeter.Resume(GetTickCount64());
        }
        m_bPaused = false;
        m_btnRecord.Enable(false);
        return;
    }
    UpdateData(true);
    if (m_strOutputFile.size() >= MAX_PATH) {
        // The graph takes at most 259 characters; a longer path would be cut to another file.
        ShowMessage("The output path is too long. Please choose a path of at most 259 characters.",
                    "Error", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (FileExists(m_strOutputFile)) {
        std::string question = m_strOutputFile + " exists. Do you want to replace it?";
        if (ShowMessage(question, "Warning", MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
            return;
        }
        DeleteFileA(m_strOutputFile.c_str());
    }
    if (FAILED(BuildRecordingChain())) {
        return;
    }
    bool runFailed = false;
    if (m_pMC) {
        if (FAILED(m_pMC->Run())) {
            ReportRecordingError();
            runFailed = true;
        } else {
            StartLevelMeter();
        }
        m_stStatus.SetText(FormatElapsed(kStatusRecording, 0));
        m_nElapsedSeconds = 0;
        SetTimer(hwnd(), kRecordTimerId, kRecordTimerMs, nullptr);
    }
    m_bRecording = true;
    m_btnRecord.Enable(false);
    m_btnPlay.Enable(false);
    m_btnPause.Enable(true);
    if (runFailed) {
        PostMessageA(hwnd(), WM_COMMAND, IDC_STOP, 0);
    }
}

void RecorderDialog::ReportRecordingError() {
    ShowMessage(kStartRecordingError, "Start Recording Error", MB_OK);
}

void RecorderDialog::OnPause() {
    if (!m_bRecording) {
        return;
    }
    if (m_pMC) {
        m_pMC->Pause();
        m_bPaused = true;
        KillTimer(hwnd(), kRecordTimerId);
        m_stLevelMeter.Pause();
        m_stStatus.SetText(FormatElapsed(kStatusPaused, m_nElapsedSeconds));
    }
    m_btnRecord.Enable(true);
}

void RecorderDialog::OnStop() {
    if (!m_bRecording) {
        return;
    }
    // The timer goes whether or not a graph is left: a device event that failed to build a new
    // graph during a recording would otherwise keep the recording text ticking.
    KillTimer(hwnd(), kRecordTimerId);
    m_nElapsedSeconds = 0;
    if (m_pMC) {
        m_pMC->StopWhenReady();
    }
    const std::string lost = LostSoundText();
    RemoveRecordingChain();
    m_stLevelMeter.ShowNotice(lost);
    m_bPaused = false;
    m_bRecording = false;
    m_btnRecord.Enable(true);
    m_btnPause.Enable(true);
    m_btnStop.Enable(true);
    m_btnPlay.Enable(true);
    m_stStatus.SetText(kStatusReady);
}

void RecorderDialog::OnTimer(UINT_PTR id) {
    if (id == kRecordTimerId) {
        ++m_nElapsedSeconds;
        m_stStatus.SetText(FormatElapsed(kStatusRecording, m_nElapsedSeconds));
    }
}
