// EndpointCatalog: which inputs are monitors, and which monitor hears the default output, with
// the endpoints Wine shows for PulseAudio (its own default device, sinks, their monitors).
#include <gtest/gtest.h>

#include <tuple>

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
    // Wine's own default device has no monitor: the first output by name stands for it, as
    // for an unknown default.
    const std::tuple<const wchar_t*, const wchar_t*, bool> cases[] = {
        {L"o-sp", L"i-sp", true},
        {L"o-hd", L"i-hd", true},
        {L"o-pa", L"i-hd", false},
        {L"", L"i-hd", false},
    };
    for (const auto& [output, monitor, ofDefault] : cases) {
        const EndpointCatalog::MonitorChoice choice = WineCatalog(output).DefaultOutputMonitor();
        ASSERT_NE(choice.monitor, nullptr) << output;
        EXPECT_EQ(choice.monitor->id, monitor) << output;
        EXPECT_EQ(choice.ofDefault, ofDefault) << output;
    }
    EXPECT_EQ(EndpointCatalog({{L"o", L"Speakers", kSpeakers}}, {{L"i", L"Mic", kMicrophone}}, L"o")
                  .DefaultOutputMonitor()
                  .monitor,
              nullptr);
}

// The default sink's endpoint is found by the GUID Wine ends its id with.
TEST(EndpointCatalog, TheOutputWhoseIdEndsWithAGuid) {
    EndpointCatalog catalog({{L"{0.0.0.00000000}.{aa-1}", L"Other", kSpeakers},
                             {L"{0.0.0.00000000}.{bb-2}", L"Speakers", kSpeakers}},
                            {}, L"");
    EXPECT_EQ(catalog.OutputEndingWith(L"{BB-2}")->name, L"Speakers");
    EXPECT_EQ(catalog.OutputEndingWith(L"{cc-3}"), nullptr);
    EXPECT_EQ(catalog.OutputEndingWith(L""), nullptr);
}

} // namespace
