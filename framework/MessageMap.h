#pragma once
#include <windows.h>
#include <functional>
#include <vector>

namespace fw {

// A window's table from messages to handlers: plain window messages, WM_COMMAND notifications
// by control id and code, and WM_NOTIFY codes by control id. The first matching entry wins.
//
// The typed registrations unpack wParam and lParam here, once; each handler's signature is the
// one written beside it. A handler answers the message; one that also wants the window's
// default processing calls Window::Default() itself, before or after its own work.
class MessageMap {
public:
    using MessageHandler = std::function<LRESULT(WPARAM, LPARAM)>;
    using CommandHandler = std::function<void()>;
    using NotifyHandler = std::function<LRESULT(NMHDR*)>;

    // Any message, its parameters as they come: for messages of the application's own.
    void OnMessage(UINT message, MessageHandler handler);
    // WM_COMMAND from control `id` with notification `code`; answers 0.
    void OnCommand(int id, int code, CommandHandler handler);
    // WM_NOTIFY from control `id` with notification `code`; the handler's value is the answer.
    void OnNotify(int id, int code, NotifyHandler handler);
    // A message of the application's own (WM_APP range), such as a graph's event message;
    // its parameters are the application's. Answers 0.
    void OnAppMessage(UINT message, std::function<void(WPARAM, LPARAM)> handler);

    // Window life and painting; each answers 0.
    void OnPaint(std::function<void()> handler);
    void OnClose(std::function<void()> handler);
    void OnDestroy(std::function<void()> handler);
    void OnSysColorChange(std::function<void()> handler);
    // WM_PRINTCLIENT: paint the client area into the given DC.
    void OnPrintClient(std::function<void(HDC)> handler);
    // WM_ERASEBKGND: nonzero when the background is erased.
    void OnEraseBackground(std::function<BOOL(HDC)> handler);
    // WM_SETTEXT: the new text; TRUE when it was set.
    void OnSetText(std::function<BOOL(const char* text)> handler);
    // WM_QUERYDRAGICON: the icon to drag while minimised.
    void OnQueryDragIcon(std::function<HICON()> handler);
    // WM_TIMER: the timer's id; answers 0.
    void OnTimer(std::function<void(UINT_PTR id)> handler);
    // WM_SYSCOMMAND: the command (low four bits included) and the cursor position parameter.
    void OnSysCommand(std::function<void(UINT command, LPARAM position)> handler);

    // Mouse, focus and activation; each answers 0.
    // WM_MOUSEMOVE: client coordinates and the MK_* key flags.
    void OnMouseMove(std::function<void(POINT point, UINT keys)> handler);
    void OnMouseLeave(std::function<void()> handler);
    // WM_SETCURSOR: the window under the cursor, the hit-test code and the mouse message;
    // TRUE when the cursor is set.
    void OnSetCursor(std::function<BOOL(HWND window, UINT hitTest, UINT mouseMessage)> handler);
    // WM_KILLFOCUS: the window that receives the focus, or nullptr.
    void OnKillFocus(std::function<void(HWND next)> handler);
    void OnCancelMode(std::function<void()> handler);
    // WM_ACTIVATE: WA_ACTIVE, WA_CLICKACTIVE or WA_INACTIVE, whether minimised, the other
    // window.
    void OnActivate(std::function<void(UINT state, bool minimized, HWND other)> handler);
    // WM_ENABLE: whether the window is now enabled.
    void OnEnable(std::function<void(bool enabled)> handler);

    // Track bars and scroll bars; each answers 0.
    // WM_HSCROLL, WM_VSCROLL: the SB_*/TB_* code, the position (of SB_THUMB* codes) and the
    // control, or nullptr for the window's own scroll bar.
    void OnHScroll(std::function<void(UINT code, UINT position, HWND bar)> handler);
    void OnVScroll(std::function<void(UINT code, UINT position, HWND bar)> handler);

    // A push button's own messages.
    // BM_SETSTYLE: the BS_* style and whether to redraw; the handler's value is the answer.
    void OnSetButtonStyle(std::function<LRESULT(UINT style, bool redraw)> handler);
    // BM_SETCHECK: the BST_* state; answers 0.
    void OnSetCheck(std::function<void(UINT state)> handler);
    // BM_GETCHECK: answers the BST_* state.
    void OnGetCheck(std::function<UINT()> handler);
    // WM_GETDLGCODE: the message the dialog asks about, or nullptr; answers the DLGC_* flags.
    void OnGetDlgCode(std::function<UINT(const MSG* message)> handler);

    // Owner-drawn menus; the handler's value is the answer.
    // WM_MEASUREITEM: TRUE when the item was measured.
    void OnMeasureItem(std::function<BOOL(MEASUREITEMSTRUCT& item)> handler);
    // WM_DRAWITEM: TRUE when the item was drawn.
    void OnDrawItem(std::function<BOOL(const DRAWITEMSTRUCT& item)> handler);
    // WM_MENUCHAR: the character (widened from the ANSI code page the framework's windows
    // receive it in), the menu's MF_POPUP/MF_SYSMENU flag and the menu; answers
    // MAKELRESULT(item, MNC_*).
    void OnMenuChar(std::function<LRESULT(wchar_t ch, UINT menuFlag, HMENU menu)> handler);

    // Runs the handler of the message, if any; result receives its value.
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) const;

private:
    struct MessageEntry {
        UINT message;
        MessageHandler handler;
    };
    struct CommandEntry {
        int id;
        int code;
        CommandHandler handler;
    };
    struct NotifyEntry {
        int id;
        int code;
        NotifyHandler handler;
    };
    // Maps a message whose answer is always 0 onto a handler of no value.
    void OnVoid(UINT message, std::function<void()> handler);
    void OnScroll(UINT message, std::function<void(UINT, UINT, HWND)> handler);

    std::vector<MessageEntry> m_messages;
    std::vector<CommandEntry> m_commands;
    std::vector<NotifyEntry> m_notifies;
};

} // namespace fw
