#include "widgets/button/ParentBackground.h"

#include "framework/ClientDC.h"

void ParentBackground::Paint(HWND child, HDC dc) {
    if (!taken()) {
        HWND parent = GetParent(child);
        fw::ClientDC parentDc(parent);
        RECT inParent{};
        GetWindowRect(child, &inParent);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&inParent), 2);
        if (!parentDc.get() || !Take(child, parentDc.get(), inParent)) {
            return;
        }
    }
    BitBlt(dc, 0, 0, m_width, m_height, m_dc, 0, 0, SRCCOPY);
}

bool ParentBackground::Take(HWND child, HDC parentDc, const RECT& inParent) {
    RECT client{};
    GetClientRect(child, &client);
    m_width = client.right;
    m_height = client.bottom;
    m_dc = CreateCompatibleDC(parentDc);
    if (!m_dc) {
        return false;
    }
    m_bitmap.reset(CreateCompatibleBitmap(parentDc, m_width, m_height));
    if (!m_bitmap) {
        Discard();
        return false;
    }
    m_previous = SelectObject(m_dc, m_bitmap.get());
    BitBlt(m_dc, 0, 0, m_width, m_height, parentDc, inParent.left, inParent.top, SRCCOPY);
    return true;
}

void ParentBackground::Discard() {
    if (m_dc && m_previous) {
        SelectObject(m_dc, m_previous);
    }
    m_previous = nullptr;
    m_bitmap.reset();
    if (m_dc) {
        DeleteDC(m_dc);
        m_dc = nullptr;
    }
}
