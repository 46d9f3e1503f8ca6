#include "TrendChartWidget.h"

#include <QPainter>

TrendChartWidget::TrendChartWidget(TrendChartData data, QWidget *parent)
    : QWidget(parent)
    , m_data(std::move(data))
{
    setMinimumSize(320, 320);
}

QSize TrendChartWidget::sizeHint() const
{
    return QSize(720, 560);
}

void TrendChartWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    PaintTrendChart(painter, QRectF(rect()), m_data);
}
