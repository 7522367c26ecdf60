// EndpointCatalog: which inputs are monitors, and which monitor hears the default output, with
// the endpoints Wine shows for PulseAudio (its own default device, sinks, their monitors).
#include <gtest/gtest.h>

#include "filters/wine/audiocapture/EndpointCatalog.h"

using audiocapture::EndpointCatalog;
using Kind = EndpointCatalog::InputKind;

namespace {

// EndpointFormFactor values as Wine gives them.
constexpr UINT kSpeakers = 1;
constexpr UINT kLineLevel = 2;
constexpr UINT kMicrophone = 4;

EndpointCatalog WineCatalog(const std::wstring& defaultOutput) {
    return EndpointCatalog({{L"o-pa", L"PulseAudio", kSpeakers},
                            {L"o-sp", L"Speakers", kSpeakers},
                            {L"o-hd", L"HDMI", kSpeakers}},
                           {{L"i-pa", L"PulseAudio", kMicrophone},
                            {L"i-sp", L"Monitor of Speakers", kLineLevel},
                            {L"i-hd", L"Monitor von HDMI", kLineLevel},
                            {L"i-mic", L"Mic", kMicrophone},
                            {L"i-line", L"Line In Jack", kLineLevel}},
                           defaultOutput);
}

TEST(EndpointCatalog, KindOfAnInput) {
    const EndpointCatalog catalog = WineCatalog(L"o-pa");
    const std::pair<const wchar_t*, Kind> cases[] = {
        {L"i-sp", Kind::Monitor},     {L"i-hd", Kind::Monitor}, // a translated server
        {L"i-mic", Kind::Microphone}, {L"i-pa", Kind::Microphone},
        {L"i-line", Kind::LineIn},    {L"unknown", Kind::Microphone},
    };
    for (const auto& [id, kind] : cases) {
        EXPECT_EQ(catalog.KindOf(id), kind) << id;
    }
}

TEST(EndpointCatalog, TheDefaultOutputsMonitor) {
    EXPECT_EQ(WineCatalog(L"o-sp").DefaultOutputMonitor()->id, L"i-sp");
    EXPECT_EQ(WineCatalog(L"o-hd").DefaultOutputMonitor()->id, L"i-hd");
    // Wine's own default device has no monitor: the first output by name stands for it.
    EXPECT_EQ(WineCatalog(L"o-pa").DefaultOutputMonitor()->id, L"i-hd");
    EXPECT_EQ(EndpointCatalog({{L"o", L"Speakers", kSpeakers}}, {{L"i", L"Mic", kMicrophone}}, L"o")
                  .DefaultOutputMonitor(),
              nullptr);
}

} // namespace
