#pragma once
#include "widgets/statics/SkinLabel.h"

#include <string>

// What the tests read of a label: the caption it paints (the window text keeps the old one)
// and its line count.
class SkinLabelProbe {
public:
    explicit SkinLabelProbe(const SkinLabel& label) : m_label(label) {}
    const std::string& caption() const { return m_label.m_text; }
    int lineCount() const { return m_label.m_lineCount; }

private:
    const SkinLabel& m_label;
};
