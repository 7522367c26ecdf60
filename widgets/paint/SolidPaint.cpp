#include "widgets/paint/SolidPaint.h"

#include "base/GdiObject.h"

namespace paint {

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    base::Brush brush(CreateSolidBrush(colour));
    FillRect(dc, &rect, brush.get());
}

void FrameSolid(HDC dc, const RECT& rect, COLORREF colour) {
    base::Brush brush(CreateSolidBrush(colour));
    FrameRect(dc, &rect, brush.get());
}

void Draw3dFrame(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
    FillSolid(dc, {r.left, r.top, r.right - 1, r.top + 1}, topLeft);
    FillSolid(dc, {r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
    FillSolid(dc, {r.right - 1, r.top, r.right, r.bottom}, bottomRight);
    FillSolid(dc, {r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
}

} // namespace paint
