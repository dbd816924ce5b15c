#include "ai/ai_turn.h"

#include <chrono>
#include <cstdlib>
#include <utility>
#include <vector>

#include "support/board_invariants.h"
#include "support/hex_distance.h"
#include "support/rules_picture.h"

namespace {

constexpr std::uint8_t kRock = 0x80 | 5;
// Boards with rocks and about twenty units per side.
constexpr RandomBoardMix kTwentyUnitsASide = {12, 24, 10, 4};
const char* const kVictoryLine = "Player 2 won the battle. Press any key to return to main menu.";

using Hex = std::pair<int, int>;

int distance(Hex a, Hex b) {
    return hexDistance(a.first, a.second, b.first, b.second);
}

struct Unit {
    char type;
    int row, column, owner, actionPoint, healthPoint;
};

class AiTurnTest : public RulesTest {
   protected:
    void placeAll(std::initializer_list<Unit> units) {
        for (const Unit& unit : units) {
            place(unit.row, unit.column, unit.type, unit.owner, unit.actionPoint, unit.healthPoint);
        }
    }

    // Rocks everywhere but row 5: a corridor one hex wide.
    static void buildCorridor() {
        for (int row = 0; row < kBoardRows; ++row) {
            for (int column = 0; column < kBoardColumns; ++column) {
                if (row != 5) gMap[row][column] = kRock;
            }
        }
        renderMap();
    }

    // A column of rocks with an enemy behind it that nobody can reach: player 1 keeps a unit.
    void placeUnreachableEnemy() {
        for (int row = 0; row < kBoardRows; ++row) gMap[row][14] = kRock;
        renderMap();
        place(0, 16, 's', 1, 10, 5);
    }

