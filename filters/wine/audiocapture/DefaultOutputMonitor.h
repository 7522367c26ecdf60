// What "Stereo Mix" records where Wine has no loopback: the monitor of the sound server's
// default sink, found again at each start of a take, so that a change of the default between
// takes is followed. Wine never refreshes its device list within a process, so the endpoints
// and the waveIn devices behind them are read once (5 to 80 ms each time on a busy machine,
// measured); the default sink comes from a watcher that already knows it.
#pragma once
#include <windows.h>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "filters/wine/audiocapture/DefaultSinkWatcher.h"
#include "filters/wine/audiocapture/EndpointCatalog.h"

namespace audiocapture {

class DefaultOutputMonitor {
public:
    // The waveIn device that hears what the default output plays; without one, a device
    // number that does not exist, so that the recording reports its device lost. The
    // debugger output tells the choice, and why when it is not the default sink's monitor.
    UINT WaveInId() noexcept;

private:
    void Learn();
    EndpointCatalog::MonitorChoice Choose(std::wstring& problem);
    UINT WaveInOf(const std::wstring& endpointId) const;
    static void Tell(const EndpointCatalog::MonitorChoice& choice, const std::wstring& problem);

    std::mutex m_lock;
    DefaultSinkWatcher m_defaultSink;
    std::optional<EndpointCatalog> m_catalog;
    std::vector<std::wstring> m_waveInEndpoints; // the endpoint id of each waveIn device
};

} // namespace audiocapture
