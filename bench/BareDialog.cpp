// The start-up floor: a dialog of the main window's size and caption from an in-memory
// template, with nothing behind it. It ends on its close box (IDCANCEL).
#include "InMemoryDialogTemplate.h"

#include <windows.h>

namespace {

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) noexcept {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    InMemoryDialogTemplate dialog(L"Corvale Recorder", 244, 173);
    DialogBoxIndirectParamW(instance, dialog.get(), nullptr, DialogProc, 0);
    return 0;
}
