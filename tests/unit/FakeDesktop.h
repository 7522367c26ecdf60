#pragma once
#include "tests/unit/CallLog.h"

#include "app/DesktopServices.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

// The user and the system as the dialog sees them: message boxes are recorded and answered
// from a script (OK when nothing is scripted), the version and the music folder are set by the
// test, and the save dialog and the guidance dialog return what the test chose.
class FakeDesktop : public DesktopServices {
public:
    explicit FakeDesktop(CallLog& log) : m_log(log) {}

    struct Message {
        std::string text, caption;
        UINT style;
    };
    std::vector<Message> messages;
    std::deque<int> answers;
    int beeps = 0;

    DWORD majorVersion = 6;
    FolderLookup folderResult = FolderLookup::Found;
    std::string musicFolder = "C:\\users\\tester\\Music";
    int folderLookups = 0;

    // Cancel when empty.
    std::optional<std::string> savedFileChoice;
    std::string saveInitialFolder;
    int saveDialogs = 0;

    INT_PTR inputHelpResult = IDOK;
    int inputHelpCheckBox = 1;
    int inputHelpShown = 0;

    int ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                    UINT style) override;
    void Beep(UINT type) override;
    bool QueryVersion(OSVERSIONINFOA& version) override;
    UINT RunProgram(const std::string& commandLine) override;
    void OpenDocument(const std::string& target) override;
    bool ChooseSaveFile(OPENFILENAMEA& request) override;
    INT_PTR RunInputHelp(int& dontShowAgain) override;
    FolderLookup ShellFolder(HWND owner, int folderId, std::string& path) override;

private:
    CallLog& m_log;
};
