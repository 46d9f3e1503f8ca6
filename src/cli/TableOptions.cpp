#include "TableOptions.h"

void AddTableFormatOption(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("format"),
        NameChoicesHelp(TableFormatNames, std::optional(TableFormat::Text)) + QLatin1Char('.'),
        QStringLiteral("FORMAT"), QStringLiteral("text")});
}

Stop ReadTableFormat(const CommandLine &commandLine, TableFormat &format)
{
    const QString name = commandLine.parser().value(QStringLiteral("format"));
    if (const std::optional<TableFormat> named = ValueNamed(TableFormatNames, name)) {
        format = *named;
        return std::nullopt;
    }
    return commandLine.usageError(
        QStringLiteral("unknown format \"%1\": %2.").arg(name, NameChoices(TableFormatNames)));
}

ExitStatus FinishOutput(Output &output, ExitStatus status)
{
    if (!output.flush())
        return StandardOutputFailed();
    return status;
}
