#include "UsageInput.h"

#include "ParameterText.h"
#include "RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cmath>

namespace {

// The keys of a parameters file, each also an option of the same name.
const QStringList ParameterKeys {QStringLiteral("sigma1"), QStringLiteral("k"),
    QStringLiteral("sd"), QStringLiteral("nd"), QStringLiteral("below"), QStringLiteral("su"),
    QStringLiteral("scatter"), QStringLiteral("design-life"), QStringLiteral("max-load"),
    QStringLiteral("category"), QStringLiteral("limit-loads"), QStringLiteral("thresholds"),
    QStringLiteral("inspection-hours"), QStringLiteral("inspection-days"),
    QStringLiteral("battery-days")};
// The keys a "[location NAME]" section gives for its location alone.
const QStringList LocationKeys {QStringLiteral("sigma1"), QStringLiteral("k"), QStringLiteral("sd"),
    QStringLiteral("nd"), QStringLiteral("below"), QStringLiteral("su")};

} // namespace

bool ReadInputFile(const QString &name, qint64 maxBytes, QByteArray &bytes, QString &error)
{
    RegularFile file;
    if (const Result opened = OpenForReading(file, name); !opened.ok()) {
        error = OpenFailureText(name, opened);
        return false;
    }
    if (file.sizeAtOpen() > maxBytes) {
        error = QStringLiteral("Cannot read \"%1\": it holds %2 bytes, more than a text of this "
                               "kind takes")
                    .arg(name)
                    .arg(file.sizeAtOpen());
        return false;
    }
    if (!file.readAll(bytes)) {
        error = QStringLiteral("Cannot read \"%1\": %2").arg(name, file.errorString());
        return false;
    }
    return true;
}

namespace {

// The parameters file's values by key; an empty map without --parameters.
struct ParameterFile
{
    QMap<QString, QString> values;
    std::vector<LocationSection> locations;
    QString name;
};

Stop readParameterFile(const CommandLine &commandLine, ParameterFile &file)
{
    const QCommandLineParser &parser = commandLine.parser();
    if (!parser.optionNames().contains(QStringLiteral("parameters"))
        || !parser.isSet(QStringLiteral("parameters")))
        return std::nullopt;
    file.name = parser.value(QStringLiteral("parameters"));
    // The axis and the damage options both read it; one command reads the file once.
    static QHash<QString, ParameterFile> read;
    if (const auto known = read.constFind(file.name); known != read.constEnd()) {
        file = *known;
        return std::nullopt;
    }
    QByteArray bytes;
    QString error;
    if (!ReadInputFile(file.name, MaxTextInputBytes, bytes, error)) {
        PrintMessage(error);
        return ExitRefused;
    }
    if (!IsText(bytes))
        return commandLine.usageError(
            QStringLiteral("the parameters file \"%1\" is not a text file.").arg(file.name));
    // The bytes just read from the file that was checked, never the name opened again.
    if (const QString wrong
        = ParseParameterText(bytes, ParameterKeys, file.values, LocationKeys, &file.locations);
        !wrong.isEmpty())
        return commandLine.usageError(
            QStringLiteral("the parameters file \"%1\": %2.").arg(file.name, wrong));
    read.insert(file.name, file);
    return std::nullopt;
}

// The option's value, else the parameters file's, else none.
std::optional<QString> valueOf(
    const QCommandLineParser &parser, const ParameterFile &file, const QString &name)
{
    if (parser.optionNames().contains(name))
        return parser.value(name);
    if (file.values.contains(name))
        return file.values.value(name);
    return std::nullopt;
}

bool toNumber(const QString &text, double &value)
{
    bool ok = false;
    value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value);
}

// "P,N": a positive and a negative load factor.
bool toPair(const QString &text, double &positive, double &negative)
{
    const QStringList parts = text.split(QLatin1Char(','));
    return parts.size() == 2 && toNumber(parts[0], positive) && toNumber(parts[1], negative);
}

} // namespace

void AddSelectionOptions(QCommandLineParser &parser)
{
    AddRecordOptions(parser, true);
    parser.addOption({QStringLiteral("combine"),
        QStringLiteral("How several records make one period: %1. Over one file, with --all.")
            .arg(NameChoicesHelp(CombineModeNames)),
        QStringLiteral("MODE")});
}

