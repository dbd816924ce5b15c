#include "ai/move_cost_grid.h"

#include "rules/rules.h"
#include "state/board.h"

namespace {

// The flood offers a hex's neighbours in this order; on equal cost the first offer keeps the hex, which
// is what makes the computer's routes the same on the same board.
constexpr int kFloodDirections[] = {kUpRight, kUp, kUpLeft, kDownLeft, kDown, kDownRight};
constexpr int kFloodDirectionCount = sizeof kFloodDirections / sizeof kFloodDirections[0];

// One queue entry per hex of the board: a hex enters the queue only when its cost first drops below
// kUnreachable, and with equal step costs it never drops again.
constexpr int kQueueSize = kBoardHexes;

// The flood's working costs, framed by a border two hexes wide so that neither a neighbour nor a ring
// hex off the board needs a test of its own. The grid is stored row after row in one array, so that a
// step to another hex is one addition to the hex's index. Besides real costs (0 or more, kUnreachable
// until reached) a hex holds one of two marks.
constexpr int kWallMark = -1;   // off the board, an obstacle, or a unit the flood may not enter
constexpr int kEnemyMark = -2;  // an enemy the unit may attack from a neighbour; never entered
constexpr int kBorder = 2;
constexpr int kFloodColumns = kBoardColumns + 2 * kBorder;
constexpr int kFloodRows = kBoardRows + 2 * kBorder;
using FloodGrid = int[kFloodRows * kFloodColumns];

int floodIndex(int row, int column) {
    return (row + kBorder) * kFloodColumns + column + kBorder;
}

// A step from a hex to another: the (row, column) offset that the step grid records, and the same step
// as a change of the flood grid's index.
struct FloodOffset {
    int row;
    int column;
    int index;
};

FloodOffset makeFloodOffset(int row, int column) {
    return {row, column, row * kFloodColumns + column};
}

// The six neighbour steps in flood order and the twelve ring steps in ring order, for a hex in an even
// column ([0]) and in an odd one ([1]), from the board's hex rules.
struct FloodOffsets {
    FloodOffset neighbour[2][kFloodDirectionCount];
    FloodOffset ring[2][kRingPositions];
};

FloodOffsets makeFloodOffsets() {
    FloodOffsets offsets;
    for (int parity = 0; parity < 2; ++parity) {
        for (int order = 0; order < kFloodDirectionCount; ++order) {
            int row, column;
            neighbourOf(0, parity, kFloodDirections[order], row, column);
            offsets.neighbour[parity][order] = makeFloodOffset(row, column - parity);
        }
        int ring[kRingPositions][2];
        ringOffsetsForColumn(parity, ring);
        for (int position = 0; position < kRingPositions; ++position) {
            offsets.ring[parity][position] = makeFloodOffset(ring[position][0], ring[position][1]);
        }
    }
    return offsets;
}

// Obstacles are walls, and so is the moving unit's own side unless the flood may cross it. An Archer
// never attacks a neighbour, so for it enemies are walls too: its ring pass rates them afterwards.
// Clears the attack counts and sets every cost to unreachable: the flood writes the costs it finds into
// both its own grid and the caller's.
void prepareFlood(bool crossing, int player, int enemy, bool archer, FloodGrid& flood, AiGrid& attackCount,
                  AiGrid& cost) {
    const int wallOwner = crossing ? -1 : player;  // -1: no player's units are walls
    const int enemyValue = archer ? kWallMark : kEnemyMark;
    for (int& value : flood) value = kWallMark;
    for (int row = 0; row < kBoardRows; ++row) {
        int* floodRow = &flood[floodIndex(row, 0)];
        for (int column = 0; column < kBoardColumns; ++column) {
            attackCount[row][column] = 0;
            cost[row][column] = kUnreachable;
            const int owner = gUnitOwner[row][column];
            int value = owner == enemy ? enemyValue : kUnreachable;
            if (isObstacle(row, column) || owner == wallOwner) value = kWallMark;
            floodRow[column] = value;
        }
    }
}

// Breadth first from the unit's hex: every step costs the same, so hexes leave the queue in order of
// cost and the first offer that reaches a hex is its cheapest.
void floodCosts(int row, int column, int stepCost, int actionPoint, const FloodOffsets& offsets,
                FloodGrid& flood, AiGrid& attackCount, AiGrid& cost, AiStepGrid& step) {
    int queueRows[kQueueSize];
    int queueColumns[kQueueSize];
    int writeIndex = 0;  // the last entry appended
    queueRows[0] = row;
    queueColumns[0] = column;
    flood[floodIndex(row, column)] = 0;
    cost[row][column] = 0;
    step[row][column][0] = 0;
    step[row][column][1] = 0;

    for (int readIndex = 0; readIndex <= writeIndex; ++readIndex) {
        const int fromRow = queueRows[readIndex];
        const int fromColumn = queueColumns[readIndex];
        const int fromIndex = floodIndex(fromRow, fromColumn);
        const int fromCost = flood[fromIndex];
        const int offeredCost = fromCost + stepCost;
        // The six offers of a hex are the computer's hottest code; unrolled, they run about a fifth faster.
#pragma GCC unroll 6
        for (const FloodOffset& offset : offsets.neighbour[fromColumn & 1]) {
            int& toCost = flood[fromIndex + offset.index];
            if (toCost > offeredCost) {  // walls and marks are below every cost
                toCost = offeredCost;
                const int toRow = fromRow + offset.row;
                const int toColumn = fromColumn + offset.column;
                cost[toRow][toColumn] = offeredCost;
                step[toRow][toColumn][0] = offset.row;
                step[toRow][toColumn][1] = offset.column;
                ++writeIndex;
                queueRows[writeIndex] = toRow;
                queueColumns[writeIndex] = toColumn;
            } else if (toCost == kEnemyMark) {
                // The unit would attack from where it stands; the first offer is the cheapest attack position
                // and leaves the most action points for attacks.
                const int toRow = fromRow + offset.row;
                const int toColumn = fromColumn + offset.column;
                if (cost[toRow][toColumn] <= fromCost) continue;
                cost[toRow][toColumn] = fromCost;
                step[toRow][toColumn][0] = offset.row;
                step[toRow][toColumn][1] = offset.column;
                attackCount[toRow][toColumn] =
                    aiCountAttacks(actionPoint, fromCost, gUnitHealthPoint[toRow][toColumn]);
            }
        }
    }
}

// An Archer shoots from exactly two hexes away: the enemy at (row, column) gets the cost of its cheapest
// reached ring hex, the first in ring order on a tie, and the attacks that this position leaves action
// points for. Enemy hexes and obstacles are walls of the flood, so they never win.
void offerRingPositions(int row, int column, int actionPoint, const FloodOffsets& offsets,
                        const FloodGrid& flood, AiGrid& attackCount, AiGrid& cost, AiStepGrid& step) {
    const int index = floodIndex(row, column);
    int best = kUnreachable;
    for (const FloodOffset& offset : offsets.ring[column & 1]) {
        const int value = flood[index + offset.index];
        if (value >= 0 && value < best) {
            best = value;
            step[row][column][0] = -offset.row;
            step[row][column][1] = -offset.column;
        }
    }
    cost[row][column] = best;
    if (best < kUnreachable) {
        attackCount[row][column] = aiCountAttacks(actionPoint, best, gUnitHealthPoint[row][column]);
    }
}

}  // namespace

