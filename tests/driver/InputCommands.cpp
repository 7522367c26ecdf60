// key, mouse-click, mouse-move, mouse-move-xy.
#include "CommandTable.h"
#include "DriverError.h"
#include "WindowLookup.h"

#include <cctype>
#include <cstring>

namespace driver {

namespace {

struct KeyBinding {
    const char* name;
    UINT vk;
    bool alt;
};

constexpr KeyBinding kKeys[] = {
    {"escape", VK_ESCAPE, false}, {"enter", VK_RETURN, false}, {"tab", VK_TAB, false},
    {"space", VK_SPACE, false},   {"alt+f4", VK_F4, true},
};

// A named key, or a single letter or digit (an unshifted key press).
KeyBinding KeyNamed(const std::string& name) {
    for (const KeyBinding& key : kKeys) {
        if (name == key.name) {
            return key;
        }
    }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        return {"", static_cast<UINT>(std::toupper(static_cast<unsigned char>(name[0]))), false};
    }
    throw DriverError("unknown key " + name + " (escape, enter, tab, space, alt+f4, a letter)");
}

// The control that has the keyboard focus in the window's thread, or the window itself.
HWND FocusedIn(HWND top) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info) && info.hwndFocus &&
        (info.hwndFocus == top || IsChild(top, info.hwndFocus))) {
        return info.hwndFocus;
    }
    return top;
}

// Keys are posted to the focused control rather than typed: the dialog's message loop hands
// them to IsDialogMessage as if they came from the keyboard, and no window manager has to give
// the target the real keyboard focus.
void Key(const Args& args) {
    HWND top = WaitTopWindow(args.at(0), kDefaultTimeoutMs);
    const KeyBinding key = KeyNamed(args.at(1));
    HWND target = FocusedIn(top);
    LPARAM down = 1 | (static_cast<LPARAM>(MapVirtualKeyA(key.vk, MAPVK_VK_TO_VSC)) << 16);
    if (key.alt) {
        down |= LPARAM{1} << 29;
    }
    LPARAM up = down | (LPARAM{1} << 30) | (LPARAM{1} << 31);
    PostMessageA(target, key.alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key.vk, down);
    PostMessageA(target, key.alt ? WM_SYSKEYUP : WM_KEYUP, key.vk, up);
    SyncWith(target);
}

void SendMouse(DWORD flags, POINT at = {}) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    if (SendInput(1, &input, sizeof input) != 1) {
        throw DriverError("SendInput failed");
    }
}

void MoveTo(POINT at) {
    SetCursorPos(at.x, at.y);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, at);
}

POINT CentreOf(HWND control, long dx, long dy) {
    RECT r{};
    GetWindowRect(control, &r);
    return {(r.left + r.right) / 2 + dx, (r.top + r.bottom) / 2 + dy};
}

void MouseClick(const Args& args) {
    HWND control = ControlOf(args.at(0), args.intAt(1));
    MoveTo(CentreOf(control, 0, 0));
    Sleep(50);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(50);
    SendMouse(MOUSEEVENTF_LEFTUP);
    SyncWith(control);
}

void MouseClickXY(const Args& args) {
    MoveTo({static_cast<LONG>(args.intAt(0)), static_cast<LONG>(args.intAt(1))});
    Sleep(50);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(50);
    SendMouse(MOUSEEVENTF_LEFTUP);
}

void MouseMove(const Args& args) {
    HWND control = ControlOf(args.at(0), args.intAt(1));
    MoveTo(CentreOf(control, args.intOr(2, 0), args.intOr(3, 0)));
    SyncWith(control);
}

void MouseMoveXY(const Args& args) {
    MoveTo({static_cast<LONG>(args.intAt(0)), static_cast<LONG>(args.intAt(1))});
}

} // namespace

void AddInputCommands(CommandTable& table) {
    table.Add({"key", "CAPTION escape|enter|tab|space|alt+f4|LETTER", 2, Key});
    table.Add({"mouse-click-xy", "X Y", 2, MouseClickXY});
    table.Add({"mouse-click", "CAPTION ID", 2, MouseClick});
    table.Add({"mouse-move", "CAPTION ID [DX DY]", 2, MouseMove});
    table.Add({"mouse-move-xy", "X Y", 2, MouseMoveXY});
}

} // namespace driver