namespace {
// "normal (+3.8/-1.52), utility (+4.4/-1.76), aerobatic (+6.0/-3.0)"
QString categoryLoads()
{
    // At least one decimal, as limit loads are written: 3.8, -3.0.
    const auto loadText = [](double value) {
        QString text = QString::number(value, 'g', 6);
        return text.contains(QLatin1Char('.')) ? text : text + QStringLiteral(".0");
    };
    QStringList items;
    for (const NamedValue<Category> &row : CategoryNames) {
        const LimitLoads loads = CategoryLimitLoads(row.value);
        items << QStringLiteral("%1 (+%2/%3)")
                     .arg(QLatin1String(row.name), loadText(loads.positive),
                         loadText(loads.negative));
    }
    return JoinChoices(items, QStringLiteral(", "));
}
} // namespace

void AddAxisOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("axis"),
        NameChoicesHelp(AxisNames, std::optional(Axis::LoadFactor)) + QLatin1Char('.'),
        QStringLiteral("AXIS"), QStringLiteral("n")});
    AddLimitLoadOptions(parser);
}

void AddLimitLoadOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("category"),
        QStringLiteral("Limit load factors by category: %1.").arg(categoryLoads()),
        QStringLiteral("CATEGORY")});
    parser.addOption({QStringLiteral("limit-loads"),
        QStringLiteral("Limit load factors as numbers, positive then negative: 3.8,-1.52."),
        QStringLiteral("P,N")});
}

void AddParametersOption(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("parameters"),
        QStringLiteral("An INI file with keys named as the options (sigma1=, k=, sd=, nd=, "
                       "below=, su=,\nscatter=, design-life=, max-load=, category=, "
                       "limit-loads=), so that an aircraft's\nstructural data is typed once; "
                       "options given win over it. Each key once in the\nwhole file, whatever "
                       "its section, but for sections [location NAME]: each a\nstructural "
                       "location with its own sigma1=, k=, sd=, nd=, below=, su= (those it\n"
                       "leaves out from before the sections); damage is then given at each."),
        QStringLiteral("FILE")});
}

void AddDamageOptions(QCommandLineParser &parser)
{
    const auto add = [&parser](const char *name, const char *text, const char *value) {
        parser.addOption(
            {QString::fromLatin1(name), QString::fromUtf8(text), QString::fromLatin1(value)});
    };
    add("sigma1", "σ₁: stress at 1 g at the location, MPa (> 0).", "MPA");
    add("k", "Slope k of the S-N curve N = N_D (S_a/S_D)^-k (> 0).", "K");
    add("sd", "S_D: the S-N curve's reference amplitude (endurance limit), MPa (> 0).", "MPA");
    add("nd", "N_D: cycles at S_D (> 0).", "N");
    parser.addOption({QStringLiteral("below"),
        QStringLiteral("Below S_D: %1.")
            .arg(NameChoicesHelp(BelowEnduranceNames, std::optional(BelowEndurance::Elementary))),
        QStringLiteral("VARIANT")});
    add("su", "S_u: ultimate strength for the Goodman mean-stress correction, MPa.", "MPA");
    add("scatter", "Scatter factor SF (>= 1, default 8).", "SF");
    add("design-life", "Design life L in hours: equivalent hours and design-life rate.", "HOURS");
    add("max-load",
        "Bounds beyond the top levels for the upper estimate, positive then negative,\n"
        "e.g. the ultimate load factors: 5.7,-2.28.",
        "P,N");
}

Stop ReadSelection(const CommandLine &commandLine, bool onePeriod, UsageSelection &selection)
{
    const QCommandLineParser &parser = commandLine.parser();
    if (const Stop stop = ReadRecordOptions(commandLine, selection.choice))
        return *stop;
    // ReadRecordOptions takes --all from the options defined; here it must have been given.
    selection.choice.all = parser.isSet(QStringLiteral("all"));
    selection.files = parser.positionalArguments();
    if (selection.files.isEmpty())
        return commandLine.usageError(QStringLiteral("no file given."));
    if (parser.isSet(QStringLiteral("combine"))) {
        if (const Stop stop = ReadNamedValue(commandLine, QStringLiteral("combine"),
                parser.value(QStringLiteral("combine")), CombineModeNames, selection.mode))
            return stop;
        return std::nullopt;
    }
    if (selection.files.size() > 1 || (onePeriod && selection.choice.all))
        return commandLine.usageError(CombineModeChoices
            + QStringLiteral(" Give --combine separate or --combine running")
            + (onePeriod
                    ? QStringLiteral(", or one record with --record N.")
                    : QStringLiteral(", or --all alone for one table per record of one file.")));
    return std::nullopt;
}

