#pragma once

#include "TrendChart.h"

#include <QWidget>

// The chart library's trend chart of life used, drawn into a widget at its size.
class TrendChartWidget : public QWidget
{
    Q_OBJECT
public:
    explicit TrendChartWidget(TrendChartData data, QWidget *parent = nullptr);
    const TrendChartData &chartData() const { return m_data; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TrendChartData m_data;
};
