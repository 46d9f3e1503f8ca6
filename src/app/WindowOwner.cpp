#include "WindowOwner.h"

#include "AboutBox.h"
#include "ChartWindow.h"
#include "DataCopyWindow.h"
#include "FolderLock.h"
#include "MainWindow.h"
#include "MessageBox.h"
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

template<class Window, class... Arguments>
Window &WindowOwner::made(std::unique_ptr<Window> &window, Arguments &&...arguments)
{
    if (!window) {
        window = std::make_unique<Window>(std::forward<Arguments>(arguments)...);
        m_made.append(window.get());
    }
    return *window;
}

void WindowOwner::showModal(QWidget &window)
{
    RunGuarded([&window] { static_cast<FormBase &>(window).showModal(); });
}

MainWindow &WindowOwner::mainWindow()
{
    const bool first = !m_main;
    MainWindow &window = made(m_main);
    if (first) {
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
    }
    return window;
}

DataCopyWindow &WindowOwner::dataCopyWindow()
{
    return made(m_dataCopy);
}

SpectrumWindow &WindowOwner::spectrumWindow()
{
    const bool first = !m_spectrum;
    SpectrumWindow &window = made(m_spectrum);
    if (first) {
        connect(&window, &SpectrumWindow::graphicSpectrumRequested, this,
            [this] { showModal(chartWindow()); });
    }
    return window;
}

ChartWindow &WindowOwner::chartWindow()
{
    return made(m_chart);
}

RecorderResetWindow &WindowOwner::recorderResetWindow()
{
    return made(m_recorderReset, m_options.ports);
}

TimersWindow &WindowOwner::timersWindow()
{
    return made(m_timers);
}

AboutBox &WindowOwner::aboutBox()
{
    const bool first = !m_about;
    AboutBox &window = made(m_about);
    if (first) {
        connect(
            &window, &AboutBox::techInfoRequested, this, [this] { showModal(techInfoWindow()); });
    }
    return window;
}

TechInfoWindow &WindowOwner::techInfoWindow()
{
    const bool first = !m_techInfo;
    TechInfoWindow &window = made(m_techInfo);
    if (first) {
        connect(&window, &TechInfoWindow::pageRequested, this,
            [this](InfoPage::Page page) { showModal(infoPage(page)); });
    }
    return window;
}

InfoPage &WindowOwner::infoPage(InfoPage::Page page)
{
    return made(m_pages[page], page);
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
    // SIGTERM and SIGHUP end the program as closing the main window's frame does: the working
    // files stay.
    const TerminationSignals termination([&windows] { windows.mainWindow().close(); });
    RunGuarded([&] {
        windows.mainWindow().show();
        app.exec();
    });
    return 0;
}
