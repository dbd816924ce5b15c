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

using NeighbourOffsets = int[2][kFloodDirectionCount][2];

// The flood's working costs, framed by a border two hexes wide so that neither a neighbour nor a ring
// hex off the board needs a test of its own. Besides real costs (0 or more, kUnreachable until reached) a
// hex holds one of two marks.
constexpr int kWallMark = -1;   // off the board, an obstacle, or a unit the flood may not enter
constexpr int kEnemyMark = -2;  // an enemy the unit may attack from a neighbour; never entered
constexpr int kBorder = 2;
using FloodGrid = int[kBoardRows + 2 * kBorder][kBoardColumns + 2 * kBorder];

// The enemy units, in row-major order.
struct EnemyList {
    int rows[kBoardHexes];
    int columns[kBoardHexes];
    int count;
};

// Obstacles are walls, and so is the moving unit's own side unless the flood may cross it. An Archer
// never attacks a neighbour, so for it enemies are walls too: its ring pass rates them afterwards.
// Clears the attack counts and the costs of the enemy hexes, which the flood writes directly.
void prepareFlood(int crossing, int player, int enemy, bool archer, FloodGrid& flood, EnemyList& enemies,
                  AiGrid& attackCount, AiGrid& cost) {
    for (auto& line : flood) {
        for (int& value : line) value = kWallMark;
    }
    enemies.count = 0;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            attackCount[row][column] = 0;
            const int owner = gUnitOwner[row][column];
            int value = kUnreachable;
            if (isObstacle(row, column) || (crossing == 0 && owner == player)) {
                value = kWallMark;
            } else if (owner == enemy) {
                value = archer ? kWallMark : kEnemyMark;
                cost[row][column] = kUnreachable;
                enemies.rows[enemies.count] = row;
                enemies.columns[enemies.count] = column;
                ++enemies.count;
            }
            flood[row + kBorder][column + kBorder] = value;
        }
    }
}

// The flood's costs go to the caller's grid; walls are unreachable, enemy hexes hold what the flood gave.
void copyCosts(const FloodGrid& flood, AiGrid& cost) {
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            const int value = flood[row + kBorder][column + kBorder];
            if (value >= 0) {
                cost[row][column] = value;
            } else if (value == kWallMark) {
                cost[row][column] = kUnreachable;
            }
        }
    }
}

// The six neighbour offsets in flood order, for a hex in an even column ([0]) and in an odd one ([1]).
void fillNeighbourOffsets(NeighbourOffsets& offsets) {
    for (int parity = 0; parity < 2; ++parity) {
        for (int order = 0; order < kFloodDirectionCount; ++order) {
            int row, column;
            neighbourOf(0, parity, kFloodDirections[order], row, column);
            offsets[parity][order][0] = row;
            offsets[parity][order][1] = column - parity;
        }
    }
}

// The attacks that a unit can deliver on an enemy with the given health after paying for its attack
// position: as many as its remaining action points pay for, and no more than it takes to destroy it.
int countAttacks(int actionPoint, int positionCost, int healthPoint) {
    const int affordable = (actionPoint - positionCost) / computeActionPointCostToAttack();
    int attacks = 0;
    int health = healthPoint;
    while (attacks < affordable && health > 0) {
        ++attacks;
        health -= computeAttackDamage();
    }
    return attacks;
}

// An Archer shoots from exactly two hexes away: each enemy gets the cost of its cheapest reached ring
// hex, the first in ring order on a tie, and the attacks that this position leaves action points for.
// Enemy hexes and obstacles are walls of the flood, so they never win.
void offerRingPositions(int actionPoint, const FloodGrid& flood, const EnemyList& enemies,
                        AiGrid& attackCount, AiGrid& cost, AiStepGrid& step) {
    int ring[2][kRingPositions][2];
    ringOffsetsForColumn(0, ring[0]);
    ringOffsetsForColumn(1, ring[1]);
    for (int enemy = 0; enemy < enemies.count; ++enemy) {
        const int row = enemies.rows[enemy];
        const int column = enemies.columns[enemy];
        const auto& offsets = ring[column & 1];
        int best = kUnreachable;
        for (int position = 0; position < kRingPositions; ++position) {
            const int value =
                flood[row + offsets[position][0] + kBorder][column + offsets[position][1] + kBorder];
            if (value >= 0 && value < best) {
                best = value;
                step[row][column][0] = -offsets[position][0];
                step[row][column][1] = -offsets[position][1];
            }
        }
        cost[row][column] = best;
        if (best < kUnreachable) {
            attackCount[row][column] = countAttacks(actionPoint, best, gUnitHealthPoint[row][column]);
        }
    }
}

}  // namespace

int aiEnemyOf(int player) {
    return player == 1 ? 2 : 1;
}

void aiComputeMoveCostGrid(int crossing, int row, int column, AiGrid& attackCount, AiGrid& cost,
                           AiStepGrid& step) {
    const int player = gUnitOwner[row][column];
    const int enemy = aiEnemyOf(player);
    const int actionPoint = gUnitActionPoint[row][column];
    const bool archer = gUnitType[row][column] == 'a';
    const int stepCost = computeActionPointCostToMove(gUnitType[row][column]);

    NeighbourOffsets neighbourOffsets;
    fillNeighbourOffsets(neighbourOffsets);
    FloodGrid flood;
    EnemyList enemies;
    prepareFlood(crossing, player, enemy, archer, flood, enemies, attackCount, cost);

    int queueRows[kQueueSize];
    int queueColumns[kQueueSize];
    int readIndex = 0;
    int writeIndex = 0;  // the last entry appended
    queueRows[0] = row;
    queueColumns[0] = column;
    flood[row + kBorder][column + kBorder] = 0;
    step[row][column][0] = 0;
    step[row][column][1] = 0;

    for (; readIndex <= writeIndex; ++readIndex) {
        const int fromRow = queueRows[readIndex];
        const int fromColumn = queueColumns[readIndex];
        const int fromCost = flood[fromRow + kBorder][fromColumn + kBorder];
        const int offeredCost = fromCost + stepCost;
        const auto& offsets = neighbourOffsets[fromColumn & 1];
        for (int order = 0; order < kFloodDirectionCount; ++order) {
            const int toRow = fromRow + offsets[order][0];
            const int toColumn = fromColumn + offsets[order][1];
            int& toCost = flood[toRow + kBorder][toColumn + kBorder];
            if (toCost > offeredCost) {  // walls and marks are below every cost
                toCost = offeredCost;
                step[toRow][toColumn][0] = offsets[order][0];
                step[toRow][toColumn][1] = offsets[order][1];
                ++writeIndex;
                queueRows[writeIndex] = toRow;
                queueColumns[writeIndex] = toColumn;
            } else if (toCost == kEnemyMark && cost[toRow][toColumn] > fromCost) {
                // The unit would attack from where it stands. Hexes leave the queue in order of cost, so the
                // first offer is the cheapest attack position and leaves the most action points for attacks.
                cost[toRow][toColumn] = fromCost;
                step[toRow][toColumn][0] = offsets[order][0];
                step[toRow][toColumn][1] = offsets[order][1];
                attackCount[toRow][toColumn] =
                    countAttacks(actionPoint, fromCost, gUnitHealthPoint[toRow][toColumn]);
            }
        }
    }

    copyCosts(flood, cost);
    if (archer) offerRingPositions(actionPoint, flood, enemies, attackCount, cost, step);
}
