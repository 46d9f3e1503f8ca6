#include "DesignTables.h"

#include "TextFields.h"

namespace {
QString levelList(const std::vector<int> &levels)
{
    QStringList names;
    for (int level : levels)
        names << LevelName(level);
    return names.join(QStringLiteral(", "));
}

struct NamedDesignEstimate
{
    const char *name;
    const DamageEstimate &estimate;
};
} // namespace

TableColumn DesignDamageColumn()
{
    return TableColumn(QStringLiteral("design damage per 1000h"), CellKind::Number,
        QStringLiteral("design D per 1000 h"));
}

TableColumn SeverityColumn()
{
    return TableColumn(QStringLiteral("severity"), CellKind::Number, QStringLiteral("severity"));
}

TableColumn DesignLifeRateColumn()
{
    return TableColumn(
        QStringLiteral("design life rate"), CellKind::Number, QStringLiteral("design-life rate"));
}

QString DesignProvenanceText(const ReferenceSpectrum &spectrum)
{
    return QStringLiteral("\"%1\" (%2): %3, %4, page %5, axis %6")
        .arg(spectrum.name, spectrum.fileName, spectrum.source, spectrum.tableOrFigure,
            spectrum.page, AxisName(spectrum.axis));
}

QStringList DesignDamageLines(const DesignComparison &design)
{
    const DesignDamage &damage = design.damage;
    QStringList lines {
        QStringLiteral("Design spectrum %1").arg(DesignProvenanceText(design.spectrum))};
    if (!damage.outside.empty())
        lines
            << QStringLiteral("  outside its range, counted 0: %1").arg(levelList(damage.outside));
    for (const RaisedSample &raised : damage.raised)
        lines << QStringLiteral("  %1: %2 per 1000 h, fewer than further out; raised to %3")
                     .arg(LevelName(raised.level), ShortNumber(raised.sampled),
                         ShortNumber(raised.raisedTo));
    for (const NamedDesignEstimate &named : {NamedDesignEstimate {"counted", damage.counted},
             NamedDesignEstimate {"upper", damage.upper}}) {
        lines << (named.estimate.available
                ? QStringLiteral("  design D per 1000 h, %1: %2")
                      .arg(QLatin1String(named.name), ShortNumber(named.estimate.damagePer1000h))
                : QStringLiteral("  design D per 1000 h, %1: not available: %2")
                      .arg(QLatin1String(named.name), named.estimate.unavailableReason));
    }
    return lines;
}

TableCell SeverityCell(const SeverityFigure &figure)
{
    return figure.value ? TableCell(*figure.value) : TableCell::empty(Dash);
}

QStringList SeverityNotes(const Severity &severity)
{
    QStringList notes;
    for (const auto &[name, figure] : {std::pair(QStringLiteral("counted"), severity.counted),
             std::pair(QStringLiteral("upper"), severity.upper)}) {
        if (!figure.value)
            notes << QStringLiteral("No severity, %1: %2.").arg(name, figure.reason);
    }
    return notes;
}

QByteArray DesignJson(const DesignComparison &design)
{
    const ReferenceSpectrum &spectrum = design.spectrum;
    const DesignDamage &damage = design.damage;
    QByteArray out = "{\"file\":" + JsonString(spectrum.fileName) + ",\"name\":"
        + JsonString(spectrum.name) + ",\"source\":" + JsonString(spectrum.source) + ",\"table\":"
        + JsonString(spectrum.tableOrFigure) + ",\"page\":" + JsonString(spectrum.page)
        + ",\"axis\":" + JsonString(AxisName(spectrum.axis)) + ",\"outside\":[";
    for (size_t i = 0; i < damage.outside.size(); ++i)
        out += (i ? "," : "") + QByteArray(LoadLevels[damage.outside[i]].text);
    out += "],\"sampled\":[";
    for (int level = 0; level < LevelCount; ++level)
        out += (level ? "," : "") + NumberText(damage.sampled[level]);
    out += "],\"raised\":[";
    for (size_t i = 0; i < damage.raised.size(); ++i) {
        const RaisedSample &raised = damage.raised[i];
        out += (i ? ",{\"level\":" : "{\"level\":") + QByteArray(LoadLevels[raised.level].text)
            + ",\"sampled\":" + NumberText(raised.sampled)
            + ",\"raisedTo\":" + NumberText(raised.raisedTo) + '}';
    }
    out += ']';
    const QByteArray key = JsonString(JsonKey(DesignDamageColumn())) + ':';
    for (const NamedDesignEstimate &named : {NamedDesignEstimate {"counted", damage.counted},
             NamedDesignEstimate {"upper", damage.upper}}) {
        out += ",\"" + QByteArray(named.name) + "\":";
        out += named.estimate.available
            ? "{\"available\":true," + key + NumberText(named.estimate.damagePer1000h) + '}'
            : "{\"available\":false,\"reason\":" + JsonString(named.estimate.unavailableReason)
                + '}';
    }
    return out + '}';
}
