// The sound system's endpoints as the capture source needs them: what kind of input a device is,
// and which input hears what the default output plays. Under Wine with PulseAudio every source
// is an input endpoint, a sink's monitor among them ("Monitor of <sink>", line level), and the
// default output is a device of Wine's own ("PulseAudio", "PulseAudio Output") that follows the
// server's default sink without saying which it is (measured under Wine 8 and Wine 10).
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace audiocapture {

struct AudioEndpoint {
    std::wstring id;
    std::wstring name;
    UINT formFactor = 0; // an EndpointFormFactor
};

class EndpointCatalog {
public:
    enum class InputKind { Microphone, LineIn, Monitor };
    struct MonitorChoice {
        const AudioEndpoint* monitor = nullptr; // null when no output has one
        const AudioEndpoint* output = nullptr;  // the output it hears
        bool ofDefault = false; // false: the first output by name stands for the default one
    };

    EndpointCatalog() = default;
    EndpointCatalog(std::vector<AudioEndpoint> outputs, std::vector<AudioEndpoint> inputs,
                    std::wstring defaultOutputId);

    const std::vector<AudioEndpoint>& outputs() const { return m_outputs; }
    const std::vector<AudioEndpoint>& inputs() const { return m_inputs; }

    // An input the catalog does not know counts as a microphone.
    InputKind KindOf(const std::wstring& inputId) const;
    // The monitor of the default output. When the default output has none, as Wine's own
    // default device, the monitor of the first output by name: the same one at every start.
    MonitorChoice DefaultOutputMonitor() const { return MonitorOfOutput(m_defaultOutputId); }
    // The same for the output `outputId` standing for the default one.
    MonitorChoice MonitorOfOutput(const std::wstring& outputId) const;
    // The output whose id ends with `tail` (Wine's ids end with a GUID of the device's own),
    // without regard to case.
    const AudioEndpoint* OutputEndingWith(const std::wstring& tail) const;

private:
    const AudioEndpoint* MonitorOf(const AudioEndpoint& output) const;
    bool IsMonitor(const AudioEndpoint& input) const;
    static bool Monitors(const AudioEndpoint& input, const AudioEndpoint& output);

    std::vector<AudioEndpoint> m_outputs;
    std::vector<AudioEndpoint> m_inputs;
    std::wstring m_defaultOutputId;
};

} // namespace audiocapture
