// Reads the sound system's endpoints through the endpoint API, and ties waveIn devices to them
// by the endpoint id winmm gives for each (Wine 8 and 10 answer it). Wine's PulseAudio driver
// keeps the GUID of each sink's endpoint under the sink's name in the registry, which ties the
// sound server's default sink to its endpoint.
#pragma once
#include <windows.h>
#include <optional>
#include <string>

#include "filters/wine/audiocapture/DefaultSinkWatcher.h"
#include "filters/wine/audiocapture/EndpointCatalog.h"

namespace audiocapture {

class SoundEndpoints {
public:
    // The active endpoints of both directions and the default output; empty without the API.
    static EndpointCatalog Read();
    // The endpoint id of waveIn device `waveInId`, empty when the driver does not tell.
    static std::wstring EndpointOfWaveIn(UINT waveInId);
    static std::optional<UINT> WaveInOfEndpoint(const std::wstring& endpointId);
    // The waveIn device that hears what the default output plays, the server's default sink
    // as `defaultSink` knows it; without one, a device number that does not exist, so that
    // the recording reports its device lost. The debugger output tells the choice.
    static UINT DefaultOutputMonitor(DefaultSinkWatcher& defaultSink) noexcept;

private:
    static std::wstring GuidOfSink(const std::wstring& sink);
    static void Tell(const EndpointCatalog::MonitorChoice& choice, const std::wstring& problem);
};

} // namespace audiocapture
