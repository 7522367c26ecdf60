#include "tests/unit/RecorderDialogTest.h"

#include "app/Settings.h"
#include "resources/resource.h"

#include <fstream>

namespace {

const char kEventCaption[] = "DirectShow Audio Capture Sample";

class GraphEventTest : public RecorderDialogTest {
protected:
    void SetUp() override {
        AddCard("A", {"Mic", "Line In"});
        AddCard("B", {"Mic", "Stereo Mix"});
        Seed(settings::kOnlyOnce, 1);
    }
};

TEST_F(GraphEventTest, DeviceRemovedWhileRecordingStopsReleasesAndTellsTheUser) {
    Open();
    Click(IDC_RECORD);
    Tick(3);
    services.graph().QueueEvent(EC_DEVICE_LOST, 0, 0);
    GraphNotify();
    EXPECT_FALSE(Probe().recording());
    EXPECT_EQ(Text(IDC_STATUS), "Status : Ready");
    EXPECT_EQ(Buttons(), "Record=1 Pause=1 Stop=1 Play=1");
    EXPECT_TRUE(Entries(IDC_SOUND_CARD).empty());
    EXPECT_TRUE(Entries(IDC_INPUT).empty());
    EXPECT_EQ(Probe().graph(), nullptr);
    EXPECT_EQ(Probe().captureFilter(), nullptr);
    EXPECT_EQ(services.graphs[0]->refs(), 1u) << "graph still held";
    for (const auto& device : services.devices) {
        EXPECT_EQ(device->refs(), 1u) << "list still holds " << device->name();
    }
    const int stop = log.IndexOf("g1.StopWhenReady"), beep = log.IndexOf("beep 0");
    EXPECT_GE(stop, 0);
    EXPECT_GT(beep, stop);
    EXPECT_EQ(log.IndexOf("message DirectShow Audio Capture Sample"), beep + 1);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, "The selected input device was removed!");
    EXPECT_EQ(desktop.messages[0].style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
}

TEST_F(GraphEventTest, WithoutAGraphNotificationsAndRecordDoNothing) {
    Open();
    services.graph().QueueEvent(EC_DEVICE_LOST, 0, 0);
    GraphNotify();
    services.graph().QueueEvent(EC_DEVICE_LOST, 0, 1);
    log.Clear();
    desktop.messages.clear();
    GraphNotify();
    EXPECT_TRUE(log.calls().empty());
    EXPECT_TRUE(desktop.messages.empty());

    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "corvale-unit-after-removal.wav";
    std::ofstream(path) << "kept";
    SetText(IDC_OUTPUT_FILE, path);
    desktop.answers = {IDYES};
    Click(IDC_RECORD);
    DeleteFileA(path.c_str());
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].caption, "Warning");
    EXPECT_FALSE(log.Contains("create WavDest"));
    EXPECT_FALSE(Probe().recording());
    EXPECT_EQ(Probe().BuildRecordingChain(), E_POINTER);
}

TEST_F(GraphEventTest, OtherEventsAreFreedWithoutAnyReaction) {
    Open();
    Click(IDC_RECORD);
    log.Clear();
    for (long code : {EC_COMPLETE, EC_PAUSED, EC_CLOCK_CHANGED}) {
        services.graph().QueueEvent(code, 0, 0);
    }
    // Only the notification with instance parameter 0 is the graph's.
    SendMessageA(window(), WM_GRAPHNOTIFY, 0, 1);
    EXPECT_TRUE(log.calls().empty());
    GraphNotify();
    EXPECT_EQ(log.calls(),
              (std::vector<std::string>{"g1.FreeEventParams 1", "g1.FreeEventParams 14",
                                        "g1.FreeEventParams 13"}));
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_EQ(desktop.beeps, 0);
    EXPECT_TRUE(Probe().recording());
}

TEST_F(GraphEventTest, DeviceBackRebuildsTheGraphAndReopensTheStoredDeviceAndInput) {
    Seed(settings::kSoundCaptureIndex, 1);
    Seed(settings::kSearchFlag, 1);
    Seed(settings::kCapturePinIndex, 1);
    Open();
    log.Clear();
    services.graph().QueueEvent(EC_DEVICE_LOST, 0, 1);
    GraphNotify();
    ASSERT_EQ(services.graphs.size(), 2u);
    EXPECT_EQ(Probe().graph(), static_cast<IGraphBuilder*>(services.graphs[1].get()));
    EXPECT_EQ(services.graphs[0]->refs(), 1u) << "old graph still held";
    EXPECT_EQ(services.graphs[1]->filterNames(), std::vector<std::string>{"Audio Capture"});
    EXPECT_EQ(Probe().captureFilter(), &services.device(1).filter());
    EXPECT_EQ(Entries(IDC_SOUND_CARD), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(Selection(IDC_SOUND_CARD), 1);
    EXPECT_EQ(Entries(IDC_INPUT), (std::vector<std::string>{"Mic", "Stereo Mix"}));
    EXPECT_EQ(Selection(IDC_INPUT), 1);
    EXPECT_TRUE(services.device(1).filter().pin("Stereo Mix").enabled);
    EXPECT_TRUE(log.Contains("g1.FreeEventParams 31"));
    const int beep = log.IndexOf("beep 0");
    EXPECT_GT(beep, log.IndexOf("g2.AddFilter Audio Capture"));
    EXPECT_EQ(log.IndexOf("message DirectShow Audio Capture Sample"), beep + 1);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, "The audio input device has been reattached!");
    EXPECT_EQ(desktop.messages[0].caption, kEventCaption);
    EXPECT_EQ(desktop.messages[0].style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
}

} // namespace
