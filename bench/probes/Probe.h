#pragma once

#include <QWidget>

// Shared by the start-up probes. Unless the command line says "--stay", `window`'s first paint
// ends the process as soon as it has reached the screen: the figure is start-up up to the first
// paint, so tearing down is left out for both probes alike. The process prints the
// nanoseconds from entering main() to that moment.
void EndAfterFirstPaint(QWidget *window, int argc, char **argv);

// Call first thing in main().
void StartProbeClock();
