#include "ExceedancePage.h"

#include "HistoryWindow.h"
#include "UsageAnalysis.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <tuple>

std::optional<ExceedanceChartData> PeriodExceedanceChart(
    const HistoryResult &history, const QDate &since, const QDate &until, QString &why)
{
    const UsagePeriod period = HistoryWindowPeriod(history, since, until);
    if (!period.combined.ok()) {
        why = period.combined.message();
        return std::nullopt;
    }
    const AircraftInfo &aircraft = history.aircraft;
    // The aircraft's limit loads place the limit lines, as on the command line.
    AxisChoice axis;
    axis.limits = aircraft.structure().limits;
    std::vector<ReferenceSpectrum> references;
    if (aircraft.design)
        references.push_back(aircraft.design->spectrum);
    const ExceedanceAnalysis analysis = AnalyseExceedances(period, axis, references);
    if (!analysis.table.ok()) {
        why = analysis.table.message();
        return std::nullopt;
    }
    why = aircraft.design ? QString()
                          : QStringLiteral("No design spectrum for its type: the read-outs alone.");
    return ExceedanceChartOf(analysis, references);
}

ExceedanceChartWidget::ExceedanceChartWidget(QWidget *parent)
    : QWidget(parent)
{
    setMinimumSize(320, 320);
}

void ExceedanceChartWidget::setChart(std::optional<ExceedanceChartData> data)
{
    m_data = std::move(data);
    update();
}

QSize ExceedanceChartWidget::sizeHint() const
{
    return QSize(720, 560);
}

void ExceedanceChartWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_data)
        PaintExceedanceChart(painter, QRectF(rect()), *m_data);
}

namespace {
QDateEdit *dateEdit(QWidget *parent, const char *name, const QString &said, const QDate &date)
{
    auto *edit = new QDateEdit(date, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAccessibleName(said);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    return edit;
}
} // namespace

ExceedancePage::ExceedancePage(const HistoryResult &history, QWidget *parent)
    : QWidget(parent)
    , m_history(history)
{
    setObjectName(QStringLiteral("exceedancePage"));
    const QDate first
        = history.usage.firstTaken.isValid() ? history.usage.firstTaken : QDate::currentDate();
    const QDate last = history.usage.lastTaken.isValid() ? history.usage.lastTaken : first;
    sinceEdit = dateEdit(this, "sinceEdit", QStringLiteral("First day of the period"), first);
    untilEdit = dateEdit(this, "untilEdit", QStringLiteral("Last day of the period"), last);
    exceedanceNote = new QLabel(this);
    exceedanceNote->setObjectName(QStringLiteral("exceedanceNote"));
    exceedanceNote->setAccessibleName(QStringLiteral("What the chart leaves out"));
    exceedanceNote->setWordWrap(true);
    exceedanceChart = new ExceedanceChartWidget(this);
    exceedanceChart->setObjectName(QStringLiteral("exceedanceChart"));
    exceedanceChart->setAccessibleName(
        QStringLiteral("Exceedances per 1000 h of the period against the design spectrum"));
    auto *period = new QHBoxLayout;
    for (const auto &[text, name, edit] :
        {std::tuple(QStringLiteral("&From:"), "sinceLabel", sinceEdit),
            std::tuple(QStringLiteral("&Until:"), "untilLabel", untilEdit)}) {
        auto *label = new QLabel(text, this);
        label->setObjectName(QString::fromLatin1(name));
        label->setAccessibleName(edit->accessibleName());
        label->setBuddy(edit);
        period->addWidget(label);
        period->addWidget(edit);
    }
    period->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(period);
    layout->addWidget(exceedanceNote);
    layout->addWidget(exceedanceChart, 1);
    connect(sinceEdit, &QDateEdit::dateChanged, this, &ExceedancePage::redraw);
    connect(untilEdit, &QDateEdit::dateChanged, this, &ExceedancePage::redraw);
    redraw();
}

void ExceedancePage::redraw()
{
    QString why;
    exceedanceChart->setChart(
        PeriodExceedanceChart(m_history, sinceEdit->date(), untilEdit->date(), why));
    exceedanceNote->setText(why);
    exceedanceNote->setVisible(!why.isEmpty());
}
