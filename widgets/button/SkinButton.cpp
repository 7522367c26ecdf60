#include "widgets/button/SkinButton.h"

#include "framework/Application.h"
#include "framework/ClientDC.h"
#include "framework/MemoryDC.h"
#include "framework/SelectGuard.h"
#include "widgets/button/IconShade.h"

#include <mmsystem.h>
#include <windowsx.h>
#include <shellapi.h>

namespace {
constexpr LONG kTypeBits = 0x1F;
constexpr int kTipToolId = 1;
constexpr int kTipWidth = 400;

HICON LoadIconResource(int id, int cx, int cy) {
    return static_cast<HICON>(LoadImageA(fw::Application::ResourceInstance(), MAKEINTRESOURCEA(id),
                                         IMAGE_ICON, cx, cy, 0));
}
} // namespace

SkinButton::SkinButton() {
    ResetColours(false);
    MapMessages();
}

SkinButton::~SkinButton() {
    if (m_menu) {
        m_menu.DestroyMenu();
    }
    m_background.Discard();
    ReleaseImages();
}

bool SkinButton::Attach(HWND button) {
    if (!button || hwnd()) {
        return false;
    }
    LONG style = GetWindowLongA(button, GWL_STYLE);
    if (style & BS_CHECKBOX) {
        m_isCheckBox = true;
    }
    if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
        m_isDefault = true;
    }
    style = (style & ~kTypeBits) | BS_OWNERDRAW;
    SetWindowLongA(button, GWL_STYLE, style);
    SetWindowPos(button, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return Subclass(button);
}

void SkinButton::Repaint() const {
    if (hwnd()) {
        Invalidate(true);
    }
}

void SkinButton::ReleaseImages() {
    m_hotIcon = {};
    m_normalIcon = {};
    m_hotBitmap = {};
    m_normalBitmap = {};
}

bool SkinButton::Inspect(IconImage& image) {
    ICONINFO info{};
    if (!GetIconInfo(image.icon.get(), &info)) {
        return false;
    }
    image.width = 2 * static_cast<int>(info.xHotspot);
    image.height = 2 * static_cast<int>(info.yHotspot);
    if (info.hbmColor) {
        DeleteObject(info.hbmColor);
    }
    if (info.hbmMask) {
        DeleteObject(info.hbmMask);
    }
    return true;
}

int SkinButton::SetIcons(HICON hot, HICON normal) {
    ReleaseImages();
    if (!hot) {
        if (normal) {
            DestroyIcon(normal);
        }
        Repaint();
        return Ok;
    }
    m_hotIcon.icon.reset(hot);
    m_normalIcon.icon.reset(normal);
    if (!Inspect(m_hotIcon) || (normal && !Inspect(m_normalIcon))) {
        ReleaseImages();
        return ResourceFailed;
    }
    Repaint();
    return Ok;
}

int SkinButton::SetIcons(HICON hot, IconRequest normal) {
    if (!hot || normal == NoNormalIcon) {
        return SetIcons(hot, static_cast<HICON>(nullptr));
    }
    HICON copy = normal == AutoGrey ? IconShade::Grey(hot) : IconShade::Darker(hot, 0.25);
    if (!copy) {
        ReleaseImages();
        DestroyIcon(hot);
        return ResourceFailed;
    }
    return SetIcons(hot, copy);
}

int SkinButton::SetIcons(int hotId, int cxHot, int cyHot, int normalId, int cxNormal,
                         int cyNormal) {
    HICON hot = LoadIconResource(hotId, cxHot, cyHot);
    if (normalId == AutoGrey || normalId == AutoDarker) {
        return SetIcons(hot, static_cast<IconRequest>(normalId));
    }
    HICON normal = normalId ? LoadIconResource(normalId, cxNormal, cyNormal) : nullptr;
    return SetIcons(hot, normal);
}

int SkinButton::SetIcons(int hotId, int normalId) {
    return SetIcons(hotId, 0, 0, normalId, 0, 0);
}

