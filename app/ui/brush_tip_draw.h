// A brush record's tip as the picker's cells and the brush preview show it: dark on a
// light ground, centred and shrunk to fit the area.
#pragma once

#include "base/geometry.h"

class CBrushDataBase;
class QPainter;

// Draws the tip into the area through an 8-bit gray engine bitmap of the area's size
// (drawn by the record, then inverted). False, with nothing drawn, when the bitmap cannot
// be made (an empty area among others).
bool DrawBrushTip(QPainter* painter, CBrushDataBase* record, const PTzRECT& area);
