#include "tests/unit/RecorderDialogTest.h"

#include "app/Settings.h"
#include "resources/resource.h"

namespace {

using Lookup = DesktopServices::FolderLookup;
const char kMusicDefault[] = "C:\\users\\tester\\Music\\recorder.wav";

struct DefaultPathCase {
    const char* name;
    DWORD major;
    const char* saved; // null: nothing saved
    Lookup lookup;
    const char* expected;
    const char* message; // null: none
};

class DefaultOutputPath : public RecorderDialogTest,
                          public testing::WithParamInterface<DefaultPathCase> {};

TEST_P(DefaultOutputPath, FollowsTheVersionTheFolderLookupAndASavedPath) {
    const DefaultPathCase& c = GetParam();
    AddCard("Card", {"Line In"});
    desktop.majorVersion = c.major;
    desktop.folderResult = c.lookup;
    if (c.saved) {
        Seed(settings::kOutputFile, c.saved);
    }
    Open();
    EXPECT_EQ(Text(IDC_OUTPUT_FILE), c.expected);
    EXPECT_EQ(Probe().outputFile(), c.expected);
    EXPECT_EQ(desktop.folderLookups, c.major >= 6 ? 1 : 0);
    std::vector<std::string> messages;
    for (const auto& message : desktop.messages) {
        messages.push_back(message.caption + ": " + message.text);
    }
    EXPECT_EQ(messages, c.message ? std::vector<std::string>{std::string("Error: ") + c.message}
                                  : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Versions, DefaultOutputPath,
    testing::Values(DefaultPathCase{"xp", 5, nullptr, Lookup::Found, "c:\\recorder.wav", nullptr},
                    DefaultPathCase{"xp_saved", 5, "E:\\old\\take.wav", Lookup::Found,
                                    "E:\\old\\take.wav", nullptr},
                    DefaultPathCase{"vista", 6, nullptr, Lookup::Found, kMusicDefault, nullptr},
                    DefaultPathCase{"ten", 10, nullptr, Lookup::Found, kMusicDefault, nullptr},
                    DefaultPathCase{"vista_saved", 6, "E:\\old\\take.wav", Lookup::Found,
                                    "E:\\old\\take.wav", nullptr},
                    DefaultPathCase{"no_function", 6, nullptr, Lookup::NoFunction,
                                    "c:\\recorder.wav", "Can not get SHGetFolderPathA!"},
                    DefaultPathCase{"no_folder_saved", 6, "E:\\old\\take.wav", Lookup::NoFolder,
                                    "E:\\old\\take.wav", "Can not get My Music directory!"}),
    [](const testing::TestParamInfo<DefaultPathCase>& row) { return std::string(row.param.name); });

TEST_F(RecorderDialogTest, BrowseForcesTheWavExtensionAndSavesThePathAtOnce) {
    AddCard("Card", {"Line In"});
    Open();
    // The dialog opens on the last path taken over, not on text typed since.
    SetText(IDC_OUTPUT_FILE, "Z:\\typed\\x.wav");
    const struct {
        const char* chosen;
        const char* expected;
        const char* initialFolder;
    } choices[] = {
        {"D:\\rec\\take1.mp3", "D:\\rec\\take1.wav", "C:\\users\\tester\\Music"},
        {"take1", "take1.wav", "D:\\rec"},
        {"D:\\rec\\take1.wav", "D:\\rec\\take1.wav", "."},
        {"D:\\rec\\a.b.wav", "D:\\rec\\a.b.wav", "D:\\rec"},
        {"D:\\my.rec\\take1", "D:\\my.rec\\take1.wav", "D:\\rec"},
    };
    for (const auto& choice : choices) {
        desktop.savedFileChoice = choice.chosen;
        Click(IDC_BROWSE);
        EXPECT_EQ(desktop.saveInitialFolder, choice.initialFolder) << choice.chosen;
        EXPECT_EQ(Text(IDC_OUTPUT_FILE), choice.expected);
        EXPECT_EQ(Setting(settings::kOutputFile), choice.expected);
    }
    desktop.savedFileChoice.reset();
    Click(IDC_BROWSE);
    EXPECT_EQ(desktop.saveDialogs, 6);
    EXPECT_EQ(Text(IDC_OUTPUT_FILE), "D:\\my.rec\\take1.wav") << "cancel changes nothing";
    EXPECT_EQ(Setting(settings::kOutputFile), "D:\\my.rec\\take1.wav");
}

} // namespace
