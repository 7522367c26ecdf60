// The painting half of SkinButton: face, frame, image, caption and focus, in that order.
#include "widgets/button/SkinButton.h"

#include "framework/MemoryDC.h"
#include "framework/SelectGuard.h"
#include "widgets/paint/SolidPaint.h"

using paint::Draw3dFrame;
using paint::FillSolid;

namespace {

void PolylineWith(HDC dc, COLORREF colour, POINT a, POINT b, POINT c) {
    base::Pen pen(CreatePen(PS_SOLID, 1, colour));
    fw::SelectGuard select(dc, pen.get());
    const POINT points[] = {a, b, c};
    Polyline(dc, points, 3);
}

int Width(const RECT& r) {
    return r.right - r.left;
}
int Height(const RECT& r) {
    return r.bottom - r.top;
}
} // namespace

void SkinButton::DrawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    m_pressed = m_isCheckBox ? (selected || m_checked) : (selected || (hasMenu() && m_menuShown));
    m_focused = (item.itemState & ODS_FOCUS) != 0;
    m_disabled = (item.itemState & ODS_DISABLED) != 0;

    // The platform selects the control's font for a real paint; do it for any other caller.
    fw::SelectGuard font(dc, reinterpret_cast<HGDIOBJ>(Send(WM_GETFONT)));
    RECT work = item.rcItem;
    SetBkMode(dc, TRANSPARENT);
    if (m_transparent) {
        m_background.Paint(hwnd(), dc);
    } else {
        DrawFace(dc, work);
    }
    DrawFrame(dc, work);

    const std::string caption = text();
    RECT captionRect = item.rcItem;
    if (m_hotIcon.icon) {
        DrawIconImage(dc, !caption.empty(), item.rcItem, captionRect, m_pressed, m_disabled);
    }
    if (m_hotBitmap.bitmap) {
        SetBkColor(dc, RGB(255, 255, 255));
        DrawBitmapImage(dc, !caption.empty(), item.rcItem, captionRect, m_pressed, m_disabled);
    }
    if (!caption.empty()) {
        DrawCaption(dc, caption, item.rcItem, captionRect, m_pressed, m_disabled);
    }
    if (m_focused && (!m_flat || m_drawFlatFocus)) {
        InflateRect(&work, -3, -3);
        DrawFocusRect(dc, &work);
    }
}

void SkinButton::DrawFace(HDC dc, RECT& rect) {
    if (!m_flat && (m_focused || m_isDefault)) {
        base::Brush black(CreateSolidBrush(RGB(0, 0, 0)));
        FrameRect(dc, &rect, black.get());
        InflateRect(&rect, -1, -1);
    }
    const COLORREF face = (m_hot || m_pressed) ? m_colours[HotFace]
                          : m_focused          ? m_colours[FocusFace]
                                               : m_colours[NormalFace];
    FillSolid(dc, rect, face);
}

void SkinButton::DrawFrame(HDC dc, const RECT& r) {
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW),
                   highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    if (m_pressed) {
        if (m_flat && m_drawBorder) {
            Draw3dFrame(dc, r, shadow, highlight);
        } else if (!m_flat) {
            base::Brush brush(CreateSolidBrush(shadow));
            FrameRect(dc, &r, brush.get());
        }
        return;
    }
    if (m_flat) {
        if (m_hot && m_drawBorder) {
            Draw3dFrame(dc, r, highlight, shadow);
        }
        return;
    }
    const LONG L = r.left, T = r.top, R = r.right, B = r.bottom;
    PolylineWith(dc, highlight, {L, B - 1}, {L, T}, {R, T});
    PolylineWith(dc, GetSysColor(COLOR_3DLIGHT), {L + 1, B - 1}, {L + 1, T + 1}, {R, T + 1});
    PolylineWith(dc, GetSysColor(COLOR_3DDKSHADOW), {L, B - 1}, {R - 1, B - 1}, {R - 1, T - 1});
    PolylineWith(dc, shadow, {L + 1, B - 2}, {R - 2, B - 2}, {R - 2, T});
}

