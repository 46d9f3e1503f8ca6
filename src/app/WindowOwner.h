#pragma once

#include "InfoPage.h"
#include "RecorderResetWindow.h"

#include <QObject>

#include <array>
#include <memory>

class AboutBox;
class ChartWindow;
class DataCopyWindow;
class MainWindow;
class SpectrumWindow;
class TechInfoWindow;
class TimersWindow;
class ZemraApplication;

struct StartupOptions
{
    // The serial devices behind "COM1" and "COM2" as the user mapped them; tests hand in
    // pseudo-terminals.
    PortMapping ports = ConfiguredPortDevices();
};

// Owns every window of the program. Each window is made the first time it is needed and kept
// until the program ends, so closing a window only hides it and everything it shows, every
// text typed and every file it holds open, carries over to its next showing. The owner also
// answers the windows' requests to open one another.
class WindowOwner : public QObject
{
    Q_OBJECT
public:
    explicit WindowOwner(const StartupOptions &options = {});
    ~WindowOwner() override;

    MainWindow &mainWindow();
    DataCopyWindow &dataCopyWindow();
    SpectrumWindow &spectrumWindow();
    ChartWindow &chartWindow();
    RecorderResetWindow &recorderResetWindow();
    TimersWindow &timersWindow();
    AboutBox &aboutBox();
    TechInfoWindow &techInfoWindow();
    InfoPage &infoPage(InfoPage::Page page);

    // The windows made so far, in the order they were made.
    QList<QWidget *> windows() const { return m_made; }

private:
    // The window, made on first use and then wired to the windows it asks for.
    template<class Window, class Wire, class... Arguments>
    Window &made(std::unique_ptr<Window> &window, Wire wire, Arguments &&...arguments);
    // Shows a window modally, on behalf of the window that asked for it.
    static void showModal(QWidget &window);

    StartupOptions m_options;
    QList<QWidget *> m_made;
    // Declared in the order of the program's windows; destroyed in reverse.
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<DataCopyWindow> m_dataCopy;
    std::unique_ptr<SpectrumWindow> m_spectrum;
    std::unique_ptr<ChartWindow> m_chart;
    std::unique_ptr<RecorderResetWindow> m_recorderReset;
    std::unique_ptr<TimersWindow> m_timers;
    std::unique_ptr<AboutBox> m_about;
    std::unique_ptr<TechInfoWindow> m_techInfo;
    std::array<std::unique_ptr<InfoPage>, 6> m_pages;
};

// The whole program: lock the working folder, show the main window, run the event loop until
// the program ends. Anything that escapes start-up is shown in the standard error box; returns
// 0. A folder that another copy of the program holds, or that cannot be locked, is named in a
// box, and the result is FolderInUseExitCode without any window made. Temporaries that a
// killed run left in the folder are removed once it is locked.
int RunApplication(ZemraApplication &app, WindowOwner &windows);
