#include "ai/ai_turn.h"

#include "render/input.h"
#include "render/window.h"
#include "rules/rules.h"
#include "state/board.h"

namespace {

// Every move and attack of the computer is shown for this long.
constexpr int kActionPauseMilliseconds = 500;

void storePair(AiInstruction& instruction, int pair, int row, int column) {
    instruction[pair][0] = row;
    instruction[pair][1] = column;
}

// The cheapest enemy hex on the cost grid, the earlier one in row-major order on a tie, if it costs less
// than the plan cost so far.
void takeNearestEnemy(int enemy, const AiGrid& cost, int& targetRow, int& targetColumn, int& planCost) {
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            if (gUnitOwner[row][column] == enemy && cost[row][column] < planCost) {
                targetRow = row;
                targetColumn = column;
                planCost = cost[row][column];
            }
        }
    }
}

// Entry k acts before entry b when its target keeps less health, then when its plan is cheaper; on a full
// tie a later Cavalry or Shield takes the place of an earlier unit, a later Archer does not.
bool actsBefore(int k, int b, const AiList& rows, const AiList& columns, const AiList& remainingHealth,
                const AiList& planCost) {
    if (remainingHealth[k] != remainingHealth[b]) return remainingHealth[k] < remainingHealth[b];
    if (planCost[k] != planCost[b]) return planCost[k] < planCost[b];
    return gUnitType[rows[k]][columns[k]] != 'a';
}

void removeEntry(int entry, int& count, AiList& rows, AiList& columns) {
    for (int k = entry + 1; k < count; ++k) {
        rows[k - 1] = rows[k];
        columns[k - 1] = columns[k];
    }
    --count;
}

}  // namespace

void aiComputeUnitOutput(int entry, const AiList& rows, const AiList& columns, AiList& targetRows,
                         AiList& targetColumns, AiList& remainingHealth, AiList& planCost,
                         AiGrid& attackCount, AiGrid& cost, AiStepGrid& step) {
    const int unitRow = rows[entry];
    const int unitColumn = columns[entry];
    const int enemy = aiEnemyOf(gUnitOwner[unitRow][unitColumn]);
    aiComputeMoveCostGrid(0, unitRow, unitColumn, attackCount, cost, step);
    remainingHealth[entry] = kUnreachable;
    planCost[entry] = kUnreachable;

    // Attack plans: the lowest health left on the target, then the cheapest; the earlier hex on a tie.
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            const int attacks = attackCount[row][column];
            if (attacks == 0) continue;
            int healthLeft = gUnitHealthPoint[row][column] - attacks * computeAttackDamage();
            if (healthLeft < 0) healthLeft = 0;
            const int attackPlanCost = cost[row][column] + attacks * computeActionPointCostToAttack();
            if (healthLeft < remainingHealth[entry] ||
                (healthLeft == remainingHealth[entry] && attackPlanCost < planCost[entry])) {
                targetRows[entry] = row;
                targetColumns[entry] = column;
                remainingHealth[entry] = healthLeft;
                planCost[entry] = attackPlanCost;
            }
        }
    }
    if (remainingHealth[entry] != kUnreachable) return;

    // No attack this turn: approach the nearest enemy, around the own side if possible.
    takeNearestEnemy(enemy, cost, targetRows[entry], targetColumns[entry], planCost[entry]);
    if (planCost[entry] != kUnreachable) return;

    aiComputeMoveCostGrid(1, unitRow, unitColumn, attackCount, cost, step);
    takeNearestEnemy(enemy, cost, targetRows[entry], targetColumns[entry], planCost[entry]);
    if (planCost[entry] != kUnreachable) {
        planCost[entry] += kAiCrossingPenalty;
    } else {
        targetRows[entry] = unitRow;
        targetColumns[entry] = unitColumn;
    }
}

int aiChooseActingUnit(int count, const AiList& rows, const AiList& columns, const AiList& remainingHealth,
                       const AiList& planCost) {
    int best = 0;
    for (int k = 1; k < count; ++k) {
        if (actsBefore(k, best, rows, columns, remainingHealth, planCost)) best = k;
    }
    return best;
}

