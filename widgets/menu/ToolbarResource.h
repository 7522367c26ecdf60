#pragma once
#include <windows.h>
#include <vector>

// A toolbar resource (type 241): the command of every button, 0 for a separator. A button's
// image is the strip's image counted over the buttons before it.
class ToolbarResource {
public:
    static constexpr WORD kType = 241;

    static ToolbarResource Load(HMODULE module, const char* name);
    static ToolbarResource Parse(const BYTE* data, size_t size);

    int imageWidth() const { return m_width; }
    int imageHeight() const { return m_height; }
    // True when the toolbar has a button for the command; image receives its strip index.
    bool FindImage(UINT commandId, int& image) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<WORD> m_commands;
};
