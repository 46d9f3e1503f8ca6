#pragma once

#include <QString>

namespace bench {

// The register of 1,000 aircraft of 1,000 read-outs each, every read-out of its own day, made
// through the register library in a temporary folder the first time it is asked for and kept for
// the rest of the run (it takes minutes to make): the path of its SQLite file, or an empty string
// after saying why it could not be made. `registerFleetSqlite` times `zemra-cli fleet` over it and
// `fleetWindow` the fleet program's table.
QString FleetRegister();

inline constexpr int FleetRegisterAircraft = 1000;
inline constexpr int FleetRegisterReadouts = 1000;

} // namespace bench
