#pragma once

// What a match returns besides kWindowClosed and the winner code: the player went back to the menu.
constexpr int kBackToMenu = 0;

// One match on the board in memory, against the computer (player 2) or between two humans. The help
// match writes the controls over the board and starts with the cursor beside the Archer.
int play(bool versusComputer, bool help);
