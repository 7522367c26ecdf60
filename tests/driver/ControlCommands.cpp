// text, wait-text, set-text, enabled, visible, click, select, items, slider, set-slider.
#include "CommandTable.h"
#include "DriverError.h"
#include "RemoteBuffer.h"
#include "WindowLookup.h"
#include "base/AnsiText.h"

#include <commctrl.h>

#include <cstdio>

namespace driver {

namespace {

LRESULT SendTimed(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerMs, &result)) {
        throw DriverError("control does not answer message " + std::to_string(message));
    }
    return static_cast<LRESULT>(result);
}

LRESULT SendTimedW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerMs, &result)) {
        throw DriverError("control does not answer message " + std::to_string(message));
    }
    return static_cast<LRESULT>(result);
}

void Text(const Args& args) {
    HWND control = ControlOf(args.at(0), args.intAt(1));
    std::printf("%s\n", (args.intAt(1) == 0 ? CaptionOf(control) : TextOf(control)).c_str());
}

void WaitText(const Args& args) {
    HWND control = ControlOf(args.at(0), args.intAt(1));
    const std::string& want = args.at(2);
    long timeout = args.intOr(3, kDefaultTimeoutMs);
    std::string got;
    if (!WaitFor(timeout, [&] { return (got = TextOf(control)) == want; })) {
        throw DriverError("text of control " + args.at(1) + " is " + Quote(got) + ", not " +
                          Quote(want));
    }
}

void SetText(const Args& args) {
    HWND control = ControlOf(args.at(0), args.intAt(1));
    SendTimed(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args.at(2).c_str()));
}

void Enabled(const Args& args) {
    std::printf("%d\n", IsWindowEnabled(ControlOf(args.at(0), args.intAt(1))) ? 1 : 0);
}

void Visible(const Args& args) {
    std::printf("%d\n", IsWindowVisible(ControlOf(args.at(0), args.intAt(1))) ? 1 : 0);
}

// Posted, so that a modal message box opened by the click handler does not block us.
void Click(const Args& args) {
    HWND control = ControlOf(args.at(0), args.intAt(1));
    PostMessageA(control, BM_CLICK, 0, 0);
    if (args.size() > 2) {
        SetMark(args.at(2));
    }
    SyncWith(control);
}

void Select(const Args& args) {
    HWND combo = ControlOf(args.at(0), args.intAt(1));
    long index = args.intAt(2);
    if (SendTimed(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0) == CB_ERR && index >= 0) {
        throw DriverError("combo box " + args.at(1) + " has no item " + args.at(2));
    }
    // Sent, as the combo box itself sends it when a user picks an item, so that what follows
    // sees what the choice did: a posted one could come after a sync, sent messages go first.
    // A handler that shows a modal box returns when it closes: the driver goes on after 2 s.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(GetParent(combo), WM_COMMAND,
                        MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                        reinterpret_cast<LPARAM>(combo), SMTO_NORMAL, 2000, &ignored);
}

void Items(const Args& args) {
    HWND combo = ControlOf(args.at(0), args.intAt(1));
    LRESULT count = SendTimed(combo, CB_GETCOUNT, 0, 0);
    std::printf("count %ld\nsel %ld\n", static_cast<long>(count),
                static_cast<long>(SendTimed(combo, CB_GETCURSEL, 0, 0)));
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = SendTimedW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        SendTimedW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(text.data()));
        std::printf("%s\n", base::Narrow(text.c_str()).c_str());
    }
}

void Slider(const Args& args) {
    HWND slider = ControlOf(args.at(0), args.intAt(1));
    std::printf("pos %ld min %ld max %ld\n", static_cast<long>(SendTimed(slider, TBM_GETPOS, 0, 0)),
                static_cast<long>(SendTimed(slider, TBM_GETRANGEMIN, 0, 0)),
                static_cast<long>(SendTimed(slider, TBM_GETRANGEMAX, 0, 0)));
}

RECT ThumbRect(HWND slider) {
    RemoteBuffer buffer(slider, sizeof(RECT));
    SendTimed(slider, TBM_GETTHUMBRECT, 0, buffer.address());
    RECT thumb{};
    buffer.Read(&thumb, sizeof thumb);
    return thumb;
}

// A WM_NOTIFY cannot be sent from another process (its pointer would not arrive), so after
// moving the thumb we press and release the button on it: the track bar itself then sends
// its parent WM_HSCROLL/WM_VSCROLL and NM_RELEASEDCAPTURE, as for a user's drag.
void SetSlider(const Args& args) {
    HWND slider = ControlOf(args.at(0), args.intAt(1));
    SendTimed(slider, TBM_SETPOS, TRUE, static_cast<LPARAM>(args.intAt(2)));
    RECT thumb = ThumbRect(slider);
    LPARAM at = MAKELPARAM((thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2);
    PostMessageA(slider, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(slider, WM_LBUTTONUP, 0, at);
    SyncWith(slider);
}

} // namespace

void AddControlCommands(CommandTable& table) {
    table.Add({"text", "CAPTION ID", 2, Text});
    table.Add({"wait-text", "CAPTION ID TEXT [TIMEOUT]", 3, WaitText});
    table.Add({"set-text", "CAPTION ID TEXT", 3, SetText});
    table.Add({"enabled", "CAPTION ID", 2, Enabled});
    table.Add({"visible", "CAPTION ID", 2, Visible});
    table.Add({"click", "CAPTION ID [MARK]", 2, Click});
    table.Add({"select", "CAPTION ID INDEX", 3, Select});
    table.Add({"items", "CAPTION ID", 2, Items});
    table.Add({"slider", "CAPTION ID", 2, Slider});
    table.Add({"set-slider", "CAPTION ID POS", 3, SetSlider});
}

} // namespace driver
