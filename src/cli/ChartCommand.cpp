#include "ChartFile.h"
#include "Cli.h"

#include <QRegularExpression>

namespace {
// Large enough for any page or screen, small enough that the image fits in memory.
constexpr int MaxSide = 10000;
} // namespace

int RunChart(const QStringList &arguments)
{
    CommandLine commandLine(QStringLiteral("chart"),
        QStringLiteral("The graphic spectrum of a record, drawn as the chart window draws it, "
                       "written as\nPNG, PDF (one page) or SVG by the extension of OUT."),
        QStringLiteral("FILE"));
    QCommandLineParser &parser = commandLine.parser();
    AddRecordOptions(parser, false);
    parser.addOption({QStringLiteral("size"),
        QStringLiteral("The chart's size in pixels (default 520x519, the window's)."),
        QStringLiteral("WxH"), QStringLiteral("520x519")});
    parser.addOption({{QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("The file to write: .png, .pdf or .svg; - for standard output. An "
                       "existing OUT\nthat is not a regular file is never replaced."),
        QStringLiteral("OUT")});
    parser.addOption({QStringLiteral("format"),
        QStringLiteral("png, pdf or svg, whatever OUT's extension (needed with -o -)."),
        QStringLiteral("FORMAT")});
    if (const int status = commandLine.parse(arguments); status >= 0)
        return status;
    RecordChoice choice;
    if (const int status = ReadRecordOptions(commandLine, choice); status >= 0)
        return status;

    static const QRegularExpression sizePattern(QStringLiteral("^([0-9]{1,5})x([0-9]{1,5})$"));
    const QString sizeText = parser.value(QStringLiteral("size"));
    const QRegularExpressionMatch match = sizePattern.match(sizeText);
    const QSize size
        = match.hasMatch() ? QSize(match.captured(1).toInt(), match.captured(2).toInt()) : QSize();
    if (size.isEmpty() || size.width() > MaxSide || size.height() > MaxSide)
        return commandLine.usageError(
            QStringLiteral("--size wants WIDTHxHEIGHT, each 1 to %1 pixels, not \"%2\".")
                .arg(MaxSide)
                .arg(sizeText));
    const QString output = parser.value(QStringLiteral("output"));
    if (output.isEmpty())
        return commandLine.usageError(QStringLiteral("-o OUT is missing."));
    ChartFormat format = ChartFormatOf(output);
    if (parser.isSet(QStringLiteral("format"))) {
        format = ChartFormatNamed(parser.value(QStringLiteral("format")));
        if (format == ChartFormat::Unknown)
            return commandLine.usageError(
                QStringLiteral("--format wants png, pdf or svg, not \"%1\".")
                    .arg(parser.value(QStringLiteral("format"))));
    } else if (output == QLatin1String("-")) {
        return commandLine.usageError(QStringLiteral("-o - needs --format png, pdf or svg."));
    } else if (format == ChartFormat::Unknown) {
        return commandLine.usageError(
            QStringLiteral("\"%1\": the extension must be .png, .pdf or .svg.").arg(output));
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return commandLine.usageError(QStringLiteral("give exactly one FILE."));

    RecordValues values {};
    if (const int status = ForEachRecord(
            files.first(), choice, [&values](qint64, const RecordValues &read) { values = read; });
        status != ExitOk)
        return status;
    const Result written
        = WriteChartFile(output, format, size, ApplicationChartLook(), ComputeSpectrum(values));
    if (!written.ok()) {
        PrintMessage(written.message());
        return ExitRefused;
    }
    return ExitOk;
}
