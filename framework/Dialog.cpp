#include "Dialog.h"

#include "Application.h"
#include "DataExchange.h"

namespace fw {

Dialog::Dialog(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}

HWND Dialog::CreateModeless(HWND parent) {
    m_ended = false;
    m_result = -1;
    return CreateDialogParamA(Application::ResourceInstance(), MAKEINTRESOURCEA(m_templateId),
                              parent, &StaticDialogProc, reinterpret_cast<LPARAM>(this));
}

HWND Dialog::DefaultOwner() const {
    // Without a parent of its own a dialog is owned by the application's main window.
    HWND main = Application::MainWindowHandle();
    return main && main != hwnd() && IsWindow(main) ? main : nullptr;
}

INT_PTR Dialog::DoModal() {
    HWND owner = m_parent ? m_parent : DefaultOwner();
    HWND dialog = CreateModeless(owner);
    if (!dialog) {
        return -1;
    }
    const bool disableParent = owner && IsWindowEnabled(owner);
    if (disableParent) {
        EnableWindow(owner, FALSE);
    }
    if (!m_ended && !IsWindowVisible(dialog)) {
        ShowWindow(dialog, SW_SHOW);
    }
    RunModalLoop();
    if (disableParent) {
        EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
    if (IsWindow(dialog)) {
        DestroyWindow(dialog);
    }
    return m_result;
}

void Dialog::RunModalLoop() {
    MSG msg;
    while (!m_ended) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Leave the quit message for the loops outside this one.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1) {
            break;
        }
        if (PreTranslateChain(msg)) {
            continue;
        }
        if (!hwnd() || !IsDialogMessageA(hwnd(), &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void Dialog::EndDialog(INT_PTR result) {
    m_result = result;
    m_ended = true;
    // Wake the loop in case no other message is on its way.
    if (hwnd()) {
        PostMessageA(hwnd(), WM_NULL, 0, 0);
    }
}

bool Dialog::UpdateData(bool save) {
    DataExchange dx(*this, save);
    DoDataExchange(dx);
    return true;
}

BOOL Dialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void Dialog::OnOK() {
    if (UpdateData(true)) {
        EndDialog(IDOK);
    }
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void Dialog::DoDataExchange(DataExchange&) {}

LRESULT Dialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (Route(message, wParam, lParam, result)) {
        return result;
    }
    if (message == WM_COMMAND && (HIWORD(wParam) == BN_CLICKED || lParam == 0)) {
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return 0;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return 0;
        }
    }
    return Default();
}

INT_PTR CALLBACK Dialog::StaticDialogProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam) noexcept {
    if (message != WM_INITDIALOG) {
        // Everything after WM_INITDIALOG reaches the object through its window procedure;
        // here the dialog manager only gets its default handling.
        return FALSE;
    }
    auto* dialog = reinterpret_cast<Dialog*>(lParam);
    dialog->Bind(hwnd);
    return dialog->OnInitDialog();
}

} // namespace fw
