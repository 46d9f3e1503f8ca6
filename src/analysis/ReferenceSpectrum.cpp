#include "ReferenceSpectrum.h"

#include "TextFields.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

// The provenance fields in the order the messages list them; "table" stands for either word.
const std::array<QLatin1String, 6> ProvenanceFields
    = {QLatin1String("name"), QLatin1String("source"), QLatin1String("table"),
        QLatin1String("page"), QLatin1String("normalisation"), QLatin1String("axis")};

QString unquoted(QString value)
{
    value = value.trimmed();
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        value = value.mid(1, value.size() - 2).replace(QLatin1String("\"\""), QLatin1String("\""));
    return value;
}

// A value on the right side of 1 g for its branch.
bool onBranchSide(double value, Branch branch, Axis axis)
{
    if (axis == Axis::Fraction)
        return value > 0;
    const double inner = axis == Axis::LoadFactor ? 1.0 : 0.0;
    return branch == Branch::Positive ? value > inner : value < inner;
}

QString sideText(Branch branch, Axis axis)
{
    if (axis == Axis::Fraction)
        return QStringLiteral("a above 0");
    const QString above
        = branch == Branch::Positive ? QStringLiteral("above") : QStringLiteral("below");
    return axis == Axis::LoadFactor ? QStringLiteral("n %1 1").arg(above)
                                    : QStringLiteral("dn %1 0").arg(above);
}

class Parser
{
public:
    explicit Parser(const QString &fileName) { m_spectrum.fileName = fileName; }

    // Empty when the line was taken, otherwise what is wrong with it.
    QString line(const QString &text, int number);
    QString finish();
    ReferenceSpectrum &spectrum() { return m_spectrum; }

private:
    QString field(const QString &key, const QString &value, int number);
    QString missingField() const;
    QString row(const QStringList &fields);

    ReferenceSpectrum m_spectrum;
    std::array<int, ProvenanceFields.size()> m_fieldLines {}; // 0 while a field is missing
    bool m_inRows = false;
    std::array<int, 2> m_direction {}; // per branch: +1 rising, -1 falling, 0 not known yet
};

QString Parser::line(const QString &text, int number)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
        return {};
    const qsizetype comma = trimmed.indexOf(QLatin1Char(','));
    const QString key = trimmed.left(comma).trimmed().toLower();
    if (key == QLatin1String("positive") || key == QLatin1String("negative")) {
        if (!m_inRows) {
            if (const QString missing = missingField(); !missing.isEmpty())
                return missing + QStringLiteral(" before the first row");
            m_inRows = true;
        }
        return row(trimmed.split(QLatin1Char(',')));
    }
    if (m_inRows)
        return QStringLiteral("\"%1\" after the rows: a row starts with positive or negative")
            .arg(MessageValue(trimmed.left(comma)));
    if (key == QLatin1String("branch"))
        return {}; // the column heading
    if (comma < 0)
        return QStringLiteral("\"%1\" is neither a field with its value nor a row")
            .arg(MessageValue(trimmed));
    return field(key, unquoted(trimmed.mid(comma + 1)), number);
}