namespace {
// A monochrome mask, white where the bitmap has the transparent colour; those pixels of the
// bitmap become black so that an OR after the AND of the mask leaves the face showing.
HBITMAP MakeMask(HBITMAP bitmap, COLORREF transparent, int width, int height) {
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    fw::MemoryDC colourDc, maskDc;
    if (!mask || !colourDc.get() || !maskDc.get()) {
        return mask;
    }
    fw::SelectGuard selectColour(colourDc.get(), bitmap);
    fw::SelectGuard selectMask(maskDc.get(), mask);
    SetBkColor(colourDc.get(), transparent);
    BitBlt(maskDc.get(), 0, 0, width, height, colourDc.get(), 0, 0, SRCCOPY);
    SetBkColor(colourDc.get(), RGB(0, 0, 0));
    SetTextColor(colourDc.get(), RGB(255, 255, 255));
    BitBlt(colourDc.get(), 0, 0, width, height, maskDc.get(), 0, 0, SRCAND);
    return mask;
}
} // namespace

int SkinButton::SetBitmaps(HBITMAP hot, COLORREF hotTransparent, HBITMAP normal,
                           COLORREF normalTransparent, bool repaint) {
    ReleaseImages();
    auto store = [](BitmapImage& image, HBITMAP bitmap, COLORREF transparent) {
        image.bitmap.reset(bitmap);
        BITMAP description{};
        if (!GetObjectA(bitmap, sizeof description, &description)) {
            return false;
        }
        image.width = description.bmWidth;
        image.height = description.bmHeight;
        image.mask.reset(MakeMask(bitmap, transparent, image.width, image.height));
        return static_cast<bool>(image.mask);
    };
    if (hot && (!store(m_hotBitmap, hot, hotTransparent) ||
                (normal && !store(m_normalBitmap, normal, normalTransparent)))) {
        ReleaseImages();
        return ResourceFailed;
    }
    if (!hot && normal) {
        DeleteObject(normal);
    }
    RepaintIf(repaint);
    return Ok;
}

int SkinButton::SetFlatStyle(bool flat, bool repaint) {
    m_flat = flat;
    RepaintIf(repaint);
    return Ok;
}

int SkinButton::SetImageAlign(BYTE align, bool repaint) {
    if (align > ImageAtOrigin) {
        return OutOfRange;
    }
    m_imageAlign = align;
    RepaintIf(repaint);
    return Ok;
}

int SkinButton::SetPointerCursor(WORD cursorId, bool repaint) {
    m_cursor.reset();
    if (cursorId == 0) {
        return Ok;
    }
    m_cursor.reset(static_cast<HCURSOR>(LoadImageA(
        fw::Application::ResourceInstance(), MAKEINTRESOURCEA(cursorId), IMAGE_CURSOR, 0, 0, 0)));
    if (!m_cursor) {
        return ResourceFailed;
    }
    RepaintIf(repaint);
    return Ok;
}

// A tooltip is a top-level window, which costs Wine an X window (about 5 ms each, measured):
// it is created when the pointer first reaches the button, not at start-up.
void SkinButton::EnsureTip() {
    if (m_tip.hwnd() || !hwnd()) {
        return;
    }
    if (!m_tip.Create(hwnd(), m_tipStyle)) {
        return;
    }
    m_tip.Activate(false);
    m_tip.SetMaxTipWidth(kTipWidth);
    if (!m_tipText.empty()) {
        ApplyTipText();
    }
}

void SkinButton::ApplyTipText() {
    if (m_tip.GetToolCount() == 0) {
        m_tip.AddTool(hwnd(), m_tipText, clientRect(), kTipToolId);
    }
    m_tip.UpdateTipText(m_tipText, hwnd(), kTipToolId);
    m_tip.Activate(m_tipActive);
}

void SkinButton::SetTipText(const char* text, bool activate) {
    if (!text) {
        return;
    }
    m_tipText = text;
    m_tipActive = activate;
    if (m_tip.hwnd()) {
        ApplyTipText();
    }
}

