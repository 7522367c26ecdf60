#pragma once
#include "base/GdiObject.h"
#include "base/ImageList.h"
#include "framework/Menu.h"
#include "widgets/menu/GlyphMenuData.h"

#include <windows.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A menu that measures and paints its own items, in a flat or a classic 3-D look, with glyphs
// from bitmap, toolbar or icon resources. Every item is owner-drawn and has a record; popups
// are glyph menus owned by their parent. Menus can be built item by item or loaded from a
// menu template resource.
class GlyphMenu : public fw::Menu {
public:
    GlyphMenu();
    GlyphMenu(const GlyphMenu&) = delete;
    GlyphMenu& operator=(const GlyphMenu&) = delete;
    virtual ~GlyphMenu();

    // The object bound to a menu handle, or null.
    static GlyphMenu* FromHandle(HMENU menu);
    // Takes ownership of a menu handle and binds it to this object; a menu held before is
    // destroyed first.
    bool Attach(HMENU menu);

    virtual void DrawItem(const DRAWITEMSTRUCT& item);
    virtual void MeasureItem(MEASUREITEMSTRUCT& item);
    virtual bool LoadMenu(UINT resourceId);
    virtual bool LoadMenu(const char* resourceName);
    // Destroys the handle, the records and the sub-menus this menu made; the object is empty
    // afterwards and can load again. A popup object appended from elsewhere is emptied too,
    // since the platform destroys its handle with this one.
    virtual void DestroyMenu();

    // glyph: a bitmap or toolbar resource id, an icon handle when glyphsAreIcons is set, or
    // negative to show the command's shared glyph if it has one.
    BOOL AppendGlyphItem(const wchar_t* text, UINT flags, UINT_PTR id, INT_PTR glyph);

    // Whether the handle was appended to a glyph menu as a popup.
    static bool IsRegisteredMenu(HMENU menu);
    // Whether a measuring or drawing request's item data is the record of an item of a
    // registered menu (requests name items by command id, not by menu).
    static bool IsRegisteredItem(ULONG_PTR itemData);
    // The process-wide glyph list: the index of a command's shared glyph or -1, and whether
    // the glyph at an index has its faded and shadow variants beside it.
    static int FindSharedGlyph(UINT_PTR id);
    static bool HasGlyphVariants(int index);
    // Whether the desktop runs the classic theme; asked once per process.
    static bool IsClassicTheme();
    // The answer to WM_MENUCHAR: MNC_EXECUTE and the position of the first item whose text has
    // "&" before the character, 0 when none has.
    static LRESULT MenuCharToPosition(wchar_t character, UINT menuFlags, HMENU menu);

    void SetMaskColour(COLORREF colour, bool use) {
        m_maskColour = colour;
        m_useMaskColour = use;
    }
    void SetMonoDisabledGlyphs(bool mono) { m_monoDisabledGlyphs = mono; }
    void SetGlyphsAreIcons(bool icons) { m_glyphsAreIcons = icons; }
    // Images 0 (checked) and 1 (checked and selected) stand in for drawn check marks.
    void SetCheckImages(HIMAGELIST images, int idSelected, int id);

private:
    friend class GlyphMenuProbe;
    struct GlyphSource;
    struct ItemPaint;
    struct FlatLook;
    struct ClassicLook;
    enum class GlyphKind { None, CheckImages, Selected, Disabled, Plain };

    // Items and records.
    GlyphMenuData* ReplaceItemAt(int position, UINT flags, UINT_PTR id, const char* text);
    GlyphMenuData* ClaimRecord(UINT_PTR id);
    const GlyphMenu* FindItemOwner(UINT_PTR id, int& position) const;
    bool GetItemText(UINT idOrPosition, std::string& text, UINT flags) const;
    bool HoldsRecord(const GlyphMenuData* record) const;
    void SyncRecords();
    GlyphMenuData* SyncPopup(int position, UINT state);
    GlyphMenuData* SyncSeparator(int position, UINT state);
    GlyphMenuData* SyncCommand(int position, UINT state);
    int PlainTopLevelShift() const;
    void ApplyPlainTopLevel();
    std::wstring LiveText(int position) const;
    HIMAGELIST checkImages() const { return m_checkImages ? m_checkImages->get() : nullptr; }