QString Parser::field(const QString &key, const QString &value, int number)
{
    const QString name = key == QLatin1String("figure") ? QStringLiteral("table") : key;
    const auto known = std::find(ProvenanceFields.begin(), ProvenanceFields.end(), name);
    if (known == ProvenanceFields.end())
        return QStringLiteral("unknown field \"%1\"; the fields are name, source, table (or "
                              "figure), page, normalisation and axis")
            .arg(MessageValue(key));
    int &seen = m_fieldLines[known - ProvenanceFields.begin()];
    if (seen != 0)
        return QStringLiteral("the field \"%1\" again (first on line %2)").arg(key).arg(seen);
    if (value.isEmpty())
        return QStringLiteral("the field \"%1\" is empty").arg(key);
    // Provenance is printed in tables, legends and reports: a control character there would
    // reach the terminal (a title, a colour) or break a line of the output.
    if (EscapeControls(value, false) != value)
        return QStringLiteral("the field \"%1\" holds a control character: \"%2\"")
            .arg(key, MessageValue(value));
    seen = number;

    if (name == QLatin1String("name"))
        m_spectrum.name = value;
    else if (name == QLatin1String("source"))
        m_spectrum.source = value;
    else if (name == QLatin1String("table"))
        m_spectrum.tableOrFigure = value;
    else if (name == QLatin1String("page"))
        m_spectrum.page = value;
    else if (name == QLatin1String("normalisation")) {
        if (value.simplified().toLower() != QLatin1String("per 1000 h"))
            return QStringLiteral("the normalisation must be \"per 1000 h\", not \"%1\"")
                .arg(MessageValue(value));
    } else {
        const std::optional<Axis> axis = AxisFromName(value);
        if (!axis)
            return QStringLiteral("unknown axis \"%1\"; the axes are n, dn and a")
                .arg(MessageValue(value));
        m_spectrum.axis = *axis;
    }
    return {};
}

QString Parser::missingField() const
{
    for (std::size_t i = 0; i < ProvenanceFields.size(); ++i) {
        if (m_fieldLines[i] == 0)
            return QStringLiteral("the provenance field \"%1\" is missing")
                .arg(ProvenanceFields[i]);
    }
    return {};
}

QString Parser::row(const QStringList &fields)
{
    if (fields.size() != 3)
        return QStringLiteral("a row has 3 fields (branch, value, exceedances), not %1")
            .arg(fields.size());
    const Branch branch = fields[0].trimmed().toLower() == QLatin1String("positive")
        ? Branch::Positive
        : Branch::Negative;
    bool valueOk = false;
    bool exceedancesOk = false;
    const double value = fields[1].trimmed().toDouble(&valueOk);
    const double exceedances = fields[2].trimmed().toDouble(&exceedancesOk);
    if (!valueOk || !std::isfinite(value))
        return QStringLiteral("the axis value \"%1\" is not a number")
            .arg(MessageValue(fields[1].trimmed()));
    if (!exceedancesOk || !std::isfinite(exceedances))
        return QStringLiteral("the exceedances \"%1\" are not a number")
            .arg(MessageValue(fields[2].trimmed()));
    if (!(exceedances > 0))
        return QStringLiteral("the exceedances must be positive, not %1")
            .arg(MessageValue(fields[2].trimmed()));
    if (!onBranchSide(value, branch, m_spectrum.axis))
        return QStringLiteral("the axis value %1 is not on the %2 branch (%3)")
            .arg(MessageValue(fields[1].trimmed()), fields[0].trimmed().toLower(),
                sideText(branch, m_spectrum.axis));

    std::vector<ReferencePoint> &points
        = branch == Branch::Positive ? m_spectrum.positive : m_spectrum.negative;
    if (!points.empty()) {
        const double previous = points.back().axisValue;
        const int step = value > previous ? 1 : value < previous ? -1 : 0;
        int &direction = m_direction[branch == Branch::Positive];
        if (step == 0 || (direction != 0 && step != direction))
            return QStringLiteral("the axis value %1 after %2: a branch's values must rise or "
                                  "fall throughout")
                .arg(MessageValue(fields[1].trimmed()))
                .arg(previous);
        direction = step;
    }
    points.push_back({value, exceedances});
    return {};
}

QString Parser::finish()
{
    if (const QString missing = missingField(); !missing.isEmpty())
        return missing;
    if (m_spectrum.positive.empty() && m_spectrum.negative.empty())
        return QStringLiteral("no rows of exceedances");
    // Outward: away from 1 g on the axis.
    for (Branch branch : {Branch::Positive, Branch::Negative}) {
        auto &points = branch == Branch::Positive ? m_spectrum.positive : m_spectrum.negative;
        const double inner = m_spectrum.axis == Axis::LoadFactor ? 1.0 : 0.0;
        if (points.size() > 1
            && std::abs(points.front().axisValue - inner)
                > std::abs(points.back().axisValue - inner))
            std::reverse(points.begin(), points.end());
    }
    return {};
}

} // namespace

