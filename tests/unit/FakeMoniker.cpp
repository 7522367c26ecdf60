#include "tests/unit/FakeMoniker.h"

FakeMoniker::FakeMoniker(CallLog& log, const std::string& name)
    : m_log(log), m_name(name), m_bag(new FakePropertyBag(std::wstring(name.begin(), name.end()))),
      m_filter(new FakeCaptureFilter(log)) {
    Expose(IID_IMoniker, static_cast<IMoniker*>(this));
}

STDMETHODIMP FakeMoniker::BindToObject(IBindCtx*, IMoniker*, REFIID iid, void** object) noexcept {
    m_log.Add("bind " + m_name);
    *object = nullptr;
    if (FAILED(objectResult)) {
        return objectResult;
    }
    return m_filter->QueryInterface(iid, object);
}

STDMETHODIMP FakeMoniker::BindToStorage(IBindCtx*, IMoniker*, REFIID iid, void** object) noexcept {
    *object = nullptr;
    if (FAILED(storageResult)) {
        return storageResult;
    }
    return m_bag->QueryInterface(iid, object);
}
