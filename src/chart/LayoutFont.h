#pragma once

#include <QFont>

// "MS Sans Serif" at a character height in pixels, the font the layouts and the chart are drawn
// in; Liberation Sans Narrow stands in for it where it is not installed.
QFont LayoutFont(int pixelHeight, bool bold = false, bool italic = false);
