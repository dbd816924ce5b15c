// raider: hits and runs. Walks in, strikes, and with the action points left walks back out of the enemy's
// reach, as far as they go; prefers a blow it can escape from, then one that fells its target.
#include "rules/rules.h"
#include "sparring.h"

namespace {

struct Raid {
    Strike blow;
    int strikes;
    bool escapes;
    bool fells;
};

// Whether the unit, after striking from (fromRow, fromColumn) with mostSteps steps left, can reach a hex
// that no enemy reaches; the felled target no longer counts.
bool canEscape(int row, int column, int fromRow, int fromColumn, int mostSteps, const Raid& raid) {
    HexGrid reach, steps;
    if (raid.fells) {
        countEnemyReach(row, column, reach, raid.blow.targetRow, raid.blow.targetColumn);
    } else {
        countEnemyReach(row, column, reach);
    }
    const LiftedUnit lifted(row, column);
    floodSteps(fromRow, fromColumn, steps);
    for (int hexRow = 0; hexRow < kBoardRows; ++hexRow) {
        for (int hexColumn = 0; hexColumn < kBoardColumns; ++hexColumn) {
            if (steps[hexRow][hexColumn] <= mostSteps && reach[hexRow][hexColumn] == 0) return true;
        }
    }
    return false;
}

bool better(const Raid& raid, const Raid& best) {
    if (raid.escapes != best.escapes) return raid.escapes;
    if (raid.fells != best.fells) return raid.fells;
    if (raid.strikes != best.strikes) return raid.strikes > best.strikes;
    const int health = gUnitHealthPoint[raid.blow.targetRow][raid.blow.targetColumn];
    const int bestHealth = gUnitHealthPoint[best.blow.targetRow][best.blow.targetColumn];
    if (health != bestHealth) return health < bestHealth;
    return raid.blow.steps < best.blow.steps;
}

bool planRaid(int row, int column, Raid& best) {
    const int stepCost = computeActionPointCostToMove(gUnitType[row][column]);
    const int strikeCost = computeActionPointCostToAttack();
    bool found = false;
    for (const Strike& blow : reachableStrikes(row, column)) {
        const int health = gUnitHealthPoint[blow.targetRow][blow.targetColumn];
        const int left = gUnitActionPoint[row][column] - blow.steps * stepCost;
        for (int strikes = 1; strikes * strikeCost <= left && strikes <= health; ++strikes) {
            Raid raid = {blow, strikes, false, strikes == health};
            raid.escapes = canEscape(row, column, blow.fromRow, blow.fromColumn,
                                     (left - strikes * strikeCost) / stepCost, raid);
            if (found && !better(raid, best)) continue;
            best = raid;
            found = true;
        }
    }
    return found;
}

void raid(int row, int column, Stance stance) {
    Raid plan;
    if (!planRaid(row, column, plan)) {
        takeStance(row, column, stance);
        return;
    }
    walkTo(row, column, plan.blow.fromRow, plan.blow.fromColumn, plan.blow.steps);
    for (int blow = 0; blow < plan.strikes; ++blow)
        strike(row, column, plan.blow.targetRow, plan.blow.targetColumn);
    takeStance(row, column, kFlee);
}

}  // namespace

int main() {
    playTurns(raid);
    return 0;
}
