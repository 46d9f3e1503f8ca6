#include "app/Forms.h"
#include "app/ZemraApplication.h"

int main(int argc, char **argv)
{
    ZemraApplication app(argc, argv);
    return RunApplication(app);
}
