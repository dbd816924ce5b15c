// Hex maths of the board: its size, the neighbour rule and the ring of hexes at distance 2.
// Every part of the game that steps from one hex to another goes through this file.
#pragma once

constexpr int kBoardRows = 10;
constexpr int kBoardColumns = 17;
constexpr int kBoardHexes = kBoardRows * kBoardColumns;

// A direction is numbered by the digit of its keypad key.
enum Direction : int {
    kNoDirection = 0,
    kDownLeft = 1,
    kDown = 2,
    kDownRight = 3,
    kUpLeft = 4,
    kUp = 5,
    kUpRight = 6,
};

bool isOnBoard(int row, int column);

// The neighbour of (row, column) in a direction; odd columns sit half a hex lower than even ones.
// The result may lie off the board; callers test it with isOnBoard.
void neighbourOf(int row, int column, int direction, int& neighbourRow, int& neighbourColumn);

// The number of steps between two hexes on an open board, whatever stands in between.
int stepsBetweenHexes(int row, int column, int otherRow, int otherColumn);

// The twelve hexes at distance exactly 2, as (row, column) offsets for an even column, counter-clockwise
// as seen on screen from the hex two columns to the right (position 0).
constexpr int kRingPositions = 12;
extern const int kRingOffsets[kRingPositions][2];

// Copies the ring offsets for a hex in the given column: in an odd column the positions 2, 4, 8 and 10
// lie one row lower.
void ringOffsetsForColumn(int column, int offsets[kRingPositions][2]);
