#include "rules/rules.h"

#include <string>
#include <utility>

#include "support/board_invariants.h"
#include "support/rules_picture.h"

namespace {

const char* const kNotEnoughToMove = "Not enough action points to move.";
const char* const kNotEnoughToAttack = "Not enough action points to attack.";

class MoveUnitTest : public RulesTest {};
class AttackUnitTest : public RulesTest {};
class EndOfTurnTest : public RulesTest {};

TEST_F(MoveUnitTest, StepCostDependsOnTheUnitType) {
    struct Case {
        char type;
        int actionPoint;
        int expectedCode;
        int expectedActionPoint;  // left after the step
    };
    const Case cases[] = {
        {'c', 1, 0, 0}, {'c', 0, 6, 0}, {'a', 1, 6, 1},  {'s', 1, 6, 1},
        {'a', 2, 0, 0}, {'s', 3, 0, 1}, {'c', 10, 0, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.type) + " with " + std::to_string(c.actionPoint));
        freshBoard();
        place(4, 4, c.type, 1, c.actionPoint, 7);

        EXPECT_EQ(moveUnit(4, 4, 3, 5, 1), c.expectedCode);

        const int row = c.expectedCode == 0 ? 3 : 4;
        const int column = c.expectedCode == 0 ? 5 : 4;
        EXPECT_EQ(gUnitType[row][column], c.type);
        EXPECT_EQ(gUnitOwner[row][column], 1);
        EXPECT_EQ(gUnitActionPoint[row][column], c.expectedActionPoint);
        EXPECT_EQ(gUnitHealthPoint[row][column], 7);
        EXPECT_EQ(gNumberOfUnit[1], 1);
        if (c.expectedCode == 0) {
            EXPECT_EQ(gUnitOwner[4][4], 0);
            EXPECT_TRUE(hexShowsRepaint(3, 5, 1)) << "the moved unit shows its selection hexagon";
            EXPECT_TRUE(hexShowsRepaint(4, 4, 0)) << "the old hex shows its bare tile";
            EXPECT_TRUE(infoLineIsBlank());
        } else {
            EXPECT_EQ(gUnitOwner[3][5], 0);
            EXPECT_TRUE(infoLineReads(kNotEnoughToMove));
        }
    }
}

