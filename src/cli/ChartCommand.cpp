#include "ChartFile.h"
#include "Cli.h"
#include "Formulas.h"
#include "OutputFile.h"
#include "RegisterCharts.h"
#include "RegisterCli.h"
#include "RegisterInput.h"
#include "UsageCommands.h"

#include <QRegularExpression>

namespace {
// Large enough for any page or screen, small enough that the image fits in memory.
constexpr int MaxSide = 10000;

// The options that only the exceedance chart reads.
const QStringList ExceedanceOnly {QStringLiteral("all"), QStringLiteral("combine"),
    QStringLiteral("axis"), QStringLiteral("category"), QStringLiteral("limit-loads"),
    QStringLiteral("reference"), QStringLiteral("parameters"), QStringLiteral("aircraft"),
    QStringLiteral("fleet"), QStringLiteral("since"), QStringLiteral("until"),
    QStringLiteral("register"), QStringLiteral("wait")};

// What the trend chart reads besides the options of every chart.
const QStringList TrendOptions {QStringLiteral("aircraft"), QStringLiteral("register"),
    QStringLiteral("wait"), QStringLiteral("fleet"), QStringLiteral("rate-window"),
    QStringLiteral("location")};

enum class ChartKind { Spectrum, Exceedance, Trend };
constexpr NamedValue<ChartKind> ChartKindNames[] = {
    {ChartKind::Spectrum, "spectrum"},
    {ChartKind::Exceedance, "exceedance"},
    {ChartKind::Trend, "trend"},
};

// An option of another kind of chart than the one asked for. --fleet with --kind trend is left
// to the trend's own check, which says why.
Stop checkKindOptions(const CommandLine &commandLine, ChartKind kind)
{
    for (const QString &name : commandLine.parser().optionNames()) {
        const bool exceedance = ExceedanceOnly.contains(name);
        const bool trend = TrendOptions.contains(name);
        if ((!exceedance && !trend) || (kind == ChartKind::Exceedance && exceedance)
            || (kind == ChartKind::Trend && trend))
            continue;
        const QString kinds = exceedance && trend ? QStringLiteral("exceedance or trend")
            : exceedance                          ? QStringLiteral("exceedance")
                                                  : QStringLiteral("trend");
        return commandLine.usageError(
            QStringLiteral("--%1 goes with --kind %2 only.").arg(name, kinds));
    }
    return std::nullopt;
}

void addChartOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("kind"),
        NameChoicesHelp(ChartKindNames, std::optional(ChartKind::Spectrum)) + QLatin1Char('.'),
        QStringLiteral("KIND"), QStringLiteral("spectrum")});
    AddSelectionOptions(parser);
    AddAxisOptions(parser);
    AddReferenceOption(parser);
    AddParametersOption(parser);
    AddRegisterInputOptions(parser);
    RegisterCli::addRateWindowOption(parser);
    RegisterCli::addLocationOption(parser);
    parser.addOption({QStringLiteral("size"),
        QStringLiteral("The chart's size in pixels (default 520x519, the window's; 800x600 "
                       "for\nexceedance, 800x800 for trend)."),
        QStringLiteral("WxH")});
    parser.addOption({{QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("The file to write: .png, .pdf or .svg; - for standard output. An "
                       "existing OUT\nthat is not a regular file, or that is one of the inputs, "
                       "is never replaced."),
        QStringLiteral("OUT")});
    parser.addOption({QStringLiteral("format"),
        QStringLiteral("png, pdf or svg, whatever OUT's extension (needed with -o -)."),
        QStringLiteral("FORMAT")});
}

// The chart's size in pixels, OUT and the format it is written in.
Stop readChartOutput(const CommandLine &commandLine, ChartKind kind, QSize &size, QString &output,
    ChartFormat &format)
{
    const QCommandLineParser &parser = commandLine.parser();
    static const QRegularExpression sizePattern(QStringLiteral("^([0-9]{1,5})x([0-9]{1,5})$"));
    const QString sizeText = parser.isSet(QStringLiteral("size"))
        ? parser.value(QStringLiteral("size"))
        : kind == ChartKind::Exceedance ? QStringLiteral("800x600")
        : kind == ChartKind::Trend      ? QStringLiteral("800x800")
                                        : QStringLiteral("520x519");
    const QRegularExpressionMatch match = sizePattern.match(sizeText);
    size = match.hasMatch() ? QSize(match.captured(1).toInt(), match.captured(2).toInt()) : QSize();
    if (size.isEmpty() || size.width() > MaxSide || size.height() > MaxSide)
        return commandLine.usageError(
            QStringLiteral("--size wants WIDTHxHEIGHT, each 1 to %1 pixels, not \"%2\".")
                .arg(MaxSide)
                .arg(sizeText));
    output = parser.value(QStringLiteral("output"));
    if (output.isEmpty())
        return commandLine.usageError(QStringLiteral("-o OUT is missing."));
    format = ChartFormatOf(output);
    if (parser.isSet(QStringLiteral("format"))) {
        format = ChartFormatNamed(parser.value(QStringLiteral("format")));
        if (format == ChartFormat::Unknown)
            return commandLine.usageError(
                QStringLiteral("--format wants %1, not \"%2\".")
                    .arg(NameChoices(ChartFormatNames), parser.value(QStringLiteral("format"))));
    } else if (output == QLatin1String("-")) {
        return commandLine.usageError(
            QStringLiteral("-o - needs --format %1.").arg(NameChoices(ChartFormatNames)));
    } else if (format == ChartFormat::Unknown) {
        return commandLine.usageError(
            QStringLiteral("\"%1\": the extension must be .png, .pdf or .svg.").arg(output));
    }

    return std::nullopt;
}

