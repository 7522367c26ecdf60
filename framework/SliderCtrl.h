#pragma once
#include "Window.h"

#include <commctrl.h>

namespace fw {

class SliderCtrl : public Window {
public:
    void SetRange(int minimum, int maximum, bool redraw) const {
        Send(TBM_SETRANGEMIN, FALSE, minimum);
        Send(TBM_SETRANGEMAX, redraw, maximum);
    }
    void SetPos(int position, bool redraw = true) const { Send(TBM_SETPOS, redraw, position); }
    int GetPos() const { return static_cast<int>(Send(TBM_GETPOS)); }
};

} // namespace fw
