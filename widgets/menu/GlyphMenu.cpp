#include "widgets/menu/GlyphMenu.h"

#include "base/AnsiText.h"
#include "framework/Application.h"
#include "widgets/menu/MenuRegistry.h"
#include "widgets/menu/MenuTemplate.h"
#include "widgets/menu/SharedGlyphs.h"

#include <algorithm>

namespace {
constexpr int kTextLimit = 1024;
// The platform's menu flags of the items re-synchronisation makes or re-attaches.
constexpr UINT kOwnerDrawnByPosition = MF_BYPOSITION | MF_OWNERDRAW;
constexpr UINT kOwnerDrawnPopup = kOwnerDrawnByPosition | MF_POPUP;
constexpr UINT kOwnerDrawnSeparator = kOwnerDrawnByPosition | MF_SEPARATOR;
// GetMenuState keeps a popup's item count above the low byte, which holds the flags.
constexpr UINT kStateFlags = 0xFF;

std::wstring Lowered(std::wstring text) {
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

LPCWSTR AsItemData(const GlyphMenuData* record) {
    return reinterpret_cast<LPCWSTR>(record);
}
} // namespace

GlyphMenu::GlyphMenu() = default;

GlyphMenu::~GlyphMenu() {
    DestroyMenu();
}

bool GlyphMenu::IsRegisteredMenu(HMENU menu) {
    return MenuRegistry::Instance().IsPopup(menu);
}

bool GlyphMenu::IsRegisteredItem(ULONG_PTR itemData) {
    const auto* record = reinterpret_cast<const GlyphMenuData*>(itemData);
    const auto menus = MenuRegistry::Instance().PopupObjects();
    return record && std::any_of(menus.begin(), menus.end(), [record](const GlyphMenu* menu) {
               return menu->HoldsRecord(record);
           });
}

bool GlyphMenu::HoldsRecord(const GlyphMenuData* record) const {
    return std::any_of(m_records.begin(), m_records.end(),
                       [record](const auto& held) { return held.get() == record; });
}

GlyphMenu* GlyphMenu::FromHandle(HMENU menu) {
    return MenuRegistry::Instance().Find(menu);
}

bool GlyphMenu::Attach(HMENU menu) {
    if (!menu) {
        return false;
    }
    if (get()) {
        DestroyMenu();
    }
    fw::Menu::operator=(fw::Menu::Adopt(menu));
    MenuRegistry::Instance().Bind(menu, this);
    return true;
}

void GlyphMenu::SetCheckImages(HIMAGELIST images, int idSelected, int id) {
    m_checkImages = images ? std::make_shared<base::ImageList>(images) : nullptr;
    m_checkImageIdSelected = idSelected;
    m_checkImageId = id;
}

BOOL GlyphMenu::AppendGlyphItem(const wchar_t* text, UINT flags, UINT_PTR id, INT_PTR glyph) {
    if (id != 0) {
        flags |= MF_OWNERDRAW;
    } else {
        flags = (flags & MF_BYPOSITION) | MF_SEPARATOR | MF_OWNERDRAW;
    }
    if (flags & MF_POPUP) {
        MenuRegistry::Instance().AddPopup(reinterpret_cast<HMENU>(id));
        m_subMenus.push_back(reinterpret_cast<HMENU>(id));
    }
    auto record = std::make_unique<GlyphMenuData>();
    if (text) {
        record->text = text;
    }
    if (glyph < 0) {
        record->sharedGlyphIndex = FindSharedGlyph(id);
    } else {
        base::ImageList scratch(
            ImageList_Create(m_glyphWidth, m_glyphHeight, ILC_COLORDDB | ILC_MASK, 1, 1));
        int image = 0;
        FindToolbarImage(id, glyph, image);
        if (scratch && AddGlyphResource(scratch.get(), glyph)) {
            record->sharedGlyphIndex = AddSharedGlyph(scratch.get(), image, id);
        }
    }
    record->itemFlags = flags;
    record->commandId = id;
    GlyphMenuData* data = record.get();
    m_records.push_back(std::move(record));
    const BOOL appended = AppendMenuW(get(), flags, id, AsItemData(data));
    if (m_plainTopLevel) {
        ApplyPlainTopLevel();
    }
    return appended;
}

GlyphMenuData* GlyphMenu::ReplaceItemAt(int position, UINT flags, UINT_PTR id, const char* text) {
    auto* record = new GlyphMenuData;
    record->text = base::Widen(text);
    record->itemFlags = flags;
    record->commandId = id;
    ModifyMenuW(get(), static_cast<UINT>(position), flags, id,
                (flags & MF_OWNERDRAW) ? AsItemData(record) : nullptr);
    return record;
}

GlyphMenuData* GlyphMenu::ClaimRecord(UINT_PTR id) {
    for (auto& record : m_records) {
        if (record->commandId == id && !record->claimed) {
            record->claimed = true;
            return record.get();
        }
    }
    return nullptr;
}

const GlyphMenu* GlyphMenu::FindItemOwner(UINT_PTR id, int& position) const {
    const int count = GetMenuItemCount(get());
    for (int i = 0; i < count; ++i) {
        if (HMENU sub = GetSubMenu(get(), i)) {
            if (const GlyphMenu* subMenu = FromHandle(sub)) {
                if (const GlyphMenu* owner = subMenu->FindItemOwner(id, position)) {
                    return owner;
                }
            }
        } else if (GetMenuItemID(get(), i) == id) {
            position = i;
            return this;
        }
    }
    position = -1;
    return nullptr;
}

bool GlyphMenu::GetItemText(UINT idOrPosition, std::string& text, UINT flags) const {
    if (!(flags & MF_BYPOSITION)) {
        int position = -1;
        const GlyphMenu* owner = FindItemOwner(idOrPosition, position);
        return owner && owner->GetItemText(static_cast<UINT>(position), text, MF_BYPOSITION);
    }
    if (idOrPosition >= m_records.size()) {
        return false;
    }
    text = base::Narrow(m_records[idOrPosition]->text);
    return true;
}

std::wstring GlyphMenu::LiveText(int position) const {
    wchar_t text[kTextLimit + 1] = {};
    GetMenuStringW(get(), static_cast<UINT>(position), text, kTextLimit, MF_BYPOSITION);
    return text;
}

void GlyphMenu::SyncRecords() {
    for (auto& record : m_records) {
        record->claimed = false;
    }
    std::vector<GlyphMenuData*> fresh;
    const int count = GetMenuItemCount(get());
    for (int i = 0; i < count; ++i) {
        const UINT state = GetMenuState(get(), static_cast<UINT>(i), MF_BYPOSITION);
        GlyphMenuData* record = nullptr;
        if (GetSubMenu(get(), i)) {
            record = SyncPopup(i, state);
        } else if (state & MF_SEPARATOR) {
            record = SyncSeparator(i, state);
        } else {
            record = SyncCommand(i, state);
        }
        fresh.push_back(record);
    }
    std::vector<std::unique_ptr<GlyphMenuData>> kept;
    for (auto& record : m_records) {
        if (record->claimed) {
            record.release();
        }
    }
    for (GlyphMenuData* record : fresh) {
        kept.emplace_back(record);
    }
    m_records = std::move(kept);
}

GlyphMenuData* GlyphMenu::SyncPopup(int position, UINT state) {
    const auto handle = reinterpret_cast<UINT_PTR>(GetSubMenu(get(), position));
    GlyphMenuData* record = ClaimRecord(handle);
    const std::wstring text = LiveText(position);
    if (!record) {
        const UINT flags = (state & kStateFlags & ~UINT{MF_POPUP}) | kOwnerDrawnPopup;
        return ReplaceItemAt(position, flags, handle, base::Narrow(text).c_str());
    }
    if (!text.empty()) {
        record->text = text;
    }
    return record;
}

GlyphMenuData* GlyphMenu::SyncSeparator(int position, UINT state) {
    GlyphMenuData* record = ClaimRecord(0);
    if (!record) {
        return ReplaceItemAt(position, state | kOwnerDrawnSeparator, 0, "");
    }
    // Re-attached by position: the stored flags need not say so.
    ModifyMenuW(get(), static_cast<UINT>(position), record->itemFlags | MF_BYPOSITION, 0,
                AsItemData(record));
    return record;
}

GlyphMenuData* GlyphMenu::SyncCommand(int position, UINT state) {
    const UINT id = GetMenuItemID(get(), position);
    GlyphMenuData* record = ClaimRecord(id);
    const std::wstring text = LiveText(position);
    if (!record) {
        return ReplaceItemAt(position, state | kOwnerDrawnByPosition, id,
                             base::Narrow(text).c_str());
    }
    record->itemFlags = state | kOwnerDrawnByPosition;
    if (!text.empty()) {
        record->text = text;
    }
    ModifyMenuW(get(), static_cast<UINT>(position), record->itemFlags, id, AsItemData(record));
    return record;
}

int GlyphMenu::PlainTopLevelShift() const {
    if (!m_plainTopLevel) {
        return 0;
    }
    const int count = GetMenuItemCount(get());
    for (int p = 0; p < count; ++p) {
        const std::wstring text = LiveText(p);
        if (text.empty()) {
            continue;
        }
        for (size_t r = 0; r < m_records.size(); ++r) {
            if (m_records[r]->text == text) {
                const int recordIndex = static_cast<int>(r);
                return p >= recordIndex ? p - recordIndex : 0;
            }
        }
    }
    return 0;
}

void GlyphMenu::ApplyPlainTopLevel() {
    const int shift = PlainTopLevelShift();
    const int count = GetMenuItemCount(get());
    for (size_t i = 0; i < m_records.size() && shift + static_cast<int>(i) < count; ++i) {
        const int position = shift + static_cast<int>(i);
        if (HMENU sub = GetSubMenu(get(), position)) {
            GlyphMenuData& record = *m_records[i];
            record.itemFlags = MF_BYPOSITION | MF_POPUP;
            ModifyMenuW(get(), static_cast<UINT>(position), MF_BYPOSITION | MF_POPUP | MF_STRING,
                        reinterpret_cast<UINT_PTR>(sub), record.text.c_str());
        }
    }
}

bool GlyphMenu::LoadMenu(UINT resourceId) {
    return LoadMenu(MAKEINTRESOURCEA(resourceId));
}

bool GlyphMenu::LoadMenu(const char* resourceName) {
    return LoadFromModule(fw::Application::ResourceInstance(), resourceName) ||
           LoadFromModule(GetModuleHandleA(nullptr), resourceName);
}

bool GlyphMenu::LoadFromModule(HMODULE module, const char* name) {
    HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(4));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) {
        return false;
    }
    DestroyMenu();
    if (!Attach(CreateMenu())) {
        return false;
    }
    BuildFromTemplate(static_cast<const BYTE*>(data), SizeofResource(module, found));
    MakePlainTopLevel();
    return true;
}

