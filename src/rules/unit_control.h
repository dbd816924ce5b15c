#pragma once

// What unit control and the targeting ring return when the player let the unit go (or left the ring);
// otherwise kWindowClosed or the winner code.
constexpr int kUnitReleased = 0;

// Steers the selected unit at (row, column) until Escape or Backspace, a quit event or a won match. row
// and column follow the unit.
int moveSelectedUnit(int& row, int& column);
