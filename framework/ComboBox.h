#pragma once
#include "Window.h"

namespace fw {

// A drop-down list. Item data is a pointer-sized value the caller owns the meaning of.
class ComboBox : public Window {
public:
    int AddString(const std::string& text) const {
        return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    int GetCount() const { return static_cast<int>(Send(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }
    int SetCurSel(int index) const {
        return static_cast<int>(Send(CB_SETCURSEL, static_cast<WPARAM>(index)));
    }
    LPARAM GetItemData(int index) const {
        LRESULT data = Send(CB_GETITEMDATA, static_cast<WPARAM>(index));
        return data == CB_ERR ? 0 : data;
    }
    int SetItemData(int index, LPARAM data) const {
        return static_cast<int>(Send(CB_SETITEMDATA, static_cast<WPARAM>(index), data));
    }
    void ResetContent() const { Send(CB_RESETCONTENT); }
    std::string GetItemText(int index) const;
};

} // namespace fw
