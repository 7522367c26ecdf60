#include "base/AnsiText.h"
#include "capture/StatusText.h"
#include "commands/PathParts.h"
#include "devices/InputKeywords.h"

#include <gtest/gtest.h>

TEST(FormatElapsed, SplitsSecondsIntoZeroPaddedHoursMinutesSeconds) {
    const struct {
        int seconds;
        const char* expected;
    } cases[] = {
        {0, "Status : Recording audio - Used Time: 00:00:00"},
        {59, "Status : Recording audio - Used Time: 00:00:59"},
        {3599, "Status : Recording audio - Used Time: 00:59:59"},
        {3600, "Status : Recording audio - Used Time: 01:00:00"},
        {360000, "Status : Recording audio - Used Time: 100:00:00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatElapsed(kStatusRecording, c.seconds), c.expected) << c.seconds << " s";
    }
    EXPECT_EQ(FormatElapsed(kStatusPaused, 3661),
              "Status : Paused audio recording - Used Time: 01:01:01");
}

TEST(IsLoopbackInputName, FindsAnyKeywordWithoutRegardToCase) {
    const struct {
        const char* name;
        bool loopback;
    } cases[] = {
        {"Stereo Mix", true},
        {"WAVE OUT MIX", true},
        {"What U Hear", true},
        {"Wave", true},
        {"Speaker Output", true},
        {"Microphone", false},
        {"Line In", false},
        {"CD Audio", false},
        {"", false},
        // Only A to Z fold: an accented capital stays as it is.
        {"St\xC9reo", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsLoopbackInputName(c.name), c.loopback) << '"' << c.name << '"';
    }
}

TEST(PathParts, SplitsAtTheLastBackslash) {
    EXPECT_EQ(FileNamePartOf("c:\\recorder.wav"), "\\recorder.wav");
    EXPECT_EQ(FileNamePartOf("recorder.wav"), "");
    EXPECT_EQ(DirectoryOf("C:\\Program Files\\Corvale\\rec.exe"), "C:\\Program Files\\Corvale\\");
    EXPECT_EQ(DirectoryOf("rec.exe"), "");
    EXPECT_EQ(InitialFolderOf("c:\\recorder.wav"), "c:");
    EXPECT_EQ(InitialFolderOf("D:\\my.rec\\take1.wav"), "D:\\my.rec");
    EXPECT_EQ(InitialFolderOf("take1.wav"), ".");
}

TEST(PathParts, WithWavExtensionReplacesOnlyTheFileNamesExtension) {
    const struct {
        const char* chosen;
        const char* expected;
    } cases[] = {
        {"D:\\rec\\take1.mp3", "D:\\rec\\take1.wav"},
        {"D:\\rec\\take1", "D:\\rec\\take1.wav"},
        {"take1", "take1.wav"},
        {"D:\\rec\\take1.wav", "D:\\rec\\take1.wav"},
        {"D:\\rec\\a.b.wav", "D:\\rec\\a.b.wav"},
        {"D:\\my.rec\\take1", "D:\\my.rec\\take1.wav"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WithWavExtension(c.chosen), c.expected) << c.chosen;
    }
}

TEST(PathParts, PlayerOnTheTempFoldersDriveAndQuotedArguments) {
    EXPECT_EQ(PlayerPathFor("C:\\Documents and Settings\\user\\Local Settings\\Temp\\"),
              "C:\\Program Files\\Windows Media Player\\mplayer2.exe");
    EXPECT_EQ(Quoted("C:\\My Music\\take 1.wav"), "\"C:\\My Music\\take 1.wav\"");
}

TEST(AnsiText, ConvertsThroughTheGivenCodePageBothWays) {
    const struct {
        const char* narrow;
        UINT codePage;
        const wchar_t* wide;
    } cases[] = {
        {"&\xD7\xE0\xE9", 1251, L"&\u0427\u0430\u0439"},
        {"\x8A", 1252, L"\u0160"},
        {"Plain", CP_ACP, L"Plain"},
        {"", CP_ACP, L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(base::Widen(c.narrow, c.codePage), c.wide) << c.narrow;
        EXPECT_EQ(base::Narrow(c.wide, c.codePage), c.narrow) << c.narrow;
    }
    EXPECT_EQ(base::Narrow(L"\u0427", 1252), "?") << "a character the code page lacks";
}
