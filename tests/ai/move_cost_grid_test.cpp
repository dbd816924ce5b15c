#include "ai/move_cost_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "state/board.h"
#include "support/board_invariants.h"
#include "support/game_test.h"
#include "support/hex_distance.h"

namespace {

constexpr std::uint8_t kRock = 0x80 | 5;
// Boards with rocks and units of both sides.
constexpr RandomBoardMix kMixedBoard = {15, 20, 12, 5};
constexpr int kAnyStep = 99;  // a worked example whose step is not checked

using Hex = std::pair<int, int>;

int stepCostOf(char type) {
    return type == 'c' ? 1 : 2;
}

class MoveCostGridTest : public ::testing::Test {
   protected:
    void SetUp() override { emptyBoard(); }

    void place(int row, int column, char type, int owner, int actionPoint, int healthPoint = 5) {
        ASSERT_EQ(addUnit(row, column, type, owner, actionPoint, healthPoint, 0, 0), 0);
    }

    void flood(int crossing, int row, int column) {
        aiComputeMoveCostGrid(crossing, row, column, attackCount, cost, step);
    }

    // The hexes from the unit to (row, column), following the step grid backwards.
    std::vector<Hex> routeTo(int row, int column) {
        std::vector<Hex> route{{row, column}};
        while (route.size() <= static_cast<size_t>(kBoardHexes)) {
            const int fromRow = row - step[row][column][0];
            const int fromColumn = column - step[row][column][1];
            route.insert(route.begin(), {fromRow, fromColumn});
            if (cost[fromRow][fromColumn] == 0) break;
            row = fromRow;
            column = fromColumn;
        }
        return route;
    }

    AiGrid attackCount;
    AiGrid cost;
    AiStepGrid step;
};

TEST_F(MoveCostGridTest, OpenBoardCostsTheDistanceTimesTheStepCost) {
    struct Case {
        char type;
        int row, column;
    };
    const Case cases[] = {{'c', 4, 8}, {'s', 0, 0}, {'a', 9, 16}, {'c', 9, 1}};
    for (const Case& c : cases) {
        emptyBoard();
        place(c.row, c.column, c.type, 2, 10);
        flood(0, c.row, c.column);
        for (int row = 0; row < kBoardRows; ++row) {
            for (int column = 0; column < kBoardColumns; ++column) {
                EXPECT_EQ(cost[row][column], hexDistance(c.row, c.column, row, column) * stepCostOf(c.type))
                    << c.type << " at (" << c.row << ", " << c.column << "), hex (" << row << ", " << column
                    << ")";
                EXPECT_EQ(attackCount[row][column], 0);
            }
        }
        EXPECT_EQ(step[c.row][c.column][0], 0);
        EXPECT_EQ(step[c.row][c.column][1], 0);
    }
}

TEST_F(MoveCostGridTest, ObstaclesAndTheHexesTheyWallOffStayUnreachable) {
    for (int row = 0; row < kBoardRows; ++row) gMap[row][8] = kRock;
    gMap[3][2] = kRock;
    place(4, 1, 'c', 2, 10);
    flood(0, 4, 1);
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 8; column < kBoardColumns; ++column) {
            EXPECT_EQ(cost[row][column], kUnreachable) << row << ", " << column;
        }
    }
    EXPECT_EQ(cost[3][2], kUnreachable);
    EXPECT_EQ(cost[2][2], 3);  // around the rock instead of the 2 steps straight through it
    EXPECT_EQ(cost[4][7], 6);
}

TEST_F(MoveCostGridTest, CavalryRouteAcrossTheBoardArcsThroughRowOne) {
    place(5, 0, 'c', 2, 10);
    place(5, 16, 's', 1, 10);
    flood(0, 5, 0);
    EXPECT_EQ(cost[5][16], 15);
    EXPECT_EQ(step[5][16][0], 1);
    EXPECT_EQ(step[5][16][1], 1);
    EXPECT_EQ(attackCount[5][16], 0);
    const std::vector<Hex> expected = {{5, 0},  {4, 1},  {4, 2},  {3, 3},  {3, 4},  {2, 5},
                                       {2, 6},  {1, 7},  {1, 8},  {1, 9},  {2, 10}, {2, 11},
                                       {3, 12}, {3, 13}, {4, 14}, {4, 15}, {5, 16}};
    EXPECT_EQ(routeTo(5, 16), expected);
}

