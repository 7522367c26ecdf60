#include "tests/unit/FakePin.h"

#include <cstdio>

FakePin::FakePin(CallLog& log, IBaseFilter* owner, std::string name, PIN_DIRECTION direction,
                 bool hasMixer, double mixLevel)
    : level(mixLevel), m_log(log), m_owner(owner), m_name(std::move(name)), m_direction(direction) {
    Expose(IID_IPin, static_cast<IPin*>(this));
    if (hasMixer) {
        Expose(IID_IAMAudioInputMixer, static_cast<IAMAudioInputMixer*>(this));
    }
}

STDMETHODIMP FakePin::QueryPinInfo(PIN_INFO* info) noexcept {
    info->dir = m_direction;
    MultiByteToWideChar(CP_ACP, 0, m_name.c_str(), -1, info->achName, MAX_PIN_NAME);
    info->pFilter = m_owner;
    m_owner->AddRef();
    return S_OK;
}

STDMETHODIMP FakePin::QueryDirection(PIN_DIRECTION* direction) noexcept {
    if (FAILED(directionResult)) {
        return directionResult;
    }
    *direction = m_direction;
    return S_OK;
}

STDMETHODIMP FakePin::put_Enable(WINBOOL enable) noexcept {
    enabled = enable != FALSE;
    m_log.Add(m_name + (enabled ? ".enable" : ".disable"));
    return S_OK;
}

STDMETHODIMP FakePin::get_Enable(WINBOOL* enable) noexcept {
    *enable = enabled;
    return S_OK;
}

STDMETHODIMP FakePin::put_MixLevel(double value) noexcept {
    char text[64];
    snprintf(text, sizeof text, ".level=%g", value);
    m_log.Add(m_name + text);
    level = value;
    return S_OK;
}

STDMETHODIMP FakePin::get_MixLevel(double* value) noexcept {
    m_log.Add(m_name + ".readLevel");
    if (FAILED(levelResult)) {
        return levelResult;
    }
    *value = level;
    return S_OK;
}
