#pragma once

#include "ChartPicture.h"
#include "app/FormBase.h"

#include <functional>
#include <memory>

class QLabel;
class QPainter;
class QPrinter;
class QPushButton;
class TCanvas;

// The load spectrum of the working copy as a chart, read afresh from the file at every paint,
// and its printout.
class TForm4 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm4(QWidget *parent = nullptr);

    // The printer PrintClick prints on, or none when no default printer is installed. Tests hand
    // in a printer of their own.
    using PrinterSource = std::function<std::unique_ptr<QPrinter>()>;
    void setPrinterSource(PrinterSource source) { m_printerSource = std::move(source); }

    // The window's image, painted afresh, on one page of `printer`, at the page's top-left corner
    // and at the size it has on the screen. Printer failures are thrown as EZemraError.
    void PrintTo(QPrinter &printer);

    // The window's background, the system's button-highlight colour.
    QColor BackgroundColour() const;
    // The window's font and colours, in which the chart is drawn.
    ChartLook Look() const;

    // Paints the chart through the window's surface (window font, brush of the background
    // colour) on a painter of the given client size.
    void PaintChart(QPainter &painter, int width, int height);
    void FormPaint(TCanvas &canvas);

    QLabel *Label1;
    QLabel *Label2;
    QPushButton *Button2;
    QPushButton *Button1;

public slots:
    void PrintClick();
    void CloseClick();

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void reportAfterPaint(const QString &text, const QString &caption);

    PrinterSource m_printerSource;
    // A paint that finds no usable record names the problem once per showing and once per
    // print, in a box shown after the paint: a box raised inside a paint would re-enter it.
    bool m_reportDue = false;
};

extern TForm4 *Form4;
