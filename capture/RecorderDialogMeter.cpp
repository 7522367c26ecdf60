#include "app/RecorderDialog.h"

#include <cstdio>

namespace {
// The meter shows at most two channels; the filter's reading carries more.
MeterReading MeterReadingOf(const LevelReading& levels) {
    return {levels.channels,
            {levels.peak[0], levels.peak[1]},
            levels.frames,
            levels.clippedSamples,
            levels.silentMs};
}
} // namespace

// Our "WAV Dest" measures what it receives; another one, without ILevelSource, leaves the meter
// empty and records all the same.
void RecorderDialog::StartLevelMeter() {
    StopLevelMeter();
    if (!m_pWavDest ||
        FAILED(m_pWavDest->QueryInterface(IID_ILevelSource, m_pLevelSource.put_void()))) {
        m_pLevelSource.reset();
        return;
    }
    m_stLevelMeter.SetTipText(RecordedInputText());
    m_stLevelMeter.Start(
        [this](MeterReading& reading) {
            LevelReading levels{};
            if (!m_pLevelSource || FAILED(m_pLevelSource->GetLevels(&levels))) {
                return false;
            }
            reading = MeterReadingOf(levels);
            return true;
        },
        GetTickCount64());
}

// The meter reads through m_pLevelSource, which holds the filter: both go with the chain.
void RecorderDialog::StopLevelMeter() {
    m_stLevelMeter.Stop();
    m_pLevelSource.reset();
}

std::string RecorderDialog::RecordedInputText() const {
    std::string text =
        "Recording from \"" + m_cbSoundCard.GetItemText(m_cbSoundCard.GetCurSel()) + "\"";
    const int input = m_cbInput.GetCurSel();
    if (input >= 0) {
        text += ", input \"" + m_cbInput.GetItemText(input) + "\"";
    }
    return text;
}

// "WAV Dest" tells, once the graph stopped, what of the take a slow disk cost: sound it had to
// replace by silence, and sound still unwritten when the writer had to give up.
std::string RecorderDialog::LostSoundText() const {
    LevelReading reading{};
    if (!m_pLevelSource || FAILED(m_pLevelSource->GetLevels(&reading)) ||
        (reading.silencedMs == 0 && reading.unwrittenMs == 0)) {
        return {};
    }
    const double silenced = reading.silencedMs / 1000.0, unwritten = reading.unwrittenMs / 1000.0;
    char text[160];
    if (reading.unwrittenMs == 0) {
        snprintf(text, sizeof text, "The disk fell behind: %.1f s of this take are silence",
                 silenced);
    } else if (reading.silencedMs == 0) {
        snprintf(text, sizeof text, "The disk stalled: the last %.1f s were not written",
                 unwritten);
    } else {
        snprintf(text, sizeof text, "The disk fell behind: %.1f s are silence, %.1f s not written",
                 silenced, unwritten);
    }
    return text;
}