ReferenceReadResult ParseReferenceSpectrum(const QByteArray &bytes, const QString &fileName)
{
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList lines = text.split(QLatin1Char('\n'));
    Parser parser(fileName);
    ReferenceReadResult result;
    const auto refuse = [&](int line, const QString &what) {
        result.setFailure(Result::Invalid,
            QStringLiteral("Not a valid reference spectrum in \"%1\" (line %2): %3.")
                .arg(fileName)
                .arg(line)
                .arg(what));
        return result;
    };
    for (int i = 0; i < lines.size(); ++i) {
        if (const QString wrong = parser.line(lines[i], i + 1); !wrong.isEmpty())
            return refuse(i + 1, wrong);
    }
    // A final line end leaves an empty last piece that is no line of its own.
    const int lastLine = int(lines.size()) - (lines.last().isEmpty() && lines.size() > 1);
    if (const QString wrong = parser.finish(); !wrong.isEmpty())
        return refuse(lastLine, wrong);
    result.spectrum = std::move(parser.spectrum());
    return result;
}

std::optional<double> ReferenceAt(const std::vector<ReferencePoint> &branch, double axisValue)
{
    // A level converted to another axis is off by a rounding step (1.4 - 1 is not quite 0.4):
    // within that distance a point counts as hit.
    const auto near = [&](double a) {
        return std::abs(a - axisValue) <= 1e-9 * std::max(1.0, std::abs(axisValue));
    };
    for (std::size_t i = 0; i < branch.size(); ++i) {
        if (near(branch[i].axisValue))
            return branch[i].per1000h;
        if (i == 0)
            continue;
        const ReferencePoint &a = branch[i - 1];
        const ReferencePoint &b = branch[i];
        if ((axisValue - a.axisValue) * (axisValue - b.axisValue) < 0) {
            const double t = (axisValue - a.axisValue) / (b.axisValue - a.axisValue);
            const double logA = std::log10(a.per1000h);
            return std::pow(10.0, logA + t * (std::log10(b.per1000h) - logA));
        }
    }
    return std::nullopt;
}

ReferenceComparison CompareWithReference(
    const ExceedanceTable &table, const ReferenceSpectrum &reference)
{
    ReferenceComparison comparison;
    if (!table.ok()) {
        comparison.setFailure(table.failure(), table.message());
        return comparison;
    }
    const AxisChoice axis {reference.axis, table.axis.limits};
    if (const Result checked = CheckAxisChoice(axis); !checked.ok()) {
        comparison.setFailure(checked.failure(),
            QStringLiteral("The reference \"%1\" (%2): %3")
                .arg(reference.name, reference.fileName, checked.message()));
        return comparison;
    }
    for (Branch branch : {Branch::Positive, Branch::Negative}) {
        std::optional<int> &firstAbove = branch == Branch::Positive ? comparison.firstAbovePositive
                                                                    : comparison.firstAboveNegative;
        for (int level : OutwardLevels(branch)) {
            const ExceedanceRow &row = table.rows[level];
            const std::optional<double> value = ReferenceAt(
                reference.branch(branch), AxisValue(LoadLevels[level].n, branch, axis));
            if (!value)
                continue;
            comparison.reference[level] = value;
            comparison.ratio[level] = row.per1000h / *value;
            if (!firstAbove && row.per1000h > *value)
                firstAbove = level;
        }
    }
    return comparison;
}

std::vector<ReferenceComparison> CompareWithReferences(
    const ExceedanceTable &table, const std::vector<ReferenceSpectrum> &references)
{
    std::vector<ReferenceComparison> comparisons;
    comparisons.reserve(references.size());
    for (const ReferenceSpectrum &reference : references)
        comparisons.push_back(CompareWithReference(table, reference));
    return comparisons;
}
