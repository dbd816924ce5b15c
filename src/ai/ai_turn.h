// The computer's turn: evaluate every unit, let the one with the best plan act, repeat.
#pragma once

#include "ai/move_cost_grid.h"

constexpr int kAiListSize = kBoardHexes;
using AiList = int[kAiListSize];
using AiInstruction = int[kAiListSize][2];

int aiPerformTurn(int player);
void aiComputeUnitOutput(int entry, const AiList& rows, const AiList& columns, AiList& targetRows,
                         AiList& targetColumns, AiList& remainingHealth, AiList& planCost, AiGrid& attackCount,
                         AiGrid& cost, AiStepGrid& step);
void aiComputeActionInstruction(int targetRow, int targetColumn, int actionPoint, const AiGrid& attackCount,
                                const AiGrid& cost, const AiStepGrid& step, AiInstruction& instruction);
int aiUseUnit(const AiInstruction& instruction);
