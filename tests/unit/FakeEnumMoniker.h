#pragma once
#include "tests/unit/FakeComObject.h"

#include <objidl.h>
#include <vector>

// Hands out device monikers one at a time, each with a reference of its own.
class FakeEnumMoniker : public FakeComObject<IEnumMoniker> {
public:
    explicit FakeEnumMoniker(std::vector<IMoniker*> monikers) : m_monikers(std::move(monikers)) {
        Expose(IID_IEnumMoniker, static_cast<IEnumMoniker*>(this));
        for (IMoniker* moniker : m_monikers) {
            moniker->AddRef();
        }
    }

    STDMETHODIMP Next(ULONG count, IMoniker** monikers, ULONG* fetched) noexcept override {
        if (count != 1 || m_next >= m_monikers.size()) {
            if (fetched) {
                *fetched = 0;
            }
            return S_FALSE;
        }
        monikers[0] = m_monikers[m_next++];
        monikers[0]->AddRef();
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
    STDMETHODIMP Clone(IEnumMoniker**) noexcept override { return E_NOTIMPL; }

private:
    ~FakeEnumMoniker() override {
        for (IMoniker* moniker : m_monikers) {
            moniker->Release();
        }
    }
    std::vector<IMoniker*> m_monikers;
    size_t m_next = 0;
};
