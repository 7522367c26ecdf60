// menu-demo.exe: one skinned button with a drop-down glyph menu loaded from a menu template,
// its glyphs from a toolbar bitmap. The commands the menu posts are listed in control 101,
// the number of callbacks before opening in control 102.
#include "MenuDemoIds.h"
#include "framework/Window.h"
#include "widgets/button/SkinButton.h"
#include "widgets/menu/GlyphMenu.h"

#include <windows.h>
#include <string>

namespace {
constexpr char kClassName[] = "CorvaleMenuDemo";
constexpr UINT kCallbackMessage = WM_APP + 1;

// Items of a template show the shared glyph of their command, so the glyphs go in first.
void AddToolbarGlyphs() {
    GlyphMenu scratch;
    scratch.Attach(CreatePopupMenu());
    for (UINT id : {ID_RED, ID_GREEN, ID_BLUE}) {
        scratch.AppendGlyphItem(L"", 0, id, IDR_TOOLBAR);
    }
}

class DemoWindow : public fw::Window {
public:
    bool Open(HINSTANCE instance) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClassName;
        RegisterClassA(&wc);
        if (!Create(0, kClassName, "Menu demo", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                    {100, 100, 500, 400}, nullptr, 0)) {
            return false;
        }
        HWND tools = AddChild("BUTTON", "Tools", BS_PUSHBUTTON, {20, 20, 140, 50}, IDC_TOOLS);
        AddChild("STATIC", "", 0, {20, 200, 380, 220}, IDC_COMMANDS);
        AddChild("STATIC", "0", 0, {20, 230, 380, 250}, IDC_CALLBACKS);
        m_tools.Attach(tools);
        return m_tools.SetMenu(IDM_DEMO, hwnd(), {hwnd(), kCallbackMessage, 7}, true) ==
               SkinButton::Ok;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        LRESULT result = 0;
        if (Route(message, wParam, lParam, result)) {
            return result;
        }
        switch (message) {
        case WM_COMMAND:
            if (lParam == 0) {
                if (!m_commands.empty()) {
                    m_commands += ' ';
                }
                m_commands += std::to_string(LOWORD(wParam));
                SetDlgItemTextA(hwnd(), IDC_COMMANDS, m_commands.c_str());
                return 0;
            }
            break;
        case kCallbackMessage:
            if (GetMenuItemCount(reinterpret_cast<HMENU>(wParam)) > 0 && lParam == 7) {
                SetDlgItemInt(hwnd(), IDC_CALLBACKS, ++m_callbacks, FALSE);
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
        }
        return Default();
    }

private:
    HWND AddChild(const char* className, const char* text, DWORD style, RECT r, int id) {
        return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                               r.right - r.left, r.bottom - r.top, hwnd(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleA(nullptr), nullptr);
    }

    SkinButton m_tools;
    std::string m_commands;
    UINT m_callbacks = 0;
};
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    AddToolbarGlyphs();
    DemoWindow window;
    if (!window.Open(instance)) {
        return 1;
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!fw::Window::PreTranslateChain(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return 0;
}
