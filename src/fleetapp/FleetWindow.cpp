#include "FleetWindow.h"

#include "AddProgress.h"
#include "AddReadoutsDialog.h"
#include "AircraftPage.h"
#include "FleetModel.h"
#include "MessageBox.h"
#include "Named.h"
#include "RecentRegisters.h"
#include "Worker.h"

#include <QAction>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString ProgramName = QStringLiteral("ZEMRA Fleet");
const QString GeometryKey = QStringLiteral("window/geometry");

// The handler of an action or a control, guarded: nothing it throws reaches Qt's dispatch.
template<class Handler> auto guarded(Handler handler)
{
    return [handler] { RunGuarded(handler); };
}

// The first row current when none is, so that Enter opens its page straight away.
void makeCurrent(QAbstractItemView *view)
{
    if (!view->currentIndex().isValid() && view->model()->rowCount() > 0)
        view->setCurrentIndex(view->model()->index(0, 0));
}
} // namespace

QString FleetWindowTitle(const std::optional<RegisterLocation> &location)
{
    return location ? QStringLiteral("%1 — %2").arg(ProgramName, location->text) : ProgramName;
}

FleetWindow::FleetWindow(QSettings &settings, QWidget *parent)
    : QMainWindow(parent)
    , m_settings(settings)
    , m_worker(new Worker(this))
    , m_model(new FleetModel(this))
    , m_filter(new FleetFilter(this))
{
    setObjectName(QStringLiteral("fleetWindow"));
    setWindowTitle(FleetWindowTitle(m_location));
    m_filter->setSourceModel(m_model);
    makeActions();
    makeCentre();
    updateRecent();
    updateActions();
    // As the user left it; the first time a size that shows the main columns, not larger (the
    // first paint of a large window is a good part of the start-up), and within the screen at
    // any scale.
    if (!restoreGeometry(m_settings.value(GeometryKey).toByteArray()))
        resize(QSize(960, 540).boundedTo(screen()->availableGeometry().size() * 9 / 10));
}

void FleetWindow::closeEvent(QCloseEvent *event)
{
    m_settings.setValue(GeometryKey, saveGeometry());
    QMainWindow::closeEvent(event);
}

FleetWindow::~FleetWindow() = default;

void FleetWindow::makeActions()
{
    fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    Named(fileMenu, "fileMenu", QStringLiteral("File"));
    openRegisterAction = fileMenu->addAction(QStringLiteral("&Open Register…"));
    Named(openRegisterAction, "openRegisterAction", {});
    openRegisterAction->setShortcut(QKeySequence::Open);
    // A PostgreSQL register has no file to choose: its URL is typed.
    openLocationAction = fileMenu->addAction(QStringLiteral("Open Register &URL…"));
    Named(openLocationAction, "openLocationAction", {});
    recentMenu = fileMenu->addMenu(QStringLiteral("&Recent Registers"));
    Named(recentMenu, "recentMenu", QStringLiteral("Recent registers"));
    fileMenu->addSeparator();
    addAction = fileMenu->addAction(QStringLiteral("&Add Read-outs…"));
    Named(addAction, "addAction", {});
    reportAction = fileMenu->addAction(QStringLiteral("Re&port…"));
    Named(reportAction, "reportAction", {});
    exportAction = fileMenu->addAction(QStringLiteral("&Export…"));
    Named(exportAction, "exportAction", {});
    fileMenu->addSeparator();
    quitAction = fileMenu->addAction(QStringLiteral("&Quit"));
    Named(quitAction, "quitAction", {});
    quitAction->setShortcut(QKeySequence::Quit);

    // Over AT-SPI a tool bar is named by its title; Qt's overflow button has no name at all.
    QToolBar *toolBar = addToolBar(QStringLiteral("Register actions"));
    Named(toolBar, "mainToolBar", QStringLiteral("Register actions"));
    if (auto *more = toolBar->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("More register actions"));
    toolBar->addAction(openRegisterAction);
    toolBar->addAction(addAction);
    toolBar->addAction(reportAction);
    toolBar->addAction(exportAction);

    connect(openRegisterAction, &QAction::triggered, this, guarded([this] { openChosenFile(); }));
    connect(
        openLocationAction, &QAction::triggered, this, guarded([this] { openTypedLocation(); }));
    connect(addAction, &QAction::triggered, this, guarded([this] { askAdd(); }));
    connect(reportAction, &QAction::triggered, this, guarded([this] { askReport(); }));
    connect(exportAction, &QAction::triggered, this, guarded([this] { askExport(); }));
    connect(quitAction, &QAction::triggered, this, &QWidget::close);
}

