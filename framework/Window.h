#pragma once
#include "MessageMap.h"

#include <windows.h>
#include <string>

namespace fw {

std::string WindowText(HWND hwnd);

// A window object bound to one HWND. Windows created elsewhere (template controls) are taken
// over by Subclass; the object is found again from its handle through FromHandle. Messages go
// to WindowProc: notifications about child controls are first offered to the child's own
// object (the OnReflected hooks), then the message map runs, then the previous window
// procedure.
class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hwnd() const { return m_hWnd; }
    static Window* FromHandle(HWND hwnd);

    // Takes over an existing window; false when it is bound to another object already.
    bool Subclass(HWND hwnd);
    // How data exchange takes over a template control: control classes that adapt the
    // window (styles, fonts, tooltips) override it and subclass at its end.
    virtual bool Attach(HWND hwnd) { return Subclass(hwnd); }
    // Gives the window back its previous procedure and unbinds it.
    HWND Unsubclass();
    bool Create(DWORD exStyle, const char* className, const char* text, DWORD style,
                const RECT& rect, HWND parent, UINT_PTR id);

    // Called for each message the modal loop delivers to this window or one of its children,
    // before dispatching; true swallows the message.
    virtual bool PreTranslateMessage(MSG& msg);
    // Offers a message to every bound window from its target up to the top-level window.
    static bool PreTranslateChain(MSG& msg);

    int id() const { return GetDlgCtrlID(m_hWnd); }
    std::string text() const;
    void SetText(const std::string& text) const { SetWindowTextA(m_hWnd, text.c_str()); }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageA(m_hWnd, message, wParam, lParam);
    }
    void Enable(bool enable) const { EnableWindow(m_hWnd, enable); }
    bool IsEnabled() const { return IsWindowEnabled(m_hWnd) != FALSE; }
    void Show(int command) const { ShowWindow(m_hWnd, command); }
    void Invalidate(bool erase = true) const { InvalidateRect(m_hWnd, nullptr, erase); }
    RECT clientRect() const;
    RECT windowRect() const;
    HWND parent() const { return GetParent(m_hWnd); }
    HWND item(int id) const { return GetDlgItem(m_hWnd, id); }

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Notifications this window sent to its parent, offered back to it first, unpacked. Each
    // returns true to consume the message (the parent's own handlers then do not see it).
    // WM_COMMAND: the notification code; the answer is 0.
    virtual bool OnReflectedCommand(UINT code);
    // WM_DRAWITEM: the item to draw; the answer is TRUE.
    virtual bool OnReflectedDrawItem(const DRAWITEMSTRUCT& item);
    // WM_CTLCOLOR*: the control's DC; `brush` is the answer.
    virtual bool OnReflectedCtlColor(HDC dc, HBRUSH& brush);
    // Reflection, then the message map; false when neither handled the message.
    bool Route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The message being handled, passed to the previous window procedure.
    LRESULT Default();
    MessageMap& messages() { return m_messages; }
    // Installs this object as the window's procedure (dialogs bind at WM_INITDIALOG).
    void Bind(HWND hwnd);

private:
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) noexcept;
    bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void Unbind();

    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    HWND m_hWnd = nullptr;
    WNDPROC m_previousProc = nullptr;
    CurrentMessage m_current{};
    MessageMap m_messages;
};

} // namespace fw