// The template is flat: popups open a level, the item with the end bit closes it, and one end
// bit may close several levels at once.
void GlyphMenu::BuildFromTemplate(const BYTE* data, size_t size) {
    struct Level {
        GlyphMenu* menu;
        bool ends;
    };
    std::vector<Level> stack{{this, false}};
    for (const MenuTemplate::Item& item : MenuTemplate::Parse(data, size)) {
        if (stack.empty()) {
            break;
        }
        const bool end = item.option & MenuTemplate::kEndOfLevel;
        const UINT option = item.option & ~UINT{MenuTemplate::kEndOfLevel};
        GlyphMenu* top = stack.back().menu;
        if (option & MF_POPUP) {
            if (end) {
                stack.back().ends = true;
            }
            auto sub = std::make_unique<GlyphMenu>();
            sub->m_checkImageIdSelected = m_checkImageIdSelected;
            sub->m_checkImageId = m_checkImageId;
            sub->m_checkImages = m_checkImages;
            sub->Attach(CreatePopupMenu());
            top->AppendGlyphItem(item.text.c_str(), option, reinterpret_cast<UINT_PTR>(sub->get()),
                                 -1);
            stack.push_back({sub.get(), false});
            top->m_ownedSubMenus.push_back(std::move(sub));
            continue;
        }
        top->AppendGlyphItem(item.text.c_str(), option, item.id, -1);
        if (end) {
            stack.back().ends = true;
        }
        while (!stack.empty() && stack.back().ends) {
            stack.back().menu->AlignAccelerators();
            stack.pop_back();
        }
    }
}