// Two neighbours of the unit that both touch a hex one step further: the one taken from the queue first,
// by the direction order up-right, up, up-left, down-left, down, down-right, gives that hex its step.
TEST_F(MoveCostGridTest, FirstOfferKeepsTheHex) {
    place(4, 4, 'c', 2, 10);
    flood(0, 4, 4);
    struct Case {
        int row, column, stepRow, stepColumn;
        const char* offeredBy;
    };
    const Case cases[] = {
        {2, 5, -1, 0, "up-right (3, 5) before up (3, 4)"},
        {2, 3, -1, -1, "up (3, 4) before up-left (3, 3)"},
        {4, 2, 1, -1, "up-left (3, 3) before down-left (4, 3)"},
        {5, 3, 1, 0, "down-left (4, 3) before down (5, 4)"},
        {5, 5, 0, 1, "down (5, 4) before down-right (4, 5)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cost[c.row][c.column], 2) << c.offeredBy;
        EXPECT_EQ(step[c.row][c.column][0], c.stepRow) << c.offeredBy;
        EXPECT_EQ(step[c.row][c.column][1], c.stepColumn) << c.offeredBy;
    }
}

// The worked attack positions: the cost of the enemy hex, its attack count and the step into it.
TEST_F(MoveCostGridTest, AttackPositionsOfTheWorkedExamples) {
    struct Case {
        const char* name;
        char type;
        int row, column, actionPoint;
        int enemyRow, enemyColumn, enemyHealth;
        int expectedCost, expectedAttacks, expectedStepRow, expectedStepColumn;
    };
    const Case cases[] = {
        // (3, 5) and (4, 5) both cost 2; (3, 5) leaves the queue first.
        {"shield two hexes away", 's', 4, 4, 7, 4, 6, 8, 2, 1, 1, 1},
        {"cavalry next to a 2-health enemy", 'c', 4, 4, 10, 3, 5, 2, 0, 2, -1, 1},
        {"archer two hexes away", 'a', 4, 4, 10, 4, 6, 2, 0, 2, 0, 2},
        {"archer two hexes away, odd column", 'a', 5, 5, 10, 4, 6, 2, 0, 2, -1, 1},
        // Ring positions 4, 5 and 6 of (4, 5) all cost 2; position 4, (3, 4), wins.
        {"archer next to an enemy", 'a', 4, 4, 10, 4, 5, 5, 2, 2, 1, 1},
        {"archer next to an enemy, 4 action points", 'a', 4, 4, 4, 4, 5, 5, 2, 0, 1, 1},
        {"route longer than the action points", 's', 4, 0, 6, 4, 5, 5, 8, 0, kAnyStep, kAnyStep},
        {"three attacks paid, two health", 'c', 2, 2, 9, 2, 3, 2, 0, 2, 0, 1},
        {"archer at zero action points", 'a', 0, 0, 0, 0, 2, 3, 0, 0, 0, 2},
        {"enemy in a corner", 's', 2, 2, 10, 0, 0, 3, 4, 2, kAnyStep, kAnyStep},
        // Ring positions 7, 8 and 9 of the corner hex cost 8 each; the others are off the board or farther.
        {"archer against an enemy in a corner", 'a', 4, 12, 10, 0, 16, 3, 8, 0, -1, 2},
    };
    for (const Case& c : cases) {
        emptyBoard();
        place(c.row, c.column, c.type, 2, c.actionPoint);
        place(c.enemyRow, c.enemyColumn, 'c', 1, 10, c.enemyHealth);
        flood(0, c.row, c.column);
        EXPECT_EQ(cost[c.enemyRow][c.enemyColumn], c.expectedCost) << c.name;
        EXPECT_EQ(attackCount[c.enemyRow][c.enemyColumn], c.expectedAttacks) << c.name;
        if (c.expectedStepRow == kAnyStep) continue;
        EXPECT_EQ(step[c.enemyRow][c.enemyColumn][0], c.expectedStepRow) << c.name;
        EXPECT_EQ(step[c.enemyRow][c.enemyColumn][1], c.expectedStepColumn) << c.name;
    }
}

TEST_F(MoveCostGridTest, BoxedInUnitWithAndWithoutTheCrossingFlag) {
    // A Cavalry at (4, 4) walled by its own side on three sides, rocks on two, an enemy on the sixth.
    place(4, 4, 'c', 2, 10);
    place(3, 5, 's', 2, 10);     // up-right
    place(3, 4, 'a', 2, 10);     // up
    place(3, 3, 'c', 2, 10);     // up-left
    gMap[4][3] = kRock;          // down-left
    gMap[5][4] = kRock;          // down
    place(4, 5, 's', 1, 10, 4);  // down-right

    flood(0, 4, 4);
    int reached = 0;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) reached += cost[row][column] != kUnreachable;
    }
    EXPECT_EQ(reached, 2);
    EXPECT_EQ(cost[4][4], 0);
    EXPECT_EQ(cost[4][5], 0);
    EXPECT_EQ(attackCount[4][5], 3);

    flood(1, 4, 4);
    EXPECT_EQ(cost[3][5], 1);
    EXPECT_EQ(cost[3][4], 1);
    EXPECT_EQ(cost[3][3], 1);
    EXPECT_EQ(cost[2][4], 2);
    EXPECT_EQ(cost[4][3], kUnreachable);
    EXPECT_EQ(cost[9][16], hexDistance(4, 4, 9, 16));
    EXPECT_EQ(cost[4][5], 0);
    // Behind the enemy: through the own unit at (3, 5), never through the enemy.
    EXPECT_EQ(cost[4][6], 2);
    EXPECT_EQ(routeTo(4, 6), (std::vector<Hex>{{4, 4}, {3, 5}, {4, 6}}));
}

