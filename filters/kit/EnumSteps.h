// Next and Skip of the kit's enumerators, over a position: `take(position, item)` hands out
// the item at a position, with its reference, and is false past the end; `exists(position)`
// tells whether there is one.
#pragma once
#include <windows.h>

namespace kit {

template <typename Item, typename Take>
HRESULT EnumNext(ULONG count, Item** items, ULONG* fetched, ULONG& position, Take take) noexcept {
    if (!items) {
        return E_POINTER;
    }
    if (count > 1 && !fetched) {
        return E_INVALIDARG;
    }
    ULONG got = 0;
    while (got < count && take(position, items[got])) {
        ++got;
        ++position;
    }
    if (fetched) {
        *fetched = got;
    }
    return got == count ? S_OK : S_FALSE;
}

// Skipping past the end leaves the position where it was, as the platform's enumerators do.
template <typename Exists> HRESULT EnumSkip(ULONG count, ULONG& position, Exists exists) noexcept {
    if (count > ULONG_MAX - position || (count > 0 && !exists(position + count - 1))) {
        return S_FALSE;
    }
    position += count;
    return S_OK;
}

} // namespace kit
