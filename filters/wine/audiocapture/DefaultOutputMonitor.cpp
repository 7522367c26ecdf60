#include "filters/wine/audiocapture/DefaultOutputMonitor.h"

#include <mmsystem.h>
#include <algorithm>

#include "base/AnsiText.h"
#include "filters/wine/audiocapture/SoundEndpoints.h"

namespace audiocapture {

UINT DefaultOutputMonitor::WaveInId() noexcept {
    try {
        std::lock_guard lock(m_lock);
        Learn();
        std::wstring problem;
        const EndpointCatalog::MonitorChoice choice = Choose(problem);
        Tell(choice, problem);
        if (choice.monitor) {
            return WaveInOf(choice.monitor->id);
        }
        return static_cast<UINT>(m_waveInEndpoints.size());
    } catch (...) {
        return waveInGetNumDevs();
    }
}

// The watcher starts before the endpoints are read, so that its first answer may come meanwhile.
void DefaultOutputMonitor::Learn() {
    if (m_catalog) {
        return;
    }
    m_defaultSink.Start();
    m_catalog = SoundEndpoints::Read();
    for (UINT id = 0; id < waveInGetNumDevs(); ++id) {
        m_waveInEndpoints.push_back(SoundEndpoints::EndpointOfWaveIn(id));
    }
}

EndpointCatalog::MonitorChoice DefaultOutputMonitor::Choose(std::wstring& problem) {
    const DefaultSink sink = m_defaultSink.Current();
    problem = sink.problem;
    if (sink.name.empty()) {
        return m_catalog->DefaultOutputMonitor();
    }
    const AudioEndpoint* output =
        m_catalog->OutputEndingWith(SoundEndpoints::GuidOfSink(sink.name));
    if (!output) {
        problem = L"Wine lists no output for the default sink \"" + sink.name + L"\"";
        return m_catalog->DefaultOutputMonitor();
    }
    return m_catalog->MonitorOfOutput(output->id);
}

UINT DefaultOutputMonitor::WaveInOf(const std::wstring& endpointId) const {
    auto found = std::find(m_waveInEndpoints.begin(), m_waveInEndpoints.end(), endpointId);
    return static_cast<UINT>(found - m_waveInEndpoints.begin());
}

void DefaultOutputMonitor::Tell(const EndpointCatalog::MonitorChoice& choice,
                                const std::wstring& problem) {
    std::wstring text;
    if (!choice.monitor) {
        text = L"Audio Capture: \"Stereo Mix\" has nothing to record: no output has a monitor";
    } else if (choice.ofDefault) {
        text = L"Audio Capture: \"Stereo Mix\" records \"" + choice.monitor->name +
               L"\", the default output's monitor";
    } else {
        text = L"Audio Capture: \"Stereo Mix\" records \"" + choice.monitor->name +
               L"\", the monitor of the first output by name, since " +
               (problem.empty() ? L"the default output has no monitor" : problem);
    }
    // Wine 8 shows only the narrow form (WINEDEBUG=+debugstr).
    OutputDebugStringA(base::Narrow(text + L"\n").c_str());
}

} // namespace audiocapture
