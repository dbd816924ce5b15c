// The strong computer: it plans its whole turn before it acts. A beam search over the turn's actions (a
// unit walks to a hex and attacks from there as often as it can) keeps the few best partial turns at each
// step, and rates each by the position it leaves: the health on the board, weighted by what the units can
// do, and the attacks that the enemy can reach next turn, with the standard computer's flood. It searches
// in a careful and a bold style, and looks past its turn: its best positions are answered by the enemy as
// the same search would play it, and rated by the best next turn they leave it. A stand-off pulls it toward
// the enemy when it is level or ahead. It looks at a fixed number of positions and remembers only the
// turns without a hit, so the same match from the same start always gives the same turns.
#pragma once

#include "state/hex.h"

// One action of a plan: the unit at (row, column) walks to (toRow, toColumn) and attacks the unit at
// (targetRow, targetColumn) `attacks` times from there (no target when attacks is 0).
struct AiStrongAction {
    int row, column, toRow, toColumn, targetRow, targetColumn, attacks;
};

// A turn is at most this many actions; units left over stay where they are.
constexpr int kAiStrongPlanLength = 64;
struct AiStrongPlan {
    int count;
    AiStrongAction actions[kAiStrongPlanLength];
};

// Plans the whole turn of player on the board as it is and leaves the board unchanged.
void aiPlanStrongTurn(int player, AiStrongPlan& plan);
// Carries out a plan through the rules, showing each move and attack as the standard computer does: 0, or
// the winner code as soon as an attack won the match.
int aiCarryOutStrongPlan(const AiStrongPlan& plan);
// A new match begins with the strong computer on player's side: it forgets what it counted in the last one.
void aiStartStrongMatch(int player);
// Plans and plays the whole turn of player.
int aiPerformStrongTurn(int player);
