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

// moveUnit's results, tested in this order; the first failing test decides.
enum MoveResult : int {
    kMoved = 0,
    kNoUnitToMove = 1,
    kMoveOffTheBoard = 2,
    kMoveOntoObstacle = 3,
    kMoveOntoOwnUnit = 4,
    kMoveOntoEnemy = 5,
    kTooFewActionPointsToMove = 6,  // said on the info line
};
// selected: the unit keeps its selection hexagon on its new hex.
int moveUnit(int fromRow, int fromColumn, int toRow, int toColumn, bool selected);

enum AttackResult : int {
    kAttackMade = 0,
    kTooFewActionPointsToAttack = 5,  // said on the info line
};
// When the target's player lost its last unit, the victory notice waits for a key: the winner code, or
// kWindowClosed. range: an Archer's shot, whose targeting ring stays drawn under the notice.
int attackUnit(int attackerRow, int attackerColumn, int targetRow, int targetColumn, bool range);

// An interactive operation that ends because a match was won returns 10 plus the winner's number, and
// every operation above it passes that up unchanged.
constexpr int kWinnerCodeBase = 10;
constexpr bool isWinnerCode(int result) {
    return result > kWinnerCodeBase;
}
constexpr int winnerOfCode(int result) {
    return result - kWinnerCodeBase;
}
