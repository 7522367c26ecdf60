#pragma once
#include "framework/Static.h"

#include <windows.h>
#include <string>

// A static text that paints its own caption: line-feed separated lines aligned by the control's
// style, transparent over the parent, with a shadow when disabled, optionally over a panel.
class SkinLabel : public fw::Static {
public:
    enum PanelMode : int { PanelNone = 0, PanelFlat = 1, PanelRounded = 2 };
    static constexpr size_t kMaxText = 1023;
    static constexpr size_t kMaxLine = 259;
    static constexpr size_t kMaxTemplateText = 255;

    // Colours and tile bitmap every label takes when it is constructed (the tile is borrowed).
    struct Defaults {
        HBITMAP tileBitmap = nullptr;
        COLORREF lowerRight = RGB(0, 0, 0);
        COLORREF upperLeft = RGB(0, 0, 0);
        COLORREF shadow = RGB(0, 0, 0);
        COLORREF text = RGB(0, 0, 0);
    };
    static Defaults& ClassDefaults();

    SkinLabel();

    bool Attach(HWND label) override;

    void SetPanel(int mode, bool repaint);
    // The bitmap is borrowed: the caller keeps it alive while the label uses it.
    void SetTileBitmap(HBITMAP tile, bool repaint);
    void SetFillColour(COLORREF colour, bool repaint);
    void SetEdgeColours(COLORREF upperLeft, COLORREF lowerRight, bool repaint);
    void SetShadowColour(COLORREF colour, bool repaint);
    void SetTextColour(COLORREF colour, bool repaint);

    // Paints the whole label into dc (client coordinates).
    void Paint(HDC dc);

private:
    friend class SkinLabelProbe;
    void MapMessages();
    void OnSetText(const char* text);
    void RepaintAfterTextChange() const;
    void PaintFlatPanel(HDC dc, const RECT& client, HPEN upperLeft, HPEN lowerRight);
    void PaintRoundedPanel(HDC dc, const RECT& client, HRGN clip, HPEN upperLeft, HPEN lowerRight);
    void PaintLines(HDC dc, const RECT& client, HRGN clip);
    std::string Line(int index) const;
    void RepaintIf(bool repaint) const;

    DWORD m_style = 0;
    std::string m_text;
    int m_panelMode = PanelNone;
    HBITMAP m_tileBitmap;
    COLORREF m_fillColour;
    COLORREF m_lowerRightColour;
    COLORREF m_upperLeftColour;
    COLORREF m_shadowColour;
    COLORREF m_textColour;
    int m_lineCount = 1;
};
