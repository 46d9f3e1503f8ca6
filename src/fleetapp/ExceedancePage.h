#pragma once

#include "ExceedanceChart.h"
#include "RegisterTypes.h"

#include <QWidget>

#include <optional>

class QDateEdit;
class QLabel;

// The exceedances per 1000 h of the read-outs an aircraft took in a period, beside its type's
// design spectrum, as `zemra-cli chart --kind exceedance --aircraft REG --since --until` draws
// them; none, and `why` says so, for a period without read-outs or hours.
std::optional<ExceedanceChartData> PeriodExceedanceChart(
    const HistoryResult &history, const QDate &since, const QDate &until, QString &why);

// The chart library's exceedance chart drawn into a widget at its size.
class ExceedanceChartWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ExceedanceChartWidget(QWidget *parent = nullptr);
    void setChart(std::optional<ExceedanceChartData> data);
    const std::optional<ExceedanceChartData> &chartData() const { return m_data; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::optional<ExceedanceChartData> m_data;
};

// The aircraft page's exceedance tab: the period chosen by its first and last day, the whole
// history at first.
class ExceedancePage : public QWidget
{
    Q_OBJECT
public:
    explicit ExceedancePage(const HistoryResult &history, QWidget *parent = nullptr);

private:
    void redraw();

    const HistoryResult m_history; // a copy: the page outlives the load it was made from
    QDateEdit *sinceEdit = nullptr;
    QDateEdit *untilEdit = nullptr;
    QLabel *exceedanceNote = nullptr;
    ExceedanceChartWidget *exceedanceChart = nullptr;
};
