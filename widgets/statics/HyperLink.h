#pragma once
#include "base/GdiObject.h"
#include "framework/Static.h"
#include "framework/ToolTipCtrl.h"
#include "base/UniqueHandle.h"

#include <windows.h>
#include <string>

// A static text that opens its target through the shell when clicked, with link, hover and
// visited colours, optional underlining, a pointing-hand cursor and the target as its tooltip.
class HyperLink : public fw::Static {
public:
    enum UnderlineMode : int { UnderlineNever = 0, UnderlineAlways = 1, UnderlineOnHover = -1 };
    static constexpr UINT kHoverTimerId = 100;
    static constexpr UINT kHoverPeriod = 100;

    HyperLink();
    ~HyperLink() override;

    bool Attach(HWND label) override;
    void SetLink(const std::string& target);
    void SetUnderlineMode(int mode);
    void SetColours(COLORREF link, COLORREF visited, COLORREF hover);
    void SetAdjustToFit(bool adjust) { m_adjustToFit = adjust; }

    // The browser's command line for a target: the placeholder %1 (quoted or bare) and what
    // follows is cut off, then the target is appended in quotes.
    static std::string BrowserCommandLine(const std::string& command, const std::string& target);
    // The message shown when opening failed with a shell result code.
    static std::string ErrorText(int code);

protected:
    bool OnReflectedCommand(UINT code) override;
    bool OnReflectedCtlColor(HDC dc, HBRUSH& brush) override;
    bool PreTranslateMessage(MSG& msg) override;

    // Opens the target; a result above 32 is success. Replaceable so tests launch nothing.
    virtual int OpenTarget(const std::string& target, int show);
    virtual void ReportError(int code);

private:
    friend class HyperLinkProbe;
    std::string tipText() const;
    void CreateFonts();
    void FitToText();
    void LoadLinkCursor();
    void SetFont(HFONT font) const;
    void MapMessages();
    void OnMouseMove();
    void OnHoverTimer();
    void OnClicked();
    static int OpenWithBrowser(const std::string& target, int show, int shellResult);

    COLORREF m_linkColour = RGB(0, 0, 238);
    COLORREF m_visitedColour = RGB(85, 26, 139);
    COLORREF m_hoverColour = RGB(255, 0, 0);
    bool m_overControl = false;
    bool m_visited = false;
    int m_underlineMode = UnderlineOnHover;
    bool m_adjustToFit = true;
    std::string m_target;
    base::Font m_underlineFont;
    base::Font m_plainFont;
    base::OwnedCursor m_linkCursor;
    fw::ToolTipCtrl m_tip;
};