TEST_F(MoveUnitTest, RefusalsBeforeTheCostAreSilentAndChangeNothing) {
    place(4, 4, 'c', 1, 0, 3);  // no action points left: the cost test comes last
    place(0, 0, 's', 1, 0, 3);
    place(5, 4, 'a', 1, 4, 3);  // own unit below
    place(4, 5, 's', 2, 4, 3);  // enemy down-right
    gMap[3][4] = 200;           // rocks above
    renderMap();
    struct Case {
        const char* name;
        int fromRow, fromColumn, toRow, toColumn;
        int expectedCode;
    };
    const Case cases[] = {
        {"empty source", 7, 7, 7, 8, 1},
        {"empty source, destination off the board", 9, 16, 10, 16, 1},
        {"source off the board", -1, 0, 0, 0, 2},
        {"destination above the top row", 0, 0, -1, 0, 2},
        {"destination left of column 0", 0, 0, 0, -1, 2},
        {"destination right of column 16", 4, 4, 4, 17, 2},
        {"obstacle", 4, 4, 3, 4, 3},
        {"own unit", 4, 4, 5, 4, 4},
        {"enemy unit", 4, 4, 4, 5, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const BoardSnapshot before = takeBoardSnapshot();
        EXPECT_EQ(moveUnit(c.fromRow, c.fromColumn, c.toRow, c.toColumn, 1), c.expectedCode);
        EXPECT_TRUE(takeBoardSnapshot() == before) << differingHexes(before, takeBoardSnapshot());
        EXPECT_TRUE(infoLineIsBlank());
    }
    EXPECT_EQ(gMap[3][4], 200);
}

TEST_F(AttackUnitTest, CostsThreeActionPointsAndDoesOneDamage) {
    struct Case {
        int actionPoint;
        int expectedCode;
        int expectedActionPoint;
        int expectedTargetHealth;
    };
    const Case cases[] = {{3, 0, 0, 1}, {10, 0, 7, 1}, {2, 5, 2, 2}, {0, 5, 0, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE("attacker with " + std::to_string(c.actionPoint));
        freshBoard();
        place(4, 4, 's', 1, c.actionPoint, 5);
        place(3, 4, 'c', 2, 6, 2);

        EXPECT_EQ(attackUnit(4, 4, 3, 4, 0), c.expectedCode);

        EXPECT_EQ(gUnitActionPoint[4][4], c.expectedActionPoint);
        EXPECT_EQ(gUnitHealthPoint[3][4], c.expectedTargetHealth);
        EXPECT_EQ(gUnitActionPoint[3][4], 6);
        EXPECT_EQ(gNumberOfUnit[2], 1);
        if (c.expectedCode == 0) {
            EXPECT_TRUE(hexShowsRepaint(4, 4, 1)) << "the attacker is redrawn selected";
            EXPECT_TRUE(hexShowsRepaint(3, 4, 0));
            EXPECT_TRUE(infoLineIsBlank());
        } else {
            EXPECT_TRUE(infoLineReads(kNotEnoughToAttack));
        }
    }
}

TEST_F(AttackUnitTest, DestroyingAUnitBeepsAndTheMatchGoesOnWhileTheLoserHasUnits) {
    place(4, 4, 'c', 1, 5, 5);
    place(3, 4, 'a', 2, 6, 1);
    place(8, 8, 's', 2, 6, 4);

    startCapturingStdout();
    const int result = attackUnit(4, 4, 3, 4, 0);
    EXPECT_EQ(capturedStdout(), "\a");

    EXPECT_EQ(result, 0);
    EXPECT_EQ(gUnitOwner[3][4], 0);
    EXPECT_EQ(gUnitType[3][4], 0);
    EXPECT_EQ(gNumberOfUnit[2], 1);
    EXPECT_EQ(gUnitActionPoint[4][4], 2);
    EXPECT_TRUE(hexShowsRepaint(3, 4, 0)) << "the emptied hex shows its bare tile";
    EXPECT_TRUE(infoLineIsBlank());
    EXPECT_EQ(dryPolls(), 0) << "no victory notice";
}

TEST_F(AttackUnitTest, DestroyingTheLastUnitShowsTheVictoryNoticeUntilAKeyOrQuit) {
    struct Case {
        const char* name;
        int winner;
        SDL_Event closing;
        int expectedResult;
        const char* victoryLine;
    };
    const Case cases[] = {
        {"player 1 wins", 1, keyEvent(SDLK_z), 11,
         "Player 1 won the battle. Press any key to return to main menu."},
        {"player 2 wins", 2, keyEvent(SDLK_RETURN), 12,
         "Player 2 won the battle. Press any key to return to main menu."},
        {"window closed", 1, quitEvent(), 1,
         "Player 1 won the battle. Press any key to return to main menu."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        freshBoard();
        const int loser = 3 - c.winner;
        place(4, 4, 's', c.winner, 3, 5);
        place(5, 4, 'c', loser, 6, 1);
        // Events other than a key down do not close the notice.
        script({textEvent("x"), c.closing});

        startCapturingStdout();
        const int result = attackUnit(4, 4, 5, 4, 0);
        EXPECT_EQ(capturedStdout(), "\a");

        EXPECT_EQ(result, c.expectedResult);
        EXPECT_EQ(scriptedPassesLeft(), 0);
        EXPECT_EQ(dryPolls(), 0);
        EXPECT_EQ(gNumberOfUnit[loser], 0);
        EXPECT_TRUE(hexShowsRepaint(5, 4, 0)) << "after a melee kill the hex shows its bare tile";
        EXPECT_TRUE(infoLineReads(c.victoryLine));
    }
}

TEST_F(AttackUnitTest, RangedWinningShotLeavesTheTargetingMarksOnTheEmptiedHex) {
    place(4, 8, 'a', 2, 3, 5);
    place(4, 10, 's', 1, 6, 1);
    renderRangeTarget(4, 10);
    renderCursor(4, 10, 2);
    script({keyEvent(SDLK_SPACE)});

    EXPECT_EQ(attackUnit(4, 8, 4, 10, 1), 12);

    const std::vector<Uint32> shown = hexPixels(4, 10);
    redrawHex(4, 10, 0);
    renderRangeTarget(4, 10);
    renderCursor(4, 10, 2);
    EXPECT_EQ(shown, hexPixels(4, 10)) << "highlight and the winner's cursor on the bare tile";
    EXPECT_TRUE(infoLineReads("Player 2 won the battle. Press any key to return to main menu."));
}

TEST_F(EndOfTurnTest, RegainsFiveUpToTenAndLeavesHigherValues) {
    const int cases[][2] = {{0, 5}, {4, 9}, {5, 10}, {9, 10}, {10, 10}, {12, 12}, {99, 99}};
    for (const auto& c : cases) EXPECT_EQ(computeEndOfTurnActionPoint(c[0]), c[1]) << "from " << c[0];
}

TEST_F(EndOfTurnTest, RegeneratesAndRedrawsOnlyThePlayersUnits) {
    place(0, 0, 'a', 1, 0, 1);
    place(9, 16, 'c', 1, 4, 1);
    place(5, 5, 's', 1, 12, 1);
    place(5, 6, 'a', 2, 0, 1);
    fillPicture(0, 0, 0);

    addEndOfTurnActionPoint(1);

    EXPECT_EQ(gUnitActionPoint[0][0], 5);
    EXPECT_EQ(gUnitActionPoint[9][16], 9);
    EXPECT_EQ(gUnitActionPoint[5][5], 12);
    EXPECT_EQ(gUnitActionPoint[5][6], 0) << "the other player's unit is untouched";
    for (const auto& hex : {std::pair{0, 0}, std::pair{9, 16}, std::pair{5, 5}}) {
        EXPECT_TRUE(hexShowsRepaint(hex.first, hex.second, 0)) << hex.first << ", " << hex.second;
    }
    EXPECT_EQ(pixelAt(hexOriginX(6) + 30, hexOriginY(5, 6) + 26), 0u)
        << "the other player's unit is not redrawn";
}

}  // namespace
