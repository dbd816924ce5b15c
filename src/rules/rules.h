// The rules in numbers, and the two acting operations: a step and an attack. Every cost, damage and
// regeneration figure of the game comes from the compute* operations here.
#pragma once

int computeActionPointCostToMove(char type);
int computeActionPointCostToAttack();
int computeAttackDamage();
int computeActionPointRegeneration();
// Regeneration never lifts a unit above this ceiling; a unit already above it keeps its points.
constexpr int kActionPointCeiling = 10;
int computeEndOfTurnActionPoint(int actionPoint);
void addEndOfTurnActionPoint(int player);

// 0 moved; 1 no unit on the source; 2 off the board; 3 obstacle; 4 own unit; 5 enemy unit;
// 6 too few action points ("Not enough action points to move.").
int moveUnit(int fromRow, int fromColumn, int toRow, int toColumn, int selected);

// 0 attack made; 5 too few action points; when the target's player lost its last unit, the victory notice
// waits for a key: 10 + winner, or 1 when the window was closed.
int attackUnit(int attackerRow, int attackerColumn, int targetRow, int targetColumn, int range);

// The result of an interactive operation that means the match was won.
constexpr int kWinnerCodeBase = 10;
