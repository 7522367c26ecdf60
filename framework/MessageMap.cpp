#include "framework/MessageMap.h"

#include "base/AnsiText.h"

#include <windowsx.h>

namespace fw {

void MessageMap::OnMessage(UINT message, MessageHandler handler) {
    m_messages.push_back({message, std::move(handler)});
}

void MessageMap::OnCommand(int id, int code, CommandHandler handler) {
    m_commands.push_back({id, code, std::move(handler)});
}

void MessageMap::OnNotify(int id, int code, NotifyHandler handler) {
    m_notifies.push_back({id, code, std::move(handler)});
}

void MessageMap::OnVoid(UINT message, std::function<void()> handler) {
    OnMessage(message, [h = std::move(handler)](WPARAM, LPARAM) {
        h();
        return LRESULT{0};
    });
}

void MessageMap::OnAppMessage(UINT message, std::function<void(WPARAM, LPARAM)> handler) {
    OnMessage(message, [h = std::move(handler)](WPARAM w, LPARAM l) {
        h(w, l);
        return LRESULT{0};
    });
}

void MessageMap::OnPaint(std::function<void()> handler) {
    OnVoid(WM_PAINT, std::move(handler));
}

void MessageMap::OnClose(std::function<void()> handler) {
    OnVoid(WM_CLOSE, std::move(handler));
}

void MessageMap::OnDestroy(std::function<void()> handler) {
    OnVoid(WM_DESTROY, std::move(handler));
}

void MessageMap::OnSysColorChange(std::function<void()> handler) {
    OnVoid(WM_SYSCOLORCHANGE, std::move(handler));
}

void MessageMap::OnMouseLeave(std::function<void()> handler) {
    OnVoid(WM_MOUSELEAVE, std::move(handler));
}

void MessageMap::OnCancelMode(std::function<void()> handler) {
    OnVoid(WM_CANCELMODE, std::move(handler));
}

void MessageMap::OnPrintClient(std::function<void(HDC)> handler) {
    OnMessage(WM_PRINTCLIENT, [h = std::move(handler)](WPARAM w, LPARAM) {
        h(reinterpret_cast<HDC>(w));
        return LRESULT{0};
    });
}

void MessageMap::OnEraseBackground(std::function<BOOL(HDC)> handler) {
    OnMessage(WM_ERASEBKGND, [h = std::move(handler)](WPARAM w, LPARAM) {
        return LRESULT{h(reinterpret_cast<HDC>(w))};
    });
}

void MessageMap::OnSetText(std::function<BOOL(const char*)> handler) {
    OnMessage(WM_SETTEXT, [h = std::move(handler)](WPARAM, LPARAM l) {
        return LRESULT{h(reinterpret_cast<const char*>(l))};
    });
}

void MessageMap::OnQueryDragIcon(std::function<HICON()> handler) {
    OnMessage(WM_QUERYDRAGICON,
              [h = std::move(handler)](WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(h()); });
}

void MessageMap::OnTimer(std::function<void(UINT_PTR)> handler) {
    OnMessage(WM_TIMER, [h = std::move(handler)](WPARAM w, LPARAM) {
        h(static_cast<UINT_PTR>(w));
        return LRESULT{0};
    });
}

void MessageMap::OnSysCommand(std::function<void(UINT, LPARAM)> handler) {
    OnMessage(WM_SYSCOMMAND, [h = std::move(handler)](WPARAM w, LPARAM l) {
        h(static_cast<UINT>(w), l);
        return LRESULT{0};
    });
}

void MessageMap::OnMouseMove(std::function<void(POINT, UINT)> handler) {
    OnMessage(WM_MOUSEMOVE, [h = std::move(handler)](WPARAM w, LPARAM l) {
        h(POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}, static_cast<UINT>(w));
        return LRESULT{0};
    });
}

void MessageMap::OnSetCursor(std::function<BOOL(HWND, UINT, UINT)> handler) {
    OnMessage(WM_SETCURSOR, [h = std::move(handler)](WPARAM w, LPARAM l) {
        return LRESULT{h(reinterpret_cast<HWND>(w), LOWORD(l), HIWORD(l))};
    });
}

void MessageMap::OnKillFocus(std::function<void(HWND)> handler) {
    OnMessage(WM_KILLFOCUS, [h = std::move(handler)](WPARAM w, LPARAM) {
        h(reinterpret_cast<HWND>(w));
        return LRESULT{0};
    });
}

