#pragma once
#include "base/UniqueHandle.h"

#include <commctrl.h>

namespace base {

struct ImageListTraits {
    using Handle = HIMAGELIST;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { ImageList_Destroy(h); }
};
// Owns a common-controls image list.
using ImageList = UniqueHandle<ImageListTraits>;

} // namespace base
