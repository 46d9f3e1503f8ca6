#include "WindowOwner.h"

#include "AboutBox.h"
#include "ChartWindow.h"
#include "DataCopy.h"
#include "DataCopyWindow.h"
#include "FolderLock.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "RegularFile.h"
#include "SpectrumWindow.h"
#include "TechInfoWindow.h"
#include "TerminationSignals.h"
#include "TimersWindow.h"
#include "ZemraApplication.h"

#include <QDir>

WindowOwner::WindowOwner(const StartupOptions &options)
    : m_options(options)
{ }

WindowOwner::~WindowOwner() = default;

namespace {
// For a window that asks for no other window.
const auto unwired = [](QWidget &) {};
} // namespace

template<class Window, class Wire, class... Arguments>
Window &WindowOwner::made(std::unique_ptr<Window> &window, Wire wire, Arguments &&...arguments)
{
    if (!window) {
        window = std::make_unique<Window>(std::forward<Arguments>(arguments)...);
        m_made.append(window.get());
        wire(*window);
    }
    return *window;
}

void WindowOwner::showModal(QWidget &window)
{
    RunGuarded([&window] { static_cast<FormBase &>(window).showModal(); });
}

MainWindow &WindowOwner::mainWindow()
{
    return made(m_main, [this](MainWindow &window) {
        connect(
            &window, &MainWindow::dataCopyRequested, this, [this] { showModal(dataCopyWindow()); });
        connect(
            &window, &MainWindow::spectrumRequested, this, [this] { showModal(spectrumWindow()); });
        connect(&window, &MainWindow::counterResetRequested, this,
            [this] { showModal(recorderResetWindow()); });
        connect(&window, &MainWindow::timersRequested, this, [this] { showModal(timersWindow()); });
        connect(&window, &MainWindow::contactRequested, this,
            [this] { showModal(infoPage(InfoPage::Contact)); });
        connect(&window, &MainWindow::aboutRequested, this, [this] {
            // Not modal; a visible About box is neither re-opened nor brought to the front.
            RunGuarded([this] {
                if (!aboutBox().isVisible())
                    aboutBox().show();
            });
        });
    });
}

DataCopyWindow &WindowOwner::dataCopyWindow()
{
    return made(m_dataCopy, unwired);
}

SpectrumWindow &WindowOwner::spectrumWindow()
{
    return made(m_spectrum, [this](SpectrumWindow &window) {
        connect(&window, &SpectrumWindow::graphicSpectrumRequested, this,
            [this] { showModal(chartWindow()); });
    });
}

ChartWindow &WindowOwner::chartWindow()
{
    return made(m_chart, unwired);
}

RecorderResetWindow &WindowOwner::recorderResetWindow()
{
    return made(m_recorderReset, unwired, m_options.ports);
}

TimersWindow &WindowOwner::timersWindow()
{
    return made(m_timers, unwired);
}

AboutBox &WindowOwner::aboutBox()
{
    return made(m_about, [this](AboutBox &window) {
        connect(
            &window, &AboutBox::techInfoRequested, this, [this] { showModal(techInfoWindow()); });
    });
}

TechInfoWindow &WindowOwner::techInfoWindow()
{
    return made(m_techInfo, [this](TechInfoWindow &window) {
        connect(&window, &TechInfoWindow::pageRequested, this,
            [this](InfoPage::Page page) { showModal(infoPage(page)); });
    });
}

InfoPage &WindowOwner::infoPage(InfoPage::Page page)
{
    return made(m_pages[page], unwired, page);
}

int RunApplication(ZemraApplication &app, WindowOwner &windows)
{
    // Taken before any window exists and kept for the run.
    const FolderLock folder;
    if (folder.heldByAnotherCopy()) {
        ShowMessage(QStringLiteral("Another copy of the program is working in this folder:\n%1\n"
                                   "Only one copy at a time can use a folder's working files; "
                                   "this copy ends.")
                        .arg(QDir::toNativeSeparators(folder.path())),
            ApplicationTitle());
        return FolderInUseExitCode;
    }
    if (!folder.failure().isEmpty()) {
        ShowMessage(QStringLiteral("The program cannot lock its working folder:\n%1\n%2.\n"
                                   "Without the lock another copy could share its working files; "
                                   "start the program in a folder you can read and write on a "
                                   "local disk. This copy ends.")
                        .arg(QDir::toNativeSeparators(folder.path()), folder.failure()),
            ApplicationTitle());
        return FolderInUseExitCode;
    }
    // Temporaries that a kill left in this folder; no other copy of the program works here.
    RemoveStaleTemporaries(folder.path());
    // A copy that a kill cut short: its read-out comes back out of "dane.txt", so that a retry
    // does not hold it twice.
    RecoverInterruptedCopy();
    // SIGTERM, SIGHUP and SIGINT end the program as closing the main window's frame does: the
    // working files stay.
    const TerminationSignals termination([&windows] { windows.mainWindow().close(); });
    RunGuarded([&] {
        windows.mainWindow().show();
        app.exec();
    });
    return 0;
}
