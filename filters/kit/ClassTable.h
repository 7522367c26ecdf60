// The classes a filter DLL serves. Each DLL defines ModuleClasses() over a table of its own;
// DllExports.cpp makes the four COM exports from it.
#pragma once
#include <windows.h>
#include <span>

#include "filters/kit/ClassFactory.h"
#include "filters/kit/Registration.h"

namespace kit {

struct ClassEntry {
    const CLSID* clsid;
    const WCHAR* name;
    CreateFunction create;
    // Pins listed with the filter mapper; none: the class is not listed there.
    std::span<const MapperPin> mapperPins = {};
    DWORD merit = MERIT_DO_NOT_USE;
};

std::span<const ClassEntry> ModuleClasses() noexcept;

} // namespace kit
