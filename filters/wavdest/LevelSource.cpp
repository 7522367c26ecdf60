#include "filters/wavdest/LevelSource.h"

namespace wavdest {

STDMETHODIMP LevelSource::GetLevels(LevelReading* reading) noexcept {
    if (!reading) {
        return E_POINTER;
    }
    *reading = m_measure.Read(GetTickCount64());
    return S_OK;
}

} // namespace wavdest
