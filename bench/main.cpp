#include "Bench.h"
#include "ZemraApplication.h"

#include <QSysInfo>
#include <QThread>

#include <cstdio>
#include <cstring>

// Runs every registered benchmark, or those whose names contain the first argument.
int main(int argc, char **argv)
{
    ZemraApplication app(argc, argv);
    const char *filter = argc > 1 ? argv[1] : nullptr;
    std::printf("Machine: %s, %d cores, %s\n\n", qPrintable(QSysInfo::prettyProductName()),
        QThread::idealThreadCount(), qPrintable(QSysInfo::currentCpuArchitecture()));
    for (const auto &[name, function] : bench::Registered()) {
        if (filter && !std::strstr(name, filter))
            continue;
        function();
    }
    std::printf("\n%s\n", bench::AllTargetsMet() ? "All targets met." : "Some targets MISSED.");
    return 0;
}
