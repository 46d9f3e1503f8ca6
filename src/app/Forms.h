#pragma once

#include "record/uRecorderReset1_1.h"

class ZemraApplication;

struct StartupOptions
{
    // The serial devices behind "COM1" and "COM2" as the user mapped them; tests hand in
    // pseudo-terminals.
    PortDevices ports = ConfiguredPortDevices();
};

// Creates the fourteen windows once, in their fixed order, the main window first.
void CreateForms(const StartupOptions &options = {});
// Destroys them, in reverse order, when the program ends.
void DestroyForms();

// The whole program: create the windows, show the main window, run the event loop.
// An error escaping start-up or the loop is shown in the standard error box; returns 0.
int RunApplication(ZemraApplication &app, const StartupOptions &options = {});
