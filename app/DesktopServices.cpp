#include "app/DesktopServices.h"

#include "commands/InputHelpDialog.h"
#include "base/UniqueHandle.h"
#include "base/WindowsVersion.h"

#include <shellapi.h>
#include <shlobj.h>

int DesktopServices::ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                                 UINT style) {
    return MessageBoxA(owner, text.c_str(), caption.c_str(), style);
}

void DesktopServices::Beep(UINT type) {
    MessageBeep(type);
}

bool DesktopServices::QueryVersion(OSVERSIONINFOA& version) {
    return base::QueryWindowsVersion(version);
}

UINT DesktopServices::RunProgram(const std::string& commandLine) {
    return WinExec(commandLine.c_str(), SW_SHOW);
}

void DesktopServices::OpenDocument(const std::string& target) {
    ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool DesktopServices::ChooseSaveFile(OPENFILENAMEA& request) {
    // Loaded when Browse needs it: at start-up comdlg32 and the printing DLLs it brings along
    // cost time and memory for a dialog most runs never open.
    using GetSaveFileName = BOOL(WINAPI*)(LPOPENFILENAMEA);
    base::OwnedModule dialogs(LoadLibraryA("comdlg32.dll"));
    if (!dialogs) {
        return false;
    }
    auto function = reinterpret_cast<GetSaveFileName>(
        reinterpret_cast<void*>(GetProcAddress(dialogs.get(), "GetSaveFileNameA")));
    return function && function(&request) == 1;
}

INT_PTR DesktopServices::RunInputHelp(int& dontShowAgain) {
    InputHelpDialog dialog;
    INT_PTR result = dialog.DoModal();
    dontShowAgain = dialog.dontShowAgain();
    return result;
}

DesktopServices::FolderLookup DesktopServices::ShellFolder(HWND owner, int folderId,
                                                           std::string& path) {
    // Looked up at run time: older systems' shell libraries lack the function.
    using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
    base::OwnedModule shell(LoadLibraryA("shell32.dll"));
    if (!shell) {
        return FolderLookup::NoFunction;
    }
    auto function = reinterpret_cast<GetFolderPath>(
        reinterpret_cast<void*>(GetProcAddress(shell.get(), "SHGetFolderPathA")));
    if (!function) {
        return FolderLookup::NoFunction;
    }
    char folder[MAX_PATH] = {};
    if (function(owner, folderId, nullptr, 0, folder) != S_OK) {
        return FolderLookup::NoFolder;
    }
    path = folder;
    return FolderLookup::Found;
}
