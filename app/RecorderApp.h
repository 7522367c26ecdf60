#pragma once
#include "framework/Application.h"

// The process: sets the settings key and runs the main window modally.
class RecorderApp : public fw::Application {
public:
    bool InitInstance() override;
};
