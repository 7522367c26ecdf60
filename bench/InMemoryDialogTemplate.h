#pragma once
#include <windows.h>

#include <vector>

// A dialog template built in memory with no controls: the floor the recorder's main window is
// measured against (same size, caption, styles and font as its resource template).
class InMemoryDialogTemplate {
public:
    InMemoryDialogTemplate(const wchar_t* caption, short width, short height);

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    void AddWord(WORD word) { m_words.push_back(word); }
    void AddText(const wchar_t* text);

    // DLGTEMPLATE and the strings after it are WORD-aligned: a vector of WORDs keeps them so.
    std::vector<WORD> m_words;
};
