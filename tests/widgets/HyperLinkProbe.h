#pragma once
#include "widgets/statics/HyperLink.h"

#include <string>

// What the tests read of a link's state: hover, visited, its fonts, cursor and tooltip text.
class HyperLinkProbe {
public:
    explicit HyperLinkProbe(const HyperLink& link) : m_link(link) {}
    bool isOverControl() const { return m_link.m_overControl; }
    bool isVisited() const { return m_link.m_visited; }
    HFONT underlineFont() const { return m_link.m_underlineFont.get(); }
    HCURSOR linkCursor() const { return m_link.m_linkCursor.get(); }
    std::string tipText() const { return m_link.tipText(); }

private:
    const HyperLink& m_link;
};
