#pragma once

#include "RegisterLocation.h"
#include "RegisterTypes.h"
#include "Result.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QIODevice;

// The register: every read-out of every aircraft, kept in one database with each aircraft's
// structural data, so that hours, exceedances and life used can be asked per aircraft and for the
// fleet. An SQLite file by default, or a PostgreSQL database that an office shares; both hold the
// same schema (RegisterSchema.h) and give the same answers.
//
// Every change is one transaction: it is made whole or not at all, whatever fails or ends the
// program meanwhile. Nothing throws: each call returns a Result whose message says in plain words
// what was refused and why. Failures: CannotOpen (the register cannot be reached or opened),
// Invalid (the input or the register's content is not what it must be: an unknown aircraft, a
// damaged record, a newer schema), Failed (a write that the database refused: a full disk, a lock
// held for longer than the wait allowed).

class Register;
struct OpenedRegister : Result
{
    std::unique_ptr<Register> reg;
    std::optional<int> upgradedFrom; // the schema version this open upgraded
};

class Register
{
public:
    using Access = RegisterAccess;

    // Opens the register, makes its schema in an empty database (Write) and upgrades an older
    // schema in one transaction; a newer schema is refused. CannotOpen: the file or server cannot
    // be reached, the database is missing, the password is refused. Invalid: not a database, a
    // database that holds something else, a newer schema, no register yet (Read).
    static OpenedRegister open(
        const RegisterLocation &location, Access access, const RegisterOptions &options = {});
    ~Register();
    Register(const Register &) = delete;
    Register &operator=(const Register &) = delete;

    const RegisterLocation &location() const;

    // Adds an aircraft, or changes one (matched case-insensitively). Invalid: an empty
    // registration, a new aircraft without a mode, structural data that fails
    // CheckDamageParameters or CheckAxisChoice.
    AircraftResult setAircraft(const AircraftChange &change);
    // Sets a type's structural data (the type made when missing; an empty StructuralData removes
    // it), used by every aircraft of the type that has none of its own, and its check settings
    // (each part used by the aircraft that do not set it); what is not given is kept.
    TypeResult setType(const QString &name, const std::optional<StructuralData> &structure,
        const std::optional<CheckSettings> &checks = std::nullopt);
    // Keeps a design spectrum with a type (the type made when missing), or removes it (none).
    // Invalid: a text that is not a valid reference spectrum, or holds a U+0000.
    TypeResult setTypeDesign(const QString &name, const std::optional<DesignSpectrumFile> &design);
    AircraftResult aircraft(const QString &registration);

    // Adds every record of the files to the aircraft, each file dated as given or by its
    // modification date, in one transaction. A record is its 22 words: one the aircraft has
    // already, whatever its date or file, is not added again. Nothing of any file is added when
    // a file cannot be read, holds a damaged record or a word above 16 bits, holds a record of
    // another aircraft (the message names it and its read-out), or, in running mode, running
    // totals that fall where neither a wrap nor a reset explains it; with `declaredReset` such
    // a fall is taken as a reset, and the register keeps that it was declared.
    // `progress` (when given) is asked between blocks whether to go on: stopped, nothing is added.
    // An aircraft not in the register yet is made by `newAircraft` (as setAircraft would) in the
    // same transaction, so that an add refused or stopped leaves no aircraft behind either.
    AddResult add(const QString &registration, const std::vector<AddFile> &files,
        bool declaredReset = false, const AddProgress &progress = {},
        const std::optional<AircraftChange> &newAircraft = std::nullopt);
    // What add would do with each record of the files, found by the same classification inside a
    // transaction that is always rolled back: the register is left as it was. Where add stops at
    // the first refusal, the preview goes on and notes each. An aircraft not in the register yet
    // is previewed with `newMode` (Invalid without one).
    AddPreviewResult previewAdd(const QString &registration, const std::vector<AddFile> &files,
        bool declaredReset, std::optional<CombineMode> newMode = std::nullopt);

    // Removes one read-out of the aircraft; the period after it is derived anew.
    RemoveResult remove(const QString &registration, qint64 readout);

    // The aircraft's read-outs with each period's figures, at the named location `location`
    // (Invalid when it has none of that name), or without one at the location of the largest
    // life used.
    HistoryResult history(const QString &registration, const QString &location = QString());

    // Records an inspection of the aircraft on a day: the fleet's check counts the hours, the
    // days and the limit loads from the last one. A day recorded already is kept as it was.
    InspectionResult recordInspection(const QString &registration, const QDate &day);

    // Every aircraft by registration, over its whole history.
    UsageListResult list();
    // Every aircraft ranked by life used (counted estimate: the periods' damage summed, as the
    // history sums it), then damage per 1000 h, with the aircraft without a damage figure after
    // them by registration, each with the forecast of its thresholds at the rate of the last
    // `rateWindowDays` days. With `since`, only the read-outs taken on or after that day count:
    // each period belongs to the day of the read-out that ends it; Invalid for a day outside the
    // years 1 to 9999.
    // Each aircraft is checked against its settings as of `today` (invalid: the current date).
    UsageListResult fleet(const std::optional<QDate> &since = std::nullopt,
        int rateWindowDays = 365, const QDate &today = QDate());

    // The whole register as one JSON document (RegisterExport.h), written to `out` as it is read.
    Result exportJson(QIODevice &out);
    // Takes in a whole exported register, into a register that holds nothing yet, in one
    // transaction, read from `in` a piece at a time, so that an export of any length is taken
    // without holding it. Invalid: not such a document, a newer format, a value out of its range
    // or one that either engine cannot keep (a U+0000 in a text, a read-out id that leaves the
    // next one no 32-bit id; the message names where), a register that is not empty.
    ImportResult importJson(QIODevice &in, const QString &sourceName);
    ImportResult importJson(const QByteArray &json, const QString &sourceName);

private:
    struct Private;
    explicit Register(std::unique_ptr<Private> d);
    std::unique_ptr<Private> d;
};
