#include "Cli.h"
#include "OutputFile.h"
#include "Register.h"
#include "RegularFile.h"
#include "UsageInput.h"
#include "UsageTables.h"

#include <QFile>

#include <cstdio>
#include <limits>

// The register from the command line: `register add|aircraft|list|history|remove`, `fleet`,
// `export` and `import`. Every command names its register with --register (else ZEMRA_REGISTER,
// else the default file) and waits up to --wait seconds for another command that holds it.
namespace {
const char RegisterOverview[] = R"(Usage: zemra-cli register SUBCOMMAND [OPTIONS]

The register of every read-out of every aircraft: an SQLite file
($XDG_DATA_HOME/zemra/register.sqlite by default, or --register PATH, or ZEMRA_REGISTER), or a
PostgreSQL database (--register postgresql://user@host:port/database; the password from
PGPASSWORD or ~/.pgpass).

Subcommands:
  aircraft --aircraft REG [--type TYPE] [--combine separate|running] [structural data]
  aircraft --type TYPE [structural data]
                            Add or change an aircraft, or a type's structural data.
  add --aircraft REG [--date YYYY-MM-DD] [--reset] FILE...
                            Add every record of the files, all or nothing.
  list [--format text|csv|json]
                            Each aircraft: read-outs, hours, exceedances, damage, life used.
  history --aircraft REG [--format text|csv|json]
                            Each period of an aircraft: dates, hours, counts, running totals.
  remove --aircraft REG --readout ID --yes
                            Remove one read-out; the period after it is derived anew.

See also: zemra-cli fleet, zemra-cli export, zemra-cli import.
'zemra-cli register SUBCOMMAND --help' for a subcommand's own options.
)";

const QString Dash = QStringLiteral("–");

void addRegisterOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("register"),
        QStringLiteral(
            "The register: an SQLite file, or postgresql://user@host:port/database\n"
            "(default: $ZEMRA_REGISTER, else $XDG_DATA_HOME/zemra/register.sqlite, else\n"
            "$HOME/.local/share/zemra/register.sqlite; an empty one is an error)."),
        QStringLiteral("REGISTER")});
    parser.addOption({QStringLiteral("wait"),
        QStringLiteral("Seconds to wait for another command that holds the register (default "
                       "10)."),
        QStringLiteral("SECONDS"), QStringLiteral("10")});
}

Stop readDate(const CommandLine &commandLine, const QString &option, QDate &date)
{
    const QString text = commandLine.parser().value(option);
    date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid() || text.size() != 10)
        return commandLine.usageError(
            QStringLiteral("--%1 wants a date YYYY-MM-DD, not \"%2\"; the years are 0001 to "
                           "9999.")
                .arg(option, text));
    return std::nullopt;
}

// Opens the register the options name. None and `opened` holding it, or the exit status after
// saying why not.
Stop openRegister(const CommandLine &commandLine, Register::Access access, OpenedRegister &opened)
{
    const QCommandLineParser &parser = commandLine.parser();
    bool ok = false;
    const double seconds = parser.value(QStringLiteral("wait")).toDouble(&ok);
    if (!ok || !(seconds >= 0 && seconds <= 86400))
        return commandLine.usageError(
            QStringLiteral("--wait wants a number of seconds from 0 to 86400, not \"%1\".")
                .arg(parser.value(QStringLiteral("wait"))));
    const LocationResult location
        = ChooseRegisterLocation(GivenValue(parser, QStringLiteral("register")));
    // A mistaken option is wrong usage; an environment that names no register is not.
    if (!location.ok() && location.failure() == Result::CannotOpen) {
        PrintMessage(location.message());
        return ExitRefused;
    }
    if (!location.ok())
        return commandLine.usageError(location.message());
    RegisterOptions options;
    options.waitMilliseconds = int(seconds * 1000);
    opened = Register::open(location.location, access, options);
    if (!opened.ok()) {
        PrintMessage(opened.message());
        return ExitRefused;
    }
    if (opened.upgradedFrom)
        PrintMessage(QStringLiteral("The register \"%1\" was upgraded from schema version %2.")
                         .arg(location.location.text, QString::number(*opened.upgradedFrom)));
    return std::nullopt;
}

ExitStatus refused(const Result &result)
{
    PrintMessage(result.message());
    return ExitRefused;
}

QString optionalNumber(const std::optional<double> &value)
{
    return value ? ShortNumber(*value) : Dash;
}

QByteArray csvNumber(const std::optional<double> &value)
{
    return value ? NumberText(*value) : QByteArray();
}

