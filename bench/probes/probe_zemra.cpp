// The program's own start-up path: the application object, the window owner and the main
// window shown, up to its first paint.
#include "MainWindow.h"
#include "Probe.h"
#include "WindowOwner.h"
#include "ZemraApplication.h"

int main(int argc, char **argv)
{
    StartProbeClock();
    ZemraApplication app(argc, argv);
    WindowOwner windows;
    MainWindow &main = windows.mainWindow();
    EndAfterFirstPaint(&main, argc, argv);
    main.show();
    return app.exec();
}
