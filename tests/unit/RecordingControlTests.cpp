#include "tests/unit/RecorderDialogTest.h"

#include "app/Settings.h"
#include "base/FileExists.h"
#include "resources/resource.h"

#include <fstream>

namespace {

const char kReady[] = "Status : Ready";
const char kAllEnabled[] = "Record=1 Pause=1 Stop=1 Play=1";
const char kRecordingButtons[] = "Record=0 Pause=1 Stop=1 Play=0";

std::string Recording(const char* time) {
    return std::string("Status : Recording audio - Used Time: ") + time;
}
std::string Paused(const char* time) {
    return std::string("Status : Paused audio recording - Used Time: ") + time;
}

class RecordingControlTest : public RecorderDialogTest {
protected:
    void SetUp() override {
        AddCard("Card", {"Line In"});
        Seed(settings::kOnlyOnce, 1);
        Open();
        log.Clear();
    }
    std::vector<std::string> GraphCalls() const { return log.Matching("g1."); }
    // A file of its own in the temporary folder, removed again after the test.
    std::string TempFile(const char* content) {
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        m_temp = std::string(folder) + "corvale-unit-existing.wav";
        std::ofstream(m_temp, std::ios::binary) << content;
        return m_temp;
    }
    void TearDown() override {
        if (!m_temp.empty()) {
            DeleteFileA(m_temp.c_str());
        }
    }

private:
    std::string m_temp;
};

TEST_F(RecordingControlTest, RecordPauseResumeStopFollowTheTimerTicks) {
    Click(IDC_RECORD);
    EXPECT_EQ(Text(IDC_STATUS), Recording("00:00:00"));
    EXPECT_EQ(Buttons(), kRecordingButtons);
    EXPECT_TRUE(RecordTimerSet()) << "Record starts the timer";
    Tick(3599);
    EXPECT_EQ(Text(IDC_STATUS), Recording("00:59:59"));
    SendMessageA(window(), WM_TIMER, 7, 0);
    EXPECT_EQ(Text(IDC_STATUS), Recording("00:59:59")) << "another timer counted";
    Tick();
    EXPECT_EQ(Text(IDC_STATUS), Recording("01:00:00"));

    Click(IDC_PAUSE);
    EXPECT_EQ(Text(IDC_STATUS), Paused("01:00:00"));
    EXPECT_EQ(Buttons(), "Record=1 Pause=1 Stop=1 Play=0");
    EXPECT_FALSE(RecordTimerSet()) << "Pause stops the timer";
    Click(IDC_RECORD);
    EXPECT_EQ(Text(IDC_STATUS), Paused("01:00:00")) << "resume keeps the paused text";
    EXPECT_EQ(Buttons(), kRecordingButtons);
    EXPECT_TRUE(RecordTimerSet()) << "resuming starts the timer again";
    Tick();
    EXPECT_EQ(Text(IDC_STATUS), Recording("01:00:01"));

    Click(IDC_STOP);
    EXPECT_EQ(Text(IDC_STATUS), kReady);
    EXPECT_EQ(Buttons(), kAllEnabled);
    EXPECT_FALSE(RecordTimerSet()) << "Stop ends the timer";
    EXPECT_EQ(GraphCalls(),
              (std::vector<std::string>{"g1.AddFilter WAV Dest", "g1.AddFilter File Writer",
                                        "g1.Render Capture", "g1.Run", "g1.Pause", "g1.Run",
                                        "g1.StopWhenReady", "g1.RemoveFilter WAV Dest",
                                        "g1.RemoveFilter File Writer"}));

    Click(IDC_RECORD);
    EXPECT_EQ(Text(IDC_STATUS), Recording("00:00:00")) << "a new recording counts from 0";
}

TEST_F(RecordingControlTest, PauseAndStopDoNothingWhenReady) {
    SetText(IDC_STATUS, "untouched");
    Click(IDC_PAUSE);
    Click(IDC_STOP);
    EXPECT_EQ(Text(IDC_STATUS), "untouched");
    EXPECT_EQ(Buttons(), kAllEnabled);
    EXPECT_TRUE(GraphCalls().empty());
}

TEST_F(RecordingControlTest, PauseThenStopReturnsToReady) {
    Click(IDC_RECORD);
    Tick(5);
    Click(IDC_PAUSE);
    Click(IDC_STOP);
    EXPECT_EQ(Text(IDC_STATUS), kReady);
    EXPECT_FALSE(Probe().paused());
    Click(IDC_RECORD);
    EXPECT_EQ(Text(IDC_STATUS), Recording("00:00:00"));
}

TEST_F(RecordingControlTest, RunFailureShowsTheMessageThenReturnsToReady) {
    services.graph().runResult = E_FAIL;
    Click(IDC_RECORD);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].caption, "Start Recording Error");
    EXPECT_EQ(desktop.messages[0].style, 0u);
    EXPECT_EQ(desktop.messages[0].text,
              "1. Your audio hardware may be used by other program. Please exit other program.\n"
              "2. Or your audio hardware has unknown problem. The program can not start "
              "recording.\n3. The output file is being used by other program.");
    // The stop is posted: until it runs the dialog shows a started recording.
    EXPECT_TRUE(Probe().recording());
    Pump();
    EXPECT_GT(log.IndexOf("g1.StopWhenReady"), log.IndexOf("message Start Recording Error"));
    EXPECT_FALSE(Probe().recording());
    EXPECT_EQ(Text(IDC_STATUS), kReady);
    EXPECT_EQ(Buttons(), kAllEnabled);
    EXPECT_EQ(services.graph().filterNames(), std::vector<std::string>{"Audio Capture"});
}

