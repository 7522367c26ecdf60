// "WAV Dest"'s ILevelSource: a face of the filter that answers from the filter's LevelMeasure.
// Its identity and reference count are the filter's own.
#pragma once
#include <atomic>

#include "filters/kit/ComObject.h"
#include "filters/wavdest/ILevelSource.h"
#include "filters/wavdest/LevelMeasure.h"

namespace wavdest {

class LevelSource : public ILevelSource {
public:
    explicit LevelSource(kit::ComObject& owner) noexcept : m_owner(owner) {}
    LevelSource(const LevelSource&) = delete;
    LevelSource& operator=(const LevelSource&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) noexcept override {
        return m_owner.QueryObject(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return m_owner.AddRefObject(); }
    STDMETHODIMP_(ULONG) Release() noexcept override { return m_owner.ReleaseObject(); }
    STDMETHODIMP GetLevels(LevelReading* reading) noexcept override;

    LevelMeasure& measure() noexcept { return m_measure; }
    void SetLost(UINT32 silencedMs, UINT32 unwrittenMs) noexcept {
        m_silencedMs = silencedMs;
        m_unwrittenMs = unwrittenMs;
    }

private:
    kit::ComObject& m_owner;
    LevelMeasure m_measure;
    std::atomic<UINT32> m_silencedMs{0};
    std::atomic<UINT32> m_unwrittenMs{0};
};

} // namespace wavdest
