#pragma once
#include "Window.h"

namespace fw {

class Button : public Window {
public:
    int GetCheck() const { return static_cast<int>(Send(BM_GETCHECK)); }
    void SetCheck(int state) const { Send(BM_SETCHECK, static_cast<WPARAM>(state)); }
    UINT GetButtonStyle() const {
        return static_cast<UINT>(GetWindowLongA(hwnd(), GWL_STYLE)) & 0xFF;
    }
};

} // namespace fw