TEST_F(RecordingControlTest, ExistingFileIsKeptOnNoAndDeletedOnYes) {
    const std::string path = TempFile("old take");
    SetText(IDC_OUTPUT_FILE, path);
    desktop.answers = {IDNO};
    Click(IDC_RECORD);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, path + " exists. Do you want to replace it?");
    EXPECT_EQ(desktop.messages[0].caption, "Warning");
    EXPECT_EQ(desktop.messages[0].style, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_FALSE(Probe().recording());
    EXPECT_FALSE(log.Contains("create WavDest"));
    std::string kept;
    std::getline(std::ifstream(path, std::ios::binary), kept);
    EXPECT_EQ(kept, "old take");

    desktop.answers = {IDYES};
    Click(IDC_RECORD);
    EXPECT_FALSE(FileExists(path));
    EXPECT_TRUE(Probe().recording());
    EXPECT_EQ(services.fileWriters.back()->fileName, std::wstring(path.begin(), path.end()));
}

TEST_F(RecordingControlTest, PathLongerThan259CharactersIsRefused) {
    const std::string longest = "c:\\" + std::string(252, 'a') + ".wav";
    ASSERT_EQ(longest.size(), 259u);
    SetText(IDC_OUTPUT_FILE, longest + "x");
    Click(IDC_RECORD);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].caption, "Error");
    EXPECT_FALSE(Probe().recording());
    EXPECT_FALSE(log.Contains("create WavDest"));

    SetText(IDC_OUTPUT_FILE, longest);
    Click(IDC_RECORD);
    EXPECT_TRUE(Probe().recording());
    EXPECT_EQ(services.fileWriters.back()->fileName, std::wstring(longest.begin(), longest.end()));
}

} // namespace

// A device event that failed to build a new graph leaves a recording without one: Stop must
// still end the timer, or the status would go back to the recording text every second.
TEST_F(RecordingControlTest, StopWithoutAGraphStillEndsTheTimer) {
    Click(IDC_RECORD);
    Probe().DropGraph();
    Click(IDC_STOP);
    EXPECT_EQ(Text(IDC_STATUS), kReady);
    EXPECT_FALSE(KillTimer(window(), kRecordTimerId)) << "the record timer still runs";
}
