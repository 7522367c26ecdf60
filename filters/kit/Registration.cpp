#include "Registration.h"

#include <cwchar>
#include <vector>

#include "ComPtr.h"

namespace kit {

namespace {

void ClassKeyPath(const CLSID& clsid, WCHAR* out, size_t size) {
    WCHAR guid[40];
    StringFromGUID2(clsid, guid, 40);
    swprintf(out, size, L"Software\\Classes\\CLSID\\%ls", guid);
}

HRESULT SetString(HKEY key, const WCHAR* name, const WCHAR* value) {
    LONG rc = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                             static_cast<DWORD>((wcslen(value) + 1) * sizeof(WCHAR)));
    return HRESULT_FROM_WIN32(rc);
}

// An apartment for the registration calls; uninitialised only if this call initialised it.
class ComScope {
public:
    ComScope() noexcept : m_hr(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(m_hr))
            CoUninitialize();
    }

private:
    HRESULT m_hr;
};

} // namespace

HRESULT ModulePath(const void* address, WCHAR* path, DWORD size) noexcept {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(address), &module))
        return HRESULT_FROM_WIN32(GetLastError());
    DWORD n = GetModuleFileNameW(module, path, size);
    if (n == 0 || n >= size)
        return E_FAIL;
    return S_OK;
}

HRESULT RegisterInprocServer(const CLSID& clsid, const WCHAR* name,
                             const WCHAR* modulePath) noexcept {
    WCHAR keyPath[128];
    ClassKeyPath(clsid, keyPath, 128);
    HKEY classKey = nullptr;
    LONG rc = RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, KEY_WRITE, nullptr,
                              &classKey, nullptr);
    if (rc != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(rc);
    HRESULT hr = SetString(classKey, nullptr, name);
    HKEY serverKey = nullptr;
    if (SUCCEEDED(hr)) {
        rc = RegCreateKeyExW(classKey, L"InprocServer32", 0, nullptr, 0, KEY_WRITE, nullptr,
                             &serverKey, nullptr);
        hr = HRESULT_FROM_WIN32(rc);
    }
    if (SUCCEEDED(hr))
        hr = SetString(serverKey, nullptr, modulePath);
    if (SUCCEEDED(hr))
        hr = SetString(serverKey, L"ThreadingModel", L"Both");
    if (serverKey)
        RegCloseKey(serverKey);
    RegCloseKey(classKey);
    return hr;
}

HRESULT UnregisterInprocServer(const CLSID& clsid, const WCHAR* modulePath) noexcept {
    WCHAR keyPath[160];
    ClassKeyPath(clsid, keyPath, 128);
    WCHAR serverPath[160];
    swprintf(serverPath, 160, L"%ls\\InprocServer32", keyPath);
    WCHAR current[MAX_PATH] = {};
    DWORD bytes = sizeof(current);
    LONG rc = RegGetValueW(HKEY_LOCAL_MACHINE, serverPath, nullptr, RRF_RT_REG_SZ, nullptr, current,
                           &bytes);
    if (rc != ERROR_SUCCESS)
        return S_OK;
    if (_wcsicmp(current, modulePath) != 0)
        return S_OK;
    rc = RegDeleteTreeW(HKEY_LOCAL_MACHINE, keyPath);
    return HRESULT_FROM_WIN32(rc);
}

HRESULT RegisterWithMapper(const CLSID& clsid, const WCHAR* name, DWORD merit,
                           const MapperPin* pins, ULONG pinCount) noexcept {
    ComScope com;
    ComPtr<IFilterMapper2> mapper;
    HRESULT hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IFilterMapper2, mapper.put_void());
    if (FAILED(hr))
        return hr;
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
    ComScope com;
    ComPtr<IFilterMapper2> mapper;
    HRESULT hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IFilterMapper2, mapper.put_void());
    if (FAILED(hr))
        return hr;
    return mapper->UnregisterFilter(&CLSID_LegacyAmFilterCategory, nullptr, clsid);
}

HRESULT RegisterThisServer(const CLSID& clsid, const WCHAR* name) noexcept {
    WCHAR path[MAX_PATH];
    HRESULT hr = ModulePath(reinterpret_cast<const void*>(&RegisterThisServer), path, MAX_PATH);
    return SUCCEEDED(hr) ? RegisterInprocServer(clsid, name, path) : hr;
}

HRESULT UnregisterThisServer(const CLSID& clsid) noexcept {
    WCHAR path[MAX_PATH];
    HRESULT hr = ModulePath(reinterpret_cast<const void*>(&UnregisterThisServer), path, MAX_PATH);
    return SUCCEEDED(hr) ? UnregisterInprocServer(clsid, path) : hr;
}

} // namespace kit
