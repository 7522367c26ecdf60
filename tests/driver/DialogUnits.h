#pragma once
#include <windows.h>

namespace driver {

// Converts pixels of a dialog's client area back into the dialog units of its template.
class DialogUnits {
public:
    // MapDialogRect fails in Wine for a dialog of another process, and WM_GETFONT does not
    // bring its font across either; so unless the dialog is ours, the base units are measured
    // on a hidden dialog of our own with the templates' font, 8 point "MS Shell Dlg".
    static DialogUnits Of(HWND dialog);

    int ToX(int px) const { return MulDiv(px, 4, m_baseX); }
    int ToY(int px) const { return MulDiv(px, 8, m_baseY); }

private:
    DialogUnits(int baseX, int baseY) : m_baseX(baseX), m_baseY(baseY) {}
    static DialogUnits OfTemplateFont();
    int m_baseX;
    int m_baseY;
};

} // namespace driver
