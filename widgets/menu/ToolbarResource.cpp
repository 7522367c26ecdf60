#include "widgets/menu/ToolbarResource.h"

#include <algorithm>
#include <cstring>

ToolbarResource ToolbarResource::Load(HMODULE module, const char* name) {
    HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(kType));
    if (!found) {
        return {};
    }
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    return Parse(static_cast<const BYTE*>(data), data ? SizeofResource(module, found) : 0);
}

// Layout: version, image width, image height, button count, then one command id a button.
ToolbarResource ToolbarResource::Parse(const BYTE* data, size_t size) {
    ToolbarResource toolbar;
    WORD header[4] = {};
    if (!data || size < sizeof header) {
        return toolbar;
    }
    std::memcpy(header, data, sizeof header);
    if (header[0] != 1) {
        return toolbar;
    }
    toolbar.m_width = header[1];
    toolbar.m_height = header[2];
    const size_t count = std::min<size_t>(header[3], (size - sizeof header) / sizeof(WORD));
    toolbar.m_commands.resize(count);
    std::memcpy(toolbar.m_commands.data(), data + sizeof header, count * sizeof(WORD));
    return toolbar;
}

bool ToolbarResource::FindImage(UINT commandId, int& image) const {
    int index = 0;
    for (WORD command : m_commands) {
        if (command == 0) {
            continue;
        }
        if (command == commandId) {
            if (index > 0) {
                image = index;
            }
            return true;
        }
        ++index;
    }
    return false;
}
