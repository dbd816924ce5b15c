#pragma once

// The Archer's targeting ring: 0 after Escape or Backspace, 1 on a quit event, 10 + winner after a won match.
int performRangeAttack(int row, int column);