QString dateText(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

QByteArray jsonDate(const QDate &date)
{
    return date.isValid() ? JsonString(dateText(date)) : QByteArrayLiteral("null");
}

QString structureText(const StructuralData &structure)
{
    QStringList parts;
    if (structure.damage)
        parts << DamageInputsText(*structure.damage);
    if (structure.limits)
        parts << QStringLiteral("limit loads %1 / %2 g")
                     .arg(ShortNumber(structure.limits->positive),
                         ShortNumber(structure.limits->negative));
    return parts.isEmpty() ? QStringLiteral("none") : parts.join(QStringLiteral("; "));
}

QString aircraftText(const AircraftInfo &aircraft)
{
    QString text = aircraft.registration + QStringLiteral(": ");
    text += aircraft.type.isEmpty() ? QStringLiteral("no type")
                                    : QStringLiteral("type %1").arg(aircraft.type);
    text += aircraft.mode == CombineMode::Running
        ? QStringLiteral(", read-outs are running totals")
        : QStringLiteral(", each read-out counts from a reset (separate)");
    switch (aircraft.structureSource()) {
    case StructureSource::Aircraft:
        text += QStringLiteral("\n  structural data of its own: ") + structureText(aircraft.own);
        break;
    case StructureSource::Type:
        text += QStringLiteral("\n  structural data of its type: ")
            + structureText(aircraft.typeData);
        break;
    case StructureSource::None:
        text += QStringLiteral("\n  no structural data: no damage figures");
        break;
    }
    return text;
}

const DamageEstimate *counted(const UsageFigures &usage)
{
    return usage.damage ? &usage.damage->counted : nullptr;
}

QString hoursLeftText(const AircraftUsage &row)
{
    if (row.exhausted)
        return QStringLiteral("exhausted");
    return row.hoursLeft ? ShortNumber(*row.hoursLeft) : Dash;
}

// --- register aircraft ----------------------------------------------------------------------

ExitStatus runAircraft(const QStringList &arguments)
{
    CommandLine commandLine(QStringLiteral("register aircraft"),
        QStringLiteral("Add an aircraft or change its type, the way its read-outs relate and its "
                       "structural data;\nor, with --type alone, set the structural data of a "
                       "type, used by each aircraft of\nthat type without data of its own. Give "
                       "only --aircraft to show what is kept."),
        QString());
    QCommandLineParser &parser = commandLine.parser();
    addRegisterOptions(parser);
    parser.addOption({QStringLiteral("aircraft"),
        QStringLiteral("The registration, matched whatever its case; invisible, space-like or "
                       "dash-like\ncharacters other than the plain space and hyphen are refused."),
        QStringLiteral("REG")});
    parser.addOption({QStringLiteral("type"),
        QStringLiteral("The aircraft's type (empty: none); alone, the type whose data is set."),
        QStringLiteral("TYPE")});
    parser.addOption({QStringLiteral("combine"),
        QStringLiteral("separate (each read-out counts from a reset) or running (running "
                       "totals): needed for a new aircraft."),
        QStringLiteral("MODE")});
    AddDamageOptions(parser);
    // The limit loads are structural data; the axis is chosen by each command that draws.
    QCommandLineOption axis(
        QStringLiteral("axis"), QString(), QStringLiteral("AXIS"), QStringLiteral("n"));
    axis.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(axis);
    parser.addOption({QStringLiteral("category"),
        QStringLiteral("Limit load factors by category: normal, utility, aerobatic."),
        QStringLiteral("CATEGORY")});
    parser.addOption({QStringLiteral("limit-loads"),
        QStringLiteral("Limit load factors, positive then negative: 3.8,-1.52."),
        QStringLiteral("P,N")});
    AddParametersOption(parser);
    parser.addOption({QStringLiteral("no-structure"),
        QStringLiteral("Remove the structural data (an aircraft then uses its type's).")});
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    if (!parser.positionalArguments().isEmpty())
        return commandLine.usageError(QStringLiteral("it takes no file."));
    if (parser.isSet(axis))
        return commandLine.usageError(
            QStringLiteral("--axis is chosen by each command that draws, not kept."));
    const bool forAircraft = parser.isSet(QStringLiteral("aircraft"));
    if (!forAircraft && !parser.isSet(QStringLiteral("type")))
        return commandLine.usageError(QStringLiteral("give --aircraft REG, or --type TYPE."));

    DamageParameters parameters;
    bool damageGiven = false;
    AxisChoice limits;
    for (const Stop &stop : {ReadDamageParameters(commandLine, false, parameters, damageGiven),
             ReadAxis(commandLine, limits)}) {
        if (stop)
            return *stop;
    }
    const bool clear = parser.isSet(QStringLiteral("no-structure"));
    if (clear && (damageGiven || limits.limits))
        return commandLine.usageError(
            QStringLiteral("--no-structure and structural data exclude each other."));
    std::optional<CombineMode> mode;
    if (parser.isSet(QStringLiteral("combine"))) {
        mode = CombineModeFromName(parser.value(QStringLiteral("combine")));
        if (!mode)
            return commandLine.usageError(
                QStringLiteral("--combine wants separate or running, not \"%1\".")
                    .arg(parser.value(QStringLiteral("combine"))));
        if (!forAircraft)
            return commandLine.usageError(
                QStringLiteral("--combine belongs to an aircraft: give --aircraft REG."));
    }

    if (!forAircraft && !clear && !damageGiven && !limits.limits)
        return commandLine.usageError(QStringLiteral(
            "give the type's structural data (--sigma1 ..., --parameters, --category), or "
            "--no-structure."));

    // Only --aircraft: what is kept is shown, and no register is made for it.
    const bool show = forAircraft && !mode && !parser.isSet(QStringLiteral("type")) && !clear
        && !damageGiven && !limits.limits;
    OpenedRegister opened;
    if (const Stop stop = openRegister(
            commandLine, show ? Register::Access::Read : Register::Access::Write, opened))
        return *stop;
    Register &reg = *opened.reg;
    Output output;

    if (!forAircraft) {
        const QString type = parser.value(QStringLiteral("type"));
        StructuralData structure;
        if (damageGiven)
            structure.damage = parameters;
        structure.limits = limits.limits;
        const TypeResult set = reg.setType(type, structure);
        if (!set.ok())
            return refused(set);
        output.buffer() += QStringLiteral("Type %1 (%2 aircraft): structural data: %3\n")
                               .arg(set.type.name, QString::number(set.type.aircraft),
                                   structureText(set.type.structure))
                               .toUtf8();
        return FinishOutput(output, ExitOk);
    }

    const QString registration = parser.value(QStringLiteral("aircraft"));
    AircraftChange change;
    change.registration = registration;
    change.mode = mode;
    if (parser.isSet(QStringLiteral("type")))
        change.type = parser.value(QStringLiteral("type"));
    if (clear) {
        change.structure = StructuralData();
    } else if (damageGiven || limits.limits) {
        // What is given replaces its part; the other part is kept.
        const AircraftResult current = reg.aircraft(registration);
        StructuralData structure = current.ok() ? current.aircraft.own : StructuralData();
        if (damageGiven)
            structure.damage = parameters;
        if (limits.limits)
            structure.limits = limits.limits;
        change.structure = structure;
    }
    if (show) {
        const AircraftResult shown = reg.aircraft(registration);
        if (!shown.ok())
            return refused(shown);
        output.buffer() += aircraftText(shown.aircraft).toUtf8() + '\n';
        return FinishOutput(output, ExitOk);
    }
    const AircraftResult set = reg.setAircraft(change);
    if (!set.ok())
        return refused(set);
    output.buffer()
        += (set.created ? QStringLiteral("Added ") : QStringLiteral("Changed ")).toUtf8()
        + aircraftText(set.aircraft).toUtf8() + '\n';
    if (set.periodsRecomputed)
        output.buffer() += "  the periods of its read-outs were derived anew\n";
    return FinishOutput(output, ExitOk);
}

// --- register add ---------------------------------------------------------------------------

// "record 4" or "records 1–3, 7".
QString recordRanges(const std::vector<std::pair<qint64, qint64>> &ranges)
{
    QStringList parts;
    for (const auto &[first, last] : ranges)
        parts << (first == last ? QString::number(first)
                                : QStringLiteral("%1–%2").arg(first).arg(last));
    const bool one = ranges.size() == 1 && ranges.front().first == ranges.front().second;
    return (one ? QStringLiteral("record ") : QStringLiteral("records "))
        + parts.join(QStringLiteral(", "));
}

ExitStatus runAdd(const QStringList &arguments)
{
    CommandLine commandLine(QStringLiteral("register add"),
        QStringLiteral(
            "Add every record of the files to an aircraft's read-outs, each dated "
            "--date or by its file's\nmodification date, all in one transaction: a "
            "file or record refused adds nothing. A record\nis its 22 words: one the "
            "aircraft has already, whatever its date or file, is not added\nagain; "
            "one of another aircraft, or a word above 65535, refuses the files. "
            "Running totals\nthat fall are a reset (no count larger, one smaller) or a wrap of a "
            "16-bit counter (others and the\nwork time larger); any other fall is "
            "refused unless --reset is given."),
        QStringLiteral("FILE..."));
    QCommandLineParser &parser = commandLine.parser();
    addRegisterOptions(parser);
    parser.addOption({QStringLiteral("aircraft"), QStringLiteral("The aircraft's registration."),
        QStringLiteral("REG")});
    parser.addOption({QStringLiteral("date"),
        QStringLiteral("The date the read-outs were taken, years 0001 to 9999 (default: each "
                       "file's\nmodification date, refused outside those years)."),
        QStringLiteral("YYYY-MM-DD")});
    parser.addOption({QStringLiteral("reset"),
        QStringLiteral("The recorder was reset: a fall of running totals that no wrap or reset "
                       "explains is taken\nas a reset, and the register keeps that it was "
                       "declared.")});
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    if (!parser.isSet(QStringLiteral("aircraft")))
        return commandLine.usageError(QStringLiteral("give --aircraft REG."));
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return commandLine.usageError(QStringLiteral("no file given."));
    QDate date;
    if (parser.isSet(QStringLiteral("date"))) {
        if (const Stop stop = readDate(commandLine, QStringLiteral("date"), date))
            return *stop;
    }
    OpenedRegister opened;
    if (const Stop stop = openRegister(commandLine, Register::Access::Write, opened))
        return *stop;
    std::vector<AddFile> adds;
    for (const QString &file : files)
        adds.push_back({file, date});
    const AddResult added = opened.reg->add(
        parser.value(QStringLiteral("aircraft")), adds, parser.isSet(QStringLiteral("reset")));
    if (!added.ok())
        return refused(added);
    for (const ResetFound &reset : added.resets)
        PrintMessage(reset.text);
    Output output;
    for (const AddedFile &file : added.files) {
        QString line = QStringLiteral("\"%1\", taken %2: %3 record(s), ")
                           .arg(file.fileName, dateText(file.taken), QString::number(file.records));
        if (file.added == 0)
            line += QStringLiteral("already in the register");
        else if (file.already == 0)
            line += QStringLiteral("%1 new, added as read-outs %2–%3")
                        .arg(file.added)
                        .arg(file.firstReadout)
                        .arg(file.lastReadout);
        else
            line += QStringLiteral("%1 new, added as read-outs %2–%3; %4 already in the register "
                                   "(%5)")
                        .arg(file.added)
                        .arg(file.firstReadout)
                        .arg(file.lastReadout)
                        .arg(file.already)
                        .arg(recordRanges(file.alreadyRecords));
        output.buffer() += line.toUtf8() + '\n';
    }
    output.buffer() += QStringLiteral("%1: %2 read-out(s) added, %3 already in the register.\n")
                           .arg(added.registration, QString::number(added.added),
                               QString::number(added.already))
                           .toUtf8();
    return FinishOutput(output, ExitOk);
}

// --- register list and fleet ----------------------------------------------------------------

void usageCsvHeader(QByteArray &out, bool fleet)
{
    if (fleet)
        out += "rank,";
    out += "registration,type,combine,structure,readouts,first_taken,last_taken,hours,"
           "per_1000h_3g,per_1000h_minus1g,damage_per_1000h,life_used_percent,";
    if (fleet)
        out += "life_used_to_date_percent,";
    out += "hours_left,severity,upper_life_used_percent,damage_note\r\n";
}

void usageCsvRow(QByteArray &out, const AircraftUsage &row, bool fleet)
{
    const UsageFigures &usage = row.usage;
    const DamageEstimate *estimate = counted(usage);
    const DamageEstimate *upper
        = usage.damage && usage.damage->upper.available ? &usage.damage->upper : nullptr;
    if (fleet)
        out += (row.rank ? QByteArray::number(row.rank) : QByteArray()) + ',';
    out += CsvField(row.aircraft.registration) + ',' + CsvField(row.aircraft.type) + ','
        + CombineModeName(row.aircraft.mode).toUtf8() + ','
        + StructureSourceName(row.aircraft.structureSource()).toUtf8() + ','
        + QByteArray::number(usage.readouts) + ',' + dateText(usage.firstTaken).toUtf8() + ','
        + dateText(usage.lastTaken).toUtf8() + ',' + NumberText(usage.hours) + ','
        + csvNumber(usage.per1000hAt3g) + ',' + csvNumber(usage.per1000hAtMinus1g) + ','
        + (estimate ? NumberText(estimate->damagePer1000h) : QByteArray()) + ','
        + (estimate ? NumberText(estimate->life.usedPercent) : QByteArray()) + ',';
    if (fleet)
        out += csvNumber(row.lifeUsedToDatePercent) + ',';
    out += (row.exhausted ? QByteArrayLiteral("exhausted") : csvNumber(row.hoursLeft)) + ','
        + (estimate ? csvNumber(estimate->life.severity) : QByteArray()) + ','
        + (upper ? NumberText(upper->life.usedPercent) : QByteArray()) + ','
        + CsvField(usage.damageNote) + "\r\n";
}

void usageJson(QByteArray &out, const AircraftUsage &row, bool fleet)
{
    const UsageFigures &usage = row.usage;
    const DamageEstimate *estimate = counted(usage);
    const DamageEstimate *upper
        = usage.damage && usage.damage->upper.available ? &usage.damage->upper : nullptr;
    out += '{';
    if (fleet)
        out += "\"rank\":" + (row.rank ? QByteArray::number(row.rank) : QByteArrayLiteral("null"))
            + ',';
    out += "\"registration\":" + JsonString(row.aircraft.registration) + ",\"type\":"
        + (row.aircraft.type.isEmpty() ? QByteArrayLiteral("null") : JsonString(row.aircraft.type))
        + ",\"combine\":" + JsonString(CombineModeName(row.aircraft.mode))
        + ",\"structure\":" + JsonString(StructureSourceName(row.aircraft.structureSource()))
        + ",\"readouts\":" + QByteArray::number(usage.readouts) + ",\"firstTaken\":"
        + jsonDate(usage.firstTaken) + ",\"lastTaken\":" + jsonDate(usage.lastTaken)
        + ",\"hours\":" + NumberText(usage.hours) + ",\"counts\":[";
    for (int level = 0; level < LevelCount; ++level)
        out += (level ? "," : "") + QByteArray::number(usage.counts[level]);
    out += "],\"per1000hAt3g\":" + NumberText(usage.per1000hAt3g)
        + ",\"per1000hAtMinus1g\":" + NumberText(usage.per1000hAtMinus1g) + ",\"damagePer1000h\":"
        + (estimate ? NumberText(estimate->damagePer1000h) : QByteArrayLiteral("null"))
        + ",\"lifeUsedPercent\":"
        + (estimate ? NumberText(estimate->life.usedPercent) : QByteArrayLiteral("null"));
    if (fleet)
        out += ",\"lifeUsedToDatePercent\":" + NumberText(row.lifeUsedToDatePercent);
    out += ",\"hoursLeft\":" + NumberText(row.hoursLeft)
        + ",\"exhausted\":" + (row.exhausted ? "true" : "false") + ",\"severity\":"
        + (estimate ? NumberText(estimate->life.severity) : QByteArrayLiteral("null"))
        + ",\"upperLifeUsedPercent\":"
        + (upper ? NumberText(upper->life.usedPercent) : QByteArrayLiteral("null"))
        + ",\"damageNote\":"
        + (usage.damageNote.isEmpty() ? QByteArrayLiteral("null") : JsonString(usage.damageNote))
        + '}';
}

void usageText(QByteArray &out, const UsageListResult &list, bool fleet)
{
    QList<QStringList> rows;
    QStringList header;
    if (fleet)
        header << QStringLiteral("rank");
    header << QStringLiteral("registration") << QStringLiteral("type")
           << QStringLiteral("read-outs") << QStringLiteral("last taken") << QStringLiteral("hours")
           << QStringLiteral("3.0 g/1000 h") << QStringLiteral("-1.0 g/1000 h")
           << QStringLiteral("D/1000 h") << QStringLiteral("life used");
    if (fleet && list.since)
        header << QStringLiteral("to date");
    header << QStringLiteral("severity") << QStringLiteral("hours left");
    rows << header;
    QStringList notes;
    for (const AircraftUsage &row : list.aircraft) {
        const UsageFigures &usage = row.usage;
        const DamageEstimate *estimate = counted(usage);
        QStringList cells;
        if (fleet)
            cells << (row.rank ? QString::number(row.rank) : Dash);
        cells << row.aircraft.registration
              << (row.aircraft.type.isEmpty() ? Dash : row.aircraft.type)
              << QString::number(usage.readouts)
              << (usage.lastTaken.isValid() ? dateText(usage.lastTaken) : Dash)
              << ShortNumber(usage.hours) << optionalNumber(usage.per1000hAt3g)
              << optionalNumber(usage.per1000hAtMinus1g)
              << (estimate ? ShortNumber(estimate->damagePer1000h) : Dash)
              << (estimate ? ShortNumber(estimate->life.usedPercent) + QStringLiteral(" %") : Dash);
        if (fleet && list.since)
            cells << (row.lifeUsedToDatePercent
                    ? ShortNumber(*row.lifeUsedToDatePercent) + QStringLiteral(" %")
                    : Dash);
        cells << (estimate ? optionalNumber(estimate->life.severity) : Dash) << hoursLeftText(row);
        rows << cells;
        if (!estimate && usage.readouts > 0)
            notes << QStringLiteral("%1: no damage figure: %2")
                         .arg(row.aircraft.registration, usage.damageNote);
    }
    AppendAligned(out, rows, fleet ? 3 : 2);
    for (const QString &note : notes)
        out += note.toUtf8() + '\n';
}

ExitStatus runUsageList(const QStringList &arguments, bool fleet)
{
    CommandLine commandLine(fleet ? QStringLiteral("fleet") : QStringLiteral("register list"),
        fleet ? QStringLiteral("Every aircraft of the register ranked by life used (counted "
                               "estimate of the damage), then by\ndamage per 1000 h: the lead of "
                               "the fleet first. Aircraft without structural data follow.\nWith "
                               "--since, only the read-outs taken on or after the date count; "
                               "hours left are then\nwhat the whole history leaves, at the rate "
                               "of that window.")
              : QStringLiteral("Each aircraft of the register: read-outs, hours, the last "
                               "read-out, exceedances per 1000 h\nat 3.0 g and -1.0 g, damage per "
                               "1000 h and life used where structural data is set."),
        QString());
    QCommandLineParser &parser = commandLine.parser();
    addRegisterOptions(parser);
    AddTableFormatOption(parser);
    if (fleet)
        parser.addOption({QStringLiteral("since"),
            QStringLiteral("Only the read-outs taken on or after this date."),
            QStringLiteral("YYYY-MM-DD")});
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    if (!parser.positionalArguments().isEmpty())
        return commandLine.usageError(QStringLiteral("it takes no file."));
    TableFormat format = TableFormat::Text;
    if (const Stop stop = ReadTableFormat(commandLine, format))
        return *stop;
    std::optional<QDate> since;
    if (fleet && parser.isSet(QStringLiteral("since"))) {
        QDate date;
        if (const Stop stop = readDate(commandLine, QStringLiteral("since"), date))
            return *stop;
        since = date;
    }
    OpenedRegister opened;
    if (const Stop stop = openRegister(commandLine, Register::Access::Read, opened))
        return *stop;
    const UsageListResult list = fleet ? opened.reg->fleet(since) : opened.reg->list();
    if (!list.ok())
        return refused(list);
    Output output;
    QByteArray &out = output.buffer();
    switch (format) {
    case TableFormat::Csv:
        usageCsvHeader(out, fleet);
        for (const AircraftUsage &row : list.aircraft)
            usageCsvRow(out, row, fleet);
        break;
    case TableFormat::Json:
        out += '[';
        for (size_t i = 0; i < list.aircraft.size(); ++i) {
            out += i ? ",\n" : "\n";
            usageJson(out, list.aircraft[i], fleet);
        }
        out += "\n]\n";
        break;
    case TableFormat::Text:
        if (list.aircraft.empty()) {
            out += "No aircraft in the register.\n";
            break;
        }
        if (fleet)
            out += (since ? QStringLiteral("Fleet ranked by life used over the read-outs taken "
                                           "since %1:\n")
                                .arg(dateText(*since))
                          : QStringLiteral("Fleet ranked by life used:\n"))
                       .toUtf8();
        usageText(out, list, fleet);
        break;
    }
    return FinishOutput(output, ExitOk);
}

// --- register history -----------------------------------------------------------------------

// How the read-out follows the one before: running, wrap, reset, declared reset, or
// inconsistent (kept from before falls were classified, counted as after a reset).
QString periodClass(const HistoryPeriod &period)
{
    if (period.kind == RunningKind::Reset && period.declaredReset)
        return QStringLiteral("declared reset");
    return RunningKindName(period.kind);
}

ExitStatus runHistory(const QStringList &arguments)
{
    CommandLine commandLine(QStringLiteral("register history"),
        QStringLiteral("Each period of an aircraft, read-out by read-out: the dates, the hours, "
                       "the counts the read-out\nadds, and the running totals; how each follows "
                       "the one before is marked: wrap, reset,\ndeclared reset, or inconsistent "
                       "(kept from before falls were classified)."),
        QString());
    QCommandLineParser &parser = commandLine.parser();
    addRegisterOptions(parser);
    AddTableFormatOption(parser);
    parser.addOption({QStringLiteral("aircraft"), QStringLiteral("The aircraft's registration."),
        QStringLiteral("REG")});
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    if (!parser.isSet(QStringLiteral("aircraft")))
        return commandLine.usageError(QStringLiteral("give --aircraft REG."));
    if (!parser.positionalArguments().isEmpty())
        return commandLine.usageError(QStringLiteral("it takes no file."));
    TableFormat format = TableFormat::Text;
    if (const Stop stop = ReadTableFormat(commandLine, format))
        return *stop;
    OpenedRegister opened;
    if (const Stop stop = openRegister(commandLine, Register::Access::Read, opened))
        return *stop;
    const HistoryResult history = opened.reg->history(parser.value(QStringLiteral("aircraft")));
    if (!history.ok())
        return refused(history);

    Output output;
    QByteArray &out = output.buffer();
    const AircraftInfo &aircraft = history.aircraft;
    if (format == TableFormat::Csv) {
        out += "registration,readout,from,taken,file,record,added,added_by,reset,class,seconds,"
               "hours,"
               "total_seconds,total_hours";
        for (const char *prefix : {"count_", "total_"}) {
            for (const LoadLevel &level : LoadLevels)
                out += QByteArray(",") + prefix + level.text;
        }
        out += "\r\n";
        for (const HistoryPeriod &period : history.periods) {
            out += CsvField(aircraft.registration) + ',' + QByteArray::number(period.readout) + ','
                + dateText(period.from).toUtf8() + ',' + dateText(period.taken).toUtf8() + ','
                + CsvField(period.fileName) + ',' + QByteArray::number(period.record) + ','
                + period.added.toUtf8() + ',' + CsvField(VisibleControls(period.addedBy)) + ','
                + (period.afterReset ? "reset" : "") + ',' + periodClass(period).toUtf8() + ','
                + QByteArray::number(period.seconds) + ',' + NumberText(period.hours) + ','
                + QByteArray::number(period.totalSeconds) + ',' + NumberText(period.totalHours);
            for (const LevelCounts *counts : {&period.counts, &period.totalCounts}) {
                for (const std::int64_t count : *counts)
                    out += ',' + QByteArray::number(count);
            }
            out += "\r\n";
        }
        return FinishOutput(output, ExitOk);
    }
    if (format == TableFormat::Json) {
        const auto counts = [](const LevelCounts &values) {
            QByteArray text("[");
            for (int level = 0; level < LevelCount; ++level)
                text += (level ? "," : "") + QByteArray::number(values[level]);
            return text + ']';
        };
        out += "{\"registration\":" + JsonString(aircraft.registration) + ",\"type\":"
            + (aircraft.type.isEmpty() ? QByteArrayLiteral("null") : JsonString(aircraft.type))
            + ",\"combine\":" + JsonString(CombineModeName(aircraft.mode)) + ",\"levels\":[";
        for (int level = 0; level < LevelCount; ++level)
            out += (level ? "," : "") + QByteArray(LoadLevels[level].text);
        out += "],\"periods\":[";
        for (size_t i = 0; i < history.periods.size(); ++i) {
            const HistoryPeriod &period = history.periods[i];
            out += (i ? ",\n" : "\n");
            out += "{\"readout\":" + QByteArray::number(period.readout)
                + ",\"from\":" + jsonDate(period.from) + ",\"taken\":" + jsonDate(period.taken)
                + ",\"file\":" + JsonString(period.fileName) + ",\"record\":"
                + QByteArray::number(period.record) + ",\"added\":" + JsonString(period.added)
                + ",\"addedBy\":" + JsonString(period.addedBy)
                + ",\"reset\":" + (period.afterReset ? "true" : "false")
                + ",\"class\":" + JsonString(periodClass(period))
                + ",\"seconds\":" + QByteArray::number(period.seconds)
                + ",\"hours\":" + NumberText(period.hours) + ",\"counts\":" + counts(period.counts)
                + ",\"totalSeconds\":" + QByteArray::number(period.totalSeconds)
                + ",\"totalHours\":" + NumberText(period.totalHours)
                + ",\"totalCounts\":" + counts(period.totalCounts) + '}';
        }
        out += "\n]}\n";
        return FinishOutput(output, ExitOk);
    }

    out += aircraftText(aircraft).toUtf8() + '\n';
    if (history.periods.empty()) {
        out += "No read-outs.\n";
        return FinishOutput(output, ExitOk);
    }
    QList<QStringList> rows;
    QStringList header {QStringLiteral("read-out"), QStringLiteral("from"), QStringLiteral("taken"),
        QStringLiteral("file"), QStringLiteral("record"), QStringLiteral("hours"),
        QStringLiteral("total h")};
    for (const LoadLevel &level : LoadLevels)
        header << QString::fromLatin1(level.text);
    header << QString();
    rows << header;
    for (const HistoryPeriod &period : history.periods) {
        QStringList cells {QString::number(period.readout),
            period.from.isValid() ? dateText(period.from) : Dash, dateText(period.taken),
            period.fileName, QString::number(period.record), ShortNumber(period.hours),
            ShortNumber(period.totalHours)};
        for (const std::int64_t count : period.counts)
            cells << QString::number(count);
        cells << (period.kind == RunningKind::Running ? QString() : periodClass(period));
        rows << cells;
    }
    QStringList totals {QStringLiteral("total"), QString(), QString(), QString(), QString(),
        ShortNumber(history.usage.hours), QString()};
    for (const std::int64_t count : history.usage.counts)
        totals << QString::number(count);
    rows << totals;
    AppendAligned(out, rows, 4);
    return FinishOutput(output, ExitOk);
}

// --- register remove ------------------------------------------------------------------------

ExitStatus runRemove(const QStringList &arguments)
{
    CommandLine commandLine(QStringLiteral("register remove"),
        QStringLiteral("Remove one read-out of an aircraft (its id as history shows it); the "
                       "period after it is\nderived anew. It cannot be undone, so --yes is "
                       "needed."),
        QString());
    QCommandLineParser &parser = commandLine.parser();
    addRegisterOptions(parser);
    parser.addOption({QStringLiteral("aircraft"), QStringLiteral("The aircraft's registration."),
        QStringLiteral("REG")});
    parser.addOption(
        {QStringLiteral("readout"), QStringLiteral("The read-out's id."), QStringLiteral("ID")});
    parser.addOption({QStringLiteral("yes"), QStringLiteral("Yes, remove it.")});
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    if (!parser.isSet(QStringLiteral("aircraft")) || !parser.isSet(QStringLiteral("readout")))
        return commandLine.usageError(QStringLiteral("give --aircraft REG and --readout ID."));
    bool ok = false;
    const QString idText = parser.value(QStringLiteral("readout"));
    const qint64 id = idText.toLongLong(&ok);
    if (!ok || id < 1 || idText.startsWith(QLatin1Char('+')))
        return commandLine.usageError(
            QStringLiteral("--readout wants a read-out id from 1 on, not \"%1\".").arg(idText));
    if (!parser.isSet(QStringLiteral("yes")))
        return commandLine.usageError(
            QStringLiteral("removing a read-out cannot be undone: add --yes to remove it."));
    OpenedRegister opened;
    if (const Stop stop = openRegister(commandLine, Register::Access::Write, opened))
        return *stop;
    const QString registration = parser.value(QStringLiteral("aircraft"));
    const RemoveResult removed = opened.reg->remove(registration, id);
    if (!removed.ok())
        return refused(removed);
    Output output;
    output.buffer()
        += QStringLiteral("Removed read-out %1 of %2 (taken %3, \"%4\" record %5).\n")
               .arg(QString::number(id), registration.trimmed(), dateText(removed.removed.taken),
                   removed.removed.fileName, QString::number(removed.removed.record))
               .toUtf8();
    return FinishOutput(output, ExitOk);
}
} // namespace

