// The board: one entry per hex in fixed global matrices, and the operations that place, move and remove
// units and the board cursor.
//
// Every operation redraws the hexes it changes at once, in the order tile, unit, selection hexagon,
// action and health points. That the game state draws itself is the game's design, not an accident of
// layering: there is no frame loop and no retained scene, so whoever changes a hex repaints it, and the
// picture is always the board as it is (see render/window.h).
#pragma once

#include <cstdint>

#include "state/hex.h"

// Tile numbers 0 to 127 are walkable ground; 128 to 255 (bit 7 set) are obstacles.
constexpr int kObstacleTileBit = 0x80;

extern std::uint8_t gMap[kBoardRows][kBoardColumns];
extern char gUnitType[kBoardRows][kBoardColumns];  // 0, 'a' Archer, 'c' Cavalry, 's' Shield
extern int gUnitOwner[kBoardRows][kBoardColumns];  // 0 no unit, 1 or 2
extern int gUnitActionPoint[kBoardRows][kBoardColumns];
extern int gUnitHealthPoint[kBoardRows][kBoardColumns];
extern int gNumberOfUnit[3];  // units of player 1 and 2; element 0 unused

// Inline: the computer's flood asks this of every hex each time it rates a unit.
inline bool isObstacle(int row, int column) {
    return (gMap[row][column] & kObstacleTileBit) != 0;
}

// What the board operations return: 0 done, or the first reason found not to. addUnit tests them in this
// order; removeUnit and the cursor operations refuse only a hex off the board. A refused call changes and
// draws nothing.
enum BoardResult : int {
    kBoardDone = 0,
    kOffTheBoard = 1,
    kNotAUnitType = 2,
    kNotAPlayer = 3,
    kActionPointsOutOfRange = 4,  // outside 0 to 99
    kHealthPointsOutOfRange = 5,  // outside 1 to 99
};

// selected: the hex shows the selection hexagon; draw: the hex is repainted at once.
int addUnit(int row, int column, char type, int owner, int actionPoint, int healthPoint, bool selected,
            bool draw);
int removeUnit(int row, int column);

int addCursorToMap(int row, int column, int player);
int removeCursorFromMap(int row, int column, bool selected);
int moveCursor(int fromRow, int fromColumn, int toRow, int toColumn, int player);

void overwriteUnitActionPoint(int row, int column, int value, bool selected);
void overwriteUnitHealthPoint(int row, int column, int value, bool selected);
void selectUnitOnMap(int row, int column);
void unselectUnitOnMap(int row, int column);

// Repaints one hex in layer order: tile, then unit, selection hexagon and points when a unit stands there.
void redrawHex(int row, int column, bool selected);
