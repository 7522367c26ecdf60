#include "WindowLookup.h"

#include "Args.h"
#include "base/AnsiText.h"
#include "DriverError.h"

namespace driver {

namespace {

struct TopSearch {
    const std::string* caption;
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND hwnd, LPARAM param) noexcept {
    auto* search = reinterpret_cast<TopSearch*>(param);
    try {
        if (IsWindowVisible(hwnd) && CaptionOf(hwnd) == *search->caption &&
            (!search->className || ClassOf(hwnd) == search->className)) {
            search->found.push_back(hwnd);
        }
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::string CaptionOf(HWND hwnd) {
    // InternalGetWindowText reads the caption the window manager keeps, sending no message.
    wchar_t wide[1024] = {};
    int n = InternalGetWindowText(hwnd, wide, static_cast<int>(std::size(wide)));
    return base::Narrow(std::wstring_view(wide, static_cast<size_t>(n)));
}

std::string ClassOf(HWND hwnd) {
    char name[256] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

// Wide messages throughout: Wine hands some ANSI string messages (CB_GETLBTEXT) across
// processes as wide text.
std::string TextOf(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &length)) {
        throw DriverError("window does not answer WM_GETTEXTLENGTH");
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kAnswerMs, &copied)) {
        throw DriverError("window does not answer WM_GETTEXT");
    }
    text.resize(std::min<size_t>(copied, length));
    return base::Narrow(text);
}

std::vector<HWND> TopWindows(const std::string& caption, const char* className) {
    TopSearch search{&caption, className, {}};
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindTopWindow(const std::string& caption, const char* className) {
    std::vector<HWND> found = TopWindows(caption, className);
    return found.empty() ? nullptr : found.front();
}

HWND WaitTopWindow(const std::string& caption, long timeoutMs, const char* className) {
    HWND hwnd = nullptr;
    WaitFor(timeoutMs, [&] { return (hwnd = FindTopWindow(caption, className)) != nullptr; });
    if (!hwnd) {
        throw DriverError("no window \"" + caption + "\" after " + std::to_string(timeoutMs) +
                          " ms");
    }
    return hwnd;
}

HWND ControlOf(const std::string& caption, long id) {
    HWND top = WaitTopWindow(caption, kDefaultTimeoutMs);
    if (id == 0) {
        return top;
    }
    HWND control = GetDlgItem(top, static_cast<int>(id));
    if (!control) {
        throw DriverError("window \"" + caption + "\" has no control " + std::to_string(id));
    }
    return control;
}

void SyncWith(HWND hwnd) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &ignored);
}

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += c;
        }
    }
    return out + "\"";
}

} // namespace driver
