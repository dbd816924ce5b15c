#include "state/board.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "render/board_drawing.h"
#include "render/window.h"
#include "support/board_invariants.h"
#include "support/game_test.h"

namespace {

constexpr Uint32 kTilesTransparent = 0x00FFFF;
constexpr SDL_Rect kBaseTile = {0, 0, 60, 52};

int changedPixels(const std::vector<Uint32>& before, const std::vector<Uint32>& after) {
    int changed = 0;
    for (size_t i = 0; i < before.size(); ++i) changed += before[i] != after[i];
    return changed;
}

using BoardTest = GameTest;

TEST_F(BoardTest, AddUnitAnswersWithTheFirstFailingTest) {
    struct Case {
        int row;
        int column;
        char type;
        int owner;
        int actionPoint;
        int healthPoint;
        int status;
    };
    const Case cases[] = {
        {3, 4, 'a', 1, 0, 1, 0},
        {3, 4, 'c', 2, 99, 99, 0},
        {3, 4, 's', 1, 5, 0, 5},
        {3, 4, 's', 1, 5, 100, 5},
        {3, 4, 's', 1, 5, -1, 5},
        {3, 4, 's', 1, 100, 5, 4},
        {3, 4, 's', 1, -1, 5, 4},
        {3, 4, 's', 1, 100, 0, 4},
        {3, 4, 'a', 0, 5, 5, 3},
        {3, 4, 'a', 3, 5, 5, 3},
        {3, 4, 'a', 0, 100, 0, 3},
        {3, 4, 'x', 1, 5, 5, 2},
        {3, 4, 'A', 1, 5, 5, 2},
        {3, 4, 0, 1, 5, 5, 2},
        {3, 4, static_cast<char>('a' | 0x80), 1, 5, 5, 2},
        {3, 4, 'x', 0, 100, 0, 2},
        {10, 4, 'a', 1, 5, 5, 1},
        {3, -1, 'a', 1, 5, 5, 1},
        {-1, 4, 'a', 1, 5, 5, 1},
        {3, 17, 'a', 1, 5, 5, 1},
        {10, -1, 'x', 1, 5, 5, 1},
        {10, 17, 'x', 0, 100, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("addUnit(" + std::to_string(c.row) + ", " + std::to_string(c.column) + ", " +
                     std::to_string(c.type) + ", " + std::to_string(c.owner) + ", " +
                     std::to_string(c.actionPoint) + ", " + std::to_string(c.healthPoint) + ")");
        emptyBoard();
        ASSERT_EQ(addUnit(3, 4, 'c', 2, 6, 7, 0, 0), 0);  // a unit that a refused call must leave alone
        fillPicture(70, 50, 110);
        const BoardSnapshot board = takeBoardSnapshot();
        const std::vector<Uint32> before = readPicture();

        EXPECT_EQ(addUnit(c.row, c.column, c.type, c.owner, c.actionPoint, c.healthPoint, 1, 1), c.status);

        if (c.status != 0) {
            EXPECT_TRUE(board == takeBoardSnapshot());
            EXPECT_EQ(changedPixels(before, readPicture()), 0);
            continue;
        }
        EXPECT_EQ(gUnitType[3][4], c.type);
        EXPECT_EQ(gUnitOwner[3][4], c.owner);
        EXPECT_EQ(gUnitActionPoint[3][4], c.actionPoint);
        EXPECT_EQ(gUnitHealthPoint[3][4], c.healthPoint);
        EXPECT_EQ(gNumberOfUnit[c.owner], 1);
        EXPECT_EQ(gNumberOfUnit[3 - c.owner], 0);
        EXPECT_GT(changedPixels(before, readPicture()), 0);
    }
}

TEST_F(BoardTest, ReplacingAUnitKeepsTheCountsTrue) {
    struct Case {
        int oldOwner;
        int newOwner;
        int player1Units;
        int player2Units;
    };
    // Each board also has one unit of each player elsewhere.
    const Case cases[] = {{2, 1, 2, 1}, {1, 2, 1, 2}, {1, 1, 2, 1}, {2, 2, 1, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE("player " + std::to_string(c.newOwner) + " over player " + std::to_string(c.oldOwner));
        emptyBoard();
        ASSERT_EQ(addUnit(0, 0, 'a', 1, 1, 1, 0, 0), 0);
        ASSERT_EQ(addUnit(9, 16, 'a', 2, 1, 1, 0, 0), 0);
        ASSERT_EQ(addUnit(5, 5, 'c', c.oldOwner, 8, 8, 0, 0), 0);
        ASSERT_EQ(addUnit(5, 5, 's', c.newOwner, 2, 3, 0, 1), 0);
        EXPECT_EQ(gNumberOfUnit[1], c.player1Units);
        EXPECT_EQ(gNumberOfUnit[2], c.player2Units);
        EXPECT_EQ(gUnitType[5][5], 's');
        EXPECT_EQ(gUnitOwner[5][5], c.newOwner);
        EXPECT_EQ(gUnitActionPoint[5][5], 2);
        EXPECT_EQ(gUnitHealthPoint[5][5], 3);
    }
}

TEST_F(BoardTest, AUnitPlacedOnRocksClearsThemEvenWithoutDrawing) {
    struct Case {
        int tile;
        int tileAfter;
    };
    for (const Case& c : {Case{127, 127}, Case{128, 0}, Case{150, 0}, Case{255, 0}}) {
        SCOPED_TRACE("tile " + std::to_string(c.tile));
        emptyBoard();
        gMap[6][9] = static_cast<std::uint8_t>(c.tile);
        fillPicture(70, 50, 110);
        const std::vector<Uint32> before = readPicture();
        ASSERT_EQ(addUnit(6, 9, 'a', 2, 4, 4, 0, 0), 0);
        EXPECT_EQ(gMap[6][9], c.tileAfter);
        EXPECT_EQ(changedPixels(before, readPicture()), 0) << "the draw flag 0 draws nothing";
    }

    // A refused unit leaves the rocks; a drawn one shows the plain tile under it, not the rocks.
    emptyBoard();
    gMap[6][9] = 150;
    EXPECT_EQ(addUnit(6, 9, 'a', 2, 4, 0, 0, 1), 5);
    EXPECT_EQ(gMap[6][9], 150);
    renderTile(6, 9);
    ASSERT_EQ(addUnit(6, 9, 'a', 2, 4, 4, 0, 1), 0);
    EXPECT_EQ(gMap[6][9], 0);
    const std::vector<Uint32> drawn = readPicture();
    redrawHex(6, 9, 0);
    EXPECT_EQ(changedPixels(drawn, readPicture()), 0);
}

TEST_F(BoardTest, RemoveUnitEmptiesTheHexAndRepaintsItsTile) {
    ASSERT_EQ(addUnit(1, 1, 'a', 1, 1, 1, 0, 0), 0);
    ASSERT_EQ(addUnit(8, 8, 'a', 2, 1, 1, 0, 0), 0);
    gMap[2][5] = 9;

    // On an empty hex: no error, the tile is repainted, the counts stay.
    fillPicture(70, 50, 110);
    EXPECT_EQ(removeUnit(2, 5), 0);
    EXPECT_EQ(gNumberOfUnit[1], 1);
    EXPECT_EQ(gNumberOfUnit[2], 1);
    EXPECT_EQ(cellMismatches("tiles.png", kTilesTransparent, {540, 0, 60, 52}, 225, 130), 0);
    const std::vector<Uint32> tileAlone = readPicture();

    // On a unit: the hex is emptied, its tile kept, and the picture is the tile alone again.
    fillPicture(70, 50, 110);
    ASSERT_EQ(addUnit(2, 5, 's', 2, 7, 5, 1, 1), 0);
    EXPECT_EQ(gNumberOfUnit[2], 2);
    EXPECT_EQ(removeUnit(2, 5), 0);
    EXPECT_EQ(gNumberOfUnit[1], 1);
    EXPECT_EQ(gNumberOfUnit[2], 1);
    EXPECT_EQ(gUnitType[2][5], 0);
    EXPECT_EQ(gUnitOwner[2][5], 0);
    EXPECT_EQ(gUnitActionPoint[2][5], 0);
    EXPECT_EQ(gUnitHealthPoint[2][5], 0);
    EXPECT_EQ(gMap[2][5], 9);
    EXPECT_EQ(changedPixels(tileAlone, readPicture()), 0);

    // Off the board: refused, nothing changes or is drawn.
    for (const auto& [row, column] :
         {std::pair{0, 17}, std::pair{10, 0}, std::pair{-1, 3}, std::pair{2, -1}}) {
        const BoardSnapshot board = takeBoardSnapshot();
        const std::vector<Uint32> before = readPicture();
        EXPECT_EQ(removeUnit(row, column), 1) << row << ", " << column;
        EXPECT_TRUE(board == takeBoardSnapshot());
        EXPECT_EQ(changedPixels(before, readPicture()), 0);
    }
}

TEST_F(BoardTest, CursorMovesOnlyBetweenHexesOnTheBoard) {
    renderMap();
    ASSERT_EQ(addCursorToMap(0, 0, 1), 0);
    EXPECT_TRUE(cursorDrawnAt(0, 0, 1));
    const std::vector<Uint32> withCursor = readPicture();

    EXPECT_EQ(moveCursor(0, 0, -1, -1, 1), 1);
    EXPECT_EQ(moveCursor(-1, -1, 0, 0, 2), 1);
    EXPECT_EQ(moveCursor(0, 0, 0, 17, 1), 1);
    EXPECT_EQ(addCursorToMap(10, 0, 2), 1);
    EXPECT_EQ(removeCursorFromMap(0, 17, 0), 1);
    EXPECT_EQ(changedPixels(withCursor, readPicture()), 0) << "the cursor stays drawn at (0, 0) alone";

    EXPECT_EQ(moveCursor(0, 0, 0, 1, 2), 0);
    EXPECT_TRUE(cursorDrawnAt(0, 1, 2));
    EXPECT_EQ(cellMismatches("tiles.png", kTilesTransparent, kBaseTile, 0, 0), 0) << "(0, 0) is plain again";
}

TEST_F(BoardTest, OverwritingPointsRedrawsTheHexWithTheNewValue) {
    ASSERT_EQ(addUnit(4, 7, 'c', 1, 7, 5, 0, 1), 0);
    const std::vector<Uint32> seven = readPicture();

    overwriteUnitActionPoint(4, 7, 3, 1);
    EXPECT_EQ(gUnitActionPoint[4][7], 3);
    const std::vector<Uint32> three = readPicture();
    EXPECT_GT(changedPixels(seven, three), 0);
    selectUnitOnMap(4, 7);  // the same value, drawn the way a selected unit is
    EXPECT_EQ(changedPixels(three, readPicture()), 0);

    overwriteUnitHealthPoint(4, 7, 120, 0);  // not tested against the placing limits
    EXPECT_EQ(gUnitHealthPoint[4][7], 120);
    const std::vector<Uint32> health = readPicture();
    unselectUnitOnMap(4, 7);
    EXPECT_EQ(changedPixels(health, readPicture()), 0);
    EXPECT_EQ(gNumberOfUnit[1], 1);
}

}  // namespace
