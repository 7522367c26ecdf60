#pragma once
#include "framework/Button.h"
#include "base/GdiObject.h"
#include "framework/ToolTipCtrl.h"
#include "base/UniqueHandle.h"
#include "widgets/button/ParentBackground.h"
#include "widgets/menu/GlyphMenu.h"

#include <windows.h>
#include <string>

// An owner-drawn push button: flat or 3-D look, hot tracking, icons and bitmaps, per-state
// colours, cursor, tooltip, sounds, an optional shell address and drop-down menu, check-box
// and default-button behaviour, and a face copied from the parent window.
class SkinButton : public fw::Button {
public:
    enum ImageAlign : BYTE { ImageLeft = 0, ImageAbove = 1, ImageRight = 2, ImageAtOrigin = 3 };
    // Requests for the normal icon instead of a handle or resource id.
    enum IconRequest : int { NoNormalIcon = 0, AutoGrey = -2, AutoDarker = -3 };
    enum Colour : int {
        HotFace,
        HotText,
        NormalFace,
        NormalText,
        FocusFace,
        FocusText,
        ColourCount
    };
    enum Result : int { Ok = 0, ResourceFailed = 1, OutOfRange = 4 };
    // Whether a setter repaints the button at once.
    enum Repainting : bool { NoRepaint = false, RepaintNow = true };

    SkinButton();
    ~SkinButton() override;

    // Takes over a template button and makes it owner-drawn.
    bool Attach(HWND button) override;

    // Icons: the hot one is shown while hot or pressed, the normal one otherwise. Handles given
    // here become the button's. Always repaints.
    int SetIcons(HICON hot, HICON normal);
    int SetIcons(HICON hot, IconRequest normal);
    // Resource forms; a size of 0 x 0 takes the resource's own size, normalId may be a request.
    int SetIcons(int hotId, int cxHot, int cyHot, int normalId, int cxNormal, int cyNormal);
    int SetIcons(int hotId, int normalId);
    // Bitmaps: pixels of the transparent colour show the face. Handles become the button's.
    int SetBitmaps(HBITMAP hot, COLORREF hotTransparent, HBITMAP normal, COLORREF normalTransparent,
                   bool repaint);
    int SetFlatStyle(bool flat, bool repaint);
    int SetImageAlign(BYTE align, bool repaint);
    int SetPointerCursor(WORD cursorId, bool repaint);
    void SetTipText(const char* text, bool activate);
    // The face becomes a copy of the parent's pixels behind the button, taken afresh at the
    // next paint.
    void UseParentBackground(Repainting repaint);
    int SetColour(int which, COLORREF colour, bool repaint);
    int ResetColours(bool repaint);
    int SetImageMargins(int x, int y, bool repaint);
    int SetPressOffset(int x, int y, bool repaint);
    int SetDrawBorder(bool drawBorder, bool repaint);
    int SetDrawFlatFocus(bool drawFocus, bool repaint);
    int SetShowDisabledBitmap(bool show, bool repaint);
    void SetTrackAlways(bool always) { m_trackAlways = always; }
    void SetTipStyle(DWORD style) { m_tipStyle = style; }
    // Opened through the shell on click; at most 259 characters (4 when longer).
    int SetAddress(const char* address);
    // A sound name, or a resource id made with MAKEINTRESOURCE and its module; null clears it.
    int SetHoverSound(const char* sound, HMODULE module, DWORD flags);
    int SetClickSound(const char* sound, HMODULE module, DWORD flags);
    // Sent to window just before the drop-down menu opens, with the popup as wParam.
    struct MenuCallback {
        HWND window = nullptr;
        UINT message = 0;
        LPARAM lParam = 0;
    };
    // Loads the drop-down menu from a menu template resource; its sub-menu 0 opens under the
    // button and the chosen command is posted to target. Menu id 0 removes the menu.
    int SetMenu(UINT menuId, HWND target, const MenuCallback& callback, bool repaint);

