// The board: one entry per hex in fixed global matrices, and the operations that place, move and remove
// units and the board cursor. Every operation redraws the hexes it changes at once, in the order
// tile, unit, selection hexagon, action and health points.
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

// 0 placed; 1 off the board; 2 not a unit type; 3 not a player; 4 action points outside 0..99;
// 5 health points outside 1..99. A refused call changes and draws nothing.
int addUnit(int row, int column, char type, int owner, int actionPoint, int healthPoint, int selected,
            int draw);
int removeUnit(int row, int column);

int addCursorToMap(int row, int column, int player);
int removeCursorFromMap(int row, int column, int selected);
int moveCursor(int fromRow, int fromColumn, int toRow, int toColumn, int player);

void overwriteUnitActionPoint(int row, int column, int value, int selected);
void overwriteUnitHealthPoint(int row, int column, int value, int selected);
void selectUnitOnMap(int row, int column);
void unselectUnitOnMap(int row, int column);

// Repaints one hex in layer order: tile, then unit, selection hexagon and points when a unit stands there.
void redrawHex(int row, int column, int selected);
