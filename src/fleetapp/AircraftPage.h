#pragma once

#include "FleetWork.h"
#include "Table.h"

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableView;
class TableModel;
class TrendChartWidget;

// An aircraft's page: its history as `zemra-cli register history` prints it (HistoryTable through
// the same model as the fleet), the trend of its life used (the chart library's trend chart), and
// the read-outs whose periods went beyond a limit load, as the levels bound it.
class AircraftPage : public QDialog
{
    Q_OBJECT
public:
    explicit AircraftPage(const AircraftLoad &load, QWidget *parent = nullptr);

signals:
    // Report: the aircraft's report asked for; the fleet window asks its period and writes it.
    void reportRequested(const QString &registration);
    // Structural Data: the change asked for and agreed to; the fleet window writes it.
    void changeRequested(const AircraftChange &change);

private:
    QWidget *makeTrend(const AircraftLoad &load);
    QWidget *makeOverLimit(const HistoryResult &history);
    void askStructure();

    HistoryResult m_loaded;

    TableModel *m_history = nullptr;
    TableModel *m_overLimit = nullptr;
    QLabel *locationNote = nullptr;
    QTabWidget *pageTabs = nullptr;
    QTableView *historyTable = nullptr;
    TrendChartWidget *trendChart = nullptr;
    QLabel *trendNote = nullptr;
    QLabel *overLimitSummary = nullptr;
    QTableView *overLimitTable = nullptr;
    QPushButton *reportButton = nullptr;
    QPushButton *structureButton = nullptr;
    QDialogButtonBox *buttons = nullptr;
};

// The read-outs whose period went, or may have gone, beyond a limit load (a top level without
// limit loads): when taken, the file and record, and the bounds in words.
Table OverLimitTable(const HistoryResult &history);
