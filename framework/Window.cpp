#include "Window.h"

#include <vector>

namespace fw {

namespace {
// The object is kept in a window property, so no table of our own is needed.
const char kObjectProperty[] = "CorvaleWindowObject";

HWND ReflectionTarget(HWND self, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
        return reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<HWND>(lParam);
    case WM_DRAWITEM: {
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        return draw->CtlType == ODT_MENU ? nullptr : draw->hwndItem;
    }
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        return measure->CtlType == ODT_MENU ? nullptr : GetDlgItem(self, static_cast<int>(wParam));
    }
    default:
        return nullptr;
    }
}
} // namespace

Window::~Window() {
    if (m_hWnd) {
        Unsubclass();
    }
}

Window* Window::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<Window*>(GetPropA(hwnd, kObjectProperty)) : nullptr;
}

void Window::Bind(HWND hwnd) {
    m_hWnd = hwnd;
    SetPropA(hwnd, kObjectProperty, this);
    m_previousProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StaticWindowProc)));
}

void Window::Unbind() {
    RemovePropA(m_hWnd, kObjectProperty);
    m_hWnd = nullptr;
    m_previousProc = nullptr;
}

bool Window::Subclass(HWND hwnd) {
    if (!hwnd || m_hWnd || FromHandle(hwnd)) {
        return false;
    }
    Bind(hwnd);
    return true;
}

HWND Window::Unsubclass() {
    HWND hwnd = m_hWnd;
    if (!hwnd) {
        return nullptr;
    }
    if (IsWindow(hwnd) && m_previousProc) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
    }
    Unbind();
    return hwnd;
}

bool Window::Create(DWORD exStyle, const char* className, const char* text, DWORD style,
                    const RECT& rect, HWND parent, UINT_PTR id) {
    HWND hwnd = CreateWindowExA(exStyle, className, text, style, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, parent,
                                reinterpret_cast<HMENU>(id), GetModuleHandleA(nullptr), nullptr);
    return hwnd && Subclass(hwnd);
}

bool Window::PreTranslateMessage(MSG&) {
    return false;
}

bool Window::PreTranslateChain(MSG& msg) {
    for (HWND hwnd = msg.hwnd; hwnd; hwnd = GetParent(hwnd)) {
        if (Window* window = FromHandle(hwnd); window && window->PreTranslateMessage(msg)) {
            return true;
        }
        if (!(GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)) {
            break;
        }
    }
    return false;
}

std::string WindowText(HWND hwnd) {
    int length = GetWindowTextLengthA(hwnd);
    std::string result(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(hwnd, result.data(), length + 1);
    result.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return result;
}

std::string Window::text() const {
    return WindowText(m_hWnd);
}

RECT Window::clientRect() const {
    RECT rect{};
    GetClientRect(m_hWnd, &rect);
    return rect;
}

RECT Window::windowRect() const {
    RECT rect{};
    GetWindowRect(m_hWnd, &rect);
    return rect;
}

bool Window::OnReflectedCommand(UINT) {
    return false;
}

bool Window::OnReflectedDrawItem(const DRAWITEMSTRUCT&) {
    return false;
}

bool Window::OnReflectedCtlColor(HDC, HBRUSH&) {
    return false;
}

// The one place where a reflected message's parameters are unpacked.
bool Window::OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_COMMAND) {
        result = 0;
        return OnReflectedCommand(HIWORD(wParam));
    }
    if (message == WM_DRAWITEM) {
        result = TRUE;
        return OnReflectedDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    }
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        HBRUSH brush = nullptr;
        bool consumed = OnReflectedCtlColor(reinterpret_cast<HDC>(wParam), brush);
        result = reinterpret_cast<LRESULT>(brush);
        return consumed;
    }
    return false;
}

bool Window::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND target = ReflectionTarget(m_hWnd, message, wParam, lParam);
    if (!target || target == m_hWnd) {
        return false;
    }
    Window* child = FromHandle(target);
    return child && child->OnReflected(message, wParam, lParam, result);
}

bool Window::Route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return ReflectToChild(message, wParam, lParam, result) ||
           m_messages.Dispatch(message, wParam, lParam, result);
}

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (Route(message, wParam, lParam, result)) {
        return result;
    }
    return Default();
}

LRESULT Window::Default() {
    if (m_previousProc) {
        return CallWindowProcA(m_previousProc, m_hWnd, m_current.message, m_current.wParam,
                               m_current.lParam);
    }
    return DefWindowProcA(m_hWnd, m_current.message, m_current.wParam, m_current.lParam);
}

LRESULT CALLBACK Window::StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                          LPARAM lParam) noexcept {
    Window* window = FromHandle(hwnd);
    if (!window) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    CurrentMessage saved = window->m_current;
    window->m_current = {message, wParam, lParam};
    LRESULT result = window->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The window is gone: unbind so that the object may be reused or destroyed safely.
        WNDPROC previous = window->m_previousProc;
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        window->Unbind();
    } else {
        window->m_current = saved;
    }
    return result;
}

} // namespace fw