RECT SkinButton::PlaceImage(bool hasCaption, const RECT& item, RECT& caption, bool pressed,
                            int width, int height) const {
    RECT image = item;
    const int freeX = Width(image) - width, freeY = Height(image) - height;
    switch (m_imageAlign) {
    case ImageLeft:
        if (hasCaption) {
            image.left += m_imageMarginX;
            caption.left += width + m_imageMarginX;
        } else {
            image.left += freeX / 2;
        }
        image.top += freeY / 2;
        break;
    case ImageAbove:
        image.left += freeX / 2;
        if (hasCaption) {
            image.top = m_imageMarginY;
            caption.top += height;
        } else {
            image.top += freeY / 2;
        }
        break;
    case ImageRight:
        if (hasCaption) {
            caption.right = caption.right - caption.left - m_imageMarginX - width;
            caption.left = m_imageMarginX;
            image.left = clientRect().right - m_imageMarginX - width;
            image.top += freeY / 2;
        } else {
            image.left += freeX / 2;
        }
        break;
    default:
        break;
    }
    if (pressed && !m_isCheckBox) {
        OffsetRect(&image, m_pressOffsetX, m_pressOffsetY);
    }
    return image;
}

void SkinButton::DrawIconImage(HDC dc, bool hasCaption, const RECT& item, RECT& caption,
                               bool pressed, bool disabled) {
    const bool showHot = m_isCheckBox ? pressed : (pressed || m_hot);
    const IconImage& chosen = (showHot || !m_normalIcon.icon) ? m_hotIcon : m_normalIcon;
    const RECT image = PlaceImage(hasCaption, item, caption, pressed, chosen.width, chosen.height);
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(chosen.icon.get()), 0, image.left,
               image.top, image.right - image.left, image.bottom - image.top,
               DST_ICON | (disabled ? DSS_DISABLED : DSS_NORMAL));
}

void SkinButton::DrawBitmapImage(HDC dc, bool hasCaption, const RECT& item, RECT& caption,
                                 bool pressed, bool disabled) {
    const bool showHot = m_isCheckBox ? pressed : (pressed || m_hot);
    const BitmapImage& chosen = (showHot || !m_normalBitmap.bitmap) ? m_hotBitmap : m_normalBitmap;
    const int w = chosen.width, h = chosen.height;
    const RECT image = PlaceImage(hasCaption, item, caption, pressed, w, h);
    fw::MemoryDC bitmapDc(dc), maskDc(nullptr);
    fw::SelectGuard selectBitmap(bitmapDc.get(), chosen.bitmap.get());
    fw::SelectGuard selectMask(maskDc.get(), chosen.mask.get());
    if (disabled && m_showDisabledBitmap) {
        fw::MemoryDC tempDc(dc);
        base::Bitmap temp(CreateCompatibleBitmap(dc, w, h));
        {
            fw::SelectGuard selectTemp(tempDc.get(), temp.get());
            FillSolid(tempDc.get(), {0, 0, w, h}, RGB(255, 255, 255));
            const COLORREF oldBk = SetBkColor(tempDc.get(), RGB(255, 255, 255));
            BitBlt(tempDc.get(), 0, 0, w, h, maskDc.get(), 0, 0, SRCAND);
            BitBlt(tempDc.get(), 0, 0, w, h, bitmapDc.get(), 0, 0, SRCPAINT);
            SetBkColor(tempDc.get(), oldBk);
        }
        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(temp.get()), 0, image.left,
                   image.top, w, h, DST_BITMAP | DSS_DISABLED);
        return;
    }
    BitBlt(dc, image.left, image.top, w, h, maskDc.get(), 0, 0, SRCAND);
    BitBlt(dc, image.left, image.top, w, h, bitmapDc.get(), 0, 0, SRCPAINT);
}

void SkinButton::DrawCaption(HDC dc, const std::string& text, const RECT&, RECT& caption,
                             bool pressed, bool disabled) {
    if (pressed && !m_isCheckBox) {
        OffsetRect(&caption, m_pressOffsetX, m_pressOffsetY);
    }
    const RECT frame = caption;
    const UINT format = DT_WORDBREAK | DT_CENTER;
    DrawTextA(dc, text.c_str(), -1, &caption, format | DT_CALCRECT);
    OffsetRect(&caption, (Width(frame) - Width(caption)) / 2,
               (Height(frame) - Height(caption)) / 2);
    SetBkMode(dc, TRANSPARENT);
    if (disabled) {
        OffsetRect(&caption, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, text.c_str(), -1, &caption, format);
        OffsetRect(&caption, -1, -1);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
        DrawTextA(dc, text.c_str(), -1, &caption, format);
        return;
    }
    int textColour = NormalText, faceColour = NormalFace;
    if (m_hot || pressed) {
        textColour = HotText;
        faceColour = HotFace;
    } else if (m_focused) {
        textColour = FocusText;
        faceColour = FocusFace;
    }
    SetTextColor(dc, m_colours[textColour]);
    SetBkColor(dc, m_colours[faceColour]);
    DrawTextA(dc, text.c_str(), -1, &caption, format);
}
