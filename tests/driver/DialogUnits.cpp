#include "DialogUnits.h"

#include "DriverError.h"

#include <cstring>

namespace driver {

namespace {

INT_PTR CALLBACK IdleDialogProc(HWND, UINT, WPARAM, LPARAM) noexcept {
    return FALSE;
}

// DLGTEMPLATE, no menu, class or title, then the DS_SETFONT point size and face name.
struct alignas(4) FontTemplate {
    DLGTEMPLATE dialog{DS_SETFONT | WS_POPUP, 0, 0, 0, 0, 100, 100};
    WORD menu = 0, windowClass = 0, title = 0;
    WORD pointSize = 8;
    wchar_t face[13] = L"MS Shell Dlg";
};

} // namespace

DialogUnits DialogUnits::Of(HWND dialog) {
    RECT r{0, 0, 4, 8};
    if (MapDialogRect(dialog, &r)) {
        return DialogUnits(r.right, r.bottom);
    }
    return OfTemplateFont();
}

DialogUnits DialogUnits::OfTemplateFont() {
    static_assert(sizeof(DLGTEMPLATE) == 18, "DLGTEMPLATE is packed");
    FontTemplate bytes;
    HWND probe = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &bytes.dialog, nullptr,
                                            IdleDialogProc, 0);
    RECT r{0, 0, 4, 8};
    const bool mapped = probe && MapDialogRect(probe, &r);
    if (probe) {
        DestroyWindow(probe);
    }
    if (!mapped || r.right <= 0 || r.bottom <= 0) {
        throw DriverError("cannot measure the dialog base units");
    }
    return DialogUnits(r.right, r.bottom);
}

} // namespace driver
