#pragma once

#include "ChartPicture.h"
#include "FormBase.h"
#include "Result.h"

#include <functional>
#include <memory>

class QPainter;
class QPrinter;
class Canvas;

// The load spectrum of the working copy as a chart, read afresh from the file at every paint,
// and its printout.
class ChartWindow : public FormBase
{
    Q_OBJECT
public:
    explicit ChartWindow(QWidget *parent = nullptr);

    // The printer PrintClick prints on, or none when no default printer is installed. Tests hand
    // in a printer of their own.
    using PrinterSource = std::function<std::unique_ptr<QPrinter>()>;
    void setPrinterSource(PrinterSource source) { m_printerSource = std::move(source); }

    // The window's image, painted afresh, on one page of `printer`, at the page's top-left corner
    // and at the size it has on the screen.
    Result printTo(QPrinter &printer);

    // The window's background, the system's button-highlight colour.
    QColor backgroundColour() const;
    // The window's font and colours, in which the chart is drawn.
    ChartLook look() const;

    // Paints the chart through the window's surface (window font, brush of the background
    // colour) on a painter of the given client size.
    void paintChart(QPainter &painter, int width, int height);

    // What the buttons do, also for a caller that drives the window without clicks.
    void print();
    void closeWindow();

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void drawChart(Canvas &canvas);
    void reportAfterPaint(const QString &text, const QString &caption);

    PrinterSource m_printerSource;
    // A paint that finds no usable record names the problem once per showing and once per
    // print, in a box shown after the paint: a box raised inside a paint would re-enter it.
    bool m_reportDue = false;
};
