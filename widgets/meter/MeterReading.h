#pragma once
#include <windows.h>

// What the level meter shows of one look at its source: whoever feeds the meter fills it.
struct MeterReading {
    UINT32 channels; // 0 when the source measures nothing
    float peak[2];   // highest since the previous reading; 1.0 full scale, 0 silence
    UINT64 frames;   // a count that moves only when new data arrived
    UINT64 clippedSamples;
    UINT32 silentMs; // since the last sound, or since the start
};
