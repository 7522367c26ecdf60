#include "InMemoryDialogTemplate.h"

#include <cstring>

InMemoryDialogTemplate::InMemoryDialogTemplate(const wchar_t* caption, short width, short height) {
    DLGTEMPLATE header{};
    header.style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU |
                   WS_MINIMIZEBOX;
    header.dwExtendedStyle = WS_EX_APPWINDOW;
    header.cdit = 0;
    header.cx = width;
    header.cy = height;
    static_assert(sizeof header % sizeof(WORD) == 0);
    m_words.resize(sizeof header / sizeof(WORD));
    std::memcpy(m_words.data(), &header, sizeof header);
    AddWord(0); // no menu
    AddWord(0); // the system's dialog class
    AddText(caption);
    AddWord(8); // point size, then the face of DS_SETFONT
    AddText(L"MS Shell Dlg");
}

void InMemoryDialogTemplate::AddText(const wchar_t* text) {
    do {
        AddWord(static_cast<WORD>(*text));
    } while (*text++ != L'\0');
}
