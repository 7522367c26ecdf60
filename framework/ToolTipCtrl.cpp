#include "ToolTipCtrl.h"

#include <vector>

namespace fw {

ToolTipCtrl::~ToolTipCtrl() {
    if (HWND window = Unsubclass()) {
        DestroyWindow(window);
    }
}

bool ToolTipCtrl::Create(HWND owner, DWORD style) {
    RECT none{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
    if (!Window::Create(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, none, owner,
                        0)) {
        return false;
    }
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

TTTOOLINFOA ToolTipCtrl::ToolInfo(HWND window, UINT_PTR toolId) {
    // The pre-comctl6 size works with every version of the common controls.
    TTTOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = window;
    info.uId = toolId;
    return info;
}

bool ToolTipCtrl::AddTool(HWND window, const std::string& text, const RECT& rect,
                          UINT_PTR toolId) const {
    TTTOOLINFOA info = ToolInfo(window, toolId);
    info.rect = rect;
    info.lpszText = const_cast<char*>(text.c_str());
    return Send(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
}

void ToolTipCtrl::UpdateTipText(const std::string& text, HWND window, UINT_PTR toolId) const {
    TTTOOLINFOA info = ToolInfo(window, toolId);
    info.lpszText = const_cast<char*>(text.c_str());
    Send(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}

std::string ToolTipCtrl::GetText(HWND window, UINT_PTR toolId) const {
    std::vector<char> buffer(1024, '\0');
    TTTOOLINFOA info = ToolInfo(window, toolId);
    info.lpszText = buffer.data();
    Send(TTM_GETTEXTA, buffer.size(), reinterpret_cast<LPARAM>(&info));
    return buffer.data();
}

} // namespace fw
