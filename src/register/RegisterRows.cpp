#include "RegisterRows.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QStringList>

#include <pwd.h>
#include <unistd.h>

QString NameKey(const QString &name)
{
    return name.trimmed().normalized(QString::NormalizationForm_C).toCaseFolded();
}

namespace {
QString numbered(const QString &prefix, const char *stem, int count)
{
    QStringList columns;
    for (int i = 0; i < count; ++i)
        columns << prefix + QLatin1String(stem) + QString::number(i);
    return columns.join(QStringLiteral(", "));
}

QVariant optionalNumber(const std::optional<double> &value)
{
    return value ? QVariant(*value) : QVariant(QMetaType::fromType<double>());
}

std::optional<double> numberAt(const QSqlQuery &query, int column)
{
    const QVariant value = query.value(column);
    if (value.isNull())
        return std::nullopt;
    return value.toDouble();
}
} // namespace

QString WordsText(const RecordValues &values)
{
    static const char digits[] = "0123456789ABCDEF";
    QString text(RecordWords * 5 - 1, QLatin1Char('|'));
    QChar *at = text.data();
    for (const std::int32_t value : values) {
        for (int shift = 12; shift >= 0; shift -= 4)
            *at++ = QLatin1Char(digits[(value >> shift) & 0xf]);
        ++at;
    }
    return text;
}

bool WordsFromText(const QString &text, RecordValues &values)
{
    if (text.size() != RecordWords * 5 - 1)
        return false;
    const QChar *at = text.constData();
    for (int word = 0; word < RecordWords; ++word) {
        if (word > 0 && *at++ != QLatin1Char('|'))
            return false;
        std::int32_t value = 0;
        for (int digit = 0; digit < 4; ++digit) {
            const char16_t c = (at++)->unicode();
            if (c >= '0' && c <= '9')
                value = value * 16 + (c - '0');
            else if (c >= 'A' && c <= 'F')
                value = value * 16 + (c - 'A' + 10);
            else
                return false;
        }
        values[word] = value;
    }
    return true;
}

QString CountColumns()
{
    return numbered(QString(), "c", LevelCount);
}

QString DamageColumns(const QString &prefix)
{
    QStringList columns;
    for (const char *column : {"refused", "d_counted", "upper_missing", "d_upper"})
        columns << prefix + QLatin1String(column);
    return columns.join(QStringLiteral(", "));
}

QString StructureColumnList(const QString &prefix)
{
    QStringList columns;
    for (const StructureColumn &column : StructureColumns)
        columns << prefix + QLatin1String(column.column);
    return columns.join(QStringLiteral(", "));
}

QString UsageTotalsSelect()
{
    QStringList sums;
    for (const QString &column :
        (CountColumns() + QStringLiteral(", active_seconds, ") + DamageColumns())
            .split(QStringLiteral(", ")))
        sums << QStringLiteral("SUM(%1)").arg(column);
    return QStringLiteral("SELECT aircraft_id, SUM(readouts), MIN(taken_on), MAX(taken_on), ")
        + sums.join(QStringLiteral(", ")) + QStringLiteral(" FROM usage_by_day");
}

QString DaysWhere(
    const std::optional<QDate> &since, std::optional<qint64> aircraft, QVariantList &values)
{
    QStringList conditions;
    if (since)
        conditions << QStringLiteral("taken_on >= ?"), values << DateText(*since);
    if (aircraft)
        conditions << QStringLiteral("aircraft_id = ?"), values << *aircraft;
    return conditions.isEmpty()
        ? QString()
        : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
}

QString Assignments(const QString &columns)
{
    QStringList assignments;
    for (const QString &column : columns.split(QStringLiteral(", ")))
        assignments << column + QStringLiteral(" = ?");
    return assignments.join(QStringLiteral(", "));
}

