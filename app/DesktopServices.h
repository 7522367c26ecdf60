#pragma once
#include <windows.h>
#include <commdlg.h>
#include <string>

// The user-facing system calls of the main window: message boxes, beeps, the version query,
// starting programs and documents, and the save-file dialog. Tests replace them so that no
// box waits for a user and no program is started.
class DesktopServices {
public:
    virtual ~DesktopServices() = default;
    virtual int ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                            UINT style);
    virtual void Beep(UINT type);
    virtual bool QueryVersion(OSVERSIONINFOA& version);
    virtual UINT RunProgram(const std::string& commandLine);
    virtual void OpenDocument(const std::string& target);
    virtual bool ChooseSaveFile(OPENFILENAMEA& request);
    // Runs the input guidance dialog; returns its result and the state of its check box.
    virtual INT_PTR RunInputHelp(int& dontShowAgain);
    // The user's folder for a shell folder id through a run-time lookup of SHGetFolderPathA.
    enum class FolderLookup { Found, NoFunction, NoFolder };
    virtual FolderLookup ShellFolder(HWND owner, int folderId, std::string& path);
};
