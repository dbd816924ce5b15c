// The distance between two hexes, computed through cube coordinates of the odd-columns-lower layout: an
// independent check on the game's neighbour rule and ring table.
#pragma once

#include <cstdlib>

inline int hexDistance(int rowA, int columnA, int rowB, int columnB) {
    // Cube coordinates (x, y, z) with x + y + z = 0; odd columns sit half a hex lower.
    const int xA = columnA;
    const int zA = rowA - (columnA - (columnA & 1)) / 2;
    const int xB = columnB;
    const int zB = rowB - (columnB - (columnB & 1)) / 2;
    const int yA = -xA - zA;
    const int yB = -xB - zB;
    return (std::abs(xA - xB) + std::abs(yA - yB) + std::abs(zA - zB)) / 2;
}