Stop ReadAxis(const CommandLine &commandLine, AxisChoice &axis)
{
    const QCommandLineParser &parser = commandLine.parser();
    if (const Stop stop = ReadNamedValue(commandLine, QStringLiteral("axis"),
            parser.value(QStringLiteral("axis")), AxisNames, axis.axis))
        return stop;
    if (const Stop stop = ReadLimitLoads(commandLine, axis.limits))
        return stop;
    if (const Result checked = CheckAxisChoice(axis); !checked.ok())
        return commandLine.usageError(checked.message());
    return std::nullopt;
}

Stop ReadLimitLoads(const CommandLine &commandLine, std::optional<LimitLoads> &limits)
{
    const QCommandLineParser &parser = commandLine.parser();
    ParameterFile file;
    if (const Stop stop = readParameterFile(commandLine, file))
        return *stop;
    const std::optional<QString> category = valueOf(parser, file, QStringLiteral("category"));
    const std::optional<QString> given = valueOf(parser, file, QStringLiteral("limit-loads"));
    if (category && given && parser.isSet(QStringLiteral("category"))
        && parser.isSet(QStringLiteral("limit-loads")))
        return commandLine.usageError(
            QStringLiteral("--category and --limit-loads exclude each other."));
    // An option given wins over the file; between two file keys, the numbers do.
    if (given && !(category && parser.isSet(QStringLiteral("category")))) {
        LimitLoads loads;
        if (!toPair(*given, loads.positive, loads.negative))
            return commandLine.usageError(
                QStringLiteral("--limit-loads wants two numbers, positive then negative "
                               "(3.8,-1.52), not \"%1\".")
                    .arg(MessageValue(*given)));
        limits = loads;
    } else if (category) {
        Category chosen = Category::Normal;
        if (const Stop stop = ReadNamedValue(
                commandLine, QStringLiteral("category"), *category, CategoryNames, chosen))
            return stop;
        limits = CategoryLimitLoads(chosen);
    }
    // Limit loads on the wrong side of 1 g are refused whatever the axis.
    if (const Result checked = CheckAxisChoice({Axis::Fraction, limits}); limits && !checked.ok())
        return commandLine.usageError(checked.message());
    return std::nullopt;
}

