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
    BitBlt(dc, 0, 0, m_width, m_height, m_dc->get(), 0, 0, SRCCOPY);
}

bool ParentBackground::Take(HWND child, HDC parentDc, const RECT& inParent) {
    RECT client{};
    GetClientRect(child, &client);
    m_width = client.right;
    m_height = client.bottom;
    m_dc.emplace(parentDc);
    m_bitmap.reset(CreateCompatibleBitmap(parentDc, m_width, m_height));
    if (!m_dc->get() || !m_bitmap) {
        Discard();
        return false;
    }
    m_selected.emplace(m_dc->get(), m_bitmap.get());
    BitBlt(m_dc->get(), 0, 0, m_width, m_height, parentDc, inParent.left, inParent.top, SRCCOPY);
    return true;
}

void ParentBackground::Discard() {
    m_selected.reset();
    m_bitmap.reset();
    m_dc.reset();
}
