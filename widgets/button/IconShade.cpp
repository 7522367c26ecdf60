#include "widgets/button/IconShade.h"

#include "framework/ClientDC.h"
#include "base/GdiObject.h"
#include "framework/MemoryDC.h"
#include "framework/SelectGuard.h"

namespace {
// GetIconInfo hands out copies of both bitmaps; these delete them again.
struct IconBitmaps {
    ICONINFO info{};
    bool valid = false;
    explicit IconBitmaps(HICON icon) : valid(GetIconInfo(icon, &info) != FALSE) {}
    IconBitmaps(const IconBitmaps&) = delete;
    IconBitmaps& operator=(const IconBitmaps&) = delete;
    ~IconBitmaps() {
        if (info.hbmColor) {
            DeleteObject(info.hbmColor);
        }
        if (info.hbmMask) {
            DeleteObject(info.hbmMask);
        }
    }
};
} // namespace

COLORREF IconShade::GreyOf(COLORREF colour) {
    const double level =
        0.299 * GetRValue(colour) + 0.587 * GetGValue(colour) + 0.114 * GetBValue(colour);
    const auto g = static_cast<BYTE>(level);
    return RGB(g, g, g);
}

COLORREF IconShade::DarkerOf(COLORREF colour, double factor) {
    if (factor <= 0.0 || factor > 1.0) {
        return colour;
    }
    auto darker = [factor](BYTE c) { return static_cast<BYTE>(c - factor * c); };
    return RGB(darker(GetRValue(colour)), darker(GetGValue(colour)), darker(GetBValue(colour)));
}

HICON IconShade::Grey(HICON source) {
    return Copy(source, [](COLORREF c) { return GreyOf(c); });
}

HICON IconShade::Darker(HICON source, double factor) {
    return Copy(source, [factor](COLORREF c) { return DarkerOf(c, factor); });
}

template <typename Shade> HICON IconShade::Copy(HICON source, Shade shade) {
    IconBitmaps bitmaps(source);
    if (!bitmaps.valid || !bitmaps.info.hbmColor) {
        return nullptr;
    }
    fw::ClientDC screen(nullptr);
    fw::MemoryDC from(screen.get()), to(screen.get());
    BITMAP description{};
    if (!screen.get() || !from.get() || !to.get() ||
        !GetObjectA(bitmaps.info.hbmColor, sizeof description, &description)) {
        return nullptr;
    }
    const int width = 2 * static_cast<int>(bitmaps.info.xHotspot);
    const int height = 2 * static_cast<int>(bitmaps.info.yHotspot);
    base::Bitmap copy(
        CreateBitmap(width, height, description.bmPlanes, description.bmBitsPixel, nullptr));
    if (!copy) {
        return nullptr;
    }
    {
        fw::SelectGuard selectFrom(from.get(), bitmaps.info.hbmColor);
        fw::SelectGuard selectTo(to.get(), copy.get());
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const COLORREF pixel = GetPixel(from.get(), x, y);
                SetPixelV(to.get(), x, y, pixel == 0 ? 0 : shade(pixel));
            }
        }
    }
    ICONINFO made{};
    made.fIcon = TRUE;
    made.hbmColor = copy.get();
    made.hbmMask = bitmaps.info.hbmMask;
    return CreateIconIndirect(&made);
}
