#pragma once

#include "PostgresServer.h"
#include "Register.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QDate>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Registers of a small fleet for the fleet program's tests, on SQLite or on a PostgreSQL server of
// the test's own: aircraft of two types, ranked apart by their S-N data, one without structural
// data (not ranked), one with limit loads its counts go beyond, one due an inspection; their hours
// 90, 100, 9 and 20 so that a sort by text would put them in another order than by value.
class FleetRegisters
{
public:
    // False, with the reason given, when the PostgreSQL server could not be started.
    bool start(QString &reason)
    {
        m_server = std::make_unique<PostgresServer>();
        reason = m_server->reason();
        return m_dir.isValid() && m_server->ready();
    }
    QString dir(const QString &name) const { return m_dir.filePath(name); }

    // A new empty register's location as the user names it.
    QString fresh(const QString &engine)
    {
        if (engine == QLatin1String("sqlite"))
            return m_dir.filePath(QStringLiteral("r%1.sqlite").arg(++m_count));
        return m_server->url(m_server->createDatabase(QStringLiteral("fleet")));
    }

    // A new register holding the fleet; empty after a failed QVERIFY (check
    // QTest::currentTestFailed).
    QString fleet(const QString &engine)
    {
        const QString text = fresh(engine);
        OpenedRegister opened
            = Register::open(ParseRegisterLocation(text).location, Register::Access::Write);
        if (!opened.ok()) {
            qWarning("%s", qPrintable(opened.message()));
            return {};
        }
        Register &reg = *opened.reg;
        StructuralData lighter, heavier, limited;
        lighter.damage = sn(40);
        heavier.damage = sn(60);
        limited.damage = sn(30);
        limited.limits = LimitLoads {3.0, -1.0};
        CheckSettings inspections;
        inspections.inspectionHours = 50;
        const QString a = QStringLiteral("Alder 2"), b = QStringLiteral("Birch");
        bool ok = reg.setType(a, lighter).ok()
            && reg.setAircraft({QStringLiteral("D-EAAA"), a, CombineMode::Running, {}, {}, {}}).ok()
            && reg.setAircraft(
                      {QStringLiteral("D-EBBB"), a, CombineMode::Running, heavier, inspections, {}})
                   .ok()
            && reg.setAircraft({QStringLiteral("SP-CCC"), b, CombineMode::Running, {}, {}, {}}).ok()
            && reg.setAircraft({QStringLiteral("OK-DDD"), b, CombineMode::Running, limited, {}, {}})
                   .ok();
        ok = ok
            && add(reg, QStringLiteral("D-EAAA"),
                {MadeUpTotals(2, 10), MadeUpTotals(5, 40), MadeUpTotals(9, 90)})
            && add(reg, QStringLiteral("D-EBBB"), {MadeUpTotals(1, 20), MadeUpTotals(10, 100)})
            && add(reg, QStringLiteral("SP-CCC"), {MadeUpTotals(1, 3), MadeUpTotals(3, 9)})
            && add(reg, QStringLiteral("OK-DDD"), {MadeUpTotals(1, 5), MadeUpTotals(4, 20, true)});
        return ok ? text : QString();
    }

    // The register's JSON export, to compare a register before and after; empty (with a warning)
    // when it cannot be read.
    static QByteArray exported(const QString &location)
    {
        OpenedRegister opened
            = Register::open(ParseRegisterLocation(location).location, Register::Access::Read);
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        if (!opened.ok() || !opened.reg->exportJson(out).ok())
            qWarning("the register %s could not be exported", qPrintable(location));
        return out.data();
    }

private:
    static DamageParameters sn(double stressPerG)
    {
        DamageParameters p;
        p.stressPerG = stressPerG, p.slope = 5, p.enduranceStress = 80, p.enduranceCycles = 2e6;
        p.designLife = 6000;
        return p;
    }

    // Each record a read-out of its own, a month apart from 2024-01-01.
    bool add(Register &reg, const QString &registration, const QList<CounterRecord> &records)
    {
        for (qsizetype i = 0; i < records.size(); ++i) {
            const QString path = m_dir.filePath(QStringLiteral("f%1.dat").arg(++m_count));
            WriteFile(path, RecordFileBytes(records[i]));
            const AddResult added = reg.add(registration, {{path, QDate(2024, 1 + int(i), 1)}});
            if (!added.ok()) {
                qWarning("%s", qPrintable(added.message()));
                return false;
            }
        }
        return true;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<PostgresServer> m_server;
    int m_count = 0;
};
