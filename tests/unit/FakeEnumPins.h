#pragma once
#include "tests/unit/FakeComObject.h"

#include "base/ComPtr.h"

#include <dshow.h>
#include <vector>

// Hands out a filter's pins one at a time, each with a reference of its own.
class FakeEnumPins : public FakeComObject<IEnumPins> {
public:
    explicit FakeEnumPins(std::vector<IPin*> pins) : m_pins(std::move(pins)) {
        Expose(IID_IEnumPins, static_cast<IEnumPins*>(this));
        for (IPin* pin : m_pins) {
            pin->AddRef();
        }
    }

    STDMETHODIMP Next(ULONG count, IPin** pins, ULONG* fetched) noexcept override {
        if (count != 1 || m_next >= m_pins.size()) {
            if (fetched) {
                *fetched = 0;
            }
            return S_FALSE;
        }
        pins[0] = m_pins[m_next++];
        pins[0]->AddRef();
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
    STDMETHODIMP Clone(IEnumPins**) noexcept override { return E_NOTIMPL; }

private:
    ~FakeEnumPins() override {
        for (IPin* pin : m_pins) {
            pin->Release();
        }
    }
    std::vector<IPin*> m_pins;
    size_t m_next = 0;
};
