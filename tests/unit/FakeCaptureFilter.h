#pragma once
#include "tests/unit/CallLog.h"
#include "tests/unit/FakeFilterBase.h"
#include "tests/unit/FakePin.h"

#include "base/ComPtr.h"

#include <vector>

// A device's capture filter with the pins a test gives it, in that order.
class FakeCaptureFilter : public FakeFilterBase<> {
public:
    explicit FakeCaptureFilter(CallLog& log) : m_log(log) {}

    FakePin& AddPin(const std::string& name, PIN_DIRECTION direction, bool hasMixer = false,
                    double level = 0.5);
    // Inputs with mixers, one per name, behind an output pin "Capture".
    FakeCaptureFilter& WithInputs(const std::vector<std::string>& names);
    FakePin& pin(size_t index) const { return *m_pins.at(index).get(); }
    FakePin& pin(const std::string& name) const;

    HRESULT enumResult = S_OK;
    STDMETHODIMP EnumPins(IEnumPins** pins) noexcept override;

private:
    CallLog& m_log;
    std::vector<base::ComPtr<FakePin>> m_pins;
};
