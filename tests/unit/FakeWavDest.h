#pragma once
#include "tests/unit/FakeFilterBase.h"

#include "filters/wavdest/ILevelSource.h"

// Stands in for "WAV Dest": a filter that offers the reading a test sets through ILevelSource
// and counts how often it was read.
class FakeWavDest : public FakeFilterBase<ILevelSource> {
public:
    FakeWavDest() { Expose(IID_ILevelSource, static_cast<ILevelSource*>(this)); }

    LevelReading reading{};
    int reads = 0;

    STDMETHODIMP GetLevels(LevelReading* levels) noexcept override {
        ++reads;
        *levels = reading;
        return S_OK;
    }
};
