#include "state/hex.h"

#include <cstdlib>

bool isOnBoard(int row, int column) {
    return row >= 0 && row < kBoardRows && column >= 0 && column < kBoardColumns;
}

namespace {

// Row change of each direction, indexed by [column parity][direction]; index 0 is "no direction".
constexpr int kRowStep[2][7] = {
    {0, 0, 1, 0, -1, -1, -1},  // even column
    {0, 1, 1, 1, 0, -1, 0},    // odd column: half a hex lower
};
constexpr int kColumnStep[7] = {0, -1, 0, 1, -1, 0, 1};

}  // namespace

void neighbourOf(int row, int column, int direction, int& neighbourRow, int& neighbourColumn) {
    if (direction < kDownLeft || direction > kUpRight) {
        neighbourRow = row;
        neighbourColumn = column;
        return;
    }
    const int parity = column & 1;  // also right for negative columns in two's complement
    neighbourRow = row + kRowStep[parity][direction];
    neighbourColumn = column + kColumnStep[direction];
}

int stepsBetweenHexes(int row, int column, int otherRow, int otherColumn) {
    // On three axes, as if the columns stood straight: an odd column's half-hex drop comes off its row.
    const int across = column - otherColumn;
    const int along =
        (row - (column - (column & 1)) / 2) - (otherRow - (otherColumn - (otherColumn & 1)) / 2);
    return (std::abs(across) + std::abs(along) + std::abs(across + along)) / 2;
}

const int kRingOffsets[kRingPositions][2] = {
    {0, 2}, {-1, 2}, {-2, 1}, {-2, 0}, {-2, -1}, {-1, -2}, {0, -2}, {1, -2}, {1, -1}, {2, 0}, {1, 1}, {1, 2},
};

void ringOffsetsForColumn(int column, int offsets[kRingPositions][2]) {
    for (int position = 0; position < kRingPositions; ++position) {
        offsets[position][0] = kRingOffsets[position][0];
        offsets[position][1] = kRingOffsets[position][1];
    }
    if (column & 1) {
        constexpr int kLowerInOddColumn[] = {2, 4, 8, 10};
        for (int position : kLowerInOddColumn) offsets[position][0] += 1;
    }
}