std::string SkinButton::tipText() const {
    return m_tip.hwnd() ? m_tip.GetText(hwnd(), kTipToolId) : m_tipText;
}

void SkinButton::UseParentBackground(Repainting repaint) {
    m_transparent = true;
    m_background.Discard();
    RepaintIf(repaint == RepaintNow);
}

int SkinButton::SetColour(int which, COLORREF colour, bool repaint) {
    if (which < 0 || which >= ColourCount) {
        return OutOfRange;
    }
    m_colours[which] = colour;
    RepaintIf(repaint);
    return Ok;
}

int SkinButton::ResetColours(bool repaint) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE), text = GetSysColor(COLOR_BTNTEXT);
    for (int i = 0; i < ColourCount; i += 2) {
        m_colours[i] = face;
        m_colours[i + 1] = text;
    }
    RepaintIf(repaint);
    return Ok;
}

int SkinButton::SetImageMargins(int x, int y, bool repaint) {
    m_imageMarginX = x;
    m_imageMarginY = y;
    RepaintIf(repaint);
    return Ok;
}

int SkinButton::SetPressOffset(int x, int y, bool repaint) {
    m_pressOffsetX = x;
    m_pressOffsetY = y;
    RepaintIf(repaint);
    return Ok;
}

int SkinButton::SetDrawBorder(bool drawBorder, bool repaint) {
    m_drawBorder = drawBorder;
    RepaintIf(repaint);
    return Ok;
}

int SkinButton::SetDrawFlatFocus(bool drawFocus, bool repaint) {
    m_drawFlatFocus = drawFocus;
    RepaintIf(repaint);
    return Ok;
}

int SkinButton::SetShowDisabledBitmap(bool show, bool repaint) {
    m_showDisabledBitmap = show;
    RepaintIf(repaint);
    return Ok;
}

int SkinButton::SetAddress(const char* address) {
    const std::string value = address ? address : "";
    if (value.size() >= MAX_PATH) {
        return OutOfRange;
    }
    m_address = value;
    return Ok;
}

int SkinButton::StoreSound(Sound& sound, const char* name, HMODULE module, DWORD flags) {
    sound = {};
    if (!name) {
        return Ok;
    }
    if (IS_INTRESOURCE(name)) {
        sound.reference = name;
    } else {
        if (std::char_traits<char>::length(name) >= MAX_PATH) {
            return OutOfRange;
        }
        sound.name = name;
        sound.reference = sound.name.c_str();
    }
    sound.module = module;
    sound.flags = flags;
    return Ok;
}

int SkinButton::SetHoverSound(const char* sound, HMODULE module, DWORD flags) {
    return StoreSound(m_hoverSound, sound, module, flags);
}

int SkinButton::SetClickSound(const char* sound, HMODULE module, DWORD flags) {
    return StoreSound(m_clickSound, sound, module, flags);
}

void SkinButton::PlaySoundOf(const Sound& sound) {
    if (sound.reference) {
        PlaySoundA(sound.reference, sound.module, sound.flags);
    }
}

int SkinButton::SetMenu(UINT menuId, HWND target, const MenuCallback& callback, bool repaint) {
    if (menuId == 0) {
        m_menu.DestroyMenu();
    } else if (!m_menu.LoadMenu(menuId)) {
        return ResourceFailed;
    }
    m_menuTarget = target;
    m_menuCallback = callback;
    RepaintIf(repaint);
    return Ok;
}

bool SkinButton::PreTranslateMessage(MSG& msg) {
    // A tooltip acts only on the mouse messages relayed to it.
    if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) {
        EnsureTip();
        if (m_tip.hwnd()) {
            m_tip.RelayEvent(msg);
        }
    }
    // Owner-drawn buttons report a double-click instead of a second click.
    if (msg.message == WM_LBUTTONDBLCLK) {
        msg.message = WM_LBUTTONDOWN;
    }
    return Button::PreTranslateMessage(msg);
}

void SkinButton::LeaveHot() {
    if (m_flat && m_hot) {
        m_hot = false;
        Repaint();
    }
}

