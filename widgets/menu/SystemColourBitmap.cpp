#include "widgets/menu/SystemColourBitmap.h"

#include "framework/Application.h"
#include "framework/ClientDC.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
DWORD ColourTableSize(const BITMAPINFOHEADER& header) {
    if (header.biClrUsed != 0) {
        return header.biClrUsed;
    }
    switch (header.biBitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

void MapSystemColours(RGBQUAD* table, int count) {
    struct Mapping {
        COLORREF from;
        int sysColour;
    };
    static const Mapping kMappings[] = {{RGB(0, 0, 0), COLOR_BTNTEXT},
                                        {RGB(128, 128, 128), COLOR_BTNSHADOW},
                                        {RGB(192, 192, 192), COLOR_BTNFACE},
                                        {RGB(255, 255, 255), COLOR_BTNHIGHLIGHT}};
    for (int i = 0; i < count; ++i) {
        const COLORREF colour = RGB(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue);
        for (const Mapping& mapping : kMappings) {
            if (colour == mapping.from) {
                const COLORREF to = GetSysColor(mapping.sysColour);
                table[i] = RGBQUAD{GetBValue(to), GetGValue(to), GetRValue(to), 0};
                break;
            }
        }
    }
}

const BITMAPINFOHEADER* FindBitmapResource(INT_PTR resource, DWORD& size) {
    for (HMODULE module : {fw::Application::ResourceInstance(), GetModuleHandleA(nullptr)}) {
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resource), MAKEINTRESOURCEA(2));
        HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
        if (const void* data = loaded ? LockResource(loaded) : nullptr) {
            size = SizeofResource(module, found);
            return static_cast<const BITMAPINFOHEADER*>(data);
        }
    }
    return nullptr;
}
} // namespace

// In 64 bits, and rows counted by division: a row size or a pixel total that wrapped around
// would let the pixels be read past the resource.
bool SystemColourBitmap::IsWhole(const BITMAPINFOHEADER& header, size_t size) {
    if (size < sizeof header || header.biSize < sizeof header || header.biWidth < 0) {
        return false;
    }
    const uint64_t tableBytes = uint64_t{ColourTableSize(header)} * sizeof(RGBQUAD);
    if (uint64_t{header.biSize} + tableBytes > size) {
        return false;
    }
    const uint64_t pixelBytes = size - header.biSize - tableBytes;
    const uint64_t stride = (uint64_t(header.biWidth) * header.biBitCount + 31) / 32 * 4;
    const uint64_t rows = static_cast<uint64_t>(std::llabs(int64_t{header.biHeight}));
    return stride == 0 || rows <= pixelBytes / stride;
}

base::Bitmap SystemColourBitmap::Load(INT_PTR resource) {
    DWORD size = 0;
    const BITMAPINFOHEADER* header = FindBitmapResource(resource, size);
    if (!header || !IsWhole(*header, size) || ColourTableSize(*header) != 16) {
        return {};
    }
    std::vector<BYTE> info(header->biSize + 16 * sizeof(RGBQUAD));
    std::memcpy(info.data(), header, info.size());
    MapSystemColours(reinterpret_cast<RGBQUAD*>(info.data() + header->biSize), 16);
    const BYTE* bits = reinterpret_cast<const BYTE*>(header) + info.size();
    fw::ClientDC screen(nullptr);
    return base::Bitmap(CreateDIBitmap(screen.get(), header, CBM_INIT, bits,
                                       reinterpret_cast<const BITMAPINFO*>(info.data()),
                                       DIB_RGB_COLORS));
}
