#include "app/RecorderDialog.h"

#include "app/Settings.h"
#include "base/StartupMark.h"

#include "commands/AboutDialog.h"
#include "framework/Application.h"
#include "framework/DataExchange.h"
#include "framework/MemoryDC.h"
#include "framework/Menu.h"
#include "framework/PaintDC.h"
#include "framework/SelectGuard.h"
#include "resources/resource.h"

int nSoundCaptureIndex = 0;
int nCapturePinIndex = 0;
int nSearchFlag = 0;
int nDeviceCount = 0;

RecorderDialog::RecorderDialog(MediaGraphServices& graphServices, DesktopServices& desktop)
    : fw::Dialog(IDD_RECORDER, nullptr), m_graphServices(graphServices), m_desktop(desktop) {
    m_hIcon = LoadIconA(fw::Application::ResourceInstance(), MAKEINTRESOURCEA(IDI_APP));
    m_nElapsedSeconds = 0;
    m_bRecording = false;
    MapMessages();
}

RecorderDialog::~RecorderDialog() = default;

void RecorderDialog::MapMessages() {
    auto& map = messages();
    map.OnSysCommand([this](UINT id, LPARAM position) { OnSysCommand(id, position); });
    map.OnPaint([this] { OnPaint(); });
    map.OnQueryDragIcon([this] { return OnQueryDragIcon(); });
    map.OnClose([this] { OnClose(); });
    map.OnDestroy([this] { OnDestroy(); });
    map.OnTimer([this](UINT_PTR id) {
        OnTimer(id);
        Default();
    });
    // The tiled image goes under the controls; the default erase then has nothing left to
    // paint, or paints the plain face when there is no image.
    map.OnEraseBackground([this](HDC dc) {
        PaintBackground(dc);
        return static_cast<BOOL>(Default());
    });
    // lParam is the instance value given to SetNotifyWindow: 0 for our graph.
    map.OnAppMessage(WM_GRAPHNOTIFY, [this](WPARAM, LPARAM instance) {
        if (instance == 0) {
            HandleGraphEvents();
        }
    });
    map.OnCommand(IDC_SOUND_CARD, CBN_SELCHANGE, [this] { OnSelChangeDevice(); });
    map.OnCommand(IDC_INPUT, CBN_SELCHANGE, [this] { OnSelChangeInput(); });
    map.OnCommand(IDC_PLAY, BN_CLICKED, [this] { OnPlay(); });
    map.OnCommand(IDC_PAUSE, BN_CLICKED, [this] { OnPause(); });
    map.OnCommand(IDC_STOP, BN_CLICKED, [this] { OnStop(); });
    map.OnCommand(IDC_RECORD, BN_CLICKED, [this] { OnRecord(); });
    map.OnNotify(IDC_LEVEL, NM_RELEASEDCAPTURE,
                 [this](NMHDR* h) { return OnReleasedCaptureLevel(h); });
    map.OnVScroll([this](UINT code, UINT, HWND bar) {
        OnScrollLevel(code, bar);
        Default();
    });
    map.OnHScroll([this](UINT code, UINT, HWND bar) {
        OnScrollLevel(code, bar);
        Default();
    });
    map.OnMessage(WM_LEVELMOVEENDED, [this](WPARAM, LPARAM) {
        OnLevelMoveEnded();
        return LRESULT{0};
    });
    // F1 asks for help through WM_HELP; the application's Help command is ID_HELP.
    map.OnMessage(WM_HELP, [this](WPARAM, LPARAM) {
        OnHelp();
        return LRESULT{TRUE};
    });
    map.OnCommand(ID_HELP, 0, [this] { OnHelp(); });
    map.OnSysColorChange([this] {
        ForwardToChildren(WM_SYSCOLORCHANGE, 0, 0);
        Default();
    });
    map.OnCommand(IDC_BROWSE, BN_CLICKED, [this] { OnBrowse(); });
    map.OnCommand(IDC_HOMEPAGE, BN_CLICKED, [this] { OnHomepage(); });
    map.OnCommand(IDC_ABOUT, BN_CLICKED, [this] { OnAbout(); });
    map.OnCommand(IDC_HELP_BUTTON, BN_CLICKED, [this] { OnHelp(); });
}

