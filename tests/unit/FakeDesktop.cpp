#include "tests/unit/FakeDesktop.h"

int FakeDesktop::ShowMessage(HWND, const std::string& text, const std::string& caption,
                             UINT style) {
    m_log.Add("message " + caption);
    messages.push_back({text, caption, style});
    if (answers.empty()) {
        return IDOK;
    }
    int answer = answers.front();
    answers.pop_front();
    return answer;
}

void FakeDesktop::Beep(UINT type) {
    m_log.Add("beep " + std::to_string(type));
    ++beeps;
}

bool FakeDesktop::QueryVersion(OSVERSIONINFOA& version) {
    version.dwMajorVersion = majorVersion;
    return true;
}

UINT FakeDesktop::RunProgram(const std::string& commandLine) {
    m_log.Add("run " + commandLine);
    return 33;
}

void FakeDesktop::OpenDocument(const std::string& target) {
    m_log.Add("open " + target);
}

bool FakeDesktop::ChooseSaveFile(OPENFILENAMEA& request) {
    ++saveDialogs;
    saveInitialFolder = request.lpstrInitialDir ? request.lpstrInitialDir : "";
    if (!savedFileChoice) {
        return false;
    }
    lstrcpynA(request.lpstrFile, savedFileChoice->c_str(), static_cast<int>(request.nMaxFile));
    return true;
}

INT_PTR FakeDesktop::RunInputHelp(int& dontShowAgain) {
    m_log.Add("input help");
    ++inputHelpShown;
    dontShowAgain = inputHelpCheckBox;
    return inputHelpResult;
}

DesktopServices::FolderLookup FakeDesktop::ShellFolder(HWND, int folderId, std::string& path) {
    ++folderLookups;
    if (folderId == 13 && folderResult == FolderLookup::Found) {
        path = musicFolder;
    }
    return folderResult;
}