void SkinButton::OnMouseMove(POINT point, UINT keys) {
    POINT screen = point;
    ClientToScreen(hwnd(), &screen);
    HWND under = WindowFromPoint(screen);
    if ((keys & MK_LBUTTON) && !m_hot) {
        return;
    }
    if (!m_flat) {
        return;
    }
    const bool active = m_trackAlways || GetActiveWindow() != nullptr;
    if (under == hwnd() && active) {
        if (m_hot) {
            return;
        }
        m_hot = true;
        Repaint();
        PlaySoundOf(m_hoverSound);
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd(), 0};
        TrackMouseEvent(&track);
    } else if (m_hot) {
        m_hot = false;
        Repaint();
    }
}

void SkinButton::OnEnable(bool enabled) {
    // The platform takes the focus from a window it disables and gives it to nobody, which
    // would leave the dialog deaf to keys; a button without the focus leaves it alone.
    const bool hadFocus = m_focusLostToDisable || GetFocus() == hwnd();
    m_focusLostToDisable = false;
    if (!enabled && hadFocus) {
        HWND dialog = parent();
        HWND next = GetNextDlgTabItem(dialog, hwnd(), FALSE);
        SetFocus(next && next != hwnd() ? next : dialog);
    }
    LeaveHot();
}

void SkinButton::OnClicked() {
    SetFocus(hwnd());
    PlaySoundOf(m_clickSound);
    if (m_isCheckBox) {
        m_checked = !m_checked;
        Repaint();
        return;
    }
    if (OpenMenu()) {
        return;
    }
    if (!m_address.empty()) {
        OpenAddress(m_address);
    }
}

void SkinButton::OpenAddress(const std::string& address) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = hwnd();
    info.lpVerb = "open";
    info.lpFile = address.c_str();
    info.nShow = SW_SHOWMAXIMIZED;
    ShellExecuteExA(&info);
}

bool SkinButton::OpenMenu() {
    if (!m_menu) {
        return false;
    }
    const RECT screen = windowRect();
    m_menuShown = true;
    Repaint();
    HMENU popup = GetSubMenu(m_menu.get(), 0);
    if (m_menuCallback.window) {
        SendMessageA(m_menuCallback.window, m_menuCallback.message, reinterpret_cast<WPARAM>(popup),
                     m_menuCallback.lParam);
    }
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                       screen.left, screen.bottom, 0, hwnd(), nullptr));
    m_menuShown = false;
    Repaint();
    if (command && m_menuTarget) {
        PostMessageA(m_menuTarget, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    }
    return true;
}

// Menu items report their command id, not their menu: the item data tells the items of glyph
// menus (their records) from any other window's, whose data the menu must not read.
bool SkinButton::MeasureMenuItem(MEASUREITEMSTRUCT& item) {
    if (!hasMenu() || !GlyphMenu::IsRegisteredItem(item.itemData)) {
        return false;
    }
    m_menu.MeasureItem(item);
    return true;
}

bool SkinButton::DrawMenuItem(const DRAWITEMSTRUCT& item) {
    const auto handle = reinterpret_cast<HMENU>(item.hwndItem);
    GlyphMenu* menu = GlyphMenu::IsRegisteredMenu(handle) ? GlyphMenu::FromHandle(handle) : nullptr;
    if (!menu) {
        return false;
    }
    menu->DrawItem(item);
    return true;
}

bool SkinButton::AnswerMenuChar(wchar_t ch, UINT menuFlag, HMENU menu, LRESULT& result) {
    if (!GlyphMenu::IsRegisteredMenu(menu)) {
        return false;
    }
    result = GlyphMenu::MenuCharToPosition(ch, menuFlag, menu);
    return true;
}

