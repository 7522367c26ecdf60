#pragma once
#include <windows.h>

// Solid fills and frames that the skinned widgets paint with; each makes its brush and frees it
// before it returns.
namespace paint {

void FillSolid(HDC dc, const RECT& rect, COLORREF colour);
void FrameSolid(HDC dc, const RECT& rect, COLORREF colour);
// One-pixel frame: top and left edges in one colour, bottom and right in the other.
void Draw3dFrame(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight);

} // namespace paint
