#include "Bench.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Peak resident memory of `zemra-cli import` of a 143 MB export: 20 aircraft of 25,000
// read-outs each, into a fresh SQLite register. The import reads the document a piece at a
// time, so that its peak does not grow with the document.
namespace {
constexpr int Aircraft = 20;
constexpr int ReadoutsEach = 25'000;
constexpr double TargetMb = 200;

// The export written directly, one read-out a line as the export writes it.
bool writeExport(const QString &path, qint64 &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray out = "{\"format\":\"zemra-register\",\"version\":1,\n\"types\":[],\n\"aircraft\":[";
    qint64 id = 0;
    for (int plane = 0; plane < Aircraft; ++plane) {
        out += (plane ? ",\n" : "\n");
        out += "{\"registration\":\"D-E" + QByteArray::number(1000 + plane)
            + "\",\"type\":null,\"combine\":\"running\",\"created\":\"2024-01-01T00:00:00Z\","
              "\"changed\":\"2024-01-01T00:00:00Z\",\"structure\":null,\"readouts\":[";
        for (int i = 0; i < ReadoutsEach; ++i) {
            out += (i ? ",\n" : "\n");
            const int day = i / 10;
            out += "{\"id\":" + QByteArray::number(++id) + ",\"taken\":\""
                + QDate(2000, 1, 1).addDays(day).toString(Qt::ISODate).toLatin1()
                + "\",\"words\":[";
            for (int w = 0; w < 22; ++w)
                out += (w ? "," : "")
                    + QByteArray::number(w < 18 ? (i + w) % 60000 : (7 * i) % 43200);
            out += "],\"file\":\"flight-" + QByteArray::number(i / 100)
                + ".dat\",\"record\":" + QByteArray::number(i % 100 + 1)
                + ",\"added\":\"2024-01-02T00:00:00Z\",\"addedBy\":\"engineer\"}";
            if (out.size() > (1 << 20)) {
                if (file.write(out) != out.size())
                    return false;
                out.clear();
            }
        }
        out += "]}";
    }
    out += "]}\n";
    const bool written = file.write(out) == out.size();
    bytes = file.size();
    return written;
}

// The peak resident set of one zemra-cli run, in kB; -1 when it failed.
long peakKilobytes(const QStringList &arguments)
{
    std::vector<QByteArray> texts {QByteArray(ZEMRA_CLI)};
    for (const QString &argument : arguments)
        texts.push_back(QFile::encodeName(argument));
    std::vector<char *> argv;
    for (QByteArray &text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::freopen("/dev/null", "w", stdout);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage {};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status)
        || WEXITSTATUS(status) != 0)
        return -1;
    return usage.ru_maxrss;
}
} // namespace

ZEMRA_BENCHMARK(importMemory)
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/zemra-bench-import-XXXXXX"));
    const QString document = dir.filePath(QStringLiteral("export.json"));
    qint64 bytes = 0;
    const QString target = QStringLiteral("at most %1 MB").arg(TargetMb);
    const QString name = QStringLiteral("Peak memory of import");
    if (!writeExport(document, bytes)) {
        bench::Report(
            name, QStringLiteral("not measured: the export cannot be written"), target, false);
        return;
    }
    const long kilobytes = peakKilobytes({QStringLiteral("import"), QStringLiteral("--register"),
        dir.filePath(QStringLiteral("r.sqlite")), document});
    if (kilobytes < 0) {
        bench::Report(name, QStringLiteral("not measured: zemra-cli import failed"), target, false);
        return;
    }
    const double mb = kilobytes / 1024.0;
    bench::Report(name,
        QStringLiteral("%1 MB for a %2 MB export of %3 read-outs")
            .arg(mb, 0, 'f', 1)
            .arg(bytes / 1e6, 0, 'f', 0)
            .arg(qint64(Aircraft) * ReadoutsEach),
        target, mb <= TargetMb);
}
