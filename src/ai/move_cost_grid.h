// The computer's flood of one unit's action-point costs over the board.
#pragma once

#include "state/hex.h"

// Cost of a hex nobody reached, of a target nobody can attack.
constexpr int kUnreachable = 32766;

using AiGrid = int[kBoardRows][kBoardColumns];
using AiStepGrid = int[kBoardRows][kBoardColumns][2];

// The player that a unit of the given player fights: 2 for player 1, 1 for anyone else.
int aiEnemyOf(int player);

// The attacks that a unit can deliver on an enemy with the given health after paying for its attack
// position: as many as its remaining action points pay for, and no more than it takes to destroy it.
int aiCountAttacks(int actionPoint, int positionCost, int healthPoint);

// Floods the action-point costs of the unit at (row, column) over the board: the cost of standing on each
// hex (of the attack position for an enemy hex), the step that leads to it on its cheapest route, and on
// each enemy hex the number of attacks the unit can deliver there this turn. A crossing flood passes
// through the unit's own side; otherwise its units are walls.
void aiComputeMoveCostGrid(bool crossing, int row, int column, AiGrid& attackCount, AiGrid& cost,
                           AiStepGrid& step);
