#include "widgets/menu/MenuRegistry.h"

MenuRegistry& MenuRegistry::Instance() {
    static MenuRegistry registry;
    return registry;
}

void MenuRegistry::Bind(HMENU menu, GlyphMenu* object) {
    if (menu) {
        m_entries[menu].object = object;
    }
}

void MenuRegistry::Unbind(HMENU menu, const GlyphMenu* object) {
    auto found = m_entries.find(menu);
    if (found != m_entries.end() && found->second.object == object) {
        found->second.object = nullptr;
        EraseIfUnused(menu);
    }
}

GlyphMenu* MenuRegistry::Find(HMENU menu) const {
    auto found = m_entries.find(menu);
    return found == m_entries.end() ? nullptr : found->second.object;
}

void MenuRegistry::AddPopup(HMENU menu) {
    if (menu) {
        m_entries[menu].popup = true;
    }
}

void MenuRegistry::RemovePopup(HMENU menu) {
    auto found = m_entries.find(menu);
    if (found != m_entries.end()) {
        found->second.popup = false;
        EraseIfUnused(menu);
    }
}

bool MenuRegistry::IsPopup(HMENU menu) const {
    auto found = m_entries.find(menu);
    return found != m_entries.end() && found->second.popup;
}

std::vector<const GlyphMenu*> MenuRegistry::PopupObjects() const {
    std::vector<const GlyphMenu*> objects;
    for (const auto& [menu, entry] : m_entries) {
        if (entry.popup && entry.object) {
            objects.push_back(entry.object);
        }
    }
    return objects;
}

void MenuRegistry::EraseIfUnused(HMENU menu) {
    auto found = m_entries.find(menu);
    if (found != m_entries.end() && !found->second.object && !found->second.popup) {
        m_entries.erase(found);
    }
}