void RecorderDialog::DoDataExchange(fw::DataExchange& dx) {
    dx.Control(IDC_OUTPUT_FILE, m_editOutputFile);
    dx.Text(IDC_OUTPUT_FILE, m_strOutputFile);
    dx.Control(IDC_RECORD, m_btnRecord);
    dx.Control(IDC_PAUSE, m_btnPause);
    dx.Control(IDC_STOP, m_btnStop);
    dx.Control(IDC_PLAY, m_btnPlay);
    dx.Control(IDC_INPUT_LABEL, m_stInputDevice);
    dx.Control(IDC_STATUS, m_stStatus);
    dx.Control(IDC_CAPTURE_TO_LABEL, m_stCaptureTo);
    dx.Control(IDC_SOUND_CARD, m_cbSoundCard);
    dx.Control(IDC_INPUT, m_cbInput);
    dx.Control(IDC_LEVEL, m_sliderVolume);
    dx.Control(IDC_BROWSE, m_btnBrowse);
    dx.Control(IDC_SOUND_CARD_LABEL, m_stSoundCard);
    dx.Control(IDC_HOMEPAGE, m_btnHomepage);
    dx.Control(IDC_ABOUT, m_btnAbout);
    dx.Control(IDC_HELP_BUTTON, m_btnHelp);
    dx.Control(IDC_VOLUME_LABEL, m_stVolume);
    dx.Control(IDC_MAX_LABEL, m_stMax);
    dx.Control(IDC_LEVEL_METER, m_stLevelMeter);
}

BOOL RecorderDialog::OnInitDialog() {
    m_background.reset(
        LoadBitmapA(fw::Application::ResourceInstance(), MAKEINTRESOURCEA(IDB_BACKGROUND)));
    fw::Dialog::OnInitDialog();
    StartupMark("dialog and controls created");
    AddAboutItemToSystemMenu();
    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    m_osvi.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (!m_desktop.QueryVersion(m_osvi)) {
        // The record is undefined after a failed query; 0 takes the older systems' branches.
        m_osvi.dwMajorVersion = 0;
        ShowMessage("Can get Windows Version", "Error", MB_OK);
    }
    StartupMark("icons, system menu, version");
    m_com.Enter();
    nDeviceCount = 0;
    auto* app = fw::Application::Current();
    nSoundCaptureIndex = app->GetProfileInt(settings::kSection, settings::kSoundCaptureIndex,
                                            settings::kSoundCaptureIndexDefault);
    nCapturePinIndex = app->GetProfileInt(settings::kSection, settings::kCapturePinIndex,
                                          settings::kCapturePinIndexDefault);
    nSearchFlag =
        app->GetProfileInt(settings::kSection, settings::kSearchFlag, settings::kSearchFlagDefault);

    m_sliderVolume.SetRange(0, kLevelSteps, false);
    m_sliderVolume.SetPos(kLevelSteps, true);

    m_strOutputFile = DefaultOutputPath(settings::kSection, settings::kOutputFile,
                                        settings::kOutputFileDefault, settings::kOutputFolder);
    m_editOutputFile.SetText(m_strOutputFile);
    m_bOnlyOnce = 1;
    StartupMark("settings read");
    ResetGraphPointers();
    if (FAILED(CreateCaptureGraph()) || FAILED(ListCaptureDevices())) {
        ReleaseAll();
        PostQuitMessage(0);
    } else {
        PreloadRecordingFilters();
        StartupMark("recording filters loaded");
    }
    m_bOnlyOnce =
        app->GetProfileInt(settings::kSection, settings::kOnlyOnce, settings::kOnlyOnceDefault);
    if (nDeviceCount <= 1) {
        m_stSoundCard.Show(SW_HIDE);
    }
    ConfigureButtons();
    RelabelForNewerSystems();
    StartupMark("buttons skinned");
    return TRUE;
}

