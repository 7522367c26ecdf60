// Reads the sound system's endpoints through the endpoint API, and ties waveIn devices to them
// by the endpoint id winmm gives for each (Wine 8 and 10 answer it). Wine's PulseAudio driver
// keeps the GUID of each sink's endpoint under the sink's name in the registry, which ties the
// sound server's default sink to its endpoint.
#pragma once
#include <windows.h>
#include <mmdeviceapi.h>
#include <string>

#include "filters/wine/audiocapture/EndpointCatalog.h"

namespace audiocapture {

class SoundEndpoints {
public:
    // The active endpoints of both directions and the default output; empty without the API.
    static EndpointCatalog Read();
    // The endpoint's id, empty for none.
    static std::wstring IdOf(IMMDevice* device);
    // The endpoint id of waveIn device `waveInId`, empty when the driver does not tell.
    static std::wstring EndpointOfWaveIn(UINT waveInId);
    // The GUID its endpoint's id ends with, as "{...}", for the sound server's sink named
    // `sink`; empty when Wine has not seen that sink.
    static std::wstring GuidOfSink(const std::wstring& sink);
};

} // namespace audiocapture
