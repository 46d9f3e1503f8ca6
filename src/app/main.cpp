#include "WindowOwner.h"
#include "ZemraApplication.h"

int main(int argc, char **argv)
{
    ZemraApplication app(argc, argv);
    WindowOwner windows;
    return RunApplication(app, windows);
}
