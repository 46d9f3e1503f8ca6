#pragma once

#include "record/uRecorderReset1_1.h"

class ZemraApplication;

struct StartupOptions
{
    // The serial devices behind "COM1" and "COM2"; tests hand in pseudo-terminals.
    PortDevices ports = DefaultPortDevices();
};

// Creates the fourteen windows once, in their fixed order, the main window first.
void CreateForms(const StartupOptions &options = {});
// Destroys them, in reverse order, when the program ends.
void DestroyForms();

// The whole program: lock the working folder, create the windows, show the main window, run the
// event loop. An error escaping start-up or the loop is shown in the standard error box; returns
// 0. A folder that another copy of the program holds is named in a box, and the result is
// FolderInUseExitCode without any window made.
int RunApplication(ZemraApplication &app, const StartupOptions &options = {});
