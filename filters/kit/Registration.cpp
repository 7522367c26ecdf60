#include "filters/kit/Registration.h"

#include <cwchar>
#include <iterator>
#include <vector>

#include "base/ComApartment.h"
#include "base/ComPtr.h"
#include "base/RegistryKey.h"

namespace kit {

namespace {

// "Software\Classes\CLSID\" and a braced class id, with room to spare.
constexpr size_t kKeyPathLength = 160;

void ClassKeyPath(const CLSID& clsid, WCHAR* out, size_t size) {
    WCHAR guid[40];
    StringFromGUID2(clsid, guid, static_cast<int>(std::size(guid)));
    swprintf(out, size, L"Software\\Classes\\CLSID\\%ls", guid);
}

HRESULT CreateKey(HKEY parent, const WCHAR* path, base::RegistryKey& key) {
    LONG rc = ERROR_SUCCESS;
    key = base::RegistryKey::Create(parent, path, &rc);
    return HRESULT_FROM_WIN32(rc);
}

// The filter mapper is a COM object; regsvr32's thread may not have joined an apartment yet.
HRESULT CreateMapper(base::ComApartment& com, base::ComPtr<IFilterMapper2>& mapper) {
    com.Enter(COINIT_MULTITHREADED);
    return CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                            mapper.put_void());
}

} // namespace

HRESULT ModulePath(const void* address, WCHAR* path, DWORD size) noexcept {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(address), &module)) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    DWORD n = GetModuleFileNameW(module, path, size);
    if (n == 0 || n >= size) {
        return E_FAIL;
    }
    return S_OK;
}

HRESULT RegisterInprocServer(const CLSID& clsid, const WCHAR* name,
                             const WCHAR* modulePath) noexcept {
    WCHAR keyPath[kKeyPathLength];
    ClassKeyPath(clsid, keyPath, std::size(keyPath));
    base::RegistryKey classKey;
    HRESULT hr = CreateKey(HKEY_LOCAL_MACHINE, keyPath, classKey);
    if (FAILED(hr)) {
        return hr;
    }
    hr = HRESULT_FROM_WIN32(classKey.WriteString(L"", name));
    if (FAILED(hr)) {
        return hr;
    }
    base::RegistryKey serverKey;
    hr = CreateKey(classKey.get(), L"InprocServer32", serverKey);
    if (FAILED(hr)) {
        return hr;
    }
    hr = HRESULT_FROM_WIN32(serverKey.WriteString(L"", modulePath));
    if (FAILED(hr)) {
        return hr;
    }
    return HRESULT_FROM_WIN32(serverKey.WriteString(L"ThreadingModel", L"Both"));
}

HRESULT UnregisterInprocServer(const CLSID& clsid, const WCHAR* modulePath) noexcept {
    WCHAR keyPath[kKeyPathLength];
    ClassKeyPath(clsid, keyPath, std::size(keyPath));
    const auto current =
        base::RegistryKey::Open(HKEY_LOCAL_MACHINE, std::wstring(keyPath) + L"\\InprocServer32")
            .ReadString(L"");
    if (!current || _wcsicmp(current->c_str(), modulePath) != 0) {
        return S_OK;
    }
    return HRESULT_FROM_WIN32(base::RegistryKey::DeleteTree(HKEY_LOCAL_MACHINE, keyPath));
}

HRESULT RegisterWithMapper(const CLSID& clsid, const WCHAR* name, DWORD merit,
                           std::span<const MapperPin> pins) noexcept {
    base::ComApartment com;
    base::ComPtr<IFilterMapper2> mapper;
    HRESULT hr = CreateMapper(com, mapper);
    if (FAILED(hr)) {
        return hr;
    }
    auto pinCount = static_cast<ULONG>(pins.size());
    std::vector<REGPINTYPES> types(pinCount);
    std::vector<REGFILTERPINS> regPins(pinCount);
    for (ULONG i = 0; i < pinCount; ++i) {
        types[i] = {pins[i].majortype, pins[i].subtype};
        regPins[i] = REGFILTERPINS{};
        regPins[i].strName = const_cast<LPWSTR>(pins[i].name);
        regPins[i].bOutput = pins[i].output;
        regPins[i].nMediaTypes = 1;
        regPins[i].lpMediaType = &types[i];
    }
    REGFILTER2 rf2{};
    rf2.dwVersion = 1;
    rf2.dwMerit = merit;
    rf2.cPins = pinCount;
    rf2.rgPins = regPins.data();
    return mapper->RegisterFilter(clsid, name, nullptr, &CLSID_LegacyAmFilterCategory, nullptr,
                                  &rf2);
}

HRESULT UnregisterFromMapper(const CLSID& clsid) noexcept {
    base::ComApartment com;
    base::ComPtr<IFilterMapper2> mapper;
    HRESULT hr = CreateMapper(com, mapper);
    if (FAILED(hr)) {
        return hr;
    }
    return mapper->UnregisterFilter(&CLSID_LegacyAmFilterCategory, nullptr, clsid);
}

HRESULT RegisterThisServer(const CLSID& clsid, const WCHAR* name) noexcept {
    WCHAR path[MAX_PATH];
    HRESULT hr =
        ModulePath(reinterpret_cast<const void*>(&RegisterThisServer), path, std::size(path));
    return SUCCEEDED(hr) ? RegisterInprocServer(clsid, name, path) : hr;
}

HRESULT UnregisterThisServer(const CLSID& clsid) noexcept {
    WCHAR path[MAX_PATH];
    HRESULT hr =
        ModulePath(reinterpret_cast<const void*>(&UnregisterThisServer), path, std::size(path));
    return SUCCEEDED(hr) ? UnregisterInprocServer(clsid, path) : hr;
}

} // namespace kit
