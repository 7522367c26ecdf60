// tooltip, cursor: what the pointer makes the program show.
#include "CommandTable.h"
#include "RemoteBuffer.h"
#include "WindowLookup.h"
#include "base/GdiObject.h"

#include <commctrl.h>

#include <cstdio>
#include <utility>

namespace driver {

namespace {

BOOL CALLBACK CollectTooltip(HWND hwnd, LPARAM param) noexcept {
    try {
        if (IsWindowVisible(hwnd) && ClassOf(hwnd) == TOOLTIPS_CLASSA) {
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
        }
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

// The current tool's text read through memory in the tooltip's own process, for a tooltip
// that does not answer WM_GETTEXT.
std::string CurrentToolText(HWND tooltip) {
    constexpr size_t kTextSize = 1024;
    RemoteBuffer buffer(tooltip, sizeof(TTTOOLINFOA) + kTextSize);
    TTTOOLINFOA info{};
    info.cbSize = sizeof info;
    buffer.Write(&info, sizeof info);
    if (!SendMessageA(tooltip, TTM_GETCURRENTTOOLA, 0, buffer.address())) {
        return {};
    }
    buffer.Read(&info, sizeof info);
    info.lpszText = reinterpret_cast<char*>(buffer.address() + sizeof info);
    buffer.Write(&info, sizeof info);
    SendMessageA(tooltip, TTM_GETTEXTA, kTextSize, buffer.address());
    std::string text(kTextSize, '\0');
    buffer.Read(text.data(), kTextSize, sizeof info);
    return text.c_str();
}

void Tooltip(const Args&) {
    std::vector<HWND> tooltips;
    EnumWindows(CollectTooltip, reinterpret_cast<LPARAM>(&tooltips));
    for (HWND tooltip : tooltips) {
        std::string text = TextOf(tooltip);
        const char* source = "text";
        if (text.empty()) {
            text = CurrentToolText(tooltip);
            source = "tool";
        }
        std::printf("tooltip %s %s\n", source, Quote(text).c_str());
    }
}

struct CursorShape {
    POINT hotspot{};
    SIZE size{};
};

bool ShapeOf(HCURSOR cursor, CursorShape& shape) {
    ICONINFO info{};
    if (!cursor || !GetIconInfo(cursor, &info)) {
        return false;
    }
    base::Bitmap mask(info.hbmMask), colour(info.hbmColor);
    BITMAP bm{};
    GetObjectA(colour ? colour.get() : mask.get(), sizeof bm, &bm);
    shape.hotspot = {static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot)};
    // A monochrome cursor keeps its AND and XOR halves in one mask of twice the height.
    shape.size = {bm.bmWidth, colour ? bm.bmHeight : bm.bmHeight / 2};
    return true;
}

std::string Describe(const CursorShape& shape) {
    char line[96];
    std::snprintf(line, sizeof line, "hotspot %ld %ld size %ld %ld", shape.hotspot.x,
                  shape.hotspot.y, shape.size.cx, shape.size.cy);
    return line;
}

// Wine keeps a cursor's bitmaps in the process that made it: GetIconInfo fails on the cursor
// of another process, so its shape is only known for our own; x_cursor.py reads it from the
// X server instead. The system cursors as this process loads them are printed for comparison.
void Cursor(const Args&) {
    CURSORINFO info{};
    info.cbSize = sizeof info;
    GetCursorInfo(&info);
    std::printf("cursor handle %p showing %d\n", static_cast<void*>(info.hCursor),
                (info.flags & CURSOR_SHOWING) ? 1 : 0);
    CursorShape shape;
    std::printf("shape %s\n", ShapeOf(info.hCursor, shape) ? Describe(shape).c_str() : "unknown");
    for (auto [name, id] : {std::pair{"hand", IDC_HAND}, std::pair{"arrow", IDC_ARROW}}) {
        HCURSOR system = LoadCursorA(nullptr, id);
        CursorShape systemShape;
        ShapeOf(system, systemShape);
        std::printf("system-%s handle %p %s same %d\n", name, static_cast<void*>(system),
                    Describe(systemShape).c_str(), system == info.hCursor ? 1 : 0);
    }
}

} // namespace

void AddFeedbackCommands(CommandTable& table) {
    table.Add({"tooltip", "", 0, Tooltip});
    table.Add({"cursor", "", 0, Cursor});
}

} // namespace driver