void GlyphMenu::MakePlainTopLevel() {
    const int count = GetMenuItemCount(get());
    for (int i = 0; i < count && static_cast<size_t>(i) < m_records.size(); ++i) {
        GlyphMenuData& record = *m_records[i];
        const UINT position = static_cast<UINT>(i);
        if (HMENU sub = GetSubMenu(get(), i)) {
            record.itemFlags = MF_BYPOSITION | MF_POPUP;
            ModifyMenuW(get(), position, record.itemFlags, reinterpret_cast<UINT_PTR>(sub),
                        record.text.c_str());
        } else {
            record.itemFlags = MF_BYPOSITION;
            ModifyMenuW(get(), position, record.itemFlags, record.commandId, record.text.c_str());
        }
    }
    m_plainTopLevel = true;
}

void GlyphMenu::DestroyMenu() {
    MenuRegistry& registry = MenuRegistry::Instance();
    registry.RemovePopup(get());
    for (auto it = m_subMenus.rbegin(); it != m_subMenus.rend(); ++it) {
        registry.RemovePopup(*it);
        // The platform destroys a popup with its parent; an object of the caller's that holds
        // it must let go now, or it would destroy the handle again later.
        GlyphMenu* sub = registry.Find(*it);
        const bool owned = std::any_of(m_ownedSubMenus.begin(), m_ownedSubMenus.end(),
                                       [sub](const auto& held) { return held.get() == sub; });
        if (sub && !owned) {
            sub->DestroyMenu();
        }
    }
    // Deepest first: each sub-menu destroys its own handle before this one goes.
    while (!m_ownedSubMenus.empty()) {
        m_ownedSubMenus.pop_back();
    }
    m_subMenus.clear();
    m_checkImages.reset();
    registry.Unbind(get(), this);
    Reset();
    m_records.clear();
    m_plainTopLevel = false;
}

LRESULT GlyphMenu::MenuCharToPosition(wchar_t character, UINT menuFlags, HMENU menu) {
    GlyphMenu* object = FromHandle(menu);
    if (!object || !(menuFlags & MF_POPUP)) {
        return 0;
    }
    const std::wstring key = Lowered(std::wstring{L'&', character});
    if (GetMenuItemCount(menu) != static_cast<int>(object->m_records.size())) {
        object->SyncRecords();
    }
    for (size_t i = 0; i < object->m_records.size(); ++i) {
        if (Lowered(object->m_records[i]->text).find(key) != std::wstring::npos) {
            return MAKELRESULT(i, MNC_EXECUTE);
        }
    }
    return 0;
}
