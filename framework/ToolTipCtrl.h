#pragma once
#include "Window.h"

#include <commctrl.h>

namespace fw {

// A tooltip window owned by this object; destroyed with it.
class ToolTipCtrl : public Window {
public:
    ToolTipCtrl() = default;
    ~ToolTipCtrl() override;

    bool Create(HWND owner, DWORD style = TTS_ALWAYSTIP);
    // A tool covering a rectangle of window, with the given id.
    bool AddTool(HWND window, const std::string& text, const RECT& rect, UINT_PTR toolId) const;
    void UpdateTipText(const std::string& text, HWND window, UINT_PTR toolId) const;
    std::string GetText(HWND window, UINT_PTR toolId) const;
    int GetToolCount() const { return static_cast<int>(Send(TTM_GETTOOLCOUNT)); }
    void Activate(bool active) const { Send(TTM_ACTIVATE, active); }
    void SetMaxTipWidth(int width) const { Send(TTM_SETMAXTIPWIDTH, 0, width); }
    void RelayEvent(const MSG& msg) const {
        Send(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    }

private:
    static TTTOOLINFOA ToolInfo(HWND window, UINT_PTR toolId);
};

} // namespace fw
