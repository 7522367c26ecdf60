// Glyph loading and the shared glyph list of GlyphMenu.
#include "widgets/menu/GlyphMenu.h"

#include "framework/Application.h"
#include "framework/ClientDC.h"
#include "framework/MemoryDC.h"
#include "framework/SelectGuard.h"
#include "widgets/menu/GlyphEffects.h"
#include "widgets/menu/MenuLook.h"
#include "widgets/menu/SharedGlyphs.h"
#include "widgets/menu/SystemColourBitmap.h"
#include "widgets/menu/ToolbarResource.h"

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
    base::Bitmap bitmap = SystemColourBitmap::Load(resource);
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
        base::Bitmap faded = RenderGlyphBitmap(dc.get(), list, 0);
        GlyphEffects::MakeFadedGlyph(faded.get());
        ImageList_AddMasked(list, faded.get(), face);
        base::Bitmap shadow = RenderGlyphBitmap(dc.get(), list, 0);
        GlyphEffects::MakeShadowGlyph(shadow.get(), MenuLook::Themed());
        ImageList_AddMasked(list, shadow.get(), face);
    }
    return true;
}

int GlyphMenu::AddSharedGlyph(HIMAGELIST list, int index, UINT_PTR id) const {
    if (index < 0 || index >= ImageList_GetImageCount(list)) {
        return -1;
    }
    base::OwnedIcon icon(ImageList_GetIcon(list, index, ILD_NORMAL));
    if (!icon) {
        return -1;
    }
    base::Bitmap faded, shadow;
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

base::Bitmap GlyphMenu::RenderGlyphBitmap(HDC dc, HIMAGELIST list, int index) const {
    base::Bitmap bitmap(CreateCompatibleBitmap(dc, m_glyphWidth, m_glyphHeight));
    fw::MemoryDC memory(dc);
    base::OwnedIcon icon(ImageList_GetIcon(list, index, ILD_NORMAL));
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

int GlyphMenu::FindSharedGlyph(UINT_PTR id) {
    return SharedGlyphs::Instance().Find(id);
}

bool GlyphMenu::HasGlyphVariants(int index) {
    return SharedGlyphs::Instance().HasVariants(index);
}

bool GlyphMenu::IsClassicTheme() {
    return MenuLook::IsClassicTheme();
}