int aiCountAttacks(int actionPoint, int positionCost, int healthPoint) {
    const int affordable = (actionPoint - positionCost) / computeActionPointCostToAttack();
    int attacks = 0;
    int health = healthPoint;
    while (attacks < affordable && health > 0) {
        ++attacks;
        health -= computeAttackDamage();
    }
    return attacks;
}

int aiEnemyOf(int player) {
    return player == 1 ? 2 : 1;
}

void aiComputeMoveCostGrid(bool crossing, int row, int column, AiGrid& attackCount, AiGrid& cost,
                           AiStepGrid& step) {
    static const FloodOffsets kOffsets = makeFloodOffsets();
    const int player = gUnitOwner[row][column];
    const int enemy = aiEnemyOf(player);
    const int actionPoint = gUnitActionPoint[row][column];
    const bool archer = gUnitType[row][column] == 'a';
    const int stepCost = computeActionPointCostToMove(gUnitType[row][column]);

    FloodGrid flood;
    prepareFlood(crossing, player, enemy, archer, flood, attackCount, cost);
    floodCosts(row, column, stepCost, actionPoint, kOffsets, flood, attackCount, cost, step);
    if (!archer) return;
    for (int enemyRow = 0; enemyRow < kBoardRows; ++enemyRow) {
        for (int enemyColumn = 0; enemyColumn < kBoardColumns; ++enemyColumn) {
            if (gUnitOwner[enemyRow][enemyColumn] != enemy) continue;
            offerRingPositions(enemyRow, enemyColumn, actionPoint, kOffsets, flood, attackCount, cost, step);
        }
    }
}
