#include "support/board_invariants.h"

#include <cstdio>
#include <cstring>

#include "state/board.h"
#include "state/map_file.h"

namespace {

constexpr int kMostActionPoints = 99;
constexpr int kMostHealthPoints = 99;

constexpr int kCrowdedUnitsPerSide = 20;
constexpr int kCrowdedRocks = 24;

std::string at(int row, int column) {
    return " at " + std::to_string(row) + "," + std::to_string(column);
}

bool isUnitType(char type) {
    return type == 'a' || type == 'c' || type == 's';
}

// The first broken invariant of one hex, or an empty text. Counts the unit that stands there.
std::string hexViolation(int row, int column, int counted[3]) {
    const int owner = gUnitOwner[row][column];
    const char type = gUnitType[row][column];
    const int actionPoint = gUnitActionPoint[row][column];
    const int healthPoint = gUnitHealthPoint[row][column];
    if (owner == 0) {
        if (type != 0 || actionPoint != 0 || healthPoint != 0)
            return "empty hex not all zero" + at(row, column);
        return "";
    }
    if (owner != 1 && owner != 2) return "owner " + std::to_string(owner) + at(row, column);
    if (!isUnitType(type))
        return "owner without a unit type (" + std::to_string(type) + ")" + at(row, column);
    if (isObstacle(row, column)) return "unit on an obstacle" + at(row, column);
    if (actionPoint < 0 || actionPoint > kMostActionPoints) {
        return "action points " + std::to_string(actionPoint) + at(row, column);
    }
    if (healthPoint < 1 || healthPoint > kMostHealthPoints) {
        return "health points " + std::to_string(healthPoint) + at(row, column);
    }
    ++counted[owner];
    return "";
}

}  // namespace

std::string boardInvariantViolation() {
    int counted[3] = {};
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            std::string violation = hexViolation(row, column, counted);
            if (!violation.empty()) return violation;
        }
    }
    for (int player = 1; player <= 2; ++player) {
        if (counted[player] != gNumberOfUnit[player]) {
            return "gNumberOfUnit[" + std::to_string(player) + "] is " +
                   std::to_string(gNumberOfUnit[player]) + " for " + std::to_string(counted[player]) +
                   " units";
        }
    }
    return "";
}

BoardSnapshot takeBoardSnapshot() {
    BoardSnapshot snapshot;
    std::memcpy(snapshot.map, gMap, sizeof gMap);
    std::memcpy(snapshot.type, gUnitType, sizeof gUnitType);
    std::memcpy(snapshot.owner, gUnitOwner, sizeof gUnitOwner);
    std::memcpy(snapshot.actionPoint, gUnitActionPoint, sizeof gUnitActionPoint);
    std::memcpy(snapshot.healthPoint, gUnitHealthPoint, sizeof gUnitHealthPoint);
    std::memcpy(snapshot.count, gNumberOfUnit, sizeof gNumberOfUnit);
    return snapshot;
}

void restoreBoardSnapshot(const BoardSnapshot& snapshot) {
    std::memcpy(gMap, snapshot.map, sizeof gMap);
    std::memcpy(gUnitType, snapshot.type, sizeof gUnitType);
    std::memcpy(gUnitOwner, snapshot.owner, sizeof gUnitOwner);
    std::memcpy(gUnitActionPoint, snapshot.actionPoint, sizeof gUnitActionPoint);
    std::memcpy(gUnitHealthPoint, snapshot.healthPoint, sizeof gUnitHealthPoint);
    std::memcpy(gNumberOfUnit, snapshot.count, sizeof gNumberOfUnit);
}

std::string differingHexes(const BoardSnapshot& before, const BoardSnapshot& after) {
    std::string hexes;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            if (before.map[row][column] == after.map[row][column] &&
                before.type[row][column] == after.type[row][column] &&
                before.owner[row][column] == after.owner[row][column] &&
                before.actionPoint[row][column] == after.actionPoint[row][column] &&
                before.healthPoint[row][column] == after.healthPoint[row][column]) {
                continue;
            }
            if (!hexes.empty()) hexes += " ";
            hexes += std::to_string(row) + "," + std::to_string(column);
        }
    }
    return hexes;
}

std::string mapFileText() {
    std::string text;
    char line[80];
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column)
            text += std::to_string(gMap[row][column]) + ",";
        text += "\n";
    }
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            if (gUnitType[row][column] == 0) continue;
            std::snprintf(line, sizeof line, "%d,%d,%c,%d,%d,%d\n", row, column, gUnitType[row][column],
                          gUnitOwner[row][column], gUnitActionPoint[row][column],
                          gUnitHealthPoint[row][column]);
            text += line;
        }
    }
    return text;
}

void fillRandomBoard(unsigned seed, const RandomBoardMix& mix) {
    clearStatusMatrix();
    BoardSequence sequence(seed);
    const char types[] = {'a', 'c', 's'};
    const int unitLimit = mix.rockPercent + mix.unitPercent;
    const int playerOneLimit = mix.rockPercent + mix.unitPercent / 2;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            const int roll = sequence.next(100);
            if (roll < mix.rockPercent) {
                gMap[row][column] = kObstacleTileBit | 5;
            } else if (roll < unitLimit) {
                addUnit(row, column, types[sequence.next(3)], roll < playerOneLimit ? 1 : 2,
                        sequence.next(mix.maxActionPoint + 1), 1 + sequence.next(mix.maxHealthPoint), 0, 0);
            }
        }
    }
}

void makeCrowdedBoard() {
    BoardSequence sequence(2024);
    clearStatusMatrix();
    const char types[] = {'a', 'c', 's'};
    for (int player = 1; player <= 2; ++player) {
        for (int placed = 0; placed < kCrowdedUnitsPerSide;) {
            const int row = (player == 1 ? 0 : 6) + sequence.next(4);
            const int column = sequence.next(kBoardColumns);
            if (gUnitOwner[row][column] != 0) continue;
            addUnit(row, column, types[placed % 3], player, 10, 1 + sequence.next(5), false, false);
            ++placed;
        }
    }
    for (int placed = 0; placed < kCrowdedRocks;) {
        const int row = sequence.next(kBoardRows);
        const int column = sequence.next(kBoardColumns);
        if (gUnitOwner[row][column] != 0 || isObstacle(row, column)) continue;
        gMap[row][column] = kObstacleTileBit | 3;
        ++placed;
    }
}