std::vector<QVariant> StructureValues(const StructuralData &structure)
{
    std::vector<QVariant> values;
    const std::optional<DamageParameters> &damage = structure.damage;
    const auto field = [&damage](auto member) -> std::optional<double> {
        if (!damage)
            return std::nullopt;
        return (*damage).*member;
    };
    values.push_back(optionalNumber(field(&DamageParameters::stressPerG)));
    values.push_back(optionalNumber(field(&DamageParameters::slope)));
    values.push_back(optionalNumber(field(&DamageParameters::enduranceStress)));
    values.push_back(optionalNumber(field(&DamageParameters::enduranceCycles)));
    values.push_back(damage ? QVariant(BelowEnduranceName(damage->belowEndurance))
                            : QVariant(QMetaType::fromType<QString>()));
    values.push_back(optionalNumber(damage ? damage->ultimateStrength : std::nullopt));
    values.push_back(optionalNumber(field(&DamageParameters::scatterFactor)));
    values.push_back(optionalNumber(damage ? damage->designLife : std::nullopt));
    values.push_back(optionalNumber(damage ? damage->maxLoadPositive : std::nullopt));
    values.push_back(optionalNumber(damage ? damage->maxLoadNegative : std::nullopt));
    values.push_back(optionalNumber(
        structure.limits ? std::optional<double>(structure.limits->positive) : std::nullopt));
    values.push_back(optionalNumber(
        structure.limits ? std::optional<double>(structure.limits->negative) : std::nullopt));
    values.push_back(structure.locations.empty() ? QVariant(QMetaType::fromType<QString>())
                                                 : QVariant(LocationsText(structure.locations)));
    return values;
}

StructuralData ReadStructure(const QSqlQuery &query, int first, bool &valid)
{
    StructuralData structure;
    valid = true;
    const std::optional<double> sigma = numberAt(query, first);
    const std::optional<double> slope = numberAt(query, first + 1);
    const std::optional<double> stress = numberAt(query, first + 2);
    const std::optional<double> cycles = numberAt(query, first + 3);
    if (sigma && slope && stress && cycles) {
        DamageParameters damage;
        damage.stressPerG = *sigma;
        damage.slope = *slope;
        damage.enduranceStress = *stress;
        damage.enduranceCycles = *cycles;
        const std::optional<BelowEndurance> below
            = BelowEnduranceFromName(query.value(first + 4).toString());
        valid = valid && below.has_value();
        damage.belowEndurance = below.value_or(BelowEndurance::Elementary);
        damage.ultimateStrength = numberAt(query, first + 5);
        damage.scatterFactor = numberAt(query, first + 6).value_or(8);
        damage.designLife = numberAt(query, first + 7);
        damage.maxLoadPositive = numberAt(query, first + 8);
        damage.maxLoadNegative = numberAt(query, first + 9);
        valid = valid && damage.maxLoadPositive.has_value() == damage.maxLoadNegative.has_value()
            && CheckDamageParameterValues(damage).ok();
        structure.damage = damage;
    } else {
        valid = !sigma && !slope && !stress && !cycles;
    }
    const std::optional<double> positive = numberAt(query, first + 10);
    const std::optional<double> negative = numberAt(query, first + 11);
    if (positive && negative) {
        structure.limits = LimitLoads {*positive, *negative};
        valid = valid && CheckAxisChoice(AxisChoice {Axis::Fraction, structure.limits}).ok();
    } else {
        valid = valid && !positive && !negative;
    }
    if (const QVariant locations = query.value(first + 12); !locations.isNull()) {
        valid = valid && structure.damage
            && LocationsFromText(locations.toString(), *structure.damage, structure.locations);
        if (valid)
            structure.damage = structure.locations.front().parameters;
    }
    return structure;
}

bool IsRegisterDate(const QDate &date)
{
    return date.isValid() && date.year() >= 1 && date.year() <= 9999;
}

QString DateText(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QDate DateFromText(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));
    if (!form.match(text).hasMatch())
        return {};
    return QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
}

QString UtcNow()
{
    return QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss'Z'"));
}

bool IsUtcTime(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}Z$"));
    return form.match(text).hasMatch()
        && QDateTime::fromString(text, QStringLiteral("yyyy-MM-ddTHH:mm:ss'Z'")).isValid();
}

