#pragma once
#include "tests/unit/CallLog.h"
#include "tests/unit/FakeDesktop.h"
#include "tests/unit/FakeServices.h"

#include "app/RecorderDialog.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

// What the tests read of the dialog beyond its windows, settings and fakes: the recording
// state and the graph's filters, and the chain and level steps run on their own.
class RecorderDialogProbe {
public:
    explicit RecorderDialogProbe(RecorderDialog& dialog) : m_dialog(dialog) {}
    bool recording() const { return m_dialog.m_bRecording; }
    bool paused() const { return m_dialog.m_bPaused; }
    const std::string& outputFile() const { return m_dialog.m_strOutputFile; }
    IGraphBuilder* graph() const { return m_dialog.m_pGB.get(); }
    IBaseFilter* captureFilter() const { return m_dialog.m_pCaptureFilter.get(); }
    IBaseFilter* wavDest() const { return m_dialog.m_pWavDest.get(); }
    IBaseFilter* fileWriter() const { return m_dialog.m_pFileWriter.get(); }
    HRESULT BuildRecordingChain() const { return m_dialog.BuildRecordingChain(); }
    HRESULT ApplyRecordingLevel(double level) const { return m_dialog.ApplyRecordingLevel(level); }
    HRESULT ApplyInputSelection() const { return m_dialog.ApplyInputSelection(); }
    HRESULT FillDeviceList(IEnumMoniker* monikers, fw::ComboBox& list) const {
        return m_dialog.FillDeviceList(monikers, list);
    }
    // What a device event that failed to build a new graph leaves behind.
    void DropGraph() const {
        m_dialog.ReleaseCaptureGraph();
        m_dialog.ResetGraphPointers();
    }

private:
    RecorderDialog& m_dialog;
};

// A main dialog on fake graph services and a fake desktop, driven by the messages a user's
// clicks send. Every test starts with empty settings.
class RecorderDialogTest : public testing::Test {
protected:
    RecorderDialogTest();
    ~RecorderDialogTest() override;

    // A device whose filter has an output pin and one mixer input per name.
    FakeCaptureFilter& AddCard(const std::string& name, const std::vector<std::string>& inputs);
    // Creates the window; its start-up opens the stored device.
    void Open();
    HWND window() const { return dialog->hwnd(); }
    HWND Item(int id) const { return GetDlgItem(window(), id); }
    std::string Text(int id) const;
    void SetText(int id, const std::string& text) const;
    void Click(int id) const;
    void Select(int listId, int index) const;
    std::vector<std::string> Entries(int listId) const;
    int Selection(int listId) const;
    int SliderPosition() const;
    void Tick(int count = 1) const;
    // Whether the record timer is set on the window; the timer is left as it was.
    bool RecordTimerSet() const;
    void GraphNotify() const;
    // Runs the posted messages (timer messages excepted: tests deliver ticks themselves).
    void Pump() const;
    // The close box: WM_CLOSE, then the window goes.
    void Close();
    // "Record=1 Pause=1 Stop=1 Play=1": the transport buttons' enabled states.
    std::string Buttons() const;
    std::string Setting(const std::string& key) const;
    int SettingInt(const std::string& key) const;
    void Seed(const std::string& key, int value) const;
    void Seed(const std::string& key, const std::string& value) const;

    CallLog log;
    FakeServices services{log};
    FakeDesktop desktop{log};
    std::unique_ptr<RecorderDialog> dialog;
    RecorderDialogProbe Probe() const { return RecorderDialogProbe(*dialog); }
};