TEST_F(MoveCostGridTest, ArcherShootsOverOwnUnitsOnlyWhenCrossing) {
    // The only hexes two away from the enemy that the Archer could reach hold its own units.
    place(0, 0, 'a', 2, 10);
    place(0, 1, 'c', 2, 10);
    place(1, 0, 'c', 2, 10);
    place(0, 3, 'c', 1, 10, 2);  // two away from (0, 1) and at distance 3 from the Archer
    flood(0, 0, 0);
    EXPECT_EQ(cost[0][3], kUnreachable);
    EXPECT_EQ(attackCount[0][3], 0);
    flood(1, 0, 0);
    EXPECT_EQ(cost[0][3], 2);
    EXPECT_EQ(attackCount[0][3], 2);
    EXPECT_EQ(routeTo(0, 3), (std::vector<Hex>{{0, 0}, {0, 1}, {0, 3}}));
}

// A slow but plainly correct flood for comparison: relax every hex from its neighbours, found by distance
// rather than by the neighbour rule, until nothing changes.
struct Reference {
    AiGrid cost;
    AiGrid attackCount;
};

// The hexes at distance 1 and 2 of every hex.
struct Around {
    std::vector<Hex> at[3][kBoardRows][kBoardColumns];
    Around() {
        for (int row = 0; row < kBoardRows; ++row) {
            for (int column = 0; column < kBoardColumns; ++column) {
                for (int r = 0; r < kBoardRows; ++r) {
                    for (int c = 0; c < kBoardColumns; ++c) {
                        const int d = hexDistance(row, column, r, c);
                        if (d == 1 || d == 2) at[d][row][column].push_back({r, c});
                    }
                }
            }
        }
    }
};

