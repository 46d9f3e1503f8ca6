#pragma once

#include <QString>

// zemra-fleet's windows over a made-up register, as PNG files into <output>/fleet/; the number of
// files that could not be made.
int FleetScreenshots(const QString &output);
