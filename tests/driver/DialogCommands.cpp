// answer, msgbox, save-dialog-fill: the system's own dialogs that the program opens.
#include "CommandTable.h"
#include "DriverError.h"
#include "Paths.h"
#include "WindowLookup.h"

#include <cstdio>

namespace driver {

namespace {

constexpr const char* kDialogClass = "#32770";
// The message text of a message box is a static with this id.
constexpr int kMessageTextId = 0xFFFF;
// The file name field of the common file dialog: the combo box cmb13, or the edit edt1; the
// file type list cmb1 tells the file dialog from other dialogs that reuse those ids.
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;
constexpr int kFileTypeCombo = 0x470;

std::string WithoutAmpersands(std::string text) {
    std::erase(text, '&');
    return text;
}

HWND ShowMessageBox(const Args& args, size_t timeoutIndex) {
    HWND box = WaitTopWindow(args.at(0), args.intOr(timeoutIndex, kDefaultTimeoutMs), kDialogClass);
    HWND text = GetDlgItem(box, kMessageTextId);
    HWND owner = GetWindow(box, GW_OWNER);
    std::printf("text %s\n", Quote(text ? TextOf(text) : std::string()).c_str());
    std::printf("owner %s\n", owner ? Quote(CaptionOf(owner)).c_str() : "\"(none)\"");
    return box;
}

HWND ButtonNamed(HWND box, const std::string& name) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == "Button" && WithoutAmpersands(TextOf(child)) == name) {
            return child;
        }
    }
    throw DriverError("message box has no button " + name);
}

void MsgBox(const Args& args) {
    ShowMessageBox(args, 1);
}

void Answer(const Args& args) {
    HWND box = ShowMessageBox(args, 2);
    HWND button = ButtonNamed(box, args.at(1));
    PostMessageA(button, BM_CLICK, 0, 0);
    if (!WaitFor(kDefaultTimeoutMs, [&] { return !IsWindow(box); })) {
        throw DriverError("message box still open after pressing " + args.at(1));
    }
}

struct FileNameSearch {
    HWND found = nullptr;
};

BOOL CALLBACK FindFileName(HWND child, LPARAM param) noexcept {
    int id = GetDlgCtrlID(child);
    if ((id == kFileNameCombo || id == kFileNameEdit) && IsWindowVisible(child)) {
        reinterpret_cast<FileNameSearch*>(param)->found = child;
        return FALSE;
    }
    return TRUE;
}

struct FileDialogSearch {
    HWND dialog = nullptr;
    HWND field = nullptr;
};

BOOL CALLBACK FindFileDialog(HWND hwnd, LPARAM param) noexcept {
    char name[32] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (!IsWindowVisible(hwnd) || std::string_view(name) != kDialogClass ||
        !GetDlgItem(hwnd, kFileTypeCombo)) {
        return TRUE;
    }
    FileNameSearch field;
    EnumChildWindows(hwnd, FindFileName, reinterpret_cast<LPARAM>(&field));
    if (!field.found) {
        return TRUE;
    }
    auto* search = reinterpret_cast<FileDialogSearch*>(param);
    search->dialog = hwnd;
    search->field = field.found;
    return FALSE;
}

void SaveDialogFill(const Args& args) {
    long timeout = args.intOr(1, kDefaultTimeoutMs);
    FileDialogSearch search;
    WaitFor(timeout, [&] {
        EnumWindows(FindFileDialog, reinterpret_cast<LPARAM>(&search));
        return search.dialog != nullptr;
    });
    if (!search.dialog) {
        throw DriverError("no file dialog after " + std::to_string(timeout) + " ms");
    }
    std::printf("dialog %s\n", Quote(CaptionOf(search.dialog)).c_str());
    const std::string path = WindowsPath(args.at(0));
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(search.field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()),
                        SMTO_ABORTIFHUNG, kAnswerMs, &ignored);
    PostMessageA(search.dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(search.dialog, IDOK)));
    SyncWith(search.dialog);
}

} // namespace

void AddDialogCommands(CommandTable& table) {
    table.Add({"answer", "CAPTION BUTTON [TIMEOUT]", 2, Answer});
    table.Add({"msgbox", "CAPTION [TIMEOUT]", 1, MsgBox});
    table.Add({"save-dialog-fill", "PATH [TIMEOUT]", 1, SaveDialogFill});
}

} // namespace driver
