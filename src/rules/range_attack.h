#pragma once

#include "rules/unit_control.h"

// The Archer's targeting ring: kUnitReleased after Escape or Backspace, kWindowClosed on a quit event, the
// winner code after a won match.
int performRangeAttack(int row, int column);
