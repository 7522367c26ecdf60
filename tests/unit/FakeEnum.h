#pragma once
#include "tests/unit/FakeComObject.h"

#include <dshow.h>
#include <objidl.h>
#include <vector>

// Hands out items (monikers, pins, ...) one at a time, each with a reference of its own.
template <typename Enum, typename Item, const IID& kEnumId>
class FakeEnum : public FakeComObject<Enum> {
public:
    explicit FakeEnum(std::vector<Item*> items) : m_items(std::move(items)) {
        this->Expose(kEnumId, static_cast<Enum*>(this));
        for (Item* item : m_items) {
            item->AddRef();
        }
    }

    STDMETHODIMP Next(ULONG count, Item** items, ULONG* fetched) noexcept override {
        if (count != 1 || m_next >= m_items.size()) {
            if (fetched) {
                *fetched = 0;
            }
            return S_FALSE;
        }
        items[0] = m_items[m_next++];
        items[0]->AddRef();
        if (fetched) {
            *fetched = 1;
        }
        return S_OK;
    }
    STDMETHODIMP Skip(ULONG) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP Reset() noexcept override {
        m_next = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(Enum**) noexcept override { return E_NOTIMPL; }

private:
    ~FakeEnum() override {
        for (Item* item : m_items) {
            item->Release();
        }
    }
    std::vector<Item*> m_items;
    size_t m_next = 0;
};

using FakeEnumMoniker = FakeEnum<IEnumMoniker, IMoniker, IID_IEnumMoniker>;
using FakeEnumPins = FakeEnum<IEnumPins, IPin, IID_IEnumPins>;
