#include "widgets/statics/SkinLabel.h"

#include "base/GdiObject.h"
#include "framework/MemoryDC.h"
#include "framework/PaintDC.h"
#include "framework/SelectGuard.h"

#include <algorithm>

namespace {
// A parent's repaint of the area under a label also covers glyph overhang to the left and top.
constexpr int kOverhang = 3;
} // namespace

SkinLabel::Defaults& SkinLabel::ClassDefaults() {
    static Defaults defaults;
    return defaults;
}

SkinLabel::SkinLabel()
    : m_tileBitmap(ClassDefaults().tileBitmap), m_fillColour(GetSysColor(COLOR_BTNFACE)),
      m_lowerRightColour(ClassDefaults().lowerRight), m_upperLeftColour(ClassDefaults().upperLeft),
      m_shadowColour(ClassDefaults().shadow), m_textColour(ClassDefaults().text) {
    MapMessages();
}

bool SkinLabel::Attach(HWND label) {
    if (!label || hwnd()) {
        return false;
    }
    m_style = static_cast<DWORD>(GetWindowLongA(label, GWL_STYLE));
    if (!Subclass(label)) {
        return false;
    }
    m_text = text().substr(0, kMaxTemplateText);
    return true;
}

void SkinLabel::RepaintIf(bool repaint) const {
    if (repaint && hwnd()) {
        Invalidate(true);
    }
}

void SkinLabel::SetPanel(int mode, bool repaint) {
    if (mode >= PanelNone && mode <= PanelRounded) {
        m_panelMode = mode;
        RepaintIf(repaint);
    }
}

void SkinLabel::SetTileBitmap(HBITMAP tile, bool repaint) {
    m_tileBitmap = tile;
    RepaintIf(repaint);
}

void SkinLabel::SetFillColour(COLORREF colour, bool repaint) {
    m_fillColour = colour;
    RepaintIf(repaint);
}

void SkinLabel::SetEdgeColours(COLORREF upperLeft, COLORREF lowerRight, bool repaint) {
    m_upperLeftColour = upperLeft;
    m_lowerRightColour = lowerRight;
    RepaintIf(repaint);
}

void SkinLabel::SetShadowColour(COLORREF colour, bool repaint) {
    m_shadowColour = colour;
    RepaintIf(repaint);
}

void SkinLabel::SetTextColour(COLORREF colour, bool repaint) {
    m_textColour = colour;
    RepaintIf(repaint);
}

void SkinLabel::OnSetText(const char* text) {
    m_text.assign(text ? text : "");
    if (m_text.size() > kMaxText) {
        m_text.resize(kMaxText);
    }
    m_lineCount = 1 + static_cast<int>(std::count(m_text.begin(), m_text.end(), '\n'));
    RepaintAfterTextChange();
}

