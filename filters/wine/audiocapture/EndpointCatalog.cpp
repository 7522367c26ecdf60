#include "filters/wine/audiocapture/EndpointCatalog.h"

#include <algorithm>

namespace audiocapture {

namespace {
// EndpointFormFactor's LineLevel, without the endpoint API's headers.
constexpr UINT kLineLevel = 2;
} // namespace

EndpointCatalog::EndpointCatalog(std::vector<AudioEndpoint> outputs,
                                 std::vector<AudioEndpoint> inputs, std::wstring defaultOutputId)
    : m_outputs(std::move(outputs)), m_inputs(std::move(inputs)),
      m_defaultOutputId(std::move(defaultOutputId)) {}

EndpointCatalog::InputKind EndpointCatalog::KindOf(const std::wstring& inputId) const {
    auto input = std::find_if(m_inputs.begin(), m_inputs.end(),
                              [&](const AudioEndpoint& e) { return e.id == inputId; });
    if (input == m_inputs.end()) {
        return InputKind::Microphone;
    }
    if (IsMonitor(*input)) {
        return InputKind::Monitor;
    }
    return input->formFactor == kLineLevel ? InputKind::LineIn : InputKind::Microphone;
}

EndpointCatalog::MonitorChoice
EndpointCatalog::MonitorOfOutput(const std::wstring& outputId) const {
    for (const AudioEndpoint& output : m_outputs) {
        if (output.id == outputId) {
            if (const AudioEndpoint* monitor = MonitorOf(output)) {
                return {monitor, &output, true};
            }
        }
    }
    MonitorChoice first;
    for (const AudioEndpoint& output : m_outputs) {
        const AudioEndpoint* monitor = MonitorOf(output);
        if (monitor && (!first.output || output.name < first.output->name)) {
            first = {monitor, &output, false};
        }
    }
    return first;
}

const AudioEndpoint* EndpointCatalog::OutputEndingWith(const std::wstring& tail) const {
    for (const AudioEndpoint& output : m_outputs) {
        if (!tail.empty() && output.id.size() >= tail.size() &&
            _wcsicmp(output.id.c_str() + output.id.size() - tail.size(), tail.c_str()) == 0) {
            return &output;
        }
    }
    return nullptr;
}

const AudioEndpoint* EndpointCatalog::MonitorOf(const AudioEndpoint& output) const {
    for (const AudioEndpoint& input : m_inputs) {
        if (Monitors(input, output)) {
            return &input;
        }
    }
    return nullptr;
}

bool EndpointCatalog::IsMonitor(const AudioEndpoint& input) const {
    return std::any_of(m_outputs.begin(), m_outputs.end(),
                       [&](const AudioEndpoint& output) { return Monitors(input, output); });
}

// PulseAudio names a sink's monitor "Monitor of <sink>", translated with the server's language
// ("Monitor von <sink>"), so a line-level input whose name ends in an output's name counts too.
bool EndpointCatalog::Monitors(const AudioEndpoint& input, const AudioEndpoint& output) {
    if (output.name.empty()) {
        return false;
    }
    if (input.name == L"Monitor of " + output.name) {
        return true;
    }
    const std::wstring tail = L" " + output.name;
    return input.formFactor == kLineLevel && input.name.size() > tail.size() &&
           input.name.compare(input.name.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace audiocapture
