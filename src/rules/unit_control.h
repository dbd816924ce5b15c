#pragma once

// Steers the selected unit at (row, column) until Escape or Backspace (0), a quit event (1) or a won match
// (10 + winner). row and column follow the unit.
int moveSelectedUnit(int& row, int& column);
