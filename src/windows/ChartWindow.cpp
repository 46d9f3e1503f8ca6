#include "ChartWindow.h"

#include "Canvas.h"
#include "CounterRecord.h"
#include "MessageBox.h"
#include "PlotFrame.h"
#include "SpectrumChart.h"
#include "WorkingCopy.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QShowEvent>

#include <exception>

namespace {
// The layout is drawn for a screen of 96 pixels per inch.
constexpr double WindowDpi = 96;

std::unique_ptr<QPrinter> defaultPrinter()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    // Margins no wider than the printer needs: the painter's origin is then the top-left
    // corner of what the page can show.
    printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    return printer;
}
} // namespace

ChartWindow::ChartWindow(QWidget *parent)
    : FormBase(Frame::Sizeable, parent)
    , m_printerSource(defaultPrinter)
{
    setObjectName(QStringLiteral("chartWindow"));
    setWindowTitle(QStringLiteral("  GRAPHIC  SPECTRUM"));
    setClientSize(520, 519);
    setBackgroundRole(QPalette::Light);
    setFont(ChartFont());

    // Labels are opaque: they hide the grid lines under them.
    for (QLabel *label : {addLabel("loadLabel", QStringLiteral("n"), 32, 8, layoutFont(16, true)),
             addLabel("loadSubscript", QStringLiteral("z"), 40, 16, font())}) {
        label->setBackgroundRole(QPalette::Light);
        label->setAutoFillBackground(true);
    }
    // Made in tab order: "&Close" first, then "&Print".
    auto *closeButton = addButton("closeButton", QStringLiteral("&Close"), 408, 464);
    auto *printButton = addButton("printButton", QStringLiteral("&Print"), 312, 464);

    onClick(printButton, &ChartWindow::print);
    onClick(closeButton, &ChartWindow::closeWindow);
}

QColor ChartWindow::backgroundColour() const
{
    return palette().color(QPalette::Light);
}

ChartLook ChartWindow::look() const
{
    return {font(), backgroundColour(), palette().color(QPalette::WindowText)};
}

void ChartWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintChart(painter, width(), height());
}

void ChartWindow::showEvent(QShowEvent *event)
{
    // A restore from the task bar is not a new showing.
    if (!event->spontaneous())
        m_reportDue = true;
    FormBase::showEvent(event);
}

void ChartWindow::paintChart(QPainter &painter, int width, int height)
{
    ChartCanvas canvas(painter, width, height, look());
    drawChart(canvas);
}

void ChartWindow::drawChart(Canvas &canvas)
{
    PlotFrame frame = ChartFrame(canvas);
    DrawChartScale(frame);
    try {
        const ReadResult record = ReadWorkingCopy();
        if (!record.ok()) {
            // A missing copy is named without a caption, a malformed one as a "Mistake".
            const bool missing = record.failure() == Result::CannotOpen;
            reportAfterPaint(record.message(), missing ? QString() : MistakeCaption);
            return;
        }
        DrawChartSeries(frame, ComputeSpectrum(record.values));
    } catch (const std::exception &error) {
        // What was drawn stays; the error is named after the paint like any other failure.
        reportAfterPaint(QString::fromUtf8(error.what()), MistakeCaption);
    }
}

void ChartWindow::reportAfterPaint(const QString &text, const QString &caption)
{
    if (!m_reportDue)
        return;
    m_reportDue = false;
    QMetaObject::invokeMethod(
        this, [text, caption] { ShowMessage(text, caption); }, Qt::QueuedConnection);
}

void ChartWindow::print()
{
    const std::unique_ptr<QPrinter> printer = m_printerSource();
    const Result printed = printer
        ? printTo(*printer)
        : Result(Result::CannotOpen, QStringLiteral("No default printer is installed."));
    if (!printed.ok())
        ShowErrorBox(printed.message());
}

Result ChartWindow::printTo(QPrinter &printer)
{
    QImage image(size(), QImage::Format_RGB32);
    image.fill(backgroundColour());
    // The paint for the printout may report once; if it has nothing to report, the showing's
    // own allowance is left as it was.
    const bool dueBefore = m_reportDue;
    m_reportDue = true;
    render(&image);
    if (m_reportDue)
        m_reportDue = dueBefore;

    QPainter painter;
    if (!painter.begin(&printer))
        return {Result::CannotOpen, QStringLiteral("The printer could not start the document.")};
    // The chart is one-pixel lines: a lossy image encoding (the PDF default) would smear them.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    const double scaleX = printer.logicalDpiX() / WindowDpi;
    const double scaleY = printer.logicalDpiY() / WindowDpi;
    painter.drawImage(QRectF(0, 0, image.width() * scaleX, image.height() * scaleY), image);
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return {Result::Failed, QStringLiteral("The printer failed to print the document.")};
    return {};
}

void ChartWindow::closeWindow()
{
    close();
}
