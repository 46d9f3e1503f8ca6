#include "RegisterCharts.h"

#include "ExceedanceChart.h"
#include "LifeTrend.h"
#include "RegisterCli.h"
#include "RegisterInput.h"
#include "TrendChart.h"
#include "UsageInput.h"

#include <algorithm>

namespace {
QString windowCaption(const QCommandLineParser &parser)
{
    QString text;
    if (parser.isSet(QStringLiteral("since")))
        text += QStringLiteral(" since %1").arg(parser.value(QStringLiteral("since")));
    if (parser.isSet(QStringLiteral("until")))
        text += QStringLiteral(" until %1").arg(parser.value(QStringLiteral("until")));
    return text.isEmpty() ? text : QStringLiteral(", read-outs taken") + text;
}

// The fleet's chart: a measured series an aircraft, the references, and the limit loads given,
// else those every aircraft drawn shares (lines of different aircraft would be read as one).
struct FleetChart
{
    ExceedanceChartData data;
    QList<std::optional<LimitLoads>> limits;
    QStringList drawn;

    void add(const ExceedanceAnalysis &analysis, const QString &registration)
    {
        ExceedanceSeries series = ExceedanceChartOf(analysis, {}).series.first();
        series.label = registration;
        data.series << series;
        limits << analysis.table.axis.limits;
        drawn << registration;
    }
    void finish(const AxisChoice &axis, const std::vector<ReferenceSpectrum> &references,
        const QString &window)
    {
        data.axisTitle = AxisTitle(axis.axis);
        data.valueTitle = QStringLiteral("Exceedances per 1000 h");
        data.caption = QStringLiteral("%1 aircraft%2").arg(drawn.size()).arg(window);
        data.series << ReferenceSeries(references, axis);
        AxisChoice shared = axis;
        const auto sameAsFirst = [this](const std::optional<LimitLoads> &loads) {
            return loads && limits.first() && loads->positive == limits.first()->positive
                && loads->negative == limits.first()->negative;
        };
        if (!shared.limits && !limits.isEmpty()
            && std::all_of(limits.cbegin(), limits.cend(), sameAsFirst))
            shared.limits = limits.first();
        data.limitLines = LimitLines(shared);
    }
};
} // namespace

Stop RegisterExceedanceDrawing(const CommandLine &commandLine, ChartDrawing &drawing)
{
    const QCommandLineParser &parser = commandLine.parser();
    AxisChoice axis;
    std::vector<ReferenceSpectrum> references;
    if (const Stop stop = ReadAxis(commandLine, axis))
        return *stop;
    if (const Stop stop = ReadReferences(commandLine, axis, references))
        return *stop;
    const bool fleet = parser.isSet(QStringLiteral("fleet"));
    std::optional<ExceedanceChartData> one;
    FleetChart chart;
    bool refused = false;
    const ExitStatus status = ForEachRegisterPeriod(
        commandLine, [&](const UsagePeriod &period, const AircraftInfo &aircraft) {
            // The aircraft's own limit loads stand where none are given, as in `exceedance`.
            AxisChoice own = axis;
            if (!own.limits)
                own.limits = aircraft.structure().limits;
            const ExceedanceAnalysis analysis = AnalyseExceedances(period, own, references);
            if (!analysis.table.ok()) {
                PrintMessage(QStringLiteral("%1: %2%3")
                                 .arg(period.source, analysis.table.message(),
                                     fleet ? QStringLiteral(" Passed over.") : QString()));
                refused = !fleet;
                return;
            }
            if (fleet)
                chart.add(analysis, aircraft.registration);
            else
                one = ExceedanceChartOf(analysis, references);
        });
    if (status != ExitOk)
        return status;
    if (refused)
        return ExitRefused;
    if (fleet) {
        if (chart.drawn.isEmpty()) {
            PrintMessage(
                QStringLiteral("No aircraft of the register has read-outs%1 to draw.")
                    .arg(windowCaption(parser).isEmpty() ? QString()
                                                         : QStringLiteral(" in the window")));
            return ExitRefused;
        }
        chart.finish(axis, references, windowCaption(parser));
        one = chart.data;
    }
    const ExceedanceChartData data = *one;
    drawing.title = QStringLiteral("Exceedances per 1000 h");
    drawing.render = [data](QSize pixels) { return RenderExceedanceChart(pixels, data); };
    drawing.paint = [data](QPainter &painter, QSize area) {
        PaintExceedanceChart(painter, QRectF(QPointF(0, 0), area), data);
    };
    return std::nullopt;
}

namespace {
Stop checkTrendInput(const CommandLine &commandLine)
{
    const QCommandLineParser &parser = commandLine.parser();
    if (parser.isSet(QStringLiteral("fleet")))
        return commandLine.usageError(
            QStringLiteral("--fleet does not go with --kind trend: the trend is one aircraft's."));
    if (!parser.isSet(QStringLiteral("aircraft")))
        return commandLine.usageError(QStringLiteral("--kind trend needs --aircraft REG."));
    if (!parser.positionalArguments().isEmpty())
        return commandLine.usageError(
            QStringLiteral("FILE goes without --aircraft: the register is read."));
    return std::nullopt;
}
} // namespace

Stop RegisterTrendDrawing(const CommandLine &commandLine, ChartDrawing &drawing)
{
    if (const Stop stop = checkTrendInput(commandLine))
        return stop;
    int windowDays = 365;
    if (const Stop stop = RegisterCli::readRateWindow(commandLine, windowDays))
        return stop;
    OpenedRegister opened;
    if (const Stop stop = RegisterCli::openRegister(commandLine, Register::Access::Read, opened))
        return stop;
    const HistoryResult history
        = opened.reg->history(commandLine.parser().value(QStringLiteral("aircraft")),
            commandLine.parser().value(QStringLiteral("location")));
    if (!history.ok())
        return Refused(history);
    const QString &registration = history.aircraft.registration;
    if (!history.aircraft.structure().damage) {
        PrintMessage(QStringLiteral("%1 has no S-N data in the register: no life used to draw.")
                         .arg(registration));
        return ExitRefused;
    }
    if (history.periods.empty()) {
        PrintMessage(
            QStringLiteral("%1 has no read-outs: no life used to draw.").arg(registration));
        return ExitRefused;
    }
    ForecastInput input = ForecastInputOf(history);
    input.windowDays = windowDays;
    const LifeTrend trend = LifeTrendOf(history, ComputeForecast(input), input.thresholds);
    for (const QString &line : trend.missing)
        PrintMessage(line);
    if (trend.chart.points.isEmpty())
        return ExitRefused;
    const TrendChartData data = trend.chart;
    drawing.title = QStringLiteral("Life used of %1").arg(registration);
    drawing.render = [data](QSize pixels) { return RenderTrendChart(pixels, data); };
    drawing.paint = [data](QPainter &painter, QSize area) {
        PaintTrendChart(painter, QRectF(QPointF(0, 0), area), data);
    };
    return std::nullopt;
}
