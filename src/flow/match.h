#pragma once

// One match on the board in memory: 1 the window was closed, 0 back to the menu, 10 + winner.
int play(int versusComputer, int help);
