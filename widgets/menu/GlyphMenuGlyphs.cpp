// Glyph loading and the shared glyph list of GlyphMenu.
#include "widgets/menu/GlyphMenu.h"

#include "framework/Application.h"
#include "framework/ClientDC.h"
#include "framework/MemoryDC.h"
#include "framework/SelectGuard.h"
#include "widgets/menu/GlyphEffects.h"
#include "widgets/menu/MenuLook.h"
#include "widgets/menu/SharedGlyphs.h"
#include "widgets/menu/ToolbarResource.h"

#include <cstring>
#include <vector>

namespace {
int ColourTableSize(const BITMAPINFOHEADER& header) {
    if (header.biClrUsed != 0) {
        return static_cast<int>(header.biClrUsed);
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

// The classic toolbar colours stand for the user's 3-D colours.
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

// Only 16-colour bitmaps take the system colours; anything else gives null.
fw::Bitmap LoadSystemColourBitmap(INT_PTR resource) {
    DWORD size = 0;
    const BITMAPINFOHEADER* header = FindBitmapResource(resource, size);
    if (!header || size < sizeof *header || header->biSize < sizeof *header) {
        return {};
    }
    const int colours = ColourTableSize(*header);
    const size_t tableBytes = static_cast<size_t>(colours) * sizeof(RGBQUAD);
    if (colours != 16 || header->biSize + tableBytes > size) {
        return {};
    }
    std::vector<BYTE> info(header->biSize + tableBytes);
    std::memcpy(info.data(), header, info.size());
    MapSystemColours(reinterpret_cast<RGBQUAD*>(info.data() + header->biSize), colours);
    const BYTE* bits = reinterpret_cast<const BYTE*>(header) + info.size();
    const auto* bitmapInfo = reinterpret_cast<const BITMAPINFO*>(info.data());
    const LONG stride = ((header->biWidth * header->biBitCount + 31) / 32) * 4;
    if (info.size() + static_cast<size_t>(stride) * std::abs(header->biHeight) > size) {
        return {};
    }
    fw::ClientDC screen(nullptr);
    return fw::Bitmap(
        CreateDIBitmap(screen.get(), header, CBM_INIT, bits, bitmapInfo, DIB_RGB_COLORS));
}
} // namespace

int GlyphMenu::FindSharedGlyph(UINT_PTR id) {
    return SharedGlyphs::Instance().Find(id);
}

bool GlyphMenu::HasGlyphVariants(int index) {
    return SharedGlyphs::Instance().HasVariants(index);
}

// Read from the toolbar resource directly: the same answer a toolbar window would give.
bool GlyphMenu::FindToolbarImage(UINT_PTR id, INT_PTR toolbar, int& image) const {
    if (toolbar <= 0 || toolbar > 0xFFFF) {
        return false;
    }
    const char* name = MAKEINTRESOURCEA(toolbar);
    ToolbarResource resource = ToolbarResource::Load(fw::Application::ResourceInstance(), name);
    if (resource.imageWidth() == 0) {
        resource = ToolbarResource::Load(GetModuleHandleA(nullptr), name);
    }
    return resource.FindImage(static_cast<UINT>(id), image);
}

HIMAGELIST GlyphMenu::LoadGlyphBitmap(HIMAGELIST list, INT_PTR resource) const {
    fw::Bitmap bitmap = LoadSystemColourBitmap(resource);
    if (!bitmap) {
        bitmap.reset(LoadBitmapA(fw::Application::ResourceInstance(), MAKEINTRESOURCEA(resource)));
    }
    if (!bitmap) {
        return nullptr;
    }
    const COLORREF mask = m_useMaskColour ? m_maskColour : GetSysColor(COLOR_BTNFACE);
    return ImageList_AddMasked(list, bitmap.get(), mask) >= 0 ? list : nullptr;
}

bool GlyphMenu::AddGlyphResource(HIMAGELIST list, INT_PTR resource) const {
    if (m_glyphsAreIcons) {
        ImageList_ReplaceIcon(list, -1, reinterpret_cast<HICON>(resource));
        return true;
    }
    if (!LoadGlyphBitmap(list, resource)) {
        return false;
    }
    if (MenuLook::Flat() && MenuLook::settings().glyphEffects) {
        fw::ClientDC dc(fw::Application::MainWindowHandle());
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        fw::Bitmap faded = RenderGlyphBitmap(dc.get(), list, 0);
        GlyphEffects::MakeFadedGlyph(faded.get());
        ImageList_AddMasked(list, faded.get(), face);
        fw::Bitmap shadow = RenderGlyphBitmap(dc.get(), list, 0);
        GlyphEffects::MakeShadowGlyph(shadow.get(), MenuLook::Themed());
        ImageList_AddMasked(list, shadow.get(), face);
    }
    return true;
}

int GlyphMenu::AddSharedGlyph(HIMAGELIST list, int index, UINT_PTR id) const {
    if (index < 0 || index >= ImageList_GetImageCount(list)) {
        return -1;
    }
    fw::OwnedIcon icon(ImageList_GetIcon(list, index, ILD_NORMAL));
    if (!icon) {
        return -1;
    }
    fw::Bitmap faded, shadow;
    if (MenuLook::Flat() && MenuLook::settings().glyphEffects) {
        fw::ClientDC dc(fw::Application::MainWindowHandle());
        faded = RenderGlyphBitmap(dc.get(), list, index);
        GlyphEffects::MakeFadedGlyph(faded.get());
        shadow = RenderGlyphBitmap(dc.get(), list, index);
        GlyphEffects::MakeShadowGlyph(shadow.get(), MenuLook::Themed());
    }
    return SharedGlyphs::Instance().Store(id, icon.get(), faded.get(), shadow.get(), m_glyphWidth,
                                          m_glyphHeight);
}

fw::Bitmap GlyphMenu::RenderGlyphBitmap(HDC dc, HIMAGELIST list, int index) const {
    fw::Bitmap bitmap(CreateCompatibleBitmap(dc, m_glyphWidth, m_glyphHeight));
    fw::MemoryDC memory(dc);
    fw::OwnedIcon icon(ImageList_GetIcon(list, index, ILD_NORMAL));
    if (!bitmap || !memory.get()) {
        return bitmap;
    }
    fw::SelectGuard select(memory.get(), bitmap.get());
    RECT all{0, 0, m_glyphWidth, m_glyphHeight};
    FillRect(memory.get(), &all, GetSysColorBrush(COLOR_BTNFACE));
    if (icon) {
        DrawIconEx(memory.get(), 0, 0, icon.get(), m_glyphWidth, m_glyphHeight, 0,
                   GetSysColorBrush(COLOR_BTNFACE), DI_NORMAL);
    }
    return bitmap;
}
