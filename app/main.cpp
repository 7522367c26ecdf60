#include "app/RecorderApp.h"
#include "base/StartupMark.h"

#include <windows.h>

// The one application object of the process.
RecorderApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    StartupMark("WinMain");
    return fw::Application::Current()->Run(instance);
}