QString LoginName()
{
    for (const char *variable : {"LOGNAME", "USER"}) {
        const QString name = qEnvironmentVariable(variable);
        if (!name.isEmpty())
            return name;
    }
    if (const passwd *entry = ::getpwuid(::getuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return QStringLiteral("uid %1").arg(::getuid());
}

namespace {
// The characters a name cannot be told by when it is read: they look like nothing, like a space
// or like a hyphen, so that two registrations that differ only by one would look the same.
const char *confusableName(char32_t c)
{
    switch (c) {
    case 0x00A0:
        return "NO-BREAK SPACE";
    case 0x00AD:
        return "SOFT HYPHEN";
    case 0x061C:
        return "ARABIC LETTER MARK";
    case 0x180E:
        return "MONGOLIAN VOWEL SEPARATOR";
    case 0x200B:
        return "ZERO WIDTH SPACE";
    case 0x200C:
        return "ZERO WIDTH NON-JOINER";
    case 0x200D:
        return "ZERO WIDTH JOINER";
    case 0x200E:
        return "LEFT-TO-RIGHT MARK";
    case 0x200F:
        return "RIGHT-TO-LEFT MARK";
    case 0x2010:
        return "HYPHEN";
    case 0x2011:
        return "NON-BREAKING HYPHEN";
    case 0x2012:
        return "FIGURE DASH";
    case 0x2013:
        return "EN DASH";
    case 0x2014:
        return "EM DASH";
    case 0x2015:
        return "HORIZONTAL BAR";
    case 0x202A:
        return "LEFT-TO-RIGHT EMBEDDING";
    case 0x202B:
        return "RIGHT-TO-LEFT EMBEDDING";
    case 0x202C:
        return "POP DIRECTIONAL FORMATTING";
    case 0x202D:
        return "LEFT-TO-RIGHT OVERRIDE";
    case 0x202E:
        return "RIGHT-TO-LEFT OVERRIDE";
    case 0x202F:
        return "NARROW NO-BREAK SPACE";
    case 0x2060:
        return "WORD JOINER";
    case 0x2066:
        return "LEFT-TO-RIGHT ISOLATE";
    case 0x2067:
        return "RIGHT-TO-LEFT ISOLATE";
    case 0x2068:
        return "FIRST STRONG ISOLATE";
    case 0x2069:
        return "POP DIRECTIONAL ISOLATE";
    case 0x2212:
        return "MINUS SIGN";
    case 0x3000:
        return "IDEOGRAPHIC SPACE";
    case 0xFE63:
        return "SMALL HYPHEN-MINUS";
    case 0xFEFF:
        return "ZERO WIDTH NO-BREAK SPACE";
    case 0xFF0D:
        return "FULLWIDTH HYPHEN-MINUS";
    default:
        return nullptr;
    }
}

// "U+200B ZERO WIDTH SPACE" for a character a name may not hold, else empty.
QString refusedCharacter(char32_t c)
{
    const QString point = QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
    if (const char *name = confusableName(c))
        return point + QLatin1Char(' ') + QLatin1String(name);
    switch (QChar::category(c)) {
    case QChar::Other_Format: // invisible: direction marks, joiners, tags
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return point;
    case QChar::Separator_Space: // every space but the plain one
    case QChar::Punctuation_Dash: // every dash but the plain hyphen-minus
        return c == U' ' || c == U'-' ? QString() : point;
    default:
        return {};
    }
}
} // namespace

QString NameProblem(const QString &name, const QString &what, int maxLength)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return QStringLiteral("The %1 is empty.").arg(what);
    if (trimmed.size() > maxLength)
        return QStringLiteral("The %1 \"%2\" is longer than %3 characters.")
            .arg(what, trimmed, QString::number(maxLength));
    for (const char32_t c : trimmed.toUcs4()) {
        if (QChar::category(c) == QChar::Other_Control)
            return QStringLiteral("The %1 \"%2\" holds a control character (U+%3).")
                .arg(what, trimmed,
                    QStringLiteral("%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper());
        if (const QString refused = refusedCharacter(c); !refused.isEmpty())
            return QStringLiteral("The %1 \"%2\" holds %3, which looks like another character "
                                  "or like none; type it with plain letters, digits, spaces and "
                                  "hyphens.")
                .arg(what, trimmed, refused);
    }
    return {};
}
