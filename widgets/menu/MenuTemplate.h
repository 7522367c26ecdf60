#pragma once
#include <windows.h>
#include <cstddef>
#include <string>
#include <vector>

// The items of a standard menu template resource, in template order.
class MenuTemplate {
public:
    static constexpr WORD kEndOfLevel = 0x80;

    struct Item {
        WORD option = 0; // MF_ flags, kEndOfLevel on the last item of a level
        WORD id = 0;     // 0 for popups, which carry no id
        std::wstring text;
    };

    // Reads as many whole items as the data holds; a truncated item ends the list.
    static std::vector<Item> Parse(const BYTE* data, size_t size);
};