// The exceedance chart of the one period the options select, with its references.
Stop exceedanceDrawing(const CommandLine &commandLine, ChartDrawing &drawing)
{
    if (RegisterInputGiven(commandLine.parser()))
        return RegisterExceedanceDrawing(commandLine, drawing);
    UsageSelection selection;
    AxisChoice axis;
    std::vector<ReferenceSpectrum> references;
    for (const Stop &stop :
        {ReadSelection(commandLine, true, selection), ReadAxis(commandLine, axis)}) {
        if (stop)
            return *stop;
    }
    if (const Stop stop = ReadReferences(commandLine, axis, references))
        return *stop;
    std::optional<ExceedanceAnalysis> analysis;
    if (const ExitStatus status = AnalyseOnePeriod(selection, axis, references, analysis);
        status != ExitOk)
        return status;
    const ExceedanceChartData data = ExceedanceChartOf(*analysis, references);
    drawing.title = QStringLiteral("Exceedances per 1000 h");
    drawing.render = [data](QSize pixels) { return RenderExceedanceChart(pixels, data); };
    drawing.paint = [data](QPainter &painter, QSize area) {
        PaintExceedanceChart(painter, QRectF(QPointF(0, 0), area), data);
    };
    return std::nullopt;
}

// The graphic spectrum of the record the options select, as the chart window draws it.
Stop spectrumDrawing(const CommandLine &commandLine, ChartDrawing &drawing)
{
    const QCommandLineParser &parser = commandLine.parser();
    RecordChoice choice;
    if (const Stop stop = ReadRecordOptions(commandLine, choice))
        return *stop;
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return commandLine.usageError(QStringLiteral("give exactly one FILE."));
    RecordValues values {};
    if (const ExitStatus status = ForEachRecord(
            files.first(), choice, [&values](qint64, const RecordValues &read) { values = read; });
        status != ExitOk)
        return status;
    drawing = SpectrumChartDrawing(ApplicationChartLook(), ComputeSpectrum(values));
    return std::nullopt;
}
} // namespace

ExitStatus RunChart(const QStringList &arguments)
{
    CommandLine commandLine(QStringLiteral("chart"),
        QStringLiteral("The graphic spectrum of a record, drawn as the chart window draws it "
                       "(--kind spectrum,\nthe default), or the exceedances per 1000 h beside "
                       "reference spectra (--kind\nexceedance; of data files, or of the register "
                       "with --aircraft REG, or --fleet for\nevery aircraft a series in one "
                       "chart), or an aircraft's life used against its flight\nhours and the "
                       "date with the thresholds and the forecast (--kind trend --aircraft\nREG, "
                       "from the register), written as PNG, PDF (one page, vector) or SVG by\nthe "
                       "extension of OUT.")
            + QStringLiteral("\n\nFormulas and assumptions of the exceedance chart:\n  ")
            + ExceedanceFormulaLines(Axis::Fraction, true).join(QStringLiteral("\n  ")),
        QStringLiteral("FILE..."));
    QCommandLineParser &parser = commandLine.parser();
    addChartOptions(parser);
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    ChartKind kind = ChartKind::Spectrum;
    if (const Stop stop = ReadNamedValue(commandLine, QStringLiteral("kind"),
            parser.value(QStringLiteral("kind")), ChartKindNames, kind))
        return *stop;
    if (const Stop stop = checkKindOptions(commandLine, kind))
        return *stop;

    QSize size;
    QString output;
    ChartFormat format = ChartFormat::Unknown;
    if (const Stop stop = readChartOutput(commandLine, kind, size, output, format))
        return *stop;
    if (const Result apart = CheckOutputIsNoInput(
            output, UsageInputFiles(commandLine) + RegisterInputFiles(commandLine.parser()));
        !apart.ok()) {
        PrintMessage(apart.message());
        return ExitRefused;
    }

    ChartDrawing drawing;
    if (const Stop stop = kind == ChartKind::Exceedance ? exceedanceDrawing(commandLine, drawing)
            : kind == ChartKind::Trend                  ? RegisterTrendDrawing(commandLine, drawing)
                                                        : spectrumDrawing(commandLine, drawing))
        return *stop;
    const Result written = WriteChartFile(output, format, size, drawing);
    if (!written.ok()) {
        PrintMessage(written.message());
        return ExitRefused;
    }
    return ExitOk;
}
