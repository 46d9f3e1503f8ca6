#include "uGraphicSpectrum1_1.h"

#include "Canvas.h"
#include "PlotFrame.h"
#include "SpectrumChart.h"
#include "app/Errors.h"
#include "app/MessageBox.h"
#include "record/CounterRecord.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QShowEvent>

#include <exception>

TForm4 *Form4 = nullptr;

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

TForm4::TForm4(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
    , m_printerSource(defaultPrinter)
{
    setWindowTitle(QStringLiteral("  GRAPHIC  SPECTRUM"));
    setClientSize(520, 519);
    setBackgroundRole(QPalette::Light);
    setFont(ChartFont());

    // Labels are opaque: they hide the grid lines under them.
    Label1 = addLabel(QStringLiteral("n"), 32, 8, MsSansSerif(16, true));
    Label2 = addLabel(QStringLiteral("z"), 40, 16, font());
    for (QLabel *label : {Label1, Label2}) {
        label->setBackgroundRole(QPalette::Light);
        label->setAutoFillBackground(true);
    }
    // Made in tab order: "&Close" first, then "&Print".
    Button1 = addButton(QStringLiteral("&Close"), 408, 464);
    Button2 = addButton(QStringLiteral("&Print"), 312, 464);

    connect(Button2, &QPushButton::clicked, this, &TForm4::PrintClick);
    connect(Button1, &QPushButton::clicked, this, &TForm4::CloseClick);
}

QColor TForm4::BackgroundColour() const
{
    return palette().color(QPalette::Light);
}

ChartLook TForm4::Look() const
{
    return {font(), BackgroundColour(), palette().color(QPalette::WindowText)};
}

void TForm4::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    PaintChart(painter, width(), height());
}

void TForm4::showEvent(QShowEvent *event)
{
    // A restore from the task bar is not a new showing.
    if (!event->spontaneous())
        m_reportDue = true;
    TFormBase::showEvent(event);
}

void TForm4::PaintChart(QPainter &painter, int width, int height)
{
    ChartCanvas canvas(painter, width, height, Look());
    FormPaint(canvas);
}

void TForm4::FormPaint(TCanvas &canvas)
{
    PlotFrame frame = ChartFrame(canvas);
    DrawChartScale(frame);
    try {
        const ReadResult record = ReadCounterRecord(WorkingCopyName);
        if (record.status == ReadResult::CannotOpen) {
            reportAfterPaint(QStringLiteral("Please open file first"), QString());
            return;
        }
        if (record.status == ReadResult::Malformed) {
            reportAfterPaint(record.message, MistakeCaption);
            return;
        }
        DrawChartSeries(frame, record.values);
    } catch (const std::exception &error) {
        // What was drawn stays; the error is named after the paint like any other failure.
        reportAfterPaint(QString::fromUtf8(error.what()), MistakeCaption);
    }
}

void TForm4::reportAfterPaint(const QString &text, const QString &caption)
{
    if (!m_reportDue)
        return;
    m_reportDue = false;
    QMetaObject::invokeMethod(
        this, [text, caption] { ShowMessage(text, caption); }, Qt::QueuedConnection);
}

void TForm4::PrintClick()
{
    const std::unique_ptr<QPrinter> printer = m_printerSource();
    if (!printer)
        throw EZemraError(QStringLiteral("No default printer is installed."));
    PrintTo(*printer);
}

void TForm4::PrintTo(QPrinter &printer)
{
    QImage image(size(), QImage::Format_RGB32);
    image.fill(BackgroundColour());
    // The paint for the printout may report once; if it has nothing to report, the showing's
    // own allowance is left as it was.
    const bool dueBefore = m_reportDue;
    m_reportDue = true;
    render(&image);
    if (m_reportDue)
        m_reportDue = dueBefore;

    QPainter painter;
    if (!painter.begin(&printer))
        throw EZemraError(QStringLiteral("The printer could not start the document."));
    // The chart is one-pixel lines: a lossy image encoding (the PDF default) would smear them.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    const double scaleX = printer.logicalDpiX() / WindowDpi;
    const double scaleY = printer.logicalDpiY() / WindowDpi;
    painter.drawImage(QRectF(0, 0, image.width() * scaleX, image.height() * scaleY), image);
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw EZemraError(QStringLiteral("The printer failed to print the document."));
}

void TForm4::CloseClick()
{
    close();
}
