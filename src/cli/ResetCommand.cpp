#include "Cli.h"
#include "RecorderReset.h"

#include <cstdio>

ExitStatus RunReset(const QStringList &arguments)
{
    CommandLine commandLine(QStringLiteral("reset"),
        QStringLiteral("Sends the recorder its counter reset, one \"5\" at 1200 baud 8N1, as the "
                       "reset window's \"Yes\"\ndoes: on COM1, or on COM2 when COM1 cannot be "
                       "opened. ZEMRA_COM1 and ZEMRA_COM2, or the\n[ports] section of %1,\nname "
                       "their devices.")
            .arg(SettingsFilePath()),
        QString());
    commandLine.parser().addOption({QStringLiteral("port"),
        QStringLiteral("This device alone, with no fall-back."), QStringLiteral("DEVICE")});
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    if (!commandLine.parser().positionalArguments().isEmpty())
        return commandLine.usageError(QStringLiteral("takes no arguments but options."));

    const bool named = commandLine.parser().isSet(QStringLiteral("port"));
    // A device named here needs no mapping; without one, a mapping that cannot be used stops
    // the reset before any port is opened.
    const PortMapping mapping = named ? PortMapping() : ConfiguredPortDevices();
    if (!mapping.ok()) {
        PrintMessage(mapping.message());
        return ExitRefused;
    }
    const PortDevices &ports = mapping.devices;
    RecorderReset reset(ports);
    const ResetResult result
        = named ? reset.runOn(commandLine.parser().value(QStringLiteral("port"))) : reset.run();
    const QString where
        = named ? result.device : QStringLiteral("%1 (%2)").arg(result.portName, result.device);
    if (result.ok()) {
        std::printf("Reset sent on %s.\n", qPrintable(where));
        return ExitOk;
    }
    for (const ResetMessage message : result.messages)
        PrintMessage(ResetMessageEnglish(message));
    if (!named && result.messages.contains(ResetMessage::NoPort))
        PrintMessage(QStringLiteral("Ports tried: COM1 (%1), COM2 (%2).")
                         .arg(ports.value(FirstPortName), ports.value(SecondPortName)));
    else
        PrintMessage(QStringLiteral("Port tried: %1.").arg(where));
    return ExitRefused;
}
