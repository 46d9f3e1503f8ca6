#include "Cli.h"

#include <QFile>

// Every record of every file, with the reader the windows use. Text after the last whole record
// other than white space is taken as the start of another record, so a damaged or cut-off
// trailer refuses the file with the reader's message naming the value and its line.
ExitStatus RunCheck(const QStringList &arguments)
{
    CommandLine commandLine(QStringLiteral("check"),
        QStringLiteral("Reads every record of each file and prints \"FILE: N records\", or the "
                       "reader's message\nnaming the value and line at fault."),
        QStringLiteral("FILE..."));
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    const QStringList files = commandLine.parser().positionalArguments();
    if (files.isEmpty())
        return commandLine.usageError(QStringLiteral("no file given."));

    Output output;
    ExitStatus status = ExitOk;
    for (const QString &fileName : files) {
        QFile file;
        if (const Result opened = OpenRecordFile(fileName, file); !opened.ok()) {
            output.flush(); // the files in the order given, also on a terminal
            PrintMessage(OpenFailureText(fileName, opened));
            status = ExitRefused;
            continue;
        }
        RecordReader reader(file, fileName);
        ReadResult result;
        // A file holds at least one record.
        do
            result = reader.next();
        while (result.ok() && !reader.atEnd());
        if (!result.ok()) {
            output.flush();
            PrintMessage(result.message());
            status = ExitRefused;
            continue;
        }
        const qint64 count = reader.nextRecord() - 1;
        output.buffer().append(
            QStringLiteral("%1: %2 %3\n")
                .arg(fileName)
                .arg(count)
                .arg(count == 1 ? QStringLiteral("record") : QStringLiteral("records"))
                .toLocal8Bit());
        output.written();
    }
    if (!output.flush())
        return StandardOutputFailed();
    return status;
}
