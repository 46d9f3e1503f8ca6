#include "UsageInput.h"

// The reference spectra of --reference and the design spectrum of --design-spectrum.

void AddReferenceOption(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("reference"),
        QStringLiteral("A reference spectrum (CSV, see the manual page); may be repeated. One on "
                       "axis a\nneeds --category or --limit-loads."),
        QStringLiteral("FILE")});
}

namespace {
// One reference file read and parsed; `what` names it in the usage error of axis a.
Stop readReference(const CommandLine &commandLine, const QString &name, const QString &what,
    const std::optional<LimitLoads> &limits, ReferenceSpectrum &spectrum)
{
    QByteArray bytes;
    QString error;
    if (!ReadInputFile(name, MaxTextInputBytes, bytes, error)) {
        PrintMessage(error);
        return ExitRefused;
    }
    ReferenceReadResult read = ParseReferenceSpectrum(bytes, name);
    if (!read.ok()) {
        PrintMessage(read.message());
        return ExitRefused;
    }
    // Without limit loads no level has a place on the fraction axis: nothing to compare.
    if (read.spectrum.axis == Axis::Fraction && !limits)
        return commandLine.usageError(
            QStringLiteral("the %1 \"%2\" is on axis a, which needs the limit load factors: "
                           "give --category or --limit-loads.")
                .arg(what, name));
    spectrum = std::move(read.spectrum);
    return std::nullopt;
}
} // namespace

Stop ReadReferences(const CommandLine &commandLine, const AxisChoice &axis,
    std::vector<ReferenceSpectrum> &references)
{
    for (const QString &name : commandLine.parser().values(QStringLiteral("reference"))) {
        ReferenceSpectrum spectrum;
        if (const Stop stop
            = readReference(commandLine, name, QStringLiteral("reference"), axis.limits, spectrum))
            return stop;
        references.push_back(std::move(spectrum));
    }
    return std::nullopt;
}

void AddDesignSpectrumOption(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("design-spectrum"),
        QStringLiteral("The design spectrum (a reference spectrum file): its damage per 1000 h "
                       "and the\nseverity against it. One on axis a needs --category or "
                       "--limit-loads."),
        QStringLiteral("FILE")});
}

Stop ReadDesignSpectrum(const CommandLine &commandLine, const std::optional<LimitLoads> &limits,
    std::optional<ReferenceSpectrum> &design)
{
    const QCommandLineParser &parser = commandLine.parser();
    if (!parser.isSet(QStringLiteral("design-spectrum")))
        return std::nullopt;
    ReferenceSpectrum spectrum;
    if (const Stop stop
        = readReference(commandLine, parser.value(QStringLiteral("design-spectrum")),
            QStringLiteral("design spectrum"), limits, spectrum))
        return stop;
    design = std::move(spectrum);
    return std::nullopt;
}
