// rusher: every unit runs at the weakest enemy, nearest units first, and strikes as soon as an enemy is in
// its reach.
#include <algorithm>

#include "sparring.h"

namespace {

// The enemy with fewest health points, the first in board order among equals; false when none is left.
bool weakestEnemy(int& targetRow, int& targetColumn) {
    const UnitList enemies = unitsOf(enemySide());
    for (int k = 0; k < enemies.count; ++k) {
        const int row = enemies.row[k], column = enemies.column[k];
        if (k == 0 || gUnitHealthPoint[row][column] < gUnitHealthPoint[targetRow][targetColumn]) {
            targetRow = row;
            targetColumn = column;
        }
    }
    return enemies.count > 0;
}

// The hex nearest (row, column) by the shortest way from which the unit strikes the target, or failing
// that the reachable hex nearest the target as the crow flies.
void rushGoal(int row, int column, int targetRow, int targetColumn, int& goalRow, int& goalColumn) {
    HexGrid steps;
    floodSteps(row, column, steps);
    goalRow = row;
    goalColumn = column;
    long best = -1;
    for (int hexRow = 0; hexRow < kBoardRows; ++hexRow) {
        for (int hexColumn = 0; hexColumn < kBoardColumns; ++hexColumn) {
            if (steps[hexRow][hexColumn] == kUnreachable) continue;
            const bool strikes =
                canStrike(gUnitType[row][column], hexRow, hexColumn, targetRow, targetColumn);
            const long score =
                (strikes ? 0 : stepsBetweenHexes(hexRow, hexColumn, targetRow, targetColumn)) * kBoardHexes +
                steps[hexRow][hexColumn];
            if (best >= 0 && score >= best) continue;
            best = score;
            goalRow = hexRow;
            goalColumn = hexColumn;
        }
    }
}

void rush(int row, int column) {
    for (;;) {
        Strike blow;
        if (nearestStrike(row, column, blow)) {
            walkTo(row, column, blow.fromRow, blow.fromColumn, blow.steps);
            strike(row, column, blow.targetRow, blow.targetColumn);
            continue;
        }
        int targetRow, targetColumn, goalRow, goalColumn;
        if (!weakestEnemy(targetRow, targetColumn)) return;
        rushGoal(row, column, targetRow, targetColumn, goalRow, goalColumn);
        const int fromRow = row, fromColumn = column;
        walkTo(row, column, goalRow, goalColumn, affordableSteps(row, column, 2));
        if (row == fromRow && column == fromColumn) return;
    }
}

}  // namespace

int main() {
    while (readTurn()) {
        int targetRow, targetColumn;
        if (!weakestEnemy(targetRow, targetColumn)) {
            endTurn();
            continue;
        }
        UnitList units = unitsOf(gSide);
        const auto distance = [&](int k) {
            return stepsBetweenHexes(units.row[k], units.column[k], targetRow, targetColumn);
        };
        int order[kBoardHexes];
        for (int k = 0; k < units.count; ++k) order[k] = k;
        std::stable_sort(order, order + units.count, [&](int a, int b) { return distance(a) < distance(b); });
        for (int k = 0; k < units.count; ++k) rush(units.row[order[k]], units.column[order[k]]);
        endTurn();
    }
    return 0;
}
