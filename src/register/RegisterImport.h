#pragma once

#include "RegisterTypes.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QSet>
#include <QString>

// The values of a register export as they are read (internal to the register library): each
// checked as the import takes it in, with the place of what is wrong in the message.

struct ImportedReadout
{
    qint64 id = 0;
    QString taken;
    RecordValues words {};
    QString file;
    qint64 record = 0;
    QString added;
    QString addedBy;
    bool declaredReset = false;
};

struct ImportedAircraft
{
    QString registration;
    QString type;
    CombineMode mode = CombineMode::Running;
    QString created;
    QString changed;
    StructuralData structure;
    CheckSettings checks;
    std::optional<double> priorHours;
    std::optional<double> priorSeverity;
    struct Inspection
    {
        QString done;
        QString recorded;
        QString recordedBy;
    };
    std::vector<Inspection> inspections;
};

struct ImportedType
{
    QString name;
    StructuralData structure;
    CheckSettings checks;
    std::optional<DesignSpectrumFile> design; // from version 2 on; absent or null: none
};

// The highest read-out id an import takes: the counter of the next id, and the one after it that
// the next addition leaves, must fit in the 32-bit integer that PostgreSQL keeps.
constexpr qint64 MaxImportedReadoutId = 2147483645;

class ImportValues
{
public:
    explicit ImportValues(const QString &source)
        : m_source(source)
    { }
    // Sets the problem (the first one only) and gives false.
    bool fail(const QString &where, const QString &what);
    const QString &problem() const { return m_problem; }

    bool type(const QJsonValue &value, const QString &where, ImportedType &type);
    // `where` gets the registration added once it is known.
    bool aircraft(const QJsonObject &object, QString &where, ImportedAircraft &plane);
    bool readout(const QJsonValue &value, const QString &where, ImportedReadout &readout);
    bool whole(const QJsonValue &value, double low, double high, qint64 &number) const;

    QSet<QString> typeKeys; // of the types read so far
    QSet<QString> registrationKeys;

private:
    bool text(const QJsonObject &object, const char *key, const QString &where, QString &value,
        bool nullable = false);
    bool structure(const QJsonValue &value, const QString &where, StructuralData &structure);
    bool locations(const QJsonValue &value, const QString &where, StructuralData &structure);
    // "checks", and the prior hours and inspections of an aircraft: absent in version 1.
    bool checks(const QJsonValue &value, const QString &where, CheckSettings &checks);
    bool prior(const QJsonObject &object, const QString &where, ImportedAircraft &plane);
    bool inspections(const QJsonValue &value, const QString &where, ImportedAircraft &plane);
    bool design(
        const QJsonValue &value, const QString &where, std::optional<DesignSpectrumFile> &design);

    QString m_source;
    QString m_problem;
};
