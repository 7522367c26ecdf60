#include "tests/unit/FakeEnum.h"
#include "app/Settings.h"
#include "tests/unit/RecorderDialogTest.h"

#include "framework/ComboBox.h"
#include "resources/resource.h"

namespace {

const HRESULT kUnreadable = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);

// FillDeviceList on a list of its own, so that its result and the list can be read directly.
class FillDeviceListTest : public RecorderDialogTest {
protected:
    FillDeviceListTest() {
        m_parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                   nullptr, nullptr);
        list.Subclass(CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST,
                                      0, 0, 100, 100, m_parent, nullptr, nullptr, nullptr));
    }
    ~FillDeviceListTest() override {
        for (int i = 0; i < list.GetCount(); ++i) {
            if (auto* moniker = reinterpret_cast<IMoniker*>(list.GetItemData(i))) {
                moniker->Release();
            }
        }
        list.Unsubclass();
        DestroyWindow(m_parent);
    }
    HRESULT Fill() {
        std::vector<IMoniker*> present;
        for (const auto& device : services.devices) {
            present.push_back(device.get());
        }
        base::ComPtr<FakeEnumMoniker> monikers(new FakeEnumMoniker(std::move(present)));
        return RecorderDialogProbe(recorder).FillDeviceList(monikers.get(), list);
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (int i = 0; i < list.GetCount(); ++i) {
            texts.push_back(list.GetItemText(i));
        }
        return texts;
    }
    bool Visible() const { return (GetWindowLongA(list.hwnd(), GWL_STYLE) & WS_VISIBLE) != 0; }

    RecorderDialog recorder{services, desktop};
    fw::ComboBox list;

private:
    HWND m_parent = nullptr;
};

TEST_F(FillDeviceListTest, LeavesOutUnreadableDevicesAndReportsTheLastOnesStatus) {
    const struct {
        const char* name;
        std::vector<const char*> devices; // "-bag" / "-name": that read fails
        HRESULT expected;
        std::vector<std::string> listed;
        bool visible;
    } cases[] = {
        {"two devices", {"A", "B"}, S_OK, {"A", "B"}, true},
        {"unreadable in between", {"A", "B-bag", "C-name", "D"}, S_OK, {"A", "D"}, true},
        {"last name unreadable", {"A", "B", "C-name"}, kUnreadable, {"A", "B"}, true},
        {"last bag unreadable", {"A", "B", "C-bag"}, kUnreadable, {"A", "B"}, true},
        {"one device", {"A"}, S_OK, {"A"}, false},
        {"one readable", {"A-bag", "B"}, S_OK, {"B"}, false},
        {"none yielded", {}, S_OK, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        services.devices.clear();
        for (std::string entry : c.devices) {
            const size_t dash = entry.find('-');
            services.AddDevice(entry.substr(0, dash));
            FakeMoniker& device = *services.devices.back().get();
            if (dash != std::string::npos && entry.substr(dash) == "-bag") {
                device.storageResult = kUnreadable;
            } else if (dash != std::string::npos) {
                device.bag().readResult = kUnreadable;
            }
        }
        list.ResetContent();
        list.Show(SW_SHOW);
        EXPECT_EQ(Fill(), c.expected);
        EXPECT_EQ(Texts(), c.listed);
        EXPECT_EQ(nDeviceCount, static_cast<int>(c.listed.size()));
        EXPECT_EQ(Visible(), c.visible);
        // Listed devices are owned by the list (one reference more), left-out ones not at all.
        for (int i = 0; i < list.GetCount(); ++i) {
            auto* moniker =
                static_cast<FakeMoniker*>(reinterpret_cast<IMoniker*>(list.GetItemData(i)));
            EXPECT_EQ(moniker->name(), c.listed[static_cast<size_t>(i)]);
            EXPECT_EQ(moniker->refs(), 2u);
            moniker->Release();
            list.SetItemData(i, 0);
        }
        for (const auto& device : services.devices) {
            EXPECT_EQ(device->refs(), 1u) << device->name();
        }
    }
}

TEST_F(FillDeviceListTest, StoredIndexOutsideTheListFallsBackToTheFirstDevice) {
    services.AddDevice("A");
    services.AddDevice("B");
    const struct {
        int stored, expected;
    } cases[] = {{0, 0}, {1, 1}, {2, 0}, {7, 0}};
    for (const auto& c : cases) {
        nSoundCaptureIndex = c.stored;
        Fill();
        EXPECT_EQ(nSoundCaptureIndex, c.expected) << "stored " << c.stored;
    }
}

TEST_F(FillDeviceListTest, WithoutAnEnumeratorListsThePlaceholderAndKeepsTheCount) {
    nDeviceCount = 7;
    EXPECT_EQ(RecorderDialogProbe(recorder).FillDeviceList(nullptr, list), 1);
    EXPECT_EQ(Texts(), std::vector<std::string>{"<< No entries >>"});
    EXPECT_EQ(nDeviceCount, 7);
    EXPECT_TRUE(Visible());
}

TEST_F(RecorderDialogTest, NoCaptureHardwareTellsTheUserAndEndsTheStartUp) {
    Open();
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].caption, "No audio capture hardware!");
    EXPECT_EQ(desktop.messages[0].style, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(desktop.messages[0].text,
              "There were no audio capture devices detected on this system.\r\n\r\n"
              "If your system has an audio capture device (sound card, video camera, etc.),\r\n"
              "then make sure that it is working properly and that you are not running\r\n"
              "this program through a Windows XP Remote Desktop connection.\r\n\r\n"
              "This program will now exit.");
    EXPECT_EQ(Probe().graph(), nullptr);
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(RecorderDialogTest, OneDeviceHidesTheListAndItsLabelTwoShowBoth) {
    AddCard("A", {"Line In"});
    Open();
    EXPECT_FALSE(IsWindowVisible(Item(IDC_SOUND_CARD)));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_SOUND_CARD_LABEL)));
    EXPECT_EQ(Probe().captureFilter(), &services.device(0).filter());
    DestroyWindow(window());

    AddCard("B", {"Line In"});
    Open();
    EXPECT_TRUE(IsWindowVisible(Item(IDC_SOUND_CARD)));
    EXPECT_TRUE(IsWindowVisible(Item(IDC_SOUND_CARD_LABEL)));
    EXPECT_EQ(Entries(IDC_SOUND_CARD), (std::vector<std::string>{"A", "B"}));
}

TEST_F(RecorderDialogTest, DeviceChangeTearsTheGraphDownBeforeOpeningTheNewDevice) {
    AddCard("A", {"A in"});
    AddCard("B", {"B in"});
    Seed(settings::kOnlyOnce, 1);
    Open();
    log.Clear();
    Select(IDC_SOUND_CARD, 1);
    EXPECT_EQ(log.calls(), (std::vector<std::string>{
                               "g1.SetNotifyWindow(null)", "create FilterGraph",
                               "create CaptureGraphBuilder2", "g2.SetNotifyWindow", "bind B",
                               "g2.AddFilter Audio Capture", "B in.readLevel", "B in.enable"}));
    EXPECT_EQ(services.graphs[0]->refs(), 1u) << "the old graph is still held";
    EXPECT_EQ(services.device(0).filter().refs(), 2u) << "moniker and old graph only";
    EXPECT_EQ(Probe().captureFilter(), &services.device(1).filter());
    EXPECT_EQ(Entries(IDC_INPUT), std::vector<std::string>{"B in"});
    EXPECT_EQ(nSoundCaptureIndex, 1);
}

} // namespace
