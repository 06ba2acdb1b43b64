// Keeping a window's rectangle on a monitor: a panel saved on a monitor that is gone, or
// partly off its monitor, comes back on the nearest one with its title bar reachable.
#pragma once

#include <vector>

#include "base/geometry.h"

// Moves the rectangle, without resizing it, onto the monitor nearest to it (the one it
// overlaps most, else the closest): first back from the right and bottom edges, then
// onto the left and top ones, so a rectangle larger than the monitor keeps its
// left and top (its title bar) on it. 1; 0 (the rectangle unchanged) without monitors
// and for an empty or inverted rectangle, which the caller places by default.
int ClampRectToScreens(PTzRECT* rect, const std::vector<PTzRECT>& screens);
// The same over the screens Qt knows.
int ClampRectToMonitor(PTzRECT* rect);
