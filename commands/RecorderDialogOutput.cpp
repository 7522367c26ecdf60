#include "app/RecorderDialog.h"
#include "app/Settings.h"
#include "commands/PathParts.h"
#include "framework/Application.h"

#include <cstring>

std::string RecorderDialog::DefaultOutputPath(const std::string& section, const std::string& key,
                                              const std::string& plainDefault, int folderId) {
    auto* app = fw::Application::Current();
    if (m_osvi.dwMajorVersion < 6) {
        return app->GetProfileString(section, key, plainDefault);
    }
    std::string folder;
    switch (m_desktop.ShellFolder(hwnd(), folderId, folder)) {
    case DesktopServices::FolderLookup::NoFunction:
        ShowMessage("Can not get SHGetFolderPathA!", "Error", MB_OK);
        return app->GetProfileString(section, key, plainDefault);
    case DesktopServices::FolderLookup::NoFolder:
        ShowMessage("Can not get My Music directory!", "Error", MB_OK);
        return app->GetProfileString(section, key, plainDefault);
    case DesktopServices::FolderLookup::Found:
        break;
    }
    return app->GetProfileString(section, key, folder + FileNamePartOf(plainDefault));
}

void RecorderDialog::OnBrowse() {
    char fileName[512] = "*.*";
    char fileTitle[512] = {};
    std::string initialFolder = InitialFolderOf(m_strOutputFile);
    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = hwnd();
    request.lpstrFilter = "Wav file\0*.wav\0";
    request.nFilterIndex = 1;
    request.lpstrFile = fileName;
    request.nMaxFile = sizeof fileName;
    request.lpstrFileTitle = fileTitle;
    request.nMaxFileTitle = sizeof fileTitle;
    request.lpstrInitialDir = initialFolder.c_str();
    request.lpstrTitle = "Select Output";
    request.Flags = OFN_HIDEREADONLY;
    if (!m_desktop.ChooseSaveFile(request)) {
        return;
    }
    m_strOutputFile = WithWavExtension(request.lpstrFile);
    fw::Application::Current()->WriteProfileString(settings::kSection, settings::kOutputFile,
                                                   m_strOutputFile);
    m_editOutputFile.SetText(m_strOutputFile);
}
