// wait-window, wait-gone, no-window, close, syscommand, command, focus, controls, style.
#include "CommandTable.h"
#include "DialogUnits.h"
#include "DriverError.h"
#include "WindowLookup.h"

#include <cstdio>

namespace driver {

namespace {

void WaitWindow(const Args& args) {
    WaitTopWindow(args.at(0), args.intOr(1, kDefaultTimeoutMs));
}

void WaitGone(const Args& args) {
    long timeout = args.intOr(1, kDefaultTimeoutMs);
    if (!WaitFor(timeout, [&] { return FindTopWindow(args.at(0)) == nullptr; })) {
        throw DriverError("window \"" + args.at(0) + "\" still there after " +
                          std::to_string(timeout) + " ms");
    }
}

void NoWindow(const Args& args) {
    long span = args.intAt(1);
    if (WaitFor(span, [&] { return FindTopWindow(args.at(0)) != nullptr; })) {
        throw DriverError("window \"" + args.at(0) + "\" appeared");
    }
}

void Close(const Args& args) {
    HWND top = WaitTopWindow(args.at(0), kDefaultTimeoutMs);
    PostMessageA(top, WM_SYSCOMMAND, SC_CLOSE, 0);
    SyncWith(top);
}

void SysCommand(const Args& args) {
    HWND top = WaitTopWindow(args.at(0), kDefaultTimeoutMs);
    PostMessageA(top, WM_SYSCOMMAND, static_cast<WPARAM>(args.intAt(1)), 0);
    SyncWith(top);
}

// A menu or accelerator command, as the window receives it from its menu.
void Command(const Args& args) {
    HWND top = WaitTopWindow(args.at(0), kDefaultTimeoutMs);
    PostMessageA(top, WM_COMMAND, MAKEWPARAM(args.intAt(1), 0), 0);
    SyncWith(top);
}

// The dialog's control that has the focus (a combo box's edit counts as its combo), the
// window itself, or null when the focus is elsewhere.
HWND FocusedControl(HWND top) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info) || !info.hwndFocus ||
        (info.hwndFocus != top && !IsChild(top, info.hwndFocus))) {
        return nullptr;
    }
    HWND control = info.hwndFocus;
    while (control != top && GetParent(control) != top) {
        control = GetParent(control);
    }
    return control;
}

// With an ID, waits until that control has the focus: keys are posted, and the window takes
// them after the driver's own synchronising message.
void Focus(const Args& args) {
    HWND top = WaitTopWindow(args.at(0), kDefaultTimeoutMs);
    if (args.size() > 1) {
        const int want = args.intAt(1);
        WaitFor(args.intOr(2, kDefaultTimeoutMs), [&] {
            HWND control = FocusedControl(top);
            return control && control != top && GetDlgCtrlID(control) == want;
        });
    }
    HWND control = FocusedControl(top);
    if (!control) {
        std::printf("focus none\n");
        return;
    }
    std::printf("focus %d %s\n", control == top ? 0 : GetDlgCtrlID(control),
                ClassOf(control).c_str());
}

void PrintControl(HWND top, HWND child, const DialogUnits& units) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&r), 2);
    const int w = r.right - r.left, h = r.bottom - r.top;
    std::printf("%d %s %d %d %d %d %d %d dlu %d %d %d %d %s\n", GetDlgCtrlID(child),
                ClassOf(child).c_str(), IsWindowVisible(child) ? 1 : 0,
                IsWindowEnabled(child) ? 1 : 0, static_cast<int>(r.left), static_cast<int>(r.top),
                w, h, units.ToX(r.left), units.ToY(r.top), units.ToX(w), units.ToY(h),
                Quote(TextOf(child)).c_str());
}

void Controls(const Args& args) {
    HWND top = WaitTopWindow(args.at(0), kDefaultTimeoutMs);
    const DialogUnits units = DialogUnits::Of(top);
    for (HWND child = GetWindow(top, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        PrintControl(top, child, units);
    }
}

void Style(const Args& args) {
    HWND control = ControlOf(args.at(0), args.intAt(1));
    std::printf("style 0x%08lx exstyle 0x%08lx\n",
                static_cast<unsigned long>(GetWindowLongPtrA(control, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongPtrA(control, GWL_EXSTYLE)));
}

// The control's (or, with id 0, the window's) rectangle in screen coordinates.
void Rect(const Args& args) {
    HWND window = args.intAt(1) == 0 ? WaitTopWindow(args.at(0), kDefaultTimeoutMs)
                                     : ControlOf(args.at(0), args.intAt(1));
    RECT r{};
    GetWindowRect(window, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
}

// The screen rectangle of the open popup menu, a window of the system's menu class.
void MenuRect(const Args& args) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(args.intOr(0, kDefaultTimeoutMs));
    for (;;) {
        HWND menu = FindWindowA(MAKEINTATOM(0x8000), nullptr);
        if (menu && IsWindowVisible(menu)) {
            RECT r{};
            GetWindowRect(menu, &r);
            std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
            return;
        }
        if (static_cast<LONG>(end - GetTickCount()) <= 0) {
            throw DriverError("no popup menu is open");
        }
        Sleep(50);
    }
}

} // namespace

void AddWindowCommands(CommandTable& table) {
    table.Add({"wait-window", "CAPTION [TIMEOUT]", 1, WaitWindow});
    table.Add({"wait-gone", "CAPTION [TIMEOUT]", 1, WaitGone});
    table.Add({"no-window", "CAPTION MS", 2, NoWindow});
    table.Add({"close", "CAPTION", 1, Close});
    table.Add({"syscommand", "CAPTION ID", 2, SysCommand});
    table.Add({"command", "CAPTION ID", 2, Command});
    table.Add({"focus", "CAPTION [ID [TIMEOUT]]", 1, Focus});
    table.Add({"controls", "CAPTION", 1, Controls});
    table.Add({"rect", "CAPTION ID", 2, Rect});
    table.Add({"menu-rect", "[TIMEOUT]", 0, MenuRect});
    table.Add({"style", "CAPTION ID", 2, Style});
}

} // namespace driver
