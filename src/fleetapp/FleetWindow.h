#pragma once

#include "FleetWork.h"

#include <QDate>
#include <QMainWindow>

#include <optional>

class FleetFilter;
class FleetModel;
class QAction;
class QCloseEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QSettings;
class QTableView;
class Worker;

// The main window of zemra-fleet: the fleet of one register in the ranking of `zemra-cli fleet`,
// filtered by registration or type and sortable by any column; File › Open Register and the
// registers opened last; the fleet's report and the register's export. The register is read on a
// worker thread, so the window paints while a large fleet is computed; the table is shown when it
// is done. Refusals are boxes with the register's own message.
class FleetWindow : public QMainWindow
{
    Q_OBJECT
public:
    // `settings` keeps the recent registers and the window's size and place; it must outlive the
    // window.
    explicit FleetWindow(QSettings &settings, QWidget *parent = nullptr);
    ~FleetWindow() override;

    // The register the user means (ChooseRegisterLocation: --register, $ZEMRA_REGISTER, the
    // default file), read on the worker; a box when it cannot be chosen or opened, once the
    // window is shown when it is called before.
    void openChosen(const std::optional<QString> &given);
    // A register named as the user names it: a file or a postgresql:// URL.
    void openLocation(const QString &text);

    // The register shown, none before one was opened.
    const std::optional<RegisterLocation> &location() const { return m_location; }
    // True while work runs on the worker; waitUntilIdle() waits for it (and shows its result).
    bool busy() const;
    void waitUntilIdle();

    // The aircraft's page, read on the worker.
    void showAircraft(const QString &registration);
    // The register's JSON into the file; the fleet's report of the read-outs since the date.
    void exportTo(const QString &fileName);
    void reportTo(const QString &fileName, const std::optional<QDate> &since);
    void reportAircraftTo(
        const QString &fileName, const QString &registration, const ReportWindow &period);
    // Add Read-outs of the files: the dialog that shows what the register will do with each
    // record, then, when Add is pressed, addTo.
    void addReadouts(const std::vector<AddFile> &files);
    // Adds the files on the worker, with progress and Cancel (the add is then undone whole), the
    // result said in a box and the fleet read anew.
    // Writes the aircraft's change on the worker; its page, when given, is shown anew after.
    void changeAircraft(const AircraftChange &change, QWidget *page = nullptr);
    void addTo(const QString &registration, const std::vector<AddFile> &files, bool declaredReset,
        const std::optional<NewAircraft> &newAircraft);

signals:
    void fleetShown(); // a fleet read and put in the table
    void addDone(const AddResult &added); // after its box, before the fleet is read anew
    void aircraftChanged(const AircraftResult &changed);
    void aircraftShown(QWidget *page);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void makeActions();
    void makeCentre();
    void load(const RegisterLocation &location);
    void showFleet(const FleetLoad &load);
    void refuse(const QString &message);
    void say(const QString &message);
    // How many aircraft the register holds and how many the filter shows.
    void sayFleet();
    void updateRecent();
    void updateActions();
    void openChosenFile();
    void openTypedLocation();
    void openCurrentRow();
    void askExport();
    void askAdd();
    void sayAdded(const AddResult &added);
    void askReport();
    void askAircraftReport(const QString &registration);
    // Runs a piece of work that writes `fileName`, saying what became of it.
    void write(const QString &fileName, const QString &doing, const QString &done,
        std::function<Result()> work);

    QSettings &m_settings;
    Worker *m_worker = nullptr;
    FleetModel *m_model = nullptr;
    FleetFilter *m_filter = nullptr;
    std::optional<RegisterLocation> m_location;
    int m_generation = 0; // of the last load asked for: an earlier one's result is dropped
    QString m_upgradeNote; // said after the count while the register is shown

    QMenu *fileMenu = nullptr;
    QMenu *recentMenu = nullptr;
    QAction *openRegisterAction = nullptr;
    QAction *openLocationAction = nullptr;
    QAction *addAction = nullptr;
    QAction *reportAction = nullptr;
    QAction *exportAction = nullptr;
    QAction *quitAction = nullptr;
    QLineEdit *filterEdit = nullptr;
    QTableView *fleetTable = nullptr;
    QLabel *statusLabel = nullptr;
};

// "ZEMRA Fleet — LOCATION", or the program's name alone before a register is shown.
QString FleetWindowTitle(const std::optional<RegisterLocation> &location);
