#include "app/RecorderDialog.h"

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
        [this](LevelReading& reading) {
            return m_pLevelSource && SUCCEEDED(m_pLevelSource->GetLevels(&reading));
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