namespace {
// The S-N data from the options and `file`; `where` starts each message (a location's name).
Stop readDamage(const CommandLine &commandLine, const ParameterFile &file, bool required,
    DamageParameters &parameters, bool &given, const QString &where)
{
    const QCommandLineParser &parser = commandLine.parser();
    given = false;
    QStringList missing;
    const auto number = [&](const char *name, double &target, bool needed) -> bool {
        const std::optional<QString> text = valueOf(parser, file, QString::fromLatin1(name));
        if (!text) {
            if (needed)
                missing << QStringLiteral("--%1").arg(QString::fromLatin1(name));
            return true;
        }
        given = true;
        return toNumber(*text, target);
    };
    const auto optionalNumber = [&](const char *name, std::optional<double> &target) -> bool {
        double value = 0;
        const std::optional<QString> text = valueOf(parser, file, QString::fromLatin1(name));
        if (!text)
            return true;
        if (!toNumber(*text, value))
            return false;
        target = value;
        return true;
    };
    const auto wrong = [&](const char *name) {
        return commandLine.usageError(where
            + QStringLiteral("--%1 wants a number, not \"%2\".")
                  .arg(QString::fromLatin1(name),
                      MessageValue(
                          valueOf(parser, file, QString::fromLatin1(name)).value_or(QString()))));
    };
    for (const auto &[name, target] :
        {std::pair<const char *, double *> {"sigma1", &parameters.stressPerG},
            {"k", &parameters.slope}, {"sd", &parameters.enduranceStress},
            {"nd", &parameters.enduranceCycles}}) {
        if (!number(name, *target, true))
            return wrong(name);
    }
    if (!number("scatter", parameters.scatterFactor, false))
        return wrong("scatter");
    if (!optionalNumber("su", parameters.ultimateStrength))
        return wrong("su");
    if (!optionalNumber("design-life", parameters.designLife))
        return wrong("design-life");
    if (const std::optional<QString> below = valueOf(parser, file, QStringLiteral("below"))) {
        if (const Stop stop = ReadNamedValue(commandLine, QStringLiteral("below"), *below,
                BelowEnduranceNames, parameters.belowEndurance))
            return stop;
    }
    if (const std::optional<QString> loads = valueOf(parser, file, QStringLiteral("max-load"))) {
        double positive = 0;
        double negative = 0;
        if (!toPair(*loads, positive, negative))
            return commandLine.usageError(where
                + QStringLiteral(
                    "--max-load wants two numbers, positive then negative (5.7,-2.28), "
                    "not \"%1\".")
                      .arg(MessageValue(*loads)));
        parameters.maxLoadPositive = positive;
        parameters.maxLoadNegative = negative;
    }
    for (const char *name : {"below", "su", "scatter", "design-life", "max-load"})
        given = given || valueOf(parser, file, QString::fromLatin1(name)).has_value();
    if (!missing.isEmpty() && (required || given))
        return commandLine.usageError(where
            + QStringLiteral(
                "the S-N data is incomplete: give %1 (or a --parameters file with them).")
                  .arg(missing.join(QStringLiteral(", "))));
    if (!given)
        return std::nullopt;
    if (const Result checked = CheckDamageParameters(parameters); !checked.ok())
        return commandLine.usageError(where + checked.message());
    return std::nullopt;
}
} // namespace

Stop ReadDamageParameters(const CommandLine &commandLine, bool required,
    DamageParameters &parameters, bool &given, std::vector<StructuralLocation> *locations)
{
    const QCommandLineParser &parser = commandLine.parser();
    ParameterFile file;
    if (const Stop stop = readParameterFile(commandLine, file))
        return *stop;
    if (file.locations.empty())
        return readDamage(commandLine, file, required, parameters, given, QString());
    if (!locations)
        return commandLine.usageError(
            QStringLiteral("the parameters file \"%1\" has [location] sections, which this "
                           "command does not take.")
                .arg(file.name));
    for (const QString &key : LocationKeys) {
        if (parser.optionNames().contains(key))
            return commandLine.usageError(
                QStringLiteral("--%1 is given per location in the parameters file \"%2\": give "
                               "it there, in each [location] section or once before them.")
                    .arg(key, file.name));
    }
    locations->clear();
    for (const LocationSection &section : file.locations) {
        ParameterFile at = file;
        for (auto value = section.values.begin(); value != section.values.end(); ++value)
            at.values.insert(value.key(), value.value());
        DamageParameters own;
        bool ownGiven = false;
        if (const Stop stop = readDamage(commandLine, at, true, own, ownGiven,
                QStringLiteral("the location \"%1\" (line %2): ")
                    .arg(MessageValue(section.name))
                    .arg(section.line)))
            return stop;
        locations->push_back({section.name, own});
    }
    if (const Result checked = CheckStructuralLocations(*locations); !checked.ok())
        return commandLine.usageError(checked.message());
    parameters = locations->front().parameters;
    given = true;
    return std::nullopt;
}

Stop ReadOptionOrParameter(
    const CommandLine &commandLine, const QString &name, std::optional<QString> &value)
{
    ParameterFile file;
    if (const Stop stop = readParameterFile(commandLine, file))
        return *stop;
    value = valueOf(commandLine.parser(), file, name);
    return std::nullopt;
}

QStringList UsageInputFiles(const CommandLine &commandLine)
{
    const QCommandLineParser &parser = commandLine.parser();
    QStringList files = parser.positionalArguments();
    for (const QString &option : {QStringLiteral("parameters"), QStringLiteral("reference"),
             QStringLiteral("design-spectrum")}) {
        if (parser.optionNames().contains(option))
            files << parser.values(option);
    }
    return files;
}
