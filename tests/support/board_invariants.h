// The board's invariants in one place, for the tests and the fuzz targets; whole-board snapshots and the
// map-file text of a board, for comparing boards and the files that hold them; and seeded boards, for the
// tests and the benchmarks.
#pragma once

#include <cstdint>
#include <string>

#include "state/hex.h"

// Describes the first broken invariant of the board in memory ("unit on an obstacle at 3,4"), or returns an
// empty text when the board is sound: a hex holds a unit exactly when its owner is 1 or 2, and then its
// type is 'a', 'c' or 's'; an empty hex is all zero; a unit has action points 0 to 99 and health points 1
// to 99 (what a map file or an editor entry can place, and what play keeps); no unit stands on an obstacle;
// gNumberOfUnit[1] and [2] count the hexes of each player.
std::string boardInvariantViolation();

// Everything that a map file stores, and the unit counts.
struct BoardSnapshot {
    std::uint8_t map[kBoardRows][kBoardColumns];
    char type[kBoardRows][kBoardColumns];
    int owner[kBoardRows][kBoardColumns];
    int actionPoint[kBoardRows][kBoardColumns];
    int healthPoint[kBoardRows][kBoardColumns];
    int count[3];
    bool operator==(const BoardSnapshot&) const = default;
};

BoardSnapshot takeBoardSnapshot();
// Puts a snapshot back into the board matrices; nothing is drawn.
void restoreBoardSnapshot(const BoardSnapshot& snapshot);
// The hexes where two snapshots differ, as "row,column" items, or an empty text.
std::string differingHexes(const BoardSnapshot& before, const BoardSnapshot& after);

// The text that a save writes for the board in memory: ten lines of 17 "tile," items, then one
// "row,column,type,owner,actionPoint,healthPoint" line per unit in board order.
std::string mapFileText();

// A fixed pseudo-random sequence for laying out the boards of the tests and the benchmarks: a seed named
// in a failure or behind a benchmark figure always gives the same board.
class BoardSequence {
   public:
    explicit BoardSequence(unsigned seed) : seed_(seed) {}
    // The next number, from 0 to below - 1.
    int next(int below) {
        seed_ = seed_ * 1103515245u + 12345u;
        return static_cast<int>((seed_ >> 16) % static_cast<unsigned>(below));
    }

   private:
    unsigned seed_;
};

// Fills the board from a BoardSequence: on each hex, rocks (tile 133) with rockPercent chance, else a unit
// with unitPercent chance (player 1 for the first half of that range), of a random kind with 0 to
// maxActionPoint action points and 1 to maxHealthPoint health points. Nothing is drawn.
struct RandomBoardMix {
    int rockPercent;
    int unitPercent;
    int maxActionPoint;
    int maxHealthPoint;
};
void fillRandomBoard(unsigned seed, const RandomBoardMix& mix);

// The crowded board: twenty units a side, player 1 in the top four rows and player 2 in the bottom four,
// 10 action points each, and 24 rocks, from a fixed sequence. Nothing is drawn.
void makeCrowdedBoard();
