#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace driver {

// Finding windows of any process by caption, and reading their texts without hanging on a
// program that stopped answering.

// How long a window may take to answer a message before it counts as not answering: a
// loaded machine holds a program up for seconds (over two beside three spinning processes).
constexpr UINT kAnswerMs = 10000;

std::string CaptionOf(HWND hwnd);
std::string ClassOf(HWND hwnd);
// The text a window reports through WM_GETTEXT (an edit's contents, a button's label).
std::string TextOf(HWND hwnd);

std::vector<HWND> TopWindows(const std::string& caption, const char* className = nullptr);
HWND FindTopWindow(const std::string& caption, const char* className = nullptr);
HWND WaitTopWindow(const std::string& caption, long timeoutMs, const char* className = nullptr);

// The child with the given id of the visible top-level window with that caption; id 0 is the
// window itself. Waits for the window up to the default timeout.
HWND ControlOf(const std::string& caption, long id);

// Lets the target's thread finish what was posted to it before the next step.
void SyncWith(HWND hwnd);

// Polls pred every pollMs (20) until it holds or timeoutMs has passed.
template <typename Pred> bool WaitFor(long timeoutMs, Pred pred, DWORD pollMs = 20) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    for (;;) {
        if (pred()) {
            return true;
        }
        if (GetTickCount64() >= end) {
            return false;
        }
        Sleep(pollMs);
    }
}

// "text" with backslash, quote, CR, LF and tab escaped, for one-line output.
std::string Quote(const std::string& text);

} // namespace driver