Reference referenceFlood(int crossing, int unitRow, int unitColumn) {
    static const Around around;
    const int player = gUnitOwner[unitRow][unitColumn];
    const int enemy = player == 1 ? 2 : 1;
    const char type = gUnitType[unitRow][unitColumn];
    const int actionPoint = gUnitActionPoint[unitRow][unitColumn];
    auto passable = [&](int row, int column) {
        if (row == unitRow && column == unitColumn) return true;
        if (isObstacle(row, column) || gUnitOwner[row][column] == enemy) return false;
        return crossing != 0 || gUnitOwner[row][column] != player;
    };
    Reference result;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            result.cost[row][column] = kUnreachable;
            result.attackCount[row][column] = 0;
        }
    }
    result.cost[unitRow][unitColumn] = 0;
    for (bool changed = true; changed;) {
        changed = false;
        for (int row = 0; row < kBoardRows; ++row) {
            for (int column = 0; column < kBoardColumns; ++column) {
                if (!passable(row, column)) continue;
                for (const auto& [r, c] : around.at[1][row][column]) {
                    if (!passable(r, c) || result.cost[r][c] == kUnreachable) continue;
                    if (result.cost[r][c] + stepCostOf(type) < result.cost[row][column]) {
                        result.cost[row][column] = result.cost[r][c] + stepCostOf(type);
                        changed = true;
                    }
                }
            }
        }
    }
    const int attackDistance = type == 'a' ? 2 : 1;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            if (gUnitOwner[row][column] != enemy) continue;
            for (const auto& [r, c] : around.at[attackDistance][row][column]) {
                if (gUnitOwner[r][c] != enemy && result.cost[r][c] < result.cost[row][column]) {
                    result.cost[row][column] = result.cost[r][c];
                }
            }
            if (result.cost[row][column] == kUnreachable) continue;
            const int affordable = (actionPoint - result.cost[row][column]) / 3;
            if (affordable > 0) {
                result.attackCount[row][column] = std::min(affordable, gUnitHealthPoint[row][column]);
            }
        }
    }
    return result;
}

TEST_F(MoveCostGridTest, RandomBoardsAgreeWithAPlainRelaxation) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        fillRandomBoard(seed, kMixedBoard);
        for (int unitRow = 0; unitRow < kBoardRows; ++unitRow) {
            for (int unitColumn = 0; unitColumn < kBoardColumns; ++unitColumn) {
                if (gUnitOwner[unitRow][unitColumn] == 0) continue;
                const char type = gUnitType[unitRow][unitColumn];
                for (int crossing : {0, 1}) {
                    SCOPED_TRACE(testing::Message() << "seed " << seed << ", " << type << " at (" << unitRow
                                                    << ", " << unitColumn << "), crossing " << crossing);
                    flood(crossing, unitRow, unitColumn);
                    const Reference reference = referenceFlood(crossing, unitRow, unitColumn);
                    for (int row = 0; row < kBoardRows; ++row) {
                        for (int column = 0; column < kBoardColumns; ++column) {
                            ASSERT_EQ(cost[row][column], reference.cost[row][column])
                                << row << ", " << column;
                            ASSERT_EQ(attackCount[row][column], reference.attackCount[row][column])
                                << row << ", " << column;
                            if (cost[row][column] == kUnreachable || cost[row][column] == 0) continue;
                            // Every step leads from a reached hex at the right distance and cost.
                            const int fromRow = row - step[row][column][0];
                            const int fromColumn = column - step[row][column][1];
                            const bool enemy =
                                gUnitOwner[row][column] == aiEnemyOf(gUnitOwner[unitRow][unitColumn]);
                            const int expectedDistance = enemy && type == 'a' ? 2 : 1;
                            ASSERT_TRUE(isOnBoard(fromRow, fromColumn));
                            ASSERT_EQ(hexDistance(row, column, fromRow, fromColumn), expectedDistance);
                            ASSERT_EQ(cost[fromRow][fromColumn] + (enemy ? 0 : stepCostOf(type)),
                                      cost[row][column]);
                        }
                    }
                }
            }
        }
    }
}

}  // namespace
