#include "state/hex.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "support/hex_distance.h"

namespace {

constexpr int kDirections[] = {kDownLeft, kDown, kDownRight, kUpLeft, kUp, kUpRight};

// The direction that leads back, by keypad digit: 1 <-> 6, 2 <-> 5, 3 <-> 4.
int oppositeOf(int direction) {
    return 7 - direction;
}

TEST(HexNeighbours, ExamplesForBothColumnParities) {
    struct Case {
        int row, column, direction, expectedRow, expectedColumn;
    };
    const Case cases[] = {
        {4, 2, kUpLeft, 3, 1},  {4, 2, kUp, 3, 2},        {4, 2, kUpRight, 3, 3}, {4, 2, kDownLeft, 4, 1},
        {4, 2, kDown, 5, 2},    {4, 2, kDownRight, 4, 3}, {4, 3, kUpLeft, 4, 2},  {4, 3, kUp, 3, 3},
        {4, 3, kUpRight, 4, 4}, {4, 3, kDownLeft, 5, 2},  {4, 3, kDown, 5, 3},    {4, 3, kDownRight, 5, 4},
    };
    for (const Case& c : cases) {
        int row, column;
        neighbourOf(c.row, c.column, c.direction, row, column);
        EXPECT_EQ(std::make_pair(row, column), std::make_pair(c.expectedRow, c.expectedColumn))
            << "from (" << c.row << ", " << c.column << ") direction " << c.direction;
    }
}

TEST(HexNeighbours, EveryNeighbourIsAtDistanceOneAndLeadsBack) {
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            std::set<std::pair<int, int>> seen;
            for (int direction : kDirections) {
                int r, c;
                neighbourOf(row, column, direction, r, c);
                EXPECT_EQ(hexDistance(row, column, r, c), 1);
                seen.insert({r, c});
                int backRow, backColumn;
                neighbourOf(r, c, oppositeOf(direction), backRow, backColumn);
                EXPECT_EQ(std::make_pair(backRow, backColumn), std::make_pair(row, column));
            }
            EXPECT_EQ(seen.size(), 6u);
        }
    }
}

TEST(HexNeighbours, EdgesLeadOffTheBoard) {
    int r, c;
    for (int direction : {kUpLeft, kUp, kUpRight}) {
        neighbourOf(0, 0, direction, r, c);
        EXPECT_FALSE(isOnBoard(r, c)) << direction;
    }
    for (int direction : {kDownLeft, kDown, kDownRight}) {
        neighbourOf(9, 1, direction, r, c);
        EXPECT_FALSE(isOnBoard(r, c)) << direction;
    }
    neighbourOf(9, 0, kDownLeft, r, c);
    EXPECT_FALSE(isOnBoard(r, c));
    neighbourOf(9, 0, kDownRight, r, c);
    EXPECT_EQ(std::make_pair(r, c), std::make_pair(9, 1));
}

TEST(HexRing, HoldsExactlyTheHexesAtDistanceTwo) {
    for (int column : {4, 5}) {
        const int row = 4;
        int offsets[kRingPositions][2];
        ringOffsetsForColumn(column, offsets);
        std::set<std::pair<int, int>> ring;
        for (const auto& offset : offsets) {
            EXPECT_EQ(hexDistance(row, column, row + offset[0], column + offset[1]), 2);
            ring.insert({row + offset[0], column + offset[1]});
        }
        int atDistanceTwo = 0;
        for (int r = 0; r < kBoardRows; ++r) {
            for (int c = 0; c < kBoardColumns; ++c) atDistanceTwo += hexDistance(row, column, r, c) == 2;
        }
        EXPECT_EQ(ring.size(), 12u);
        EXPECT_EQ(atDistanceTwo, 12);
    }
}

TEST(HexRing, OddColumnLowersPositionsTwoFourEightAndTen) {
    int offsets[kRingPositions][2];
    ringOffsetsForColumn(5, offsets);
    EXPECT_EQ(offsets[2][0], -1);
    EXPECT_EQ(offsets[2][1], 1);
    EXPECT_EQ(offsets[8][0], 2);
    EXPECT_EQ(offsets[8][1], -1);
    EXPECT_EQ(offsets[0][0], 0);
    EXPECT_EQ(kRingOffsets[2][0], -2);  // the stored table itself is the even-column form
}

}  // namespace
