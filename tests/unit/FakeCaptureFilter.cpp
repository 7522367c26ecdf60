#include "tests/unit/FakeCaptureFilter.h"

#include "tests/unit/FakeEnum.h"

#include <stdexcept>

FakePin& FakeCaptureFilter::AddPin(const std::string& name, PIN_DIRECTION direction, bool hasMixer,
                                   double level) {
    m_pins.emplace_back(new FakePin(m_log, this, name, direction, hasMixer, level));
    return *m_pins.back().get();
}

FakeCaptureFilter& FakeCaptureFilter::WithInputs(const std::vector<std::string>& names) {
    AddPin("Capture", PINDIR_OUTPUT);
    for (const std::string& name : names) {
        AddPin(name, PINDIR_INPUT, true);
    }
    return *this;
}

FakePin& FakeCaptureFilter::pin(const std::string& name) const {
    for (const auto& candidate : m_pins) {
        if (candidate->name() == name) {
            return *candidate.get();
        }
    }
    throw std::out_of_range("no pin " + name);
}

STDMETHODIMP FakeCaptureFilter::EnumPins(IEnumPins** pins) noexcept {
    *pins = nullptr;
    if (FAILED(enumResult)) {
        return enumResult;
    }
    std::vector<IPin*> list;
    for (const auto& candidate : m_pins) {
        list.push_back(candidate.get());
    }
    *pins = new FakeEnumPins(std::move(list));
    return S_OK;
}