void SkinLabel::RepaintAfterTextChange() const {
    if (m_panelMode != PanelNone) {
        Invalidate(true);
        return;
    }
    // Without a panel the old text is only gone once the parent has painted over it, and the
    // label (a child of that area) paints the new text afterwards.
    HWND owner = parent();
    RECT area = windowRect();
    MapWindowPoints(nullptr, owner, reinterpret_cast<POINT*>(&area), 2);
    area.left -= kOverhang;
    area.top -= kOverhang;
    RedrawWindow(owner, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

std::string SkinLabel::Line(int index) const {
    size_t begin = 0;
    for (int i = 0; i < index; ++i) {
        begin = m_text.find('\n', begin);
        if (begin == std::string::npos) {
            return {};
        }
        ++begin;
    }
    const size_t end = m_text.find('\n', begin);
    std::string line = m_text.substr(begin, end == std::string::npos ? end : end - begin);
    if (line.size() > kMaxLine) {
        line.resize(kMaxLine);
    }
    return line;
}

void SkinLabel::Paint(HDC dc) {
    const RECT client = clientRect();
    base::Pen upperLeft(CreatePen(PS_SOLID, 1, m_upperLeftColour));
    base::Pen lowerRight(CreatePen(PS_SOLID, 1, m_lowerRightColour));
    base::Region clip(m_panelMode == PanelRounded
                          ? CreateRectRgn(1, 1, client.right - 1, client.bottom - 1)
                          : CreateRectRgn(1, 1, client.right, client.bottom));
    if (m_panelMode == PanelFlat) {
        PaintFlatPanel(dc, client, upperLeft.get(), lowerRight.get());
    } else if (m_panelMode == PanelRounded && m_tileBitmap) {
        PaintRoundedPanel(dc, client, clip.get(), upperLeft.get(), lowerRight.get());
    }
    PaintLines(dc, client, clip.get());
    SelectClipRgn(dc, nullptr);
}

void SkinLabel::PaintFlatPanel(HDC dc, const RECT& client, HPEN upperLeft, HPEN lowerRight) {
    base::Brush fill(CreateSolidBrush(m_fillColour));
    FillRect(dc, &client, fill.get());
    const LONG w = client.right, h = client.bottom;
    fw::SelectGuard pen(dc, upperLeft);
    MoveToEx(dc, 0, h, nullptr);
    LineTo(dc, 0, 0);
    LineTo(dc, w, 0);
    SelectObject(dc, lowerRight);
    LineTo(dc, w, h);
    LineTo(dc, 0, h);
}

void SkinLabel::PaintRoundedPanel(HDC dc, const RECT& client, HRGN clip, HPEN upperLeft,
                                  HPEN lowerRight) {
    BITMAP tile{};
    if (!GetObjectA(m_tileBitmap, sizeof tile, &tile) || tile.bmWidth <= 0 || tile.bmHeight <= 0) {
        return;
    }
    const LONG w = client.right, h = client.bottom;
    {
        fw::MemoryDC tileDc(nullptr);
        fw::SelectGuard selectTile(tileDc.get(), m_tileBitmap);
        SelectClipRgn(dc, clip);
        for (LONG y = 0; y < h; y += tile.bmHeight) {
            for (LONG x = 0; x < w; x += tile.bmWidth) {
                BitBlt(dc, x, y, tile.bmWidth, tile.bmHeight, tileDc.get(), 0, 0, SRCCOPY);
            }
        }
        SelectClipRgn(dc, nullptr);
    }
    fw::SelectGuard brush(dc, GetStockObject(NULL_BRUSH));
    fw::SelectGuard pen(dc, upperLeft);
    ExcludeClipRect(dc, 2, 2, w, h);
    RoundRect(dc, 0, 0, w, h, 5, 5);
    SelectClipRgn(dc, nullptr);
    ExcludeClipRect(dc, 0, 0, w - 2, h - 2);
    SelectObject(dc, lowerRight);
    RoundRect(dc, 0, 0, w, h, 5, 5);
    SelectClipRgn(dc, nullptr);
}

void SkinLabel::PaintLines(HDC dc, const RECT& client, HRGN clip) {
    fw::SelectGuard font(dc, reinterpret_cast<HGDIOBJ>(Send(WM_GETFONT)));
    SetBkMode(dc, TRANSPARENT);
    SelectClipRgn(dc, clip);
    const bool disabled = !IsEnabled();
    int y = 0;
    for (int i = 0; i < m_lineCount; ++i) {
        const std::string line = Line(i);
        const int length = static_cast<int>(line.size());
        SIZE extent{};
        GetTextExtentPoint32A(dc, line.c_str(), length, &extent);
        if (extent.cy == 0) {
            // An empty line still takes a line's height.
            TEXTMETRICA metrics{};
            GetTextMetricsA(dc, &metrics);
            extent.cy = metrics.tmHeight;
        }
        int x = 2;
        switch (m_style & 3) {
        case SS_CENTER:
            x = (client.right - extent.cx) / 2;
            break;
        case SS_RIGHT:
            x = client.right - extent.cx - 2;
            break;
        default:
            break;
        }
        if (disabled) {
            SetTextColor(dc, m_shadowColour);
            TextOutA(dc, x + 1, y + 1, line.c_str(), length);
        }
        SetTextColor(dc, m_textColour);
        TextOutA(dc, x, y, line.c_str(), length);
        y += extent.cy + 1;
    }
}

void SkinLabel::MapMessages() {
    auto& map = messages();
    // The platform's copy of the text is left as it was; the label paints its own copy.
    map.OnSetText([this](const char* text) {
        OnSetText(text);
        return TRUE;
    });
    map.OnPaint([this] {
        fw::PaintDC paint(hwnd());
        Paint(paint.get());
    });
    map.OnPrintClient([this](HDC dc) { Paint(dc); });
}
