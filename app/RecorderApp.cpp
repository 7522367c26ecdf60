#include "app/RecorderApp.h"

#include "app/DesktopServices.h"
#include "app/RecorderDialog.h"
#include "capture/DirectShowServices.h"

bool RecorderApp::InitInstance() {
    SetRegistryKey("BrightmoorStudio");
    DirectShowServices graphServices;
    DesktopServices desktop;
    {
        RecorderDialog dialog(graphServices, desktop);
        mainWindow = &dialog;
        dialog.DoModal();
        mainWindow = nullptr;
    }
    // False skips a message loop of the application's own: the process ends here.
    return false;
}