void FleetWindow::makeCentre()
{
    auto *centre = new QWidget(this);
    centre->setObjectName(QStringLiteral("centre"));
    auto *layout = new QVBoxLayout(centre);
    auto *filterLabel = new QLabel(QStringLiteral("F&ilter by registration or type:"), centre);
    Named(filterLabel, "filterLabel", QStringLiteral("Filter by registration or type"));
    filterEdit = new QLineEdit(centre);
    Named(filterEdit, "filterEdit", QStringLiteral("Filter by registration or type"));
    filterEdit->setClearButtonEnabled(true);
    // Qt's clear button, which has no text, would be said as a bare "button".
    for (QToolButton *clear : filterEdit->findChildren<QToolButton *>())
        clear->setAccessibleName(QStringLiteral("Clear the filter"));
    filterLabel->setBuddy(filterEdit);
    fleetTable = new QTableView(centre);
    Named(fleetTable, "fleetTable", QStringLiteral("Fleet ranked by life used"));
    fleetTable->setModel(m_filter);
    fleetTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    fleetTable->setSelectionMode(QAbstractItemView::SingleSelection);
    fleetTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fleetTable->setTabKeyNavigation(false);
    fleetTable->verticalHeader()->hide();
    fleetTable->setSortingEnabled(true);
    // Sorted by no column: the register's ranking, as zemra-cli fleet prints it.
    fleetTable->sortByColumn(-1, Qt::AscendingOrder);
    layout->addWidget(filterLabel);
    layout->addWidget(filterEdit);
    layout->addWidget(fleetTable, 1);
    setCentralWidget(centre);
    // The rows first: Enter opens the current aircraft, Alt+I goes to the filter.
    fleetTable->setFocus();
    statusLabel = new QLabel(this);
    Named(statusLabel, "statusLabel", QStringLiteral("Status"));
    statusBar()->addWidget(statusLabel, 1);

    // A filter that hid the current row leaves none current, and Enter then opened nothing.
    connect(filterEdit, &QLineEdit::textChanged, this, [this](const QString &text) {
        RunGuarded([&] { m_filter->setText(text); });
        makeCurrent(fleetTable);
        // The count follows the filter, unless work in hand is being said.
        if (m_location && !busy())
            sayFleet();
    });
    // Enter in the filter goes on to the rows it left.
    connect(filterEdit, &QLineEdit::returnPressed, fleetTable, [this] { fleetTable->setFocus(); });
    connect(fleetTable, &QAbstractItemView::activated, this, guarded([this] { openCurrentRow(); }));
}

void FleetWindow::openChosen(const std::optional<QString> &given)
{
    const LocationResult chosen = ChooseRegisterLocation(given);
    if (!chosen.ok() && !isVisible()) {
        // At start-up the register is chosen before the window is shown, so that it is read
        // while the window is built; the refusal waits for the window to be there.
        QTimer::singleShot(
            0, this, guarded([this, message = chosen.message()] { refuse(message); }));
        return;
    }
    if (!chosen.ok()) {
        refuse(chosen.message());
        return;
    }
    load(chosen.location);
}

void FleetWindow::openLocation(const QString &text)
{
    const LocationResult parsed = ParseRegisterLocation(text);
    if (!parsed.ok()) {
        refuse(parsed.message());
        return;
    }
    load(parsed.location);
}

void FleetWindow::load(const RegisterLocation &location)
{
    const int generation = ++m_generation;
    say(QStringLiteral("Reading the register %1…").arg(location.text));
    updateActions();
    const QDate today = QDate::currentDate();
    m_worker->run<FleetLoad>([location, today] { return LoadFleet(location, today); },
        [this, generation](const FleetLoad &loaded) {
            if (generation == m_generation)
                showFleet(loaded);
        });
}