ExitStatus RunRegister(const QStringList &arguments)
{
    const QString subcommand = arguments.value(1);
    QStringList rest = arguments.mid(2);
    rest.prepend(arguments.value(0));
    if (subcommand == QLatin1String("add"))
        return runAdd(rest);
    if (subcommand == QLatin1String("aircraft"))
        return runAircraft(rest);
    if (subcommand == QLatin1String("list"))
        return runUsageList(rest, false);
    if (subcommand == QLatin1String("history"))
        return runHistory(rest);
    if (subcommand == QLatin1String("remove"))
        return runRemove(rest);
    if (subcommand == QLatin1String("--help") || subcommand == QLatin1String("-h")) {
        std::fputs(RegisterOverview, stdout);
        return ExitOk;
    }
    PrintMessage(subcommand.isEmpty()
            ? QStringLiteral("register: no subcommand given.")
            : QStringLiteral("register: unknown subcommand \"%1\".").arg(subcommand));
    std::fputs(RegisterOverview, stderr);
    return ExitUsage;
}

ExitStatus RunFleet(const QStringList &arguments)
{
    return runUsageList(arguments, true);
}

ExitStatus RunExport(const QStringList &arguments)
{
    CommandLine commandLine(QStringLiteral("export"),
        QStringLiteral("The whole register as one JSON document (format \"zemra-register\", "
                       "version 1) that\n'zemra-cli import' takes into another register, SQLite "
                       "or PostgreSQL, with nothing lost."),
        QString());
    QCommandLineParser &parser = commandLine.parser();
    addRegisterOptions(parser);
    parser.addOption({{QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("Write it to FILE (whole or not at all, never the register itself) "
                       "instead of\nstandard output."),
        QStringLiteral("FILE")});
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    if (!parser.positionalArguments().isEmpty())
        return commandLine.usageError(QStringLiteral("it takes no file; use -o FILE."));
    OpenedRegister opened;
    if (const Stop stop = openRegister(commandLine, Register::Access::Read, opened))
        return *stop;
    // Standard output as a stream, a file through the one replacement every output takes: never
    // over a device, a FIFO or what a link to one leads to, and whole or not at all.
    const QString name = parser.isSet(QStringLiteral("output"))
        ? parser.value(QStringLiteral("output"))
        : QStringLiteral("-");
    // Never the register itself: it would become its own export.
    const LocationResult location
        = ChooseRegisterLocation(GivenValue(parser, QStringLiteral("register")));
    if (const Result apart = CheckOutputIsNoInput(name, RegisterFiles(location.location));
        !apart.ok())
        return refused(apart);
    const Result written = WriteOutputFile(
        name, [&opened](QIODevice &device) { return opened.reg->exportJson(device); });
    if (!written.ok())
        return refused(written);
    return ExitOk;
}

ExitStatus RunImport(const QStringList &arguments)
{
    CommandLine commandLine(QStringLiteral("import"),
        QStringLiteral("Take a whole exported register (zemra-cli export) into a register that "
                       "holds nothing yet,\nin one transaction, read a piece at a time. Refused "
                       "whole: a text holding U+0000, a read-out\nid above 2147483645 (the next "
                       "one must fit in 32 bits), \"types\" after \"aircraft\" or an\n"
                       "aircraft's \"readouts\" before its other keys (the export writes them "
                       "the other way)."),
        QStringLiteral("FILE"));
    QCommandLineParser &parser = commandLine.parser();
    addRegisterOptions(parser);
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    if (parser.positionalArguments().size() != 1)
        return commandLine.usageError(QStringLiteral("give one file."));
    const QString name = parser.positionalArguments().first();
    RegularFile file;
    if (const Result readable = OpenForReading(file, name); !readable.ok()) {
        PrintMessage(OpenFailureText(name, readable));
        return ExitRefused;
    }
    // Read through the descriptor opened as a regular file, a piece at a time.
    QFile json;
    if (!json.open(file.handle(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
        PrintMessage(QStringLiteral("Cannot read \"%1\": %2").arg(name, json.errorString()));
        return ExitRefused;
    }
    OpenedRegister opened;
    if (const Stop stop = openRegister(commandLine, Register::Access::Write, opened))
        return *stop;
    const ImportResult imported = opened.reg->importJson(json, name);
    if (!imported.ok())
        return refused(imported);
    Output output;
    output.buffer()
        += QStringLiteral("Imported %1 type(s), %2 aircraft and %3 read-out(s) from "
                          "\"%4\" into \"%5\".\n")
               .arg(QString::number(imported.types), QString::number(imported.aircraft),
                   QString::number(imported.readouts), name, opened.reg->location().text)
               .toUtf8();
    return FinishOutput(output, ExitOk);
}
