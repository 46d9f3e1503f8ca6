#include "FleetRegister.h"

#include "CounterRecord.h"
#include "Register.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace bench {

namespace {
// Four ways of flying, each a file per read-out of running totals: aircraft i flies the
// (i % 4)-th. A read-out belongs to one aircraft, so each aircraft's records carry its number in
// the battery clock, which neither counts nor hours see; the files are written again for each
// aircraft.
bool make(const QString &path, const QDir &folder)
{
    OpenedRegister opened
        = Register::open(ParseRegisterLocation(path).location, Register::Access::Write);
    if (!opened.ok()) {
        std::printf("  %s\n", qPrintable(opened.message()));
        return false;
    }
    Register &reg = *opened.reg;
    StructuralData structure;
    structure.damage = DamageParameters();
    structure.damage->stressPerG = 60, structure.damage->slope = 5;
    structure.damage->enduranceStress = 80, structure.damage->enduranceCycles = 2e6;
    structure.damage->designLife = 6000;
    reg.setType(QStringLiteral("Zeta 2"), structure);
    const QDate first(1990, 1, 1);
    std::vector<AddFile> files;
    for (int readout = 0; readout < FleetRegisterReadouts; ++readout)
        files.push_back(
            {folder.filePath(QStringLiteral("r%1.dat").arg(readout)), first.addDays(10 * readout)});
    for (int i = 0; i < FleetRegisterAircraft; ++i) {
        const int profile = i % 4;
        for (int readout = 0; readout < FleetRegisterReadouts; ++readout) {
            CounterRecord words {};
            for (int level = 0; level < LevelCount; ++level)
                words[level] = std::uint16_t(readout * (profile + 1) * (level % 5 + 1) / 4);
            const int seconds = readout * 3600 * (profile + 2);
            words[ActiveSecondsWord] = std::uint16_t(seconds % 43200);
            words[ActivePeriodsWord] = std::uint16_t(seconds / 43200);
            words[BatterySecondsWord] = std::uint16_t(i);
            QFile file(files[readout].fileName);
            file.open(QIODevice::WriteOnly | QIODevice::Truncate);
            file.write(RecordFileBytes(words));
        }
        const QString plane = QStringLiteral("D-B%1").arg(i, 4, 10, QLatin1Char('0'));
        reg.setAircraft({plane, QStringLiteral("Zeta 2"), CombineMode::Running, {}, {}, {}});
        const AddResult added = reg.add(plane, files);
        if (!added.ok()) {
            std::printf("  %s\n", qPrintable(added.message()));
            return false;
        }
    }
    return true;
}
} // namespace

QString FleetRegister()
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/zemra-bench-fleet-XXXXXX"));
    static bool tried = false, made = false;
    const QString path = folder.filePath(QStringLiteral("fleet.sqlite"));
    if (!tried) {
        tried = true;
        QElapsedTimer setup;
        setup.start();
        made = folder.isValid() && make(path, QDir(folder.path()));
        if (made)
            std::printf("  %-32s %.1f s (the library, one transaction an aircraft), %.0f MB\n",
                "made 1000 x 1000 read-outs in", setup.nsecsElapsed() / 1e9,
                QFileInfo(path).size() / 1e6);
    }
    return made ? path : QString();
}

} // namespace bench