void FleetWindow::showFleet(const FleetLoad &loaded)
{
    updateActions();
    if (!loaded.ok()) {
        say(m_location ? QStringLiteral("The register %1 is shown.").arg(m_location->text)
                       : QStringLiteral("No register open."));
        refuse(loaded.message());
        return;
    }
    m_location = loaded.location;
    setWindowTitle(FleetWindowTitle(m_location));
    m_model->setFleet(loaded.list);
    fleetTable->resizeColumnsToContents();
    makeCurrent(fleetTable);
    RememberRegister(m_settings, loaded.location.text);
    updateRecent();
    updateActions();
    m_upgradeNote = loaded.upgradedFrom
        ? QStringLiteral(" The register was upgraded from schema version %1.")
              .arg(*loaded.upgradedFrom)
        : QString();
    sayFleet();
    emit fleetShown();
}

void FleetWindow::sayFleet()
{
    const int total = m_model->rowCount();
    const int shown = m_filter->rowCount();
    QString text;
    if (total == 0)
        text = QStringLiteral("No aircraft in the register.");
    else if (shown == total)
        text = QStringLiteral("%1 aircraft, ranked by life used.").arg(total);
    else if (shown == 0)
        text = QStringLiteral("None of the %1 aircraft matches the filter.").arg(total);
    else
        text
            = QStringLiteral("%1 of %2 aircraft shown, ranked by life used.").arg(shown).arg(total);
    say(text + m_upgradeNote);
}

void FleetWindow::refuse(const QString &message)
{
    QMessageBox box(QMessageBox::Warning, ProgramName, message, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("refusalBox"));
    box.setAccessibleName(QStringLiteral("Refused"));
    box.exec();
}

void FleetWindow::say(const QString &message)
{
    statusLabel->setText(message);
}

void FleetWindow::updateRecent()
{
    recentMenu->clear();
    const QStringList recent = RecentRegisters(m_settings);
    for (int i = 0; i < recent.size(); ++i) {
        const QString location = recent[i];
        // "&1 path": a digit to reach each by the keyboard; an "&" of the path doubled.
        QAction *action = recentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(
            QString(location).replace(QLatin1Char('&'), QStringLiteral("&&"))));
        action->setObjectName(QStringLiteral("recentAction%1").arg(i + 1));
        connect(action, &QAction::triggered, this,
            guarded([this, location] { openLocation(location); }));
    }
    recentMenu->setEnabled(!recent.isEmpty());
}

void FleetWindow::updateActions()
{
    const bool shown = m_location.has_value();
    addAction->setEnabled(shown);
    reportAction->setEnabled(shown);
    exportAction->setEnabled(shown);
}

bool FleetWindow::busy() const
{
    return m_worker->running() > 0;
}

void FleetWindow::waitUntilIdle()
{
    m_worker->waitForAll();
}

void FleetWindow::openChosenFile()
{
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Open Register"),
        QString(), QStringLiteral("Registers (*.sqlite *.db);;All files (*)"));
    if (!file.isEmpty())
        openLocation(file);
}

void FleetWindow::openTypedLocation()
{
    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("locationDialog"));
    dialog.setAccessibleName(QStringLiteral("Register location"));
    dialog.setWindowTitle(QStringLiteral("Open Register"));
    dialog.setLabelText(QStringLiteral("The register, a postgresql:// URL or an SQLite file:"));
    dialog.setTextValue(QStringLiteral("postgresql://"));
    if (dialog.exec() == QDialog::Accepted && !dialog.textValue().trimmed().isEmpty())
        openLocation(dialog.textValue().trimmed());
}

void FleetWindow::openCurrentRow()
{
    const QModelIndex current = m_filter->mapToSource(fleetTable->currentIndex());
    const QString registration = m_model->registration(current.row());
    if (!registration.isEmpty())
        showAircraft(registration);
}