void MessageMap::OnActivate(std::function<void(UINT, bool, HWND)> handler) {
    OnMessage(WM_ACTIVATE, [h = std::move(handler)](WPARAM w, LPARAM l) {
        h(LOWORD(w), HIWORD(w) != 0, reinterpret_cast<HWND>(l));
        return LRESULT{0};
    });
}

void MessageMap::OnEnable(std::function<void(bool)> handler) {
    OnMessage(WM_ENABLE, [h = std::move(handler)](WPARAM w, LPARAM) {
        h(w != FALSE);
        return LRESULT{0};
    });
}

void MessageMap::OnHScroll(std::function<void(UINT, UINT, HWND)> handler) {
    OnScroll(WM_HSCROLL, std::move(handler));
}

void MessageMap::OnVScroll(std::function<void(UINT, UINT, HWND)> handler) {
    OnScroll(WM_VSCROLL, std::move(handler));
}

void MessageMap::OnScroll(UINT message, std::function<void(UINT, UINT, HWND)> handler) {
    OnMessage(message, [h = std::move(handler)](WPARAM w, LPARAM l) {
        h(LOWORD(w), HIWORD(w), reinterpret_cast<HWND>(l));
        return LRESULT{0};
    });
}

void MessageMap::OnSetButtonStyle(std::function<LRESULT(UINT, bool)> handler) {
    OnMessage(BM_SETSTYLE, [h = std::move(handler)](WPARAM w, LPARAM l) {
        return h(static_cast<UINT>(w), l != FALSE);
    });
}

void MessageMap::OnSetCheck(std::function<void(UINT)> handler) {
    OnMessage(BM_SETCHECK, [h = std::move(handler)](WPARAM w, LPARAM) {
        h(static_cast<UINT>(w));
        return LRESULT{0};
    });
}

void MessageMap::OnGetCheck(std::function<UINT()> handler) {
    OnMessage(BM_GETCHECK, [h = std::move(handler)](WPARAM, LPARAM) { return LRESULT{h()}; });
}

void MessageMap::OnGetDlgCode(std::function<UINT(const MSG*)> handler) {
    OnMessage(WM_GETDLGCODE, [h = std::move(handler)](WPARAM, LPARAM l) {
        return LRESULT{h(reinterpret_cast<const MSG*>(l))};
    });
}

void MessageMap::OnMeasureItem(std::function<BOOL(MEASUREITEMSTRUCT&)> handler) {
    OnMessage(WM_MEASUREITEM, [h = std::move(handler)](WPARAM, LPARAM l) {
        return LRESULT{h(*reinterpret_cast<MEASUREITEMSTRUCT*>(l))};
    });
}

void MessageMap::OnDrawItem(std::function<BOOL(const DRAWITEMSTRUCT&)> handler) {
    OnMessage(WM_DRAWITEM, [h = std::move(handler)](WPARAM, LPARAM l) {
        return LRESULT{h(*reinterpret_cast<const DRAWITEMSTRUCT*>(l))};
    });
}

void MessageMap::OnMenuChar(std::function<LRESULT(wchar_t, UINT, HMENU)> handler) {
    OnMessage(WM_MENUCHAR, [h = std::move(handler)](WPARAM w, LPARAM l) {
        // An ANSI window gets the character as one byte of the ANSI code page.
        const char byte = static_cast<char>(LOBYTE(LOWORD(w)));
        const std::wstring wide = base::Widen(std::string_view(&byte, 1));
        return h(wide.empty() ? L'\0' : wide[0], HIWORD(w), reinterpret_cast<HMENU>(l));
    });
}

bool MessageMap::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) const {
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        for (const auto& entry : m_commands) {
            if (entry.id == id && entry.code == code) {
                entry.handler();
                result = 0;
                return true;
            }
        }
    } else if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        for (const auto& entry : m_notifies) {
            if (static_cast<UINT_PTR>(entry.id) == header->idFrom &&
                static_cast<UINT>(entry.code) == header->code) {
                result = entry.handler(header);
                return true;
            }
        }
    }
    for (const auto& entry : m_messages) {
        if (entry.message == message) {
            result = entry.handler(wParam, lParam);
            return true;
        }
    }
    return false;
}

} // namespace fw