    // Template loading.
    bool LoadFromModule(HMODULE module, const char* name);
    void BuildFromTemplate(const BYTE* data, size_t size);
    void MakePlainTopLevel();

    // Glyph processing.
    bool FindToolbarImage(UINT_PTR id, INT_PTR toolbar, int& image) const;
    bool AddGlyphResource(HIMAGELIST list, INT_PTR resource) const;
    int AddSharedGlyph(HIMAGELIST list, int index, UINT_PTR id) const;
    base::Bitmap RenderGlyphBitmap(HDC dc, HIMAGELIST list, int index) const;
    HIMAGELIST LoadGlyphBitmap(HIMAGELIST list, INT_PTR resource) const;

    // Measuring and drawing.
    void AlignAccelerators();
    // The flat look needs a true-colour device; palette devices get the classic one.
    static bool DrawsFlat(int rasterCaps);
    void DrawFlatItem(const DRAWITEMSTRUCT& item);
    void DrawClassicItem(const DRAWITEMSTRUCT& item);
    FlatLook MakeFlatLook() const;
    void DrawFlatSeparator(HDC dc, const RECT& r, const FlatLook& look) const;
    void DrawFlatBackground(HDC dc, const RECT& r, bool selected, const FlatLook& look) const;
    void DrawFlatGlyph(const ItemPaint& paint, const FlatLook& look) const;
    void DrawFlatText(const ItemPaint& paint, const FlatLook& look) const;
    ClassicLook MakeClassicLook() const;
    COLORREF DrawClassicBackground(const ItemPaint& paint, const ClassicLook& look) const;
    void DrawClassicGlyph(const ItemPaint& paint, const ClassicLook& look) const;
    void DrawClassicText(const ItemPaint& paint, const ClassicLook& look, COLORREF colour) const;
    static void DrawClassicCheck(HDC dc, const RECT& rect, bool selected, bool hasBitmap);
    static void DrawFlatCheck(HDC dc, const RECT& box, bool hasBitmap, COLORREF highlight);
    static void DrawCheckDot(HDC dc, int x, int y, COLORREF colour);
    static void DrawCheckTick(HDC dc, int x, int y, COLORREF colour);
    GlyphSource SourceOf(const GlyphMenuData* record, bool flatVariants) const;
    GlyphKind KindOf(const GlyphSource& source, UINT state) const;
    void DrawDisabled(HDC dc, const GlyphSource& source, int x, int y, COLORREF background) const;
    // embossed: the colour drawn over a highlight copy one pixel down-right, if any.
    void DrawItemText(HDC dc, const GlyphMenuData* record, RECT rect,
                      std::optional<COLORREF> embossed) const;
    static bool HasCheckBitmap(const DRAWITEMSTRUCT& item);

    std::vector<std::unique_ptr<GlyphMenuData>> m_records;
    std::vector<HMENU> m_subMenus;
    // Sub-menus made by the template loader; their handles are also in m_subMenus.
    std::vector<std::unique_ptr<GlyphMenu>> m_ownedSubMenus;
    int m_glyphWidth = 16;
    int m_glyphHeight = 15;
    COLORREF m_maskColour = RGB(192, 192, 192);
    bool m_useMaskColour = false;
    bool m_monoDisabledGlyphs = false;
    // Shared with the sub-menus the template loader made, which draw from it too.
    std::shared_ptr<base::ImageList> m_checkImages;
    int m_checkImageIdSelected = -1;
    int m_checkImageId = -1;
    bool m_glyphsAreIcons = false;
    bool m_plainTopLevel = false;
};