LRESULT SkinButton::OnSetStyle(UINT newStyle, bool redraw) {
    // The nested BM_SETSTYLE carries the changed style; Default() passes it on unchanged.
    if (m_forwardingStyle) {
        return Default();
    }
    const WPARAM style = newStyle;
    const WPARAM type = style & kTypeBits;
    if (type == BS_DEFPUSHBUTTON) {
        m_isDefault = true;
    } else if (type == BS_PUSHBUTTON) {
        m_isDefault = false;
    }
    m_forwardingStyle = true;
    const LRESULT result = Send(BM_SETSTYLE, (style & ~WPARAM{0x14}) | BS_OWNERDRAW, redraw);
    m_forwardingStyle = false;
    return result;
}

void SkinButton::MapMessages() {
    MapHotTracking();
    MapMenuMessages();
    MapButtonMessages();
    messages().OnSysColorChange([this] {
        Default();
        m_background.Discard();
        ResetColours(true);
    });
}

// The pointer and everything that ends the hot state: leaving, focus, cancel, deactivation,
// disabling.
void SkinButton::MapHotTracking() {
    auto& map = messages();
    map.OnSetCursor([this](HWND, UINT, UINT) {
        if (m_cursor) {
            SetCursor(m_cursor.get());
            return TRUE;
        }
        return static_cast<BOOL>(Default());
    });
    map.OnMouseMove([this](POINT point, UINT keys) {
        Default();
        OnMouseMove(point, keys);
    });
    map.OnMouseLeave([this] { LeaveHot(); });
    map.OnKillFocus([this](HWND next) {
        // The focus went to another window: a disable that follows did not take it from us.
        if (next) {
            m_focusLostToDisable = false;
        }
        Default();
        LeaveHot();
    });
    map.OnCancelMode([this] {
        // Disabling a window sends WM_CANCELMODE first, while the window still has the
        // focus; the order of the rest differs between systems.
        if (GetFocus() == hwnd()) {
            m_focusLostToDisable = true;
        }
        Default();
        LeaveHot();
    });
    map.OnActivate([this](UINT state, bool, HWND) {
        Default();
        if (state == WA_INACTIVE) {
            LeaveHot();
        }
    });
    map.OnEnable([this](bool enabled) {
        Default();
        OnEnable(enabled);
    });
}

void SkinButton::MapMenuMessages() {
    auto& map = messages();
    map.OnMeasureItem([this](MEASUREITEMSTRUCT& item) {
        if (item.CtlType == ODT_MENU && MeasureMenuItem(item)) {
            return TRUE;
        }
        return static_cast<BOOL>(Default());
    });
    map.OnDrawItem([this](const DRAWITEMSTRUCT& item) {
        if (item.CtlType == ODT_MENU && DrawMenuItem(item)) {
            return TRUE;
        }
        return static_cast<BOOL>(Default());
    });
    map.OnMenuChar([this](wchar_t ch, UINT menuFlag, HMENU menu) {
        LRESULT result = 0;
        return AnswerMenuChar(ch, menuFlag, menu, result) ? result : Default();
    });
}

void SkinButton::MapButtonMessages() {
    auto& map = messages();
    map.OnSetButtonStyle([this](UINT style, bool redraw) { return OnSetStyle(style, redraw); });
    map.OnGetDlgCode([this](const MSG*) {
        const UINT code =
            static_cast<UINT>(Default()) & ~UINT{DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON};
        return code | (m_isDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    });
    map.OnSetCheck([this](UINT state) {
        if (!m_isCheckBox) {
            Default();
            return;
        }
        m_checked = state == BST_CHECKED || state == BST_INDETERMINATE;
        Repaint();
    });
    map.OnGetCheck([this] { return static_cast<UINT>(m_checked ? BST_CHECKED : BST_UNCHECKED); });
}

bool SkinButton::OnReflectedDrawItem(const DRAWITEMSTRUCT& item) {
    DrawItem(item);
    return true;
}

bool SkinButton::OnReflectedCtlColor(HDC, HBRUSH& brush) {
    brush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    return true;
}

// The dialog's own click handler runs as well.
bool SkinButton::OnReflectedCommand(UINT code) {
    if (code == BN_CLICKED) {
        OnClicked();
    }
    return false;
}
