// The computer's turn: evaluate every unit, let the one with the best plan act, repeat.
#pragma once

#include "ai/move_cost_grid.h"

constexpr int kAiListSize = kBoardHexes;
using AiList = int[kAiListSize];
using AiInstruction = int[kAiListSize][2];
// The pairs of an action instruction; the route back to the unit's present hex follows them.
constexpr int kAiCountsPair = 0;          // moves, attacks
constexpr int kAiTargetPair = 1;          // the enemy attacked or approached
constexpr int kAiAttackPositionPair = 2;  // where the moves end and the attacks are made from

// Added to the plan cost of a unit that can reach an enemy only through its own side, so that every unit
// with a free route acts first and may clear the way. A plan cost this high means a crossing flood.
constexpr int kAiCrossingPenalty = 10000;

// Plays the whole turn of player: 0 when it is over, the winner code as soon as an attack won the match.
int aiPerformTurn(int player);

// Picks the target of the unit at list entry `entry` and rates its plan: the health the target keeps
// (kUnreachable when no attack is possible this turn) and the action points it costs. Leaves the grids
// holding its last flood.
void aiComputeUnitOutput(int entry, const AiList& rows, const AiList& columns, AiList& targetRows,
                         AiList& targetColumns, AiList& remainingHealth, AiList& planCost,
                         AiGrid& attackCount, AiGrid& cost, AiStepGrid& step);

// The list entry that acts next among the first `count`: lowest remaining health, then lowest plan cost,
// then on a full tie a later unit that is not an Archer.
int aiChooseActingUnit(int count, const AiList& rows, const AiList& columns, const AiList& remainingHealth,
                       const AiList& planCost);

// Turns a target into the route to walk and the attacks to make; the grids must hold the acting unit's
// flood. Pair 0: moves and attacks; pair 1: target; pair 2: the hex the moves end on; then the route
// backwards to the unit's present hex.
void aiComputeActionInstruction(int targetRow, int targetColumn, int actionPoint, const AiGrid& attackCount,
                                const AiGrid& cost, const AiStepGrid& step, AiInstruction& instruction);

// What aiUseUnit did, besides returning the winner code when an attack won the match.
enum AiUseResult : int {
    kAiCanAttackAgain = 0,  // the target was destroyed and the unit can still pay for an attack
    kAiUnitDone = 1,
    kAiMoveRefused = 2,
};
// Shows the move or attack just carried out and pauses, so that the player can follow a computer's turn.
void aiShowAction();

// Carries out an instruction.
int aiUseUnit(const AiInstruction& instruction);
