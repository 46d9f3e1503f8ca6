#include "FleetWork.h"

#include "OutputFile.h"

#include <QIODevice>

namespace {
// Every output through the core's one replacement (beside the file, then renamed into place),
// and never over the register that is read.
Result writeReplacing(const QString &fileName, const RegisterLocation &location,
    const std::function<Result(QIODevice &)> &write)
{
    if (const Result apart
        = CheckOutputIsNoInput(fileName, RegisterFiles(location), QStringLiteral("the register"));
        !apart.ok())
        return apart;
    return WriteOutputFile(fileName, write);
}
} // namespace

FleetLoad LoadFleet(const RegisterLocation &location, const QDate &today)
{
    FleetLoad load;
    load.location = location;
    OpenedRegister opened = Register::open(location, Register::Access::Read);
    if (!opened.ok()) {
        static_cast<Result &>(load) = opened;
        return load;
    }
    load.upgradedFrom = opened.upgradedFrom;
    load.list = opened.reg->fleet(std::nullopt, 365, today);
    if (!load.list.ok())
        static_cast<Result &>(load) = load.list;
    return load;
}

AircraftLoad LoadAircraft(const RegisterLocation &location, const QString &registration)
{
    AircraftLoad load;
    OpenedRegister opened = Register::open(location, Register::Access::Read);
    if (!opened.ok()) {
        static_cast<Result &>(load) = opened;
        return load;
    }
    load.history = opened.reg->history(registration);
    if (!load.history.ok()) {
        static_cast<Result &>(load) = load.history;
        return load;
    }
    if (!load.history.aircraft.structure().damage) {
        load.trendMissing << QStringLiteral("%1 has no S-N data in the register: no life used to "
                                            "draw.")
                                 .arg(load.history.aircraft.registration);
        return load;
    }
    if (load.history.periods.empty()) {
        load.trendMissing << QStringLiteral("%1 has no read-outs: no life used to draw.")
                                 .arg(load.history.aircraft.registration);
        return load;
    }
    // As `zemra-cli chart --kind trend` draws it, at the rates of 365 days.
    const ForecastInput input = ForecastInputOf(load.history);
    LifeTrend trend = LifeTrendOf(load.history, ComputeForecast(input), input.thresholds);
    load.trendMissing = trend.missing;
    if (!trend.chart.points.isEmpty())
        load.trend = std::move(trend.chart);
    return load;
}

Result ExportRegister(const RegisterLocation &location, const QString &fileName)
{
    OpenedRegister opened = Register::open(location, Register::Access::Read);
    if (!opened.ok())
        return opened;
    return writeReplacing(fileName, location,
        [&opened](QIODevice &device) { return opened.reg->exportJson(device); });
}

namespace {
// A report's document made from the register, written as a PDF; the axis and references of a
// report without options, as zemra-cli's.
Result writeReport(const RegisterLocation &location, const QString &fileName,
    const std::function<DocumentResult(Register &)> &make)
{
    OpenedRegister opened = Register::open(location, Register::Access::Read);
    if (!opened.ok())
        return opened;
    const DocumentResult made = make(*opened.reg);
    if (!made.ok())
        return made;
    return writeReplacing(fileName, location, [&made](QIODevice &device) {
        return WriteReportPdf(
            device, made.document, made.document.title, QStringLiteral("zemra-fleet"));
    });
}
} // namespace

Result WriteFleetReport(
    const RegisterLocation &location, const std::optional<QDate> &since, const QString &fileName)
{
    return writeReport(location, fileName,
        [&since](Register &reg) { return FleetReportDocument(reg, since, AxisChoice(), {}); });
}

Result WriteAircraftReport(const RegisterLocation &location, const QString &registration,
    const ReportWindow &window, const QString &fileName)
{
    return writeReport(location, fileName, [&](Register &reg) {
        return AircraftReportDocument(reg, registration, window, AxisChoice(), {});
    });
}

AddPreviewResult PreviewReadouts(const RegisterLocation &location, const QString &registration,
    const std::vector<AddFile> &files, bool declaredReset,
    const std::optional<NewAircraft> &newAircraft)
{
    // Write access: the preview runs in a write transaction, as the add would, and undoes it.
    OpenedRegister opened = Register::open(location, Register::Access::Write);
    if (!opened.ok())
        return failed<AddPreviewResult>(opened);
    std::optional<CombineMode> mode;
    if (newAircraft)
        mode = newAircraft->mode;
    return opened.reg->previewAdd(registration, files, declaredReset, mode);
}

AddResult AddReadouts(const RegisterLocation &location, const QString &registration,
    const std::vector<AddFile> &files, bool declaredReset,
    const std::optional<NewAircraft> &newAircraft, const AddProgress &progress)
{
    OpenedRegister opened = Register::open(location, Register::Access::Write);
    if (!opened.ok())
        return failed<AddResult>(opened);
    // The new aircraft is made in the add's own transaction: a cancelled or refused add leaves
    // none behind.
    std::optional<AircraftChange> change;
    if (newAircraft) {
        change = AircraftChange {registration, {}, newAircraft->mode, {}, {}, {}};
        if (!newAircraft->type.trimmed().isEmpty())
            change->type = newAircraft->type.trimmed();
    }
    return opened.reg->add(registration, files, declaredReset, progress, change);
}

AircraftResult ChangeAircraft(const RegisterLocation &location, const AircraftChange &change)
{
    OpenedRegister opened = Register::open(location, Register::Access::Write);
    if (!opened.ok())
        return failed<AircraftResult>(opened);
    return opened.reg->setAircraft(change);
}
