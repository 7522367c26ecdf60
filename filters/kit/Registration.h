// Self-registration: the class's InprocServer32 key under HKLM\Software\Classes (the only
// place Wine looks classes up) and, for filters, an entry with the filter mapper.
#pragma once
#include <windows.h>
#include <dshow.h>
#include <span>

namespace kit {

// The full path of the module that holds `address` (a function of the calling DLL).
HRESULT ModulePath(const void* address, WCHAR* path, DWORD size) noexcept;

HRESULT RegisterInprocServer(const CLSID& clsid, const WCHAR* name,
                             const WCHAR* modulePath) noexcept;
// Removes the class key, but only when its InprocServer32 still names modulePath.
HRESULT UnregisterInprocServer(const CLSID& clsid, const WCHAR* modulePath) noexcept;

// The same for the DLL this kit is linked into: its own path is the server's.
HRESULT RegisterThisServer(const CLSID& clsid, const WCHAR* name) noexcept;
HRESULT UnregisterThisServer(const CLSID& clsid) noexcept;

struct MapperPin {
    const WCHAR* name;
    bool output;
    const GUID* majortype;
    const GUID* subtype;
};

HRESULT RegisterWithMapper(const CLSID& clsid, const WCHAR* name, DWORD merit,
                           std::span<const MapperPin> pins) noexcept;
HRESULT UnregisterFromMapper(const CLSID& clsid) noexcept;

} // namespace kit
