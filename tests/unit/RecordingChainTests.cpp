#include "tests/unit/RecorderDialogTest.h"

#include "app/Settings.h"
#include "resources/resource.h"

#include <functional>

namespace {

using Filters = std::vector<std::string>;
const Filters kCaptureOnly{"Audio Capture"};
const Filters kFullChain{"Audio Capture", "WAV Dest", "File Writer"};

class RecordingChainTest : public RecorderDialogTest {
protected:
    void SetUp() override {
        capture = &AddCard("Card", {"Line In"});
        Seed(settings::kOnlyOnce, 1);
        Open();
        log.Clear();
    }
    Filters InGraph() const { return services.graph().filterNames(); }

    FakeCaptureFilter* capture = nullptr;
};

TEST_F(RecordingChainTest, BuildsCaptureThroughWavDestIntoTheFileWriterAtThePathBoxsPath) {
    SetText(IDC_OUTPUT_FILE, "D:\\takes\\one.wav");
    ASSERT_EQ(Probe().BuildRecordingChain(), S_OK);
    EXPECT_EQ(InGraph(), kFullChain);
    EXPECT_EQ(log.calls(), (std::vector<std::string>{"create WavDest", "create FileWriter",
                                                     "g1.AddFilter WAV Dest",
                                                     "g1.AddFilter File Writer", "writer.SetMode",
                                                     "writer.SetFileName", "g1.Render Capture"}));
    EXPECT_EQ(services.fileWriters.back()->fileName, L"D:\\takes\\one.wav");
    EXPECT_EQ(services.fileWriters.back()->mode, static_cast<DWORD>(AM_FILE_OVERWRITE));
}

TEST_F(RecordingChainTest, EmptyPathBoxRecordsToTheFixedFallback) {
    SetText(IDC_OUTPUT_FILE, "");
    Click(IDC_RECORD);
    EXPECT_TRUE(Probe().recording());
    EXPECT_EQ(services.fileWriters.back()->fileName, L"c:\\record.wav");
}

TEST_F(RecordingChainTest, MissingWavDestIsTheOneFailureTheUserIsTold) {
    services.wavDestResult = REGDB_E_CLASSNOTREG;
    EXPECT_EQ(Probe().BuildRecordingChain(), E_NOINTERFACE);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text,
              "The program does not detect its file writer. Please install the program again!");
    EXPECT_EQ(desktop.messages[0].caption, "Error");
    EXPECT_EQ(desktop.messages[0].style, 0u);
    EXPECT_FALSE(log.Contains("create FileWriter"));
    EXPECT_EQ(InGraph(), kCaptureOnly);
}

// Every later failure returns its status silently and leaves the plain capture graph, so that
// the next Record, once the cause is gone, builds one clean chain.
TEST_F(RecordingChainTest, EachLaterFailureRemovesWhatItAddedAndStaysSilent) {
    const struct {
        const char* name;
        std::function<void(FakeServices&, FakeCaptureFilter&)> cause;
        HRESULT expected;
    } failures[] = {
        {"no file writer", [](auto& s, auto&) { s.fileWriterResult = REGDB_E_CLASSNOTREG; },
         E_NOINTERFACE},
        {"writer is no filter", [](auto& s, auto&) { s.fileWriterHasBaseFilter = false; },
         E_NOINTERFACE},
        {"WAV Dest refused",
         [](auto& s, auto&) { s.graph().addFilterResults["WAV Dest"] = E_OUTOFMEMORY; },
         E_OUTOFMEMORY},
        {"File Writer refused",
         [](auto& s, auto&) { s.graph().addFilterResults["File Writer"] = VFW_E_DUPLICATE_NAME; },
         VFW_E_DUPLICATE_NAME},
        {"file name refused", [](auto& s, auto&) { s.fileNameResult = E_ACCESSDENIED; },
         E_ACCESSDENIED},
        {"no output pin", [](auto&, auto& c) { c.pin("Capture").directionResult = E_FAIL; },
         E_FAIL},
        {"render fails", [](auto& s, auto&) { s.graph().renderResult = VFW_E_CANNOT_RENDER; },
         VFW_E_CANNOT_RENDER},
    };
    for (const auto& failure : failures) {
        SCOPED_TRACE(failure.name);
        failure.cause(services, *capture);
        EXPECT_EQ(Probe().BuildRecordingChain(), failure.expected);
        EXPECT_EQ(InGraph(), kCaptureOnly);
        EXPECT_EQ(Probe().wavDest(), nullptr);
        EXPECT_EQ(Probe().fileWriter(), nullptr);

        Click(IDC_RECORD);
        EXPECT_FALSE(Probe().recording());
        EXPECT_EQ(Text(IDC_STATUS), "Status : Ready");
        EXPECT_EQ(Buttons(), "Record=1 Pause=1 Stop=1 Play=1");
        EXPECT_TRUE(desktop.messages.empty());
        EXPECT_FALSE(log.Contains("g1.Run"));

        services.fileWriterResult = S_OK;
        services.fileWriterHasBaseFilter = true;
        services.fileNameResult = S_OK;
        services.graph().addFilterResults.clear();
        services.graph().renderResult = S_OK;
        capture->pin("Capture").directionResult = S_OK;
        Click(IDC_RECORD);
        EXPECT_TRUE(Probe().recording());
        EXPECT_EQ(InGraph(), kFullChain);
        Click(IDC_STOP);
        EXPECT_EQ(InGraph(), kCaptureOnly);
        log.Clear();
    }
}

} // namespace