void RecorderDialog::AddAboutItemToSystemMenu() {
    fw::Menu systemMenu = fw::Menu::Borrow(GetSystemMenu(hwnd(), FALSE));
    if (!systemMenu) {
        return;
    }
    char text[256] = {};
    LoadStringA(fw::Application::ResourceInstance(), IDS_ABOUTBOX, text, sizeof text);
    if (text[0] != '\0') {
        systemMenu.AppendSeparator();
        systemMenu.AppendItem(MF_STRING, IDM_ABOUTBOX, text);
    }
}

void RecorderDialog::RelabelForNewerSystems() {
    if (m_osvi.dwMajorVersion >= 6) {
        m_stSoundCard.SetText("Select a recording device");
        m_stInputDevice.SetText("Device properties");
    }
}

void RecorderDialog::OnSysCommand(UINT id, LPARAM) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        OnAbout();
        return;
    }
    Default();
}

void RecorderDialog::OnPaint() {
    if (!IsIconic(hwnd())) {
        Default();
        StartupMark("dialog painted");
        return;
    }
    fw::PaintDC dc(hwnd());
    Send(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.get()));
    const int iconWidth = GetSystemMetrics(SM_CXICON);
    const int iconHeight = GetSystemMetrics(SM_CYICON);
    RECT client = clientRect();
    const int x = (client.right - client.left - iconWidth + 1) / 2;
    const int y = (client.bottom - client.top - iconHeight + 1) / 2;
    DrawIcon(dc.get(), x, y, m_hIcon);
}

void RecorderDialog::PaintBackground(HDC dc) {
    BITMAP info{};
    if (!m_background || !GetObjectA(m_background.get(), sizeof info, &info) || info.bmWidth <= 0 ||
        info.bmHeight <= 0) {
        // Without a usable image the dialog's own erase paints the plain face colour.
        return;
    }
    RECT client = clientRect();
    const int w = client.right - client.left, h = client.bottom - client.top;
    fw::MemoryDC memory(nullptr);
    fw::SelectGuard select(memory.get(), m_background.get());
    for (int y = 0; y < h; y += info.bmHeight) {
        for (int x = 0; x < w; x += info.bmWidth) {
            BitBlt(dc, x, y, info.bmWidth, info.bmHeight, memory.get(), 0, 0, SRCCOPY);
        }
    }
    SelectClipRgn(dc, nullptr);
    ExcludeClipRect(dc, 0, 0, w, h);
}

void RecorderDialog::OnClose() {
    if (m_pMC) {
        m_pMC->Stop();
    }
    ReleaseAll();
    m_com.Leave();
    auto* app = fw::Application::Current();
    app->WriteProfileInt(settings::kSection, settings::kSoundCaptureIndex, nSoundCaptureIndex);
    app->WriteProfileInt(settings::kSection, settings::kCapturePinIndex, nCapturePinIndex);
    app->WriteProfileInt(settings::kSection, settings::kSearchFlag, nSearchFlag);
    UpdateData(true);
    app->WriteProfileString(settings::kSection, settings::kOutputFile, m_strOutputFile);
    Default();
}

void RecorderDialog::OnDestroy() {
    // Enter and Escape end the dialog without OnClose: a recording still running must be
    // stopped, so that its file gets its final header, before the graph goes.
    if (m_pMC && m_bRecording) {
        m_pMC->Stop();
    }
    ReleaseAll();
    Default();
    m_background.reset();
}

// Controls hear of a colour-scheme change only from their parent.
void RecorderDialog::ForwardToChildren(UINT message, WPARAM wParam, LPARAM lParam) {
    for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageA(child, message, wParam, lParam);
    }
}

void RecorderDialog::ReleaseAll() {
    ClearSoundCardList();
    m_cbInput.ResetContent();
    RemoveRecordingChain();
    ReleaseCaptureGraph();
}

void RecorderDialog::ClearSoundCardList() {
    const int count = m_cbSoundCard.GetCount();
    for (int i = 0; i < count; ++i) {
        if (auto* moniker = reinterpret_cast<IMoniker*>(m_cbSoundCard.GetItemData(i))) {
            moniker->Release();
        }
    }
    m_cbSoundCard.ResetContent();
}

int RecorderDialog::ShowMessage(const std::string& text, const std::string& caption, UINT style) {
    return m_desktop.ShowMessage(hwnd(), text, caption, style);
}
