#include "DataExchange.h"

#include "Dialog.h"

namespace fw {

void DataExchange::Control(int id, Window& control) {
    if (!control.hwnd()) {
        control.Attach(m_dialog.item(id));
    }
}

void DataExchange::Text(int id, std::string& value) {
    HWND control = m_dialog.item(id);
    if (m_save) {
        value = WindowText(control);
    } else {
        SetWindowTextA(control, value.c_str());
    }
}

void DataExchange::Check(int id, int& value) {
    HWND control = m_dialog.item(id);
    if (m_save) {
        value = static_cast<int>(SendMessageA(control, BM_GETCHECK, 0, 0));
    } else {
        SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

} // namespace fw
