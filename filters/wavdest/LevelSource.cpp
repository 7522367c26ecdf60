#include "filters/wavdest/LevelSource.h"

namespace wavdest {

STDMETHODIMP LevelSource::GetLevels(LevelReading* reading) noexcept {
    if (!reading) {
        return E_POINTER;
    }
    *reading = m_measure.Read(GetTickCount64());
    reading->silencedMs = m_silencedMs;
    reading->unwrittenMs = m_unwrittenMs;
    return S_OK;
}

} // namespace wavdest
