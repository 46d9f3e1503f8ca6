#pragma once

#include "RegisterDatabase.h"
#include "Result.h"

#include <QString>
#include <QStringList>

// The register's schema (internal to the register library), one text for SQLite and PostgreSQL:
// only types, constraints and statements both engines take as they are.
//
// Version 5 (current):
//   schema_version (version)                 one row: the version of this schema
//   id_counters (name, next_id)              the next id of aircraft, type, addition, readout;
//                                            ids are given out under the writer's lock, so that
//                                            neither engine's own sequences are needed
//   aircraft_types (id, name, name_key, STRUCTURE, CHECKS)
//   aircraft (id, registration, registration_key, type_id, combine_mode, STRUCTURE, CHECKS,
//             prior_hours, prior_severity, created_at, changed_at)
//     prior_*: hours flown before the recorder was fitted and their severity against the
//     type's design spectrum, both or neither
//   inspections (aircraft_id, done_on, recorded_at, recorded_by)
//                                            an inspection of the aircraft on a day
//   additions (id, aircraft_id, file_name, added_at, added_by, declared_reset)
//                                            one `register add` of one file; declared_reset 1
//                                            when the user said a fall of running totals in it
//                                            that nothing explains is a reset
//   readouts (id, aircraft_id, addition_id, record_number, taken_on, words)
//     words: the record's 22 words as its text, "0001|0002|...|0029" (RecordText); the
//     register never computes on them, and one value a row is what makes a large file quick;
//     indexed, so that a record is looked up in every aircraft's read-outs
//   usage_by_day (aircraft_id, taken_on, readouts, resets, c0 ... c17, active_seconds)
//     the periods of the aircraft's read-outs taken that day, summed: counts, active seconds,
//     how many read-outs and how many started over from a reset. Derived from readouts by the
//     aircraft's combine_mode, in the same transaction as every change, so that the fleet is
//     summed by the database. With S-N data, also the periods' damage of both estimates summed
//     (refused, d_counted, upper_missing, d_upper: how many periods had their damage refused or
//     no upper bound, and the sums of the others), and the same of the day's first period alone
//     with its active seconds (first_seconds, first_refused, ...): a forecast's window starts
//     at a read-out, so the first period of its first day may lie before it. Derived anew when
//     the structural data that an aircraft takes changes.
//   CHECKS = life_thresholds ("50,80,100": life used warning levels in %, rising),
//            inspection_hours, inspection_days, battery_days; NULL where not set: an
//            aircraft's own override its type's part by part
//   STRUCTURE = stress_per_g, sn_slope, sn_endurance_stress, sn_endurance_cycles,
//               below_endurance, ultimate_strength, scatter_factor, design_life,
//               max_load_positive, max_load_negative, limit_load_positive, limit_load_negative,
//               locations
//     the S-N columns are all set or all NULL, and so are the two limit loads. locations:
//     NULL, or the named locations as a JSON array (LocationsText), each with its own σ₁ and S-N
//     data; the S-N columns then hold the first location's.
//   usage_totals (aircraft_id, readouts, first_taken, last_taken, c0 ... c17, active_seconds,
//                 refused, d_counted, upper_missing, d_upper)
//     the aircraft's rows of usage_by_day summed, written anew with every change of them
//   location_damage_by_day (aircraft_id, taken_on, location, refused, d_counted, ...,
//                           first_d_upper)
//     as usage_by_day's damage columns, for the locations after the first (1, 2, ...) of an
//     aircraft with named locations, a row a day and location; the first's stay in usage_by_day.
//   type_design_spectra (type_id, file_name, spectrum_text)
//     a type's design spectrum, the reference file's name and text as given (RegisterDesign.cpp)
//   Keys: registration_key and name_key are the trimmed text, NFC, case-folded, so that a
//   registration matches whatever its case. Dates are "YYYY-MM-DD" of the years
//   0001 to 9999 only, so that their text sorts as the dates do; times UTC
//   "YYYY-MM-DDTHH:MM:SSZ".
//
// Version 4: as version 5, without the locations column, location_damage_by_day and
// usage_totals.
// Version 3: as version 4, without the damage columns of usage_by_day, CHECKS, prior_*,
// inspections and type_design_spectra.
// Version 2: as version 3, without additions.declared_reset and the index on readouts.words.
// Version 1: as version 2, without aircraft_types; the aircraft's type was the text column
// type_name, and structural data was kept per aircraft only.
constexpr int RegisterSchemaVersion = 5;

// Makes the current schema in an empty database, inside the caller's write transaction.
Result CreateSchema(RegisterDatabase &database);

// Upgrades a schema of version `from` (older than the current one) step by step to the current
// one, inside the caller's write transaction.
Result UpgradeSchema(RegisterDatabase &database, int from);
