#include "tests/unit/RecorderDialogTest.h"

#include "app/Settings.h"
#include "tests/unit/TestApplication.h"

#include "resources/resource.h"

#include <commctrl.h>

RecorderDialogTest::RecorderDialogTest() {
    TestApplication::Get().ClearSettings();
}

RecorderDialogTest::~RecorderDialogTest() {
    if (dialog && dialog->hwnd()) {
        DestroyWindow(dialog->hwnd());
    }
    dialog.reset();
    // A failed start-up posts a quit message; it must not reach the next test.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

FakeCaptureFilter& RecorderDialogTest::AddCard(const std::string& name,
                                               const std::vector<std::string>& inputs) {
    return services.AddDevice(name).WithInputs(inputs);
}

void RecorderDialogTest::Open() {
    dialog = std::make_unique<RecorderDialog>(services, desktop);
    ASSERT_NE(dialog->CreateModeless(nullptr), nullptr);
}

std::string RecorderDialogTest::Text(int id) const {
    char text[1024] = {};
    GetDlgItemTextA(window(), id, text, sizeof text);
    return text;
}

void RecorderDialogTest::SetText(int id, const std::string& text) const {
    SetDlgItemTextA(window(), id, text.c_str());
}

void RecorderDialogTest::Click(int id) const {
    SendMessageA(window(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(id)));
}

void RecorderDialogTest::Select(int listId, int index) const {
    SendDlgItemMessageA(window(), listId, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(window(), WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(listId)));
}

std::vector<std::string> RecorderDialogTest::Entries(int listId) const {
    std::vector<std::string> entries;
    const int count = static_cast<int>(SendDlgItemMessageA(window(), listId, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        SendDlgItemMessageA(window(), listId, CB_GETLBTEXT, static_cast<WPARAM>(i),
                            reinterpret_cast<LPARAM>(text));
        entries.emplace_back(text);
    }
    return entries;
}

int RecorderDialogTest::Selection(int listId) const {
    return static_cast<int>(SendDlgItemMessageA(window(), listId, CB_GETCURSEL, 0, 0));
}

int RecorderDialogTest::SliderPosition() const {
    return static_cast<int>(SendDlgItemMessageA(window(), IDC_LEVEL, TBM_GETPOS, 0, 0));
}

void RecorderDialogTest::Tick(int count) const {
    for (int i = 0; i < count; ++i) {
        SendMessageA(window(), WM_TIMER, kRecordTimerId, 0);
    }
}

bool RecorderDialogTest::RecordTimerSet() const {
    // KillTimer reports whether the timer existed; a set one is put back with the same period.
    if (!KillTimer(window(), kRecordTimerId)) {
        return false;
    }
    SetTimer(window(), kRecordTimerId, 1000, nullptr);
    return true;
}

void RecorderDialogTest::GraphNotify() const {
    SendMessageA(window(), WM_GRAPHNOTIFY, 0, 0);
}

void RecorderDialogTest::Pump() const {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_TIMER && msg.message != WM_QUIT) {
            DispatchMessageA(&msg);
        }
    }
}

void RecorderDialogTest::Close() {
    SendMessageA(window(), WM_CLOSE, 0, 0);
    Pump();
    DestroyWindow(window());
}

std::string RecorderDialogTest::Buttons() const {
    auto state = [&](const char* name, int id) {
        return std::string(name) + "=" + (IsWindowEnabled(Item(id)) ? "1" : "0");
    };
    return state("Record", IDC_RECORD) + " " + state("Pause", IDC_PAUSE) + " " +
           state("Stop", IDC_STOP) + " " + state("Play", IDC_PLAY);
}

std::string RecorderDialogTest::Setting(const std::string& key) const {
    return TestApplication::Get().GetProfileString(settings::kSection, key, "<none>");
}

int RecorderDialogTest::SettingInt(const std::string& key) const {
    return TestApplication::Get().GetProfileInt(settings::kSection, key, -1000);
}

void RecorderDialogTest::Seed(const std::string& key, int value) const {
    TestApplication::Get().WriteProfileInt(settings::kSection, key, value);
}

void RecorderDialogTest::Seed(const std::string& key, const std::string& value) const {
    TestApplication::Get().WriteProfileString(settings::kSection, key, value);
}
