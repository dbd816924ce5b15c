#include "rules/unit_control.h"

#include <string>
#include <vector>

#include "rules/rules.h"
#include "support/rules_picture.h"

namespace {

const char* const kArcherPrompt =
    "Player 1: Move the unit. Press Enter or Space to perform a range attack. Press Escape or\n"
    "Backspace when done.";
const char* const kOtherPrompt =
    "Player 1: Move the unit. Attempts to move on enemy position will attack it. Press Escape or\n"
    "Backspace when done.";

class UnitControlTest : public RulesTest {
   protected:
    // Runs unit control on the unit at (row, column) with the scripted events and returns its result.
    int control(int& row, int& column, const std::vector<SDL_Event>& events) {
        for (const SDL_Event& event : events) script({event});
        return moveSelectedUnit(row, column);
    }
};

TEST_F(UnitControlTest, CavalryStepsWhileItHasActionPointsAndTheUnitFollows) {
    place(4, 2, 'c', 1, 3, 4);
    int row = 4, column = 2;

    // Down-right four times: (4, 3), (5, 4), (5, 5), then no action point is left.
    const int result = control(row, column,
                               {keyEvent(SDLK_b), keyEvent(SDLK_PAGEDOWN), keyEvent(SDLK_KP_3),
                                keyEvent(SDLK_b), keyEvent(SDLK_ESCAPE)});

    EXPECT_EQ(result, 0);
    EXPECT_EQ(row, 5);
    EXPECT_EQ(column, 5);
    EXPECT_EQ(gUnitType[5][5], 'c');
    EXPECT_EQ(gUnitActionPoint[5][5], 0);
    EXPECT_EQ(gUnitHealthPoint[5][5], 4);
    EXPECT_EQ(gNumberOfUnit[1], 1);
    for (const auto& hex : {std::pair{4, 2}, std::pair{4, 3}, std::pair{5, 4}, std::pair{6, 6}}) {
        EXPECT_EQ(gUnitOwner[hex.first][hex.second], 0) << hex.first << ", " << hex.second;
    }
    EXPECT_TRUE(infoLineReads("Not enough action points to move."));
}

TEST_F(UnitControlTest, EscapeKeysReturnZeroWithTheUnitUnselected) {
    for (SDL_Keycode key : {SDLK_ESCAPE, SDLK_BACKSPACE, SDLK_KP_BACKSPACE}) {
        SCOPED_TRACE(SDL_GetKeyName(key));
        freshBoard();
        place(6, 7, 's', 2, 4, 4);
        int row = 6, column = 7;

        EXPECT_EQ(control(row, column, {keyEvent(key)}), 0);

        EXPECT_EQ(scriptedPassesLeft(), 0);
        EXPECT_EQ(dryPolls(), 0);
        EXPECT_EQ(row, 6);
        EXPECT_EQ(column, 7);
        EXPECT_TRUE(hexShowsRepaint(6, 7, 0));
        EXPECT_TRUE(infoLineReads(
            "Player 2: Move the unit. Attempts to move on enemy position will attack it. Press Escape or\n"
            "Backspace when done."));
    }
}

// Closing the window while an Archer aims ends the control as anywhere else, and with it the match.
TEST_F(UnitControlTest, QuitInsideTheTargetingRingReturnsOne) {
    place(6, 7, 'a', 1, 4, 4);
    place(6, 9, 'c', 2, 4, 4);
    int row = 6, column = 7;

    EXPECT_EQ(control(row, column, {keyEvent(SDLK_RETURN), quitEvent()}), 1);
    EXPECT_EQ(scriptedPassesLeft(), 0);
    EXPECT_EQ(dryPolls(), 0);
}

TEST_F(UnitControlTest, QuitReturnsOneWithTheUnitStillSelected) {
    place(6, 7, 'a', 1, 4, 4);
    int row = 6, column = 7;

    EXPECT_EQ(control(row, column, {quitEvent()}), 1);

    EXPECT_EQ(scriptedPassesLeft(), 0);
    EXPECT_EQ(dryPolls(), 0);
    EXPECT_TRUE(hexShowsRepaint(6, 7, 1));
    EXPECT_TRUE(infoLineReads(kArcherPrompt));
}

TEST_F(UnitControlTest, OnlyKeypadDigitsAreDirectionsHere) {
    struct Case {
        SDL_Keycode key;
        int expectedRow, expectedColumn;
    };
    // From (4, 4), an even column.
    const Case cases[] = {
        {SDLK_1, 4, 4},    {SDLK_2, 4, 4},      {SDLK_3, 4, 4},    {SDLK_4, 4, 4},
        {SDLK_5, 4, 4},    {SDLK_6, 4, 4},      {SDLK_KP_1, 4, 3}, {SDLK_KP_2, 5, 4},
        {SDLK_KP_3, 4, 5}, {SDLK_KP_4, 3, 3},   {SDLK_KP_5, 3, 4}, {SDLK_KP_6, 3, 5},
        {SDLK_c, 4, 3},    {SDLK_DELETE, 4, 3}, {SDLK_HOME, 3, 4}, {SDLK_a, 4, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(SDL_GetKeyName(c.key));
        freshBoard();
        place(4, 4, 'c', 1, 10, 4);
        int row = 4, column = 4;

        EXPECT_EQ(control(row, column, {keyEvent(c.key), keyEvent(SDLK_ESCAPE)}), 0);

        EXPECT_EQ(row, c.expectedRow);
        EXPECT_EQ(column, c.expectedColumn);
        EXPECT_EQ(gUnitOwner[c.expectedRow][c.expectedColumn], 1);
        EXPECT_EQ(gNumberOfUnit[1], 1);
    }
}

TEST_F(UnitControlTest, StepTowardsAnEnemyAttacksForCavalryAndShieldOnly) {
    struct Case {
        char type;
        int expectedActionPoint;
        int expectedEnemyHealth;
        const char* prompt;
    };
    const Case cases[] = {{'s', 2, 1, kOtherPrompt}, {'c', 2, 1, kOtherPrompt}, {'a', 5, 2, kArcherPrompt}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.type));
        freshBoard();
        place(4, 4, c.type, 1, 5, 4);
        place(3, 4, 'c', 2, 6, 2);
        int row = 4, column = 4;

        EXPECT_EQ(control(row, column, {keyEvent(SDLK_g), keyEvent(SDLK_ESCAPE)}), 0);

        EXPECT_EQ(row, 4);
        EXPECT_EQ(column, 4);
        EXPECT_EQ(gUnitType[4][4], c.type);
        EXPECT_EQ(gUnitActionPoint[4][4], c.expectedActionPoint);
        EXPECT_EQ(gUnitHealthPoint[3][4], c.expectedEnemyHealth);
        EXPECT_EQ(gUnitOwner[3][4], 2);
        EXPECT_TRUE(infoLineReads(c.prompt)) << "no message";
    }
}

