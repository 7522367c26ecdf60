#include "app/RecorderApp.h"

#include <windows.h>

// The one application object of the process.
RecorderApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return fw::Application::Current()->Run(instance);
}
