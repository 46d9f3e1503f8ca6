// The program's own start-up path: the application object, all fourteen windows with their
// pictures, the main window shown. With "--main-only", the main window alone: the floor that
// the other thirteen windows add to.
#include "Probe.h"
#include "app/Forms.h"
#include "app/ZemraApplication.h"
#include "app/uZemra1_1.h"

#include <cstring>

int main(int argc, char **argv)
{
    StartProbeClock();
    ZemraApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--main-only") == 0)
        Form1 = new TForm1;
    else
        CreateForms();
    EndAfterFirstPaint(Form1, argc, argv);
    Form1->show();
    return app.exec();
}
