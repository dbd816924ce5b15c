#include "flow/match.h"

#include "render/board_drawing.h"
#include "render/text.h"
#include "render/texts.h"
#include "state/board.h"
#include "support/game_test.h"

namespace {

constexpr int kPromptDigitX = kInfoLineX + 7 * kGlyphSize;  // "Player", a blank cell, then the digit

bool promptDigitIs(int digit) {
    const SDL_Rect glyph = {kGlyphSize * digit, 0, kGlyphSize, kGlyphSize};
    return cellMismatches("font.bmp", 0x000000, glyph, kPromptDigitX, kInfoLineY) == 0;
}

class MatchTest : public GameTest {};

TEST_F(MatchTest, CursorStaysOnTheBoardAtTheTopLeftCorner) {
    scriptKeys(
        {SDLK_f, SDLK_g, SDLK_h, SDLK_INSERT, SDLK_HOME, SDLK_PAGEUP, SDLK_KP_4, SDLK_KP_5, SDLK_KP_6});
    EXPECT_EQ(play(0, 0), 1);
    EXPECT_TRUE(cursorDrawnAt(0, 0, 1));
}

TEST_F(MatchTest, CursorStepsDownRightThroughBothColumnParities) {
    scriptKeys({SDLK_b});
    EXPECT_EQ(play(0, 0), 1);
    EXPECT_TRUE(cursorDrawnAt(0, 1, 1));
    EXPECT_FALSE(cursorDrawnAt(0, 0, 1));

    scriptKeys({SDLK_b, SDLK_b});
    EXPECT_EQ(play(0, 0), 1);
    EXPECT_TRUE(cursorDrawnAt(1, 2, 1));
}

TEST_F(MatchTest, TopRowDigitsAreDirectionsInCursorMode) {
    scriptKeys({SDLK_3, SDLK_1});  // down-right to (0, 1), then down-left from an odd column to (1, 0)
    EXPECT_EQ(play(0, 0), 1);
    EXPECT_TRUE(cursorDrawnAt(1, 0, 1));
}

TEST_F(MatchTest, EscapeTwiceKeepsThePlayer) {
    scriptKeys({SDLK_ESCAPE, SDLK_ESCAPE, SDLK_b});
    EXPECT_EQ(play(0, 0), 1);
    EXPECT_TRUE(promptDigitIs(1));
    EXPECT_TRUE(cursorDrawnAt(0, 1, 1));
}

TEST_F(MatchTest, ConfirmedEndOfTurnHandsOverToTheOtherHuman) {
    addUnit(5, 5, 'c', 1, 0, 5, 0, 0);
    addUnit(6, 6, 's', 2, 0, 8, 0, 0);
    scriptKeys({SDLK_BACKSPACE, SDLK_SPACE});
    EXPECT_EQ(play(0, 0), 1);
    EXPECT_EQ(gUnitActionPoint[5][5], 5);
    EXPECT_EQ(gUnitActionPoint[6][6], 0);
    EXPECT_TRUE(promptDigitIs(2));
    EXPECT_TRUE(cursorDrawnAt(0, 0, 2));

    scriptKeys({SDLK_ESCAPE, SDLK_RETURN, SDLK_ESCAPE, SDLK_KP_ENTER});
    EXPECT_EQ(play(0, 0), 1);
    EXPECT_EQ(gUnitActionPoint[6][6], 5);
    EXPECT_TRUE(promptDigitIs(1));
}

TEST_F(MatchTest, MenuKeyLeavesWithoutRegeneration) {
    addUnit(5, 5, 'c', 1, 0, 5, 0, 0);
    scriptKeys({SDLK_ESCAPE, SDLK_m});
    EXPECT_EQ(play(0, 0), 0);
    EXPECT_EQ(gUnitActionPoint[5][5], 0);
    EXPECT_FALSE(cursorDrawnAt(0, 0, 1));
}

TEST_F(MatchTest, QuitEndsTheMatchInCursorModeInTheQuestionAndWhileAnArcherAims) {
    script({quitEvent(), keyEvent(SDLK_b)});
    EXPECT_EQ(play(0, 0), 1);
    EXPECT_EQ(scriptedPassesLeft(), 1);

    clearScript();
    script({keyEvent(SDLK_ESCAPE), quitEvent(), keyEvent(SDLK_RETURN)});
    EXPECT_EQ(play(0, 0), 1);
    EXPECT_EQ(scriptedPassesLeft(), 1);

    clearScript();
    addUnit(0, 0, 'a', 1, 5, 2, 0, 0);
    addUnit(0, 2, 'c', 2, 5, 5, 0, 0);
    script({keyEvent(SDLK_RETURN), keyEvent(SDLK_RETURN), quitEvent(), keyEvent(SDLK_b)});
    EXPECT_EQ(play(0, 0), 1);
    EXPECT_EQ(scriptedPassesLeft(), 1);
}

TEST_F(MatchTest, KeysQueuedBehindTheAnswerAnswerTheQuestionToo) {
    addUnit(5, 5, 'c', 1, 0, 5, 0, 0);
    addUnit(6, 6, 's', 2, 0, 8, 0, 0);
    scriptTogether({keyEvent(SDLK_ESCAPE)});
    scriptTogether({keyEvent(SDLK_ESCAPE), keyEvent(SDLK_m)});  // cancelled, then "m" in the same pass
    EXPECT_EQ(play(0, 0), 0);
}

TEST_F(MatchTest, EnterOnAnEnemyOrAnEmptyHexSelectsNothing) {
    addUnit(0, 1, 'c', 2, 5, 5, 0, 0);
    scriptKeys({SDLK_RETURN, SDLK_b, SDLK_RETURN, SDLK_g});  // the cursor still moves afterwards
    EXPECT_EQ(play(0, 0), 1);
    EXPECT_TRUE(cursorDrawnAt(0, 1, 1));
    EXPECT_EQ(gUnitActionPoint[0][1], 5);
}

TEST_F(MatchTest, HelpMatchStartsAboveTheArcherAndShowsItsText) {
    scriptKeys({SDLK_ESCAPE, SDLK_m});
    EXPECT_EQ(play(1, 1), 0);
    addCursorToMap(7, 0, 1);  // the "m" erased it; what matters is that the match started there
    scriptKeys({SDLK_g});
    EXPECT_EQ(play(1, 1), 1);
    EXPECT_TRUE(cursorDrawnAt(6, 0, 1));
    // The help text's second line starts with three blanks and "--".
    const SDL_Rect minus = {10 * kGlyphSize, 4 * kGlyphSize, kGlyphSize, kGlyphSize};
    EXPECT_EQ(cellMismatches("font.bmp", 0x000000, minus, kInfoLineX + 3 * kGlyphSize, kGlyphSize), 0);
}

TEST_F(MatchTest, HelpTextIsWholeAgainAfterANestedWait) {
    // Up to (5, 0) under the text; then, in one pass, up to (4, 0) and the end-of-turn question, which
    // shows the repainted hexes; then the question is cancelled, which paints nothing.
    scriptKeys({SDLK_g, SDLK_g});
    scriptTogether({keyEvent(SDLK_g), keyEvent(SDLK_ESCAPE)});
    scriptKeys({SDLK_ESCAPE});
    EXPECT_EQ(play(1, 1), 1);
    // The text is whole when writing it once more changes no pixel.
    const std::vector<Uint32> shown = readPicture();
    gTextX = kInfoLineX;
    gTextY = 0;
    renderText(kInfoLineX, kMatchHelpText);
    EXPECT_TRUE(readPicture() == shown);
}

TEST_F(MatchTest, TwoHumansPlayAMatchToItsVictory) {
    addUnit(0, 0, 'c', 1, 7, 5, 0, 0);
    addUnit(1, 2, 'a', 2, 10, 1, 0, 0);
    scriptKeys({SDLK_ESCAPE, SDLK_RETURN,  // player 1 ends the turn: 7 + 5 gives 10
                SDLK_ESCAPE, SDLK_RETURN,  // player 2 ends the turn
                SDLK_RETURN, SDLK_b,       // select the Cavalry, step to (0, 1)
                SDLK_b,                    // attack the Archer at (1, 2): its last health point
                SDLK_x});                  // closes the victory notice
    EXPECT_EQ(play(0, 0), 11);
    EXPECT_EQ(gNumberOfUnit[2], 0);
    EXPECT_EQ(gUnitOwner[0][1], 1);
    EXPECT_EQ(gUnitActionPoint[0][1], 10 - 1 - 3);
    EXPECT_EQ(scriptedPassesLeft(), 0);
}

TEST_F(MatchTest, AgainstTheComputerPlayerOneMovesAgainAfterTheComputerTurn) {
    addUnit(9, 16, 'c', 2, 0, 5, 0, 0);
    scriptKeys({SDLK_ESCAPE, SDLK_RETURN});
    EXPECT_EQ(play(1, 0), 1);
    EXPECT_TRUE(promptDigitIs(1));
    EXPECT_TRUE(cursorDrawnAt(0, 0, 1));
    EXPECT_EQ(gUnitActionPoint[9][16], 5);  // the computer's units regenerate after its turn
}

}  // namespace