void aiComputeActionInstruction(int targetRow, int targetColumn, int actionPoint, const AiGrid& attackCount,
                                const AiGrid& cost, const AiStepGrid& step, AiInstruction& instruction) {
    const int attacks = attackCount[targetRow][targetColumn];
    instruction[kAiCountsPair][1] = attacks;
    storePair(instruction, kAiTargetPair, targetRow, targetColumn);

    const bool ownHex = step[targetRow][targetColumn][0] == 0 && step[targetRow][targetColumn][1] == 0;
    if (cost[targetRow][targetColumn] == kUnreachable || ownHex) {
        storePair(instruction, kAiCountsPair, 0, 0);
        storePair(instruction, kAiAttackPositionPair, targetRow, targetColumn);
        return;
    }

    // Walk the route back from the target. An attack keeps the whole route; an approach keeps the part up
    // to the first hex on which the unit would be left with no more than the stop threshold, so that the
    // end-of-turn regeneration is not wasted.
    const int stopThreshold = kActionPointCeiling - computeActionPointRegeneration();
    bool collecting = attacks != 0;
    int pair = kAiTargetPair;
    int row = targetRow;
    int column = targetColumn;
    int hexCost;
    do {
        const int stepRow = step[row][column][0];
        const int stepColumn = step[row][column][1];
        row -= stepRow;
        column -= stepColumn;
        hexCost = cost[row][column];
        if (collecting) {
            storePair(instruction, ++pair, row, column);
        } else if (actionPoint - hexCost > stopThreshold) {
            storePair(instruction, ++pair, row + stepRow, column + stepColumn);
            storePair(instruction, ++pair, row, column);
            collecting = true;
        }
    } while (hexCost != 0);

    if (pair == kAiTargetPair) {  // too few action points to approach: stay
        storePair(instruction, ++pair, row, column);
    }
    instruction[kAiCountsPair][0] = pair - kAiAttackPositionPair;
}

void aiShowAction() {
    presentPicture();
    waitMilliseconds(kActionPauseMilliseconds);
}

int aiUseUnit(const AiInstruction& instruction) {
    const int moves = instruction[kAiCountsPair][0];
    const int attacks = instruction[kAiCountsPair][1];
    for (int pair = kAiAttackPositionPair + moves; pair > kAiAttackPositionPair; --pair) {
        const int* from = instruction[pair];
        const int* to = instruction[pair - 1];
        if (moveUnit(from[0], from[1], to[0], to[1], true) != kMoved) {
            unselectUnitOnMap(from[0], from[1]);
            return kAiMoveRefused;
        }
        aiShowAction();
    }

    const int* position = instruction[kAiAttackPositionPair];
    const int* target = instruction[kAiTargetPair];
    for (int attack = 0; attack < attacks; ++attack) {
        const int result = attackUnit(position[0], position[1], target[0], target[1], false);
        if (isWinnerCode(result)) return result;
        aiShowAction();
    }

    unselectUnitOnMap(position[0], position[1]);
    const bool targetDestroyed = gUnitHealthPoint[target[0]][target[1]] == 0;
    const bool canAttackAgain =
        gUnitActionPoint[position[0]][position[1]] >= computeActionPointCostToAttack();
    return targetDestroyed && canAttackAgain ? kAiCanAttackAgain : kAiUnitDone;
}

int aiPerformTurn(int player) {
    AiList rows, columns, targetRows, targetColumns, remainingHealth, planCost;
    AiGrid attackCount = {};
    AiGrid cost = {};
    AiStepGrid step = {};
    AiInstruction instruction = {};

    // The list is counted from the board itself, so it can never hold an entry that was not filled.
    int count = 0;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            if (gUnitOwner[row][column] != player) continue;
            rows[count] = row;
            columns[count] = column;
            ++count;
        }
    }

    while (count != 0) {
        for (int k = 0; k < count; ++k) {
            aiComputeUnitOutput(k, rows, columns, targetRows, targetColumns, remainingHealth, planCost,
                                attackCount, cost, step);
        }
        const int acting = aiChooseActingUnit(count, rows, columns, remainingHealth, planCost);
        const int actingRow = rows[acting];
        const int actingColumn = columns[acting];

        // The board has not changed since the evaluation: this flood gives back the grids of its plan.
        const bool crossing = planCost[acting] >= kAiCrossingPenalty;
        aiComputeMoveCostGrid(crossing, actingRow, actingColumn, attackCount, cost, step);
        aiComputeActionInstruction(targetRows[acting], targetColumns[acting],
                                   gUnitActionPoint[actingRow][actingColumn], attackCount, cost, step,
                                   instruction);

        const int result = aiUseUnit(instruction);
        rows[acting] = instruction[kAiAttackPositionPair][0];
        columns[acting] = instruction[kAiAttackPositionPair][1];
        if (isWinnerCode(result)) return result;

        // A unit that destroyed its target and can still attack is evaluated again with the others.
        const bool acted = instruction[kAiCountsPair][0] > 0 || instruction[kAiCountsPair][1] > 0;
        if (result != kAiCanAttackAgain || !acted) removeEntry(acting, count, rows, columns);
    }
    return 0;
}
