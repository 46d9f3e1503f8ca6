#include "AircraftPage.h"

#include "ExceedancePage.h"
#include "ForecastOutput.h"
#include "HistoryTable.h"
#include "MessageBox.h"
#include "StructureDialog.h"
#include "TableModel.h"
#include "TrendChartWidget.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {
QTableView *tableView(QWidget *parent, TableModel *model, const char *name, const QString &said)
{
    auto *view = new QTableView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setAccessibleName(said);
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setTabKeyNavigation(false);
    view->verticalHeader()->hide();
    view->resizeColumnsToContents();
    return view;
}
} // namespace

Table OverLimitTable(const HistoryResult &history)
{
    Table table;
    table.add(
        TableColumn(QStringLiteral("readout"), CellKind::Integer, QStringLiteral("read-out")));
    table.add(TableColumn(QStringLiteral("taken"), CellKind::Date, QStringLiteral("taken")));
    table.add(
        TableColumn(QStringLiteral("file"), CellKind::Text, QStringLiteral("file")).fromOutside());
    table.add(TableColumn(QStringLiteral("record"), CellKind::Integer, QStringLiteral("record")));
    table.add(
        TableColumn(QStringLiteral("over limit"), CellKind::Text, QStringLiteral("over limit")));
    for (const HistoryPeriod &period : history.periods) {
        const QString said = LimitBoundsText(period.overLimit);
        if (said.isEmpty())
            continue;
        table.rows.push_back({TableCell(period.readout), TableCell(period.taken),
            TableCell(period.fileName), TableCell(period.record), TableCell(said)});
    }
    return table;
}

AircraftPage::AircraftPage(const AircraftLoad &load, QWidget *parent)
    : QDialog(parent)
    , m_history(new TableModel(this))
    , m_overLimit(new TableModel(this))
    , m_loaded(load.history)
{
    const HistoryResult &history = load.history;
    setObjectName(QStringLiteral("aircraftPage"));
    setWindowTitle(QStringLiteral("ZEMRA Fleet — %1").arg(history.aircraft.registration));
    setAccessibleName(history.aircraft.registration);
    m_history->setTable(HistoryTable(history));
    pageTabs = new QTabWidget(this);
    pageTabs->setObjectName(QStringLiteral("pageTabs"));
    pageTabs->setAccessibleName(QStringLiteral("Pages of the aircraft"));
    historyTable = tableView(pageTabs, m_history, "historyTable",
        QStringLiteral("History of %1").arg(history.aircraft.registration));
    pageTabs->addTab(historyTable, QStringLiteral("&History"));
    pageTabs->addTab(makeTrend(load), QStringLiteral("&Trend"));
    pageTabs->addTab(makeOverLimit(history), QStringLiteral("&Over limit"));
    pageTabs->addTab(new ExceedancePage(load.history, pageTabs), QStringLiteral("&Exceedance"));
    buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    reportButton = buttons->addButton(QStringLiteral("&Report…"), QDialogButtonBox::ActionRole);
    reportButton->setObjectName(QStringLiteral("reportButton"));
    reportButton->setAccessibleName(QStringLiteral("Report of the aircraft"));
    reportButton->setAutoDefault(false);
    structureButton
        = buttons->addButton(QStringLiteral("&Structural Data…"), QDialogButtonBox::ActionRole);
    structureButton->setObjectName(QStringLiteral("structureButton"));
    structureButton->setAccessibleName(QStringLiteral("Structural data and thresholds"));
    structureButton->setAutoDefault(false);
    buttons->setObjectName(QStringLiteral("buttons"));
    buttons->setAccessibleName(QStringLiteral("Close the page"));
    QPushButton *closeButton = buttons->button(QDialogButtonBox::Close);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setAccessibleName(QStringLiteral("Close"));
    auto *layout = new QVBoxLayout(this);
    // With named locations, which one the damage figures are at.
    if (const QString at = LocationShownLine(history); !at.isEmpty()) {
        locationNote = new QLabel(at, this);
        locationNote->setObjectName(QStringLiteral("locationNote"));
        locationNote->setAccessibleName(QStringLiteral("Location of the damage figures"));
        locationNote->setWordWrap(true);
        layout->addWidget(locationNote);
    }
    layout->addWidget(pageTabs, 1);
    layout->addWidget(buttons);
    // Close and Escape both reject.
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const QString registration = history.aircraft.registration;
    connect(reportButton, &QPushButton::clicked, this,
        [this, registration] { emit reportRequested(registration); });
    connect(structureButton, &QPushButton::clicked, this,
        [this] { RunGuarded([this] { askStructure(); }); });
    resize(1000, 640);
}

QWidget *AircraftPage::makeTrend(const AircraftLoad &load)
{
    auto *page = new QWidget(pageTabs);
    page->setObjectName(QStringLiteral("trendPage"));
    auto *layout = new QVBoxLayout(page);
    trendNote = new QLabel(load.trendMissing.join(QLatin1Char('\n')), page);
    trendNote->setObjectName(QStringLiteral("trendNote"));
    trendNote->setAccessibleName(QStringLiteral("What the trend leaves out"));
    trendNote->setWordWrap(true);
    trendNote->setVisible(!load.trendMissing.isEmpty());
    layout->addWidget(trendNote);
    if (load.trend) {
        trendChart = new TrendChartWidget(*load.trend, page);
        trendChart->setObjectName(QStringLiteral("trendChart"));
        trendChart->setAccessibleName(QStringLiteral("Life used against hours and date"));
        layout->addWidget(trendChart, 1);
    } else {
        layout->addStretch(1);
    }
    return page;
}

QWidget *AircraftPage::makeOverLimit(const HistoryResult &history)
{
    auto *page = new QWidget(pageTabs);
    page->setObjectName(QStringLiteral("overLimitPage"));
    auto *layout = new QVBoxLayout(page);
    const QString whole = LimitBoundsText(history.overLimit);
    overLimitSummary
        = new QLabel(whole.isEmpty() ? QStringLiteral("No read-out reached a limit load.")
                                     : QStringLiteral("Over the whole history: %1").arg(whole),
            page);
    overLimitSummary->setObjectName(QStringLiteral("overLimitSummary"));
    overLimitSummary->setAccessibleName(QStringLiteral("Limit loads over the whole history"));
    overLimitSummary->setWordWrap(true);
    m_overLimit->setTable(OverLimitTable(history));
    overLimitTable = tableView(
        page, m_overLimit, "overLimitTable", QStringLiteral("Read-outs beyond a limit load"));
    layout->addWidget(overLimitSummary);
    layout->addWidget(overLimitTable, 1);
    return page;
}

void AircraftPage::askStructure()
{
    const std::vector<HistoryPeriod> &periods = m_loaded.periods;
    StructureDialog dialog(m_loaded.aircraft, qint64(periods.size()),
        periods.empty() ? QDate() : periods.front().taken,
        periods.empty() ? QDate() : periods.back().taken, this);
    if (dialog.exec() == QDialog::Accepted)
        emit changeRequested(dialog.change());
}
