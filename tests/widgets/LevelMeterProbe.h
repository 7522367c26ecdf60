#pragma once
#include "widgets/meter/LevelMeter.h"

#include <string>

// What the tests read of a meter besides its pixels and window text.
class LevelMeterProbe {
public:
    explicit LevelMeterProbe(const LevelMeter& meter) : m_meter(meter) {}
    LevelMeter::Mode mode() const { return m_meter.m_mode; }
    bool warning() const { return m_meter.m_warning; }
    const std::string& tipText() const { return m_meter.m_tipText; }

private:
    const LevelMeter& m_meter;
};