void FleetWindow::showAircraft(const QString &registration)
{
    if (!m_location)
        return;
    const RegisterLocation location = *m_location;
    say(QStringLiteral("Reading %1…").arg(registration));
    m_worker->run<AircraftLoad>(
        [location, registration] { return LoadAircraft(location, registration); },
        [this](const AircraftLoad &loaded) {
            say(QString());
            if (!loaded.ok()) {
                refuse(loaded.message());
                return;
            }
            auto *page = new AircraftPage(loaded, this);
            page->setAttribute(Qt::WA_DeleteOnClose);
            connect(page, &AircraftPage::reportRequested, this,
                [this](const QString &plane) { RunGuarded([&] { askAircraftReport(plane); }); });
            connect(page, &AircraftPage::changeRequested, this,
                [this, page](const AircraftChange &change) {
                    RunGuarded([&] { changeAircraft(change, page); });
                });
            page->show();
            emit aircraftShown(page);
        });
}

void FleetWindow::askAdd()
{
    const QStringList names = QFileDialog::getOpenFileNames(this, QStringLiteral("Add Read-outs"),
        QString(), QStringLiteral("Data files (*.dat *.txt);;All files (*)"));
    std::vector<AddFile> files;
    // Each dated by its modification date, as `register add` dates a file given without one.
    for (const QString &file : names)
        files.push_back({file, QDate()});
    if (!files.empty())
        addReadouts(files);
}

void FleetWindow::addReadouts(const std::vector<AddFile> &files)
{
    if (!m_location)
        return;
    QStringList registrations;
    for (int row = 0; row < m_model->rowCount(); ++row)
        registrations << m_model->registration(row);
    AddReadoutsDialog dialog(*m_location, files, registrations, this);
    if (dialog.exec() == QDialog::Accepted)
        addTo(dialog.registration(), files, dialog.declaredReset(), dialog.newAircraft());
}

void FleetWindow::addTo(const QString &registration, const std::vector<AddFile> &files,
    bool declaredReset, const std::optional<NewAircraft> &newAircraft)
{
    if (!m_location)
        return;
    const RegisterLocation location = *m_location;
    auto state = std::make_shared<AddState>();
    QProgressDialog *progress = MakeAddProgress(this, registration, state);
    say(QStringLiteral("Adding the read-outs to %1…").arg(registration));
    m_worker->run<AddResult>(
        [=] {
            return AddReadouts(location, registration, files, declaredReset, newAircraft,
                [state](qint64 done, qint64 total) {
                    state->done = done, state->total = total;
                    return !state->cancelled;
                });
        },
        [this, progress](const AddResult &added) {
            progress->close();
            progress->deleteLater();
            say(QString());
            RunGuarded([&] { sayAdded(added); });
            emit addDone(added);
            if (m_location)
                load(*m_location);
        });
}

void FleetWindow::sayAdded(const AddResult &added)
{
    if (!added.ok()) {
        refuse(added.message());
        return;
    }
    QString text = QStringLiteral("%1 read-out(s) added to %2; %3 record(s) already there.")
                       .arg(added.added)
                       .arg(added.registration)
                       .arg(added.already);
    if (added.resets.empty())
        text += QStringLiteral(" No reset or wrap found.");
    else
        text += QStringLiteral(" Resets and wraps found: %1.").arg(added.resets.size());
    QMessageBox box(QMessageBox::Information, ProgramName, text, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("addedBox"));
    box.setAccessibleName(QStringLiteral("Read-outs added"));
    QStringList details;
    for (const ResetFound &reset : added.resets)
        details << reset.text;
    if (!details.isEmpty())
        box.setDetailedText(details.join(QLatin1Char('\n')));
    box.exec();
}

void FleetWindow::changeAircraft(const AircraftChange &change, QWidget *page)
{
    if (!m_location)
        return;
    const RegisterLocation location = *m_location;
    say(QStringLiteral("Changing %1…").arg(change.registration));
    QPointer<QWidget> shown(page);
    m_worker->run<AircraftResult>([location, change] { return ChangeAircraft(location, change); },
        [this, shown](const AircraftResult &changed) {
            say(QString());
            if (!changed.ok()) {
                refuse(changed.message());
                return;
            }
            emit aircraftChanged(changed);
            // The page's figures are the old ones: it is shown anew, with the fleet's ranking.
            if (shown) {
                shown->close();
                showAircraft(changed.aircraft.registration);
            }
            load(*m_location);
        });
}