    AiList rows = {}, columns = {}, targetRows = {}, targetColumns = {}, remainingHealth = {}, planCost = {};
    AiGrid attackCount = {}, cost = {};
    AiStepGrid step = {};
    AiInstruction instruction = {};
};

// An approach spends the action points that the end of the turn would give back, and no more.
TEST_F(AiTurnTest, ApproachKeepsWhatRegenerationRefills) {
    struct Case {
        char type;
        int actionPoint;
        int moved;
        Hex end;  // {-1, -1}: only the distance moved is checked
        int actionPointLeft;
    };
    const Case cases[] = {
        {'c', 10, 5, {2, 5}, 5}, {'s', 10, 3, {3, 3}, 4}, {'a', 10, 3, {-1, -1}, 4},
        {'c', 7, 2, {4, 2}, 5},  {'s', 9, 2, {4, 2}, 5},  {'s', 6, 1, {4, 1}, 4},
        {'c', 5, 0, {5, 0}, 5},  {'s', 5, 0, {5, 0}, 5},  {'a', 3, 0, {5, 0}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " with " << c.actionPoint << " action points");
        emptyBoard();
        renderMap();
        placeAll({{c.type, 5, 0, 2, c.actionPoint, 5}, {'s', 5, 16, 1, 10, 5}});
        EXPECT_EQ(aiPerformTurn(2), 0);

        Hex end = {-1, -1};
        for (int row = 0; row < kBoardRows; ++row) {
            for (int column = 0; column < kBoardColumns; ++column) {
                if (gUnitOwner[row][column] == 2) end = {row, column};
            }
        }
        ASSERT_NE(end.first, -1);
        EXPECT_EQ(distance({5, 0}, end), c.moved);
        if (c.end.first != -1) {
            EXPECT_EQ(end, c.end);
        }
        EXPECT_EQ(gUnitActionPoint[end.first][end.second], c.actionPointLeft);
        EXPECT_EQ(gUnitHealthPoint[5][16], 5);
        EXPECT_TRUE(hexShowsRepaint(end.first, end.second, 0)) << "the unit is left unselected";
        if (c.moved > 0) {
            EXPECT_TRUE(hexShowsRepaint(5, 0, 0)) << "the start hex is bare";
        }
    }
}

TEST_F(AiTurnTest, ActionInstructionsOfTheWorkedExamples) {
    struct Case {
        const char* name;
        Unit unit, enemy;
        std::vector<Hex> expected;  // pair 0 (moves, attacks), the target, the end hex, the route backwards
    };
    const Case cases[] = {
        {"cavalry approach across the board",
         {'c', 5, 0, 2, 10, 5},
         {'s', 5, 16, 1, 10, 5},
         {{5, 0}, {5, 16}, {2, 5}, {3, 4}, {3, 3}, {4, 2}, {4, 1}, {5, 0}}},
        {"shield approach across the board",
         {'s', 5, 0, 2, 10, 5},
         {'s', 5, 16, 1, 10, 5},
         {{3, 0}, {5, 16}, {3, 3}, {4, 2}, {4, 1}, {5, 0}}},
        {"too few action points to approach",
         {'c', 5, 0, 2, 5, 5},
         {'s', 5, 16, 1, 10, 5},
         {{0, 0}, {5, 16}, {5, 0}}},
        {"archer next to a cavalry",
         {'a', 4, 4, 2, 10, 5},
         {'c', 4, 5, 1, 10, 5},
         {{1, 2}, {4, 5}, {3, 4}, {4, 4}}},
        {"archer two hexes away", {'a', 4, 4, 2, 10, 5}, {'c', 4, 6, 1, 10, 2}, {{0, 2}, {4, 6}, {4, 4}}},
        {"cavalry two hexes away",
         {'c', 4, 4, 2, 10, 5},
         {'c', 5, 5, 1, 10, 5},
         {{1, 3}, {5, 5}, {5, 4}, {4, 4}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        emptyBoard();
        placeAll({c.unit, c.enemy});
        aiComputeMoveCostGrid(0, c.unit.row, c.unit.column, attackCount, cost, step);
        aiComputeActionInstruction(c.enemy.row, c.enemy.column, c.unit.actionPoint, attackCount, cost, step,
                                   instruction);
        const int pairs = instruction[0][0] + 3;
        ASSERT_EQ(pairs, static_cast<int>(c.expected.size()));
        for (int pair = 0; pair < pairs; ++pair) {
            EXPECT_EQ(Hex(instruction[pair][0], instruction[pair][1]), c.expected[static_cast<size_t>(pair)])
                << "pair " << pair;
        }
    }
}

// The target of one unit and the rating of its plan.
TEST_F(AiTurnTest, UnitOutputPicksKillsFirstThenCheapPlans) {
    struct Case {
        const char* name;
        std::vector<Unit> units;  // the first is evaluated
        bool corridor;
        Hex target;
        int remainingHealth, planCost;
    };
    const Case cases[] = {
        // Three hits on the neighbour cost 9 and leave it 2; three on the Shield behind cost 1 + 9 and kill.
        {"a kill before a cheaper hit",
         {{'c', 4, 4, 2, 10, 5}, {'s', 3, 4, 1, 10, 5}, {'s', 5, 5, 1, 10, 3}},
         false,
         {5, 5},
         0,
         1 + 3 * 3},
        {"equal health left: the cheaper plan, though later",
         {{'c', 4, 4, 2, 4, 5}, {'s', 3, 6, 1, 10, 3}, {'s', 4, 5, 1, 10, 3}},
         false,
         {4, 5},
         2,
         0 + 3},
        {"equal plans: the earlier hex in row-major order",
         {{'c', 4, 4, 2, 3, 5}, {'s', 3, 5, 1, 10, 1}, {'s', 3, 3, 1, 10, 1}},
         false,
         {3, 3},
         0,
         3},
        {"no attack this turn: the nearest enemy",
         {{'c', 4, 0, 2, 10, 5}, {'s', 4, 16, 1, 10, 5}, {'s', 9, 13, 1, 10, 5}},
         false,
         {9, 13},
         kUnreachable,
         12},
        {"only through the own side: the crossing penalty",
         {{'s', 5, 0, 2, 10, 5}, {'c', 5, 1, 2, 10, 5}, {'s', 5, 12, 1, 10, 5}},
         true,
         {5, 12},
         kUnreachable,
         10000 + 22},
        {"no enemy at all: the own hex",
         {{'c', 4, 4, 2, 10, 5}, {'c', 4, 5, 2, 10, 5}},
         false,
         {4, 4},
         kUnreachable,
         kUnreachable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        emptyBoard();
        if (c.corridor) buildCorridor();
        for (const Unit& unit : c.units) {
            ASSERT_EQ(addUnit(unit.row, unit.column, unit.type, unit.owner, unit.actionPoint,
                              unit.healthPoint, 0, 0),
                      0);
        }
        rows[3] = c.units[0].row;
        columns[3] = c.units[0].column;
        aiComputeUnitOutput(3, rows, columns, targetRows, targetColumns, remainingHealth, planCost,
                            attackCount, cost, step);
        EXPECT_EQ(Hex(targetRows[3], targetColumns[3]), c.target);
        EXPECT_EQ(remainingHealth[3], c.remainingHealth);
        EXPECT_EQ(planCost[3], c.planCost);
    }
}

TEST_F(AiTurnTest, ArcherStepsBackAndShootsTwice) {
    placeAll({{'a', 4, 4, 2, 10, 5}, {'c', 4, 5, 1, 10, 5}});
    EXPECT_EQ(aiPerformTurn(2), 0);
    EXPECT_EQ(gUnitOwner[4][4], 0);
    ASSERT_EQ(gUnitOwner[3][4], 2);
    EXPECT_EQ(gUnitType[3][4], 'a');
    EXPECT_EQ(gUnitActionPoint[3][4], 2);
    EXPECT_EQ(gUnitHealthPoint[4][5], 3);
    EXPECT_TRUE(hexShowsRepaint(3, 4, 0));
    EXPECT_TRUE(infoLineIsBlank());
}

// Each move and each attack is shown with its own pause: one step and two shots are three pauses.
TEST_F(AiTurnTest, EveryMoveAndAttackPauses) {
    placeAll({{'a', 4, 4, 2, 10, 5}, {'c', 4, 5, 1, 10, 5}});
    constexpr int kPercent = 20;  // 100 ms for each pause of 500 ms
    gWaitPercent = kPercent;
    const auto start = std::chrono::steady_clock::now();
    const int result = aiPerformTurn(2);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    gWaitPercent = 0;
    EXPECT_EQ(result, 0);
    EXPECT_GE(elapsed, std::chrono::milliseconds(3 * 500 * kPercent / 100));
    EXPECT_EQ(gUnitHealthPoint[4][5], 3);
}

TEST_F(AiTurnTest, AKillKeepsTheUnitForAnotherPass) {
    // The Cavalry destroys the Archer (6 action points), then in the next pass steps next to the Shield and
    // hits it with what is left.
    placeAll({{'c', 4, 4, 2, 10, 5}, {'a', 3, 4, 1, 10, 2}, {'s', 5, 5, 1, 10, 5}});
    EXPECT_EQ(aiPerformTurn(2), 0);
    EXPECT_EQ(gUnitOwner[3][4], 0);
    EXPECT_EQ(gNumberOfUnit[1], 1);
    ASSERT_EQ(gUnitOwner[5][4], 2);
    EXPECT_EQ(gUnitActionPoint[5][4], 0);
    EXPECT_EQ(gUnitHealthPoint[5][5], 4);
    EXPECT_EQ(dryPolls(), 0) << "no victory notice";
}

// Two units that would destroy the same 1-health enemy for the same cost; the other enemy cannot be reached.
TEST_F(AiTurnTest, TieBetweenTwoPlansGoesToALaterNonArcher) {
    struct Case {
        const char* name;
        Unit first, second;
        Hex actor;
    };
    const Case cases[] = {
        {"earlier Archer, later Cavalry", {'a', 4, 4, 2, 10, 5}, {'c', 5, 6, 2, 10, 5}, {5, 6}},
        {"earlier Cavalry, later Archer", {'c', 3, 6, 2, 10, 5}, {'a', 4, 8, 2, 10, 5}, {3, 6}},
        {"earlier Cavalry, later Cavalry", {'c', 3, 6, 2, 10, 5}, {'c', 5, 6, 2, 10, 5}, {5, 6}},
        {"earlier Archer, later Archer", {'a', 4, 4, 2, 10, 5}, {'a', 4, 8, 2, 10, 5}, {4, 4}},
        {"a cheaper plan beats the order", {'c', 2, 6, 2, 10, 5}, {'a', 4, 4, 2, 10, 5}, {4, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        emptyBoard();
        placeUnreachableEnemy();
        placeAll({c.first, c.second, {'s', 4, 6, 1, 10, 1}});
        EXPECT_EQ(aiPerformTurn(2), 0);
        EXPECT_EQ(gUnitOwner[4][6], 0);
        for (const Unit& unit : {c.first, c.second}) {
            ASSERT_EQ(gUnitOwner[unit.row][unit.column], 2) << "neither unit moves";
            const bool acted = Hex(unit.row, unit.column) == c.actor;
            EXPECT_EQ(gUnitActionPoint[unit.row][unit.column], acted ? 7 : 10);
        }
    }
}

TEST_F(AiTurnTest, CorridorBehindAnOwnUnit) {
    struct Case {
        const char* name;
        Unit blocker;
        Hex blockerEnd, shieldEnd;
        int shieldActionPoint;
    };
    const Case cases[] = {
        // The blocker has a free route and goes first; the Shield then follows it.
        {"the blocker moves on", {'c', 5, 1, 2, 10, 5}, {5, 6}, {5, 3}, 4},
        // The blocker stays; the Shield's second step would enter its hex and is refused.
        {"the blocker stays", {'a', 5, 2, 2, 0, 5}, {5, 2}, {5, 1}, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        emptyBoard();
        buildCorridor();
        placeAll({{'s', 5, 0, 2, 10, 5}, c.blocker, {'s', 5, 12, 1, 10, 5}});
        EXPECT_EQ(aiPerformTurn(2), 0);
        EXPECT_EQ(gUnitType[c.blockerEnd.first][c.blockerEnd.second], c.blocker.type);
        ASSERT_EQ(gUnitType[c.shieldEnd.first][c.shieldEnd.second], 's');
        EXPECT_EQ(gUnitOwner[c.shieldEnd.first][c.shieldEnd.second], 2);
        EXPECT_EQ(gUnitActionPoint[c.shieldEnd.first][c.shieldEnd.second], c.shieldActionPoint);
        EXPECT_TRUE(hexShowsRepaint(c.shieldEnd.first, c.shieldEnd.second, 0));
        EXPECT_EQ(gNumberOfUnit[2], 2);
        EXPECT_TRUE(infoLineIsBlank());
    }
}

TEST_F(AiTurnTest, WithoutComputerUnitsNothingIsDrawn) {
    place(4, 4, 'c', 1, 10, 5);
    fillPicture(200, 10, 10);
    const BoardSnapshot before = takeBoardSnapshot();
    EXPECT_EQ(aiPerformTurn(2), 0);
    EXPECT_TRUE(before == takeBoardSnapshot());
    const SDL_Point points[] = {{0, 0}, {hexOriginX(4) + 30, hexOriginY(4, 4) + 20}, {700, 560}};
    for (const SDL_Point& point : points) EXPECT_EQ(pixelAt(point.x, point.y), 0xC80A0Au);
}

TEST_F(AiTurnTest, WithoutEnemyUnitsNothingMoves) {
    placeAll({{'c', 4, 4, 2, 10, 5}, {'a', 0, 0, 2, 10, 5}, {'s', 9, 16, 2, 10, 5}});
    const BoardSnapshot before = takeBoardSnapshot();
    EXPECT_EQ(aiPerformTurn(2), 0);
    EXPECT_TRUE(before == takeBoardSnapshot());
}

TEST_F(AiTurnTest, DestroyingTheLastEnemyEndsTheTurn) {
    struct Case {
        SDL_Event event;
        int expected;
    };
    const Case cases[] = {
        {keyEvent(SDLK_x), 12}, {quitEvent(), 0},  // the closed notice is not a win: the turn goes on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "expected result " << c.expected);
        emptyBoard();
        renderMap();
        clearScript();
        placeAll({{'c', 4, 4, 2, 10, 5}, {'s', 3, 4, 1, 10, 1}, {'s', 8, 8, 2, 10, 5}});
        script({textEvent("x"), c.event});  // other events do not close the notice
        EXPECT_EQ(aiPerformTurn(2), c.expected);
        EXPECT_EQ(gUnitOwner[3][4], 0);
        EXPECT_EQ(gNumberOfUnit[1], 0);
        EXPECT_EQ(gUnitActionPoint[4][4], 7);
        EXPECT_EQ(scriptedPassesLeft(), 0);
        EXPECT_EQ(dryPolls(), 0);
        if (c.expected == 12) {
            EXPECT_TRUE(infoLineReads(kVictoryLine));
        }
    }
}

TEST_F(AiTurnTest, SameBoardSameTurn) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        fillRandomBoard(seed, kTwentyUnitsASide);
        renderMap();
        const BoardSnapshot start = takeBoardSnapshot();
        const int firstResult = aiPerformTurn(2);
        const BoardSnapshot first = takeBoardSnapshot();

        restoreBoardSnapshot(start);
        renderMap();
        hideRenderedInfoText();
        EXPECT_EQ(aiPerformTurn(2), firstResult);
        EXPECT_TRUE(first == takeBoardSnapshot());
        EXPECT_EQ(boardInvariantViolation(), "");
        EXPECT_FALSE(start == takeBoardSnapshot()) << "the computer did something";

        // Plans never overspend: no refusal message, and every unit is left unselected.
        if (firstResult == 0 && gNumberOfUnit[1] > 0) {
            EXPECT_TRUE(infoLineIsBlank());
        }
        for (int row = 0; row < kBoardRows; ++row) {
            for (int column = 0; column < kBoardColumns; ++column) {
                EXPECT_GE(gUnitActionPoint[row][column], 0);
                EXPECT_TRUE(hexShowsRepaint(row, column, 0)) << row << ", " << column;
            }
        }
    }
}

}  // namespace