    // Paints the button for an owner-draw request.
    virtual void DrawItem(const DRAWITEMSTRUCT& item);

protected:
    struct IconImage {
        base::OwnedIcon icon;
        int width = 0;
        int height = 0;
    };
    struct BitmapImage {
        base::Bitmap bitmap;
        int width = 0;
        int height = 0;
        base::Bitmap mask;
    };
    struct Sound {
        std::string name;
        const char* reference = nullptr;
        HMODULE module = nullptr;
        DWORD flags = 0;
    };

    bool OnReflectedCommand(UINT code) override;
    bool OnReflectedDrawItem(const DRAWITEMSTRUCT& item) override;
    bool OnReflectedCtlColor(HDC dc, HBRUSH& brush) override;
    bool PreTranslateMessage(MSG& msg) override;

    virtual void DrawFace(HDC dc, RECT& rect);
    virtual void DrawFrame(HDC dc, const RECT& rect);
    virtual void DrawIconImage(HDC dc, bool hasCaption, const RECT& item, RECT& caption,
                               bool pressed, bool disabled);
    virtual void DrawBitmapImage(HDC dc, bool hasCaption, const RECT& item, RECT& caption,
                                 bool pressed, bool disabled);
    virtual void DrawCaption(HDC dc, const std::string& text, const RECT& item, RECT& caption,
                             bool pressed, bool disabled);
    // The drop-down menu's share of the button's messages; false leaves them to the default.
    virtual bool MeasureMenuItem(MEASUREITEMSTRUCT& item);
    virtual bool DrawMenuItem(const DRAWITEMSTRUCT& item);
    virtual bool AnswerMenuChar(wchar_t ch, UINT menuFlag, HMENU menu, LRESULT& result);
    // Opens the drop-down menu when one is loaded; false when there is none.
    virtual bool OpenMenu();
    virtual void OpenAddress(const std::string& address);

    RECT PlaceImage(bool hasCaption, const RECT& item, RECT& caption, bool pressed, int width,
                    int height) const;
    bool hasMenu() const { return static_cast<bool>(m_menu); }

    bool m_pressed = false;
    bool m_focused = false;
    bool m_disabled = false;

private:
    friend class SkinButtonProbe;
    void Repaint() const;
    void RepaintIf(bool repaint) const {
        if (repaint) {
            Repaint();
        }
    }
    void EnsureTip();
    void ApplyTipText();
    void ReleaseImages();
    std::string tipText() const;
    void MapMessages();
    void MapHotTracking();
    void MapMenuMessages();
    void MapButtonMessages();
    void OnMouseMove(POINT point, UINT keys);
    void LeaveHot();
    void OnEnable(bool enabled);
    void OnClicked();
    LRESULT OnSetStyle(UINT style, bool redraw);
    static void PlaySoundOf(const Sound& sound);
    static int StoreSound(Sound& sound, const char* name, HMODULE module, DWORD flags);
    static bool Inspect(IconImage& image);

    bool m_showDisabledBitmap = true;
    int m_imageMarginX = 3;
    int m_imageMarginY = 3;
    int m_pressOffsetX = 1;
    int m_pressOffsetY = 1;
    bool m_flat = true;
    bool m_hot = false;
    bool m_transparent = false;
    bool m_isDefault = false;
    bool m_isCheckBox = false;
    BYTE m_imageAlign = ImageLeft;
    bool m_drawBorder = true;
    bool m_drawFlatFocus = false;
    COLORREF m_colours[ColourCount];
    HWND m_menuTarget = nullptr;
    bool m_menuShown = false;
    bool m_forwardingStyle = false;
    bool m_focusLostToDisable = false;
    // Members are destroyed in reverse order: images, cursor, menu, background copy, tooltip.
    fw::ToolTipCtrl m_tip;
    ParentBackground m_background;
    GlyphMenu m_menu;
    base::OwnedCursor m_cursor;
    bool m_trackAlways = true;
    bool m_checked = false;
    DWORD m_tipStyle = 0;
    // The tooltip's text and activation, kept until its window exists (see EnsureTip).
    std::string m_tipText;
    bool m_tipActive = false;
    std::string m_address;
    IconImage m_hotIcon;
    IconImage m_normalIcon;
    BitmapImage m_hotBitmap;
    BitmapImage m_normalBitmap;
    MenuCallback m_menuCallback;
    Sound m_hoverSound;
    Sound m_clickSound;
};
