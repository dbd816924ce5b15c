// The computer's flood of one unit's action-point costs over the board.
#pragma once

#include "state/hex.h"

// Cost of a hex nobody reached, of a target nobody can attack.
constexpr int kUnreachable = 32766;

using AiGrid = int[kBoardRows][kBoardColumns];
using AiStepGrid = int[kBoardRows][kBoardColumns][2];

void aiComputeMoveCostGrid(int crossing, int row, int column, AiGrid& attackCount, AiGrid& cost,
                           AiStepGrid& step);
