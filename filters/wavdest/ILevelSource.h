// The levels "WAV Dest" measures in the audio it receives, offered to the program that built
// the graph. Any thread may read them while samples arrive: nothing waits for a lock.
#pragma once
#include <windows.h>
#include <unknwn.h>

// Channels whose peaks a reading carries; further channels count only for clipping and silence.
inline constexpr UINT32 kLevelChannels = 8;

struct LevelReading {
    UINT32 channels;            // of the input's format; 0 when it is not measured
    float peak[kLevelChannels]; // highest since the previous reading; 1.0 full scale, 0 silence
    UINT64 frames;              // measured since the recording began: tells new data from none
    UINT64 clippedSamples;      // samples as loud as the largest positive one, since the start
    UINT32 silentMs;            // since the last sample above -90 dBFS, or since the start
    // Of the last take, told once it ended: sound replaced by silence because the writer fell
    // behind a live source, and sound received but not written, the writer still stalled at
    // the end.
    UINT32 silencedMs;
    UINT32 unwrittenMs;
};

// {BB25774A-BECA-4B76-BF88-09ED7644F949}
inline constexpr IID IID_ILevelSource = {
    0xbb25774a, 0xbeca, 0x4b76, {0xbf, 0x88, 0x09, 0xed, 0x76, 0x44, 0xf9, 0x49}};

struct ILevelSource : public IUnknown {
    // Fills *reading; the peaks start again from nothing after each call.
    virtual HRESULT STDMETHODCALLTYPE GetLevels(LevelReading* reading) = 0;
};
