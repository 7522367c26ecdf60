#pragma once
#include <windows.h>
#include <string>
#include <string_view>

namespace base {

// The conversion between the program's narrow strings (in the ANSI code page unless another is
// named) and the wide strings of COM, the menus and the platform. Characters the target code
// page lacks are replaced.
inline std::wstring Widen(std::string_view text, UINT codePage = CP_ACP) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(size > 0 ? size : 0), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), size);
    return wide;
}

inline std::string Narrow(std::wstring_view text, UINT codePage = CP_ACP) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

} // namespace base
