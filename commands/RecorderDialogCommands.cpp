#include "app/RecorderDialog.h"
#include "base/FileExists.h"
#include "commands/AboutDialog.h"
#include "commands/PathParts.h"
#include "resources/web_addresses.h"

void RecorderDialog::OnPlay() {
    // The box is read directly: a path typed but not yet taken over is the one played.
    char path[MAX_PATH] = {};
    GetWindowTextA(m_editOutputFile.hwnd(), path, MAX_PATH);
    if (!FileExists(path)) {
        m_desktop.ShowMessage(nullptr, std::string(path) + " does not exist!", "Error", MB_OK);
        return;
    }
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string player = PlayerPathFor(temp);
    if (FileExists(player)) {
        m_desktop.RunProgram(Quoted(player) + " " + Quoted(path));
    } else {
        m_desktop.OpenDocument(path);
    }
}

void RecorderDialog::OnHelp() {
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    m_desktop.RunProgram("hh.exe " + Quoted(DirectoryOf(program) + "help.chm::/Introduction.htm"));
}

void RecorderDialog::OnHomepage() {
    m_desktop.OpenDocument(CORVALE_PRODUCT_URL);
}

void RecorderDialog::OnAbout() {
    AboutDialog about;
    about.DoModal();
}