TEST_F(UnitControlTest, EnterKeysDoNothingForCavalryAndShield) {
    for (char type : {'c', 's'}) {
        SCOPED_TRACE(std::string(1, type));
        freshBoard();
        place(4, 8, type, 1, 10, 4);
        place(4, 10, 'c', 2, 6, 2);  // an enemy on the Archer's ring would be shot at
        int row = 4, column = 8;
        const std::vector<Uint32> ringHex = hexPixels(2, 8);

        // Targeting would take the Escape key and leave unit control to the quit event that follows.
        EXPECT_EQ(control(row, column,
                          {keyEvent(SDLK_RETURN), keyEvent(SDLK_SPACE), keyEvent(SDLK_KP_ENTER),
                           keyEvent(SDLK_ESCAPE)}),
                  0);

        EXPECT_EQ(gUnitActionPoint[4][8], 10);
        EXPECT_EQ(gUnitHealthPoint[4][10], 2);
        EXPECT_EQ(hexPixels(2, 8), ringHex);
        EXPECT_TRUE(infoLineReads(kOtherPrompt));
    }
}

TEST_F(UnitControlTest, ArcherTargetingReturnsToTheMovePrompt) {
    place(4, 8, 'a', 1, 10, 4);
    place(4, 10, 'c', 2, 6, 2);
    int row = 4, column = 8;

    // Enter opens the ring, Space shoots at (4, 10), Escape leaves the ring, "b" steps, Escape lets go.
    const int result = control(row, column,
                               {keyEvent(SDLK_RETURN), keyEvent(SDLK_SPACE), keyEvent(SDLK_ESCAPE),
                                keyEvent(SDLK_b), keyEvent(SDLK_ESCAPE)});

    EXPECT_EQ(result, 0);
    EXPECT_EQ(gUnitHealthPoint[4][10], 1);
    EXPECT_EQ(row, 4);
    EXPECT_EQ(column, 9);
    EXPECT_EQ(gUnitActionPoint[4][9], 5);
    EXPECT_TRUE(infoLineReads(kArcherPrompt));
}

TEST_F(UnitControlTest, KillingTheLastEnemyReturnsTheWinnerCode) {
    struct Case {
        const char* name;
        char type;
        int player;
        int enemyRow, enemyColumn;
        std::vector<SDL_Event> events;
        int expectedResult;
    };
    const Case cases[] = {
        {"melee by player 1", 'c', 1, 3, 4, {keyEvent(SDLK_g), keyEvent(SDLK_q), keyEvent(SDLK_ESCAPE)}, 11},
        {"melee by player 2", 's', 2, 4, 5, {keyEvent(SDLK_b), keyEvent(SDLK_q), keyEvent(SDLK_ESCAPE)}, 12},
        {"shot by player 1",
         'a',
         1,
         4,
         6,
         {keyEvent(SDLK_KP_ENTER), keyEvent(SDLK_RETURN), keyEvent(SDLK_q), keyEvent(SDLK_ESCAPE)},
         11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        freshBoard();
        place(4, 4, c.type, c.player, 3, 4);
        place(c.enemyRow, c.enemyColumn, 'c', 3 - c.player, 6, 1);
        int row = 4, column = 4;

        startCapturingStdout();
        const int result = control(row, column, c.events);
        EXPECT_EQ(capturedStdout(), "\a");

        EXPECT_EQ(result, c.expectedResult);
        EXPECT_EQ(gNumberOfUnit[3 - c.player], 0);
        EXPECT_TRUE(hexShowsRepaint(4, 4, 1)) << "the unit keeps its selection hexagon";
    }
}

}  // namespace
