#pragma once

// The register as one JSON document (Register::exportJson, Register::importJson): everything a
// register keeps, so that another register, on either engine, takes it in with nothing lost.
// What the register derives (the periods) is not in it; the importing register derives it anew.
//
// {
//   "format": "zemra-register",          always this text
//   "version": 3,                        this layout; a reader refuses a higher one
//   "types": [                           every type, in the order made
//     {"name": "Zeta 2", "structure": STRUCTURE or null, "checks": CHECKS or null,
//      "designSpectrum": {"file": "design.csv", "text": the file's whole text} or null}
//   ],
//   "aircraft": [                        every aircraft, in the order added
//     {"registration": "D-EZMA",         as typed
//      "type": "Zeta 2" or null,         one of "types"
//      "combine": "running",             or "separate"
//      "created": "2024-05-01T09:30:00Z", "changed": "2024-05-01T09:30:00Z",   UTC
//      "structure": STRUCTURE or null,   the aircraft's own
//      "checks": CHECKS or null,         the aircraft's own
//      "priorHours": h or null, "priorSeverity": s or null,   both or neither
//      "inspections": [{"done": "2024-06-01", "recorded": "2024-06-02T08:00:00Z",
//                       "recordedBy": "engineer"}],   in the order done
//      "readouts": [                     in the order taken (date, then id)
//        {"id": 1,                       kept, so that a read-out keeps its number
//         "taken": "2024-05-01",
//         "words": [22 integers 0-65535], the record: 18 counters, active seconds and 12-hour
//                                         periods, battery seconds and periods
//         "file": "a.dat", "record": 1,  where it was read from, the record counted from 1
//         "added": "2024-05-01T09:31:12Z", "addedBy": "engineer",
//         "declaredReset": true}         only where its addition declared a reset (absent:
//                                         false, as in the exports before it was kept)
//      ]}
//   ]
// }
//
// STRUCTURE = {"sigma1": σ₁ MPa, "k": k, "sd": S_D MPa, "nd": N_D, "below": "elementary" |
//   "haibach" | "original", "su": S_u MPa, "scatter": SF, "designLife": L h,
//   "maxLoadPositive": g, "maxLoadNegative": g, "limitLoadPositive": g, "limitLoadNegative": g,
//   "locations": [{"name": "wing root", "sigma1", "k", "sd", "nd", "below", "su"}, ...] or null}
//   with null for what is not set: the first four (and below and scatter) all set or all null, and
//   each pair of loads both set or both null. With locations, the first four and below and su are
//   the first location's; scatter, designLife and the loads are every location's. Numbers are
//   written in the shortest text that reads back as the same double.
// CHECKS = {"thresholds": [50, 80, 100] (life used %, rising), "inspectionHours": h,
//   "inspectionDays": d, "batteryDays": d}, null for what is not set.
//
// Version 2 is version 3 without "locations"; version 1 is version 2 without "checks",
// "priorHours", "priorSeverity" and "inspections". Both are still read.
//
// The document is written one read-out to a line, so that it can be compared line by line. The
// import reads it a piece at a time and needs the keys in the order written: "format" and
// "version" before "types", "types" before "aircraft", and "readouts" last in each aircraft.
constexpr int RegisterExportVersion = 3;
