#pragma once
#include "app/DesktopServices.h"
#include "capture/MediaGraphServices.h"
#include "filters/wavdest/ILevelSource.h"
#include "framework/Button.h"
#include "base/ComApartment.h"
#include "base/ComPtr.h"
#include "framework/ComboBox.h"
#include "framework/Dialog.h"
#include "framework/Edit.h"
#include "base/GdiObject.h"
#include "framework/SliderCtrl.h"
#include "framework/Static.h"
#include "widgets/button/SkinButton.h"
#include "widgets/meter/LevelMeter.h"
#include "widgets/statics/SkinLabel.h"

#include <dshow.h>
#include <string>

// The graph announces queued events with this message.
constexpr UINT WM_GRAPHNOTIFY = WM_APP + 1;
// Posted to itself when a move of the level slider ended.
constexpr UINT WM_LEVELMOVEENDED = WM_APP + 2;
// The one-second record timer.
constexpr UINT_PTR kRecordTimerId = 1113;
constexpr UINT kRecordTimerMs = 1000;
// The level slider runs from 0 to kLevelSteps; each step is kLevelPerStep of the full level.
constexpr int kLevelSteps = 200;
constexpr double kLevelPerStep = 0.005;

// The selection settings live for the whole run in these process-wide variables: loaded at
// start-up, changed by the device and input lists, written back when the window closes.
extern int nSoundCaptureIndex;
extern int nCapturePinIndex;
extern int nSearchFlag;
extern int nDeviceCount;

// The recorder's main window: owns the controls, the recording graph and the recording state.
// Its members are spread over the files of the subsystem each belongs to (capture/, devices/,
// commands/).
class RecorderDialog : public fw::Dialog {
public:
    RecorderDialog(MediaGraphServices& graphServices, DesktopServices& desktop);
    ~RecorderDialog() override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;

private:
    // The unit tests' one inside view: state that no control shows.
    friend class RecorderDialogProbe;

    // Start-up, window and close (app/RecorderDialog.cpp)
    void OnSysCommand(UINT id, LPARAM param);
    void OnPaint();
    HICON OnQueryDragIcon() const { return m_hIcon; }
    void OnClose();
    void OnDestroy();
    void ReleaseAll();
    void ClearSoundCardList();
    void PaintBackground(HDC dc);
    void ForwardToChildren(UINT message, WPARAM wParam, LPARAM lParam);

    // Graph construction (capture/RecorderDialogGraph.cpp)
    HRESULT CreateCaptureGraph();
    void ResetGraphPointers();
    void ReleaseCaptureGraph();
    HRESULT RemoveRecordingChain();
    HRESULT BuildRecordingChain();
    void PreloadRecordingFilters();

    // Recording control (capture/RecorderDialogRecording.cpp)
    void OnRecord();
    void OnPause();
    void OnStop();
    void OnTimer(UINT_PTR id);

    // Level meter (capture/RecorderDialogMeter.cpp)
    void StartLevelMeter();
    void StopLevelMeter();
    std::string RecordedInputText() const;
    // What the stopped take lost to a slow disk, in words; empty when it lost nothing.
    std::string LostSoundText() const;

    // Graph events (capture/RecorderDialogEvents.cpp)
    HRESULT HandleGraphEvents();

    // Devices, inputs and level (devices/)
    HRESULT ListCaptureDevices();
    HRESULT FillDeviceList(IEnumMoniker* monikers, fw::ComboBox& list);
    void OnSelChangeDevice();
    HRESULT FillInputList(IBaseFilter* filter, PIN_DIRECTION direction, fw::ComboBox& list);
    void OnSelChangeInput();
    HRESULT ApplyInputSelection();
    int ShowInputLevel(IAMAudioInputMixer* mixer);
    LRESULT OnReleasedCaptureLevel(NMHDR* header);
    void OnScrollLevel(UINT code, HWND control);
    void OnLevelMoveEnded();
    HRESULT ApplyRecordingLevel(double level);

    // Output file and commands (commands/)
    std::string DefaultOutputPath(const std::string& section, const std::string& key,
                                  const std::string& plainDefault, int folderId);
    void OnBrowse();
    void OnPlay();
    void OnHelp();
    void OnHomepage();
    void OnAbout();

    void MapMessages();
    void AddAboutItemToSystemMenu();
    void RelabelForNewerSystems();
    void ConfigureButtons();
    int ShowMessage(const std::string& text, const std::string& caption, UINT style);
    HRESULT SetInputMixers(const double* level);
    void HandleDeviceBack();
    void ReportRecordingError();
    bool HasListedDevice() const;

    MediaGraphServices& m_graphServices;
    DesktopServices& m_desktop;

    fw::Edit m_editOutputFile;
    SkinButton m_btnRecord, m_btnPause, m_btnStop, m_btnPlay, m_btnBrowse;
    SkinButton m_btnHomepage, m_btnAbout, m_btnHelp;
    SkinLabel m_stCaptureTo, m_stMax, m_stVolume, m_stSoundCard, m_stInputDevice;
    fw::Static m_stStatus;
    LevelMeter m_stLevelMeter;
    fw::ComboBox m_cbSoundCard, m_cbInput;
    fw::SliderCtrl m_sliderVolume;

    std::string m_strOutputFile;
    HICON m_hIcon = nullptr;
    base::Bitmap m_background;
    base::ComApartment m_com;
    OSVERSIONINFOA m_osvi{};
    int m_bOnlyOnce = 0;

    base::ComPtr<IGraphBuilder> m_pGB;
    base::ComPtr<IMediaControl> m_pMC;
    base::ComPtr<IMediaEventEx> m_pME;
    base::ComPtr<ICaptureGraphBuilder2> m_pCaptureBuilder;
    base::ComPtr<IBaseFilter> m_pCaptureFilter;
    base::ComPtr<IBaseFilter> m_pWavDest;
    base::ComPtr<IBaseFilter> m_pFileWriter;
    base::ComPtr<ILevelSource> m_pLevelSource; // m_pWavDest's levels, when it offers them

    bool m_bRecording = false;
    bool m_bPaused = false;
    int m_nElapsedSeconds = 0;
    unsigned m_levelReleases = 0;
    unsigned m_levelReleasesAtEnd = 0;
};
