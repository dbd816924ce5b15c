#include "paint.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kHexRightColumn = kHexBandLeft + kHexBandWidth + kHexSideColumns - 1;  // 58

int clampChannel(double value) {
    return std::clamp(static_cast<int>(value + 0.5), 0, 255);
}

std::uint32_t hashLattice(int x, int y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

double latticeValue(int x, int y, std::uint32_t seed) {
    return (hashLattice(x, y, seed) & 0xFFFFFF) / 16777216.0;
}

double smoothStep(double t) {
    return t * t * (3.0 - 2.0 * t);
}

bool isInsideCell(int x, int y) {
    return x >= 0 && x < kHexWidth && y >= 0 && y < kHexHeight;
}

// Distance from a pixel of the hexagon to the nearest pixel outside it, in rings of 8 neighbours, minus one.
int measureEdgeDepth(int x, int y) {
    if (!isInsideHex(x, y)) return -1;
    for (int depth = 0;; ++depth) {
        const int reach = depth + 1;
        for (int dy = -reach; dy <= reach; ++dy) {
            for (int dx = -reach; dx <= reach; ++dx) {
                if (std::max(std::abs(dx), std::abs(dy)) == reach && !isInsideHex(x + dx, y + dy))
                    return depth;
            }
        }
    }
}

}  // namespace

Rgb mix(Rgb from, Rgb to, double amount) {
    return {clampChannel(from.red + (to.red - from.red) * amount),
            clampChannel(from.green + (to.green - from.green) * amount),
            clampChannel(from.blue + (to.blue - from.blue) * amount)};
}

Rgb shade(Rgb colour, double factor) {
    if (factor <= 1.0)
        return {clampChannel(colour.red * factor), clampChannel(colour.green * factor),
                clampChannel(colour.blue * factor)};
    return mix(colour, {255, 255, 255}, factor - 1.0);
}

Random seededRandom(std::uint32_t seed) {
    Random random{hashLattice(static_cast<int>(seed), 7, 0x51ED27u) | 1u};
    nextRandom(random);
    return random;
}

std::uint32_t nextRandom(Random& random) {
    std::uint32_t x = random.state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    random.state = x;
    return x;
}

double randomUnit(Random& random) {
    return (nextRandom(random) >> 8) / 16777216.0;
}

double randomBetween(Random& random, double low, double high) {
    return low + (high - low) * randomUnit(random);
}

int randomInt(Random& random, int low, int high) {
    return low + static_cast<int>(nextRandom(random) % static_cast<std::uint32_t>(high - low + 1));
}

double pixelNoise(int x, int y, std::uint32_t seed) {
    return latticeValue(x, y, seed ^ 0xA5A5A5u);
}

double valueNoise(double x, double y, double scale, std::uint32_t seed) {
    const double u = x / scale;
    const double v = y / scale;
    const int cellX = static_cast<int>(std::floor(u));
    const int cellY = static_cast<int>(std::floor(v));
    const double tx = smoothStep(u - cellX);
    const double ty = smoothStep(v - cellY);
    const double top = latticeValue(cellX, cellY, seed) +
                       (latticeValue(cellX + 1, cellY, seed) - latticeValue(cellX, cellY, seed)) * tx;
    const double bottom =
        latticeValue(cellX, cellY + 1, seed) +
        (latticeValue(cellX + 1, cellY + 1, seed) - latticeValue(cellX, cellY + 1, seed)) * tx;
    return top + (bottom - top) * ty;
}

bool isInsideHex(int x, int y) {
    if (!isInsideCell(x, y)) return false;
    if (x >= kHexBandLeft && x < kHexBandLeft + kHexBandWidth) return y < kHexBandHeight;
    int side = -1;
    if (x < kHexSideColumns) side = x;
    if (x > kHexRightColumn - kHexSideColumns && x <= kHexRightColumn) side = kHexRightColumn - x;
    if (side < 0) return false;
    const int half = kHexSideHalfHeight[side];
    return y >= kHexMiddleY - half && y < kHexMiddleY + half;
}

int hexEdgeDepth(int x, int y) {
    // The depth is the distance to the nearest outside pixel in the 8-neighbour sense, minus one; the
    // table is worked out once.
    static int depths[kHexHeight][kHexWidth];
    static bool ready = false;
    if (!ready) {
        for (int py = 0; py < kHexHeight; ++py) {
            for (int px = 0; px < kHexWidth; ++px) depths[py][px] = measureEdgeDepth(px, py);
        }
        ready = true;
    }
    return isInsideCell(x, y) ? depths[y][x] : -1;
}

void clearCell(Cell& cell) {
    for (int y = 0; y < kHexHeight; ++y) {
        for (int x = 0; x < kHexWidth; ++x) {
            cell.colour[y][x] = {0, 0, 0};
            cell.painted[y][x] = false;
        }
    }
}

void paintPixel(Cell& cell, int x, int y, Rgb colour) {
    if (!isInsideCell(x, y)) return;
    cell.colour[y][x] = colour;
    cell.painted[y][x] = true;
}

bool isPainted(const Cell& cell, int x, int y) {
    return isInsideCell(x, y) && cell.painted[y][x];
}

Rgb pixelOf(const Cell& cell, int x, int y) {
    return cell.colour[y][x];
}

void shadePixel(Cell& cell, int x, int y, double factor) {
    if (isPainted(cell, x, y)) cell.colour[y][x] = shade(cell.colour[y][x], factor);
}

bool isInsideEllipse(double x, double y, double centreX, double centreY, double radiusX, double radiusY) {
    const double dx = (x - centreX) / radiusX;
    const double dy = (y - centreY) / radiusY;
    return dx * dx + dy * dy <= 1.0;
}

bool isInsidePolygon(double x, double y, const double* points, int pointCount) {
    bool inside = false;
    for (int i = 0, j = pointCount - 1; i < pointCount; j = i++) {
        const double xi = points[2 * i], yi = points[2 * i + 1];
        const double xj = points[2 * j], yj = points[2 * j + 1];
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
}

double distanceToSegment(double x, double y, double fromX, double fromY, double toX, double toY) {
    const double dx = toX - fromX;
    const double dy = toY - fromY;
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0.0 ? ((x - fromX) * dx + (y - fromY) * dy) / lengthSquared : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double nearX = fromX + t * dx - x;
    const double nearY = fromY + t * dy - y;
    return std::sqrt(nearX * nearX + nearY * nearY);
}

void fillEllipse(Cell& cell, double centreX, double centreY, double radiusX, double radiusY, Rgb colour) {
    for (int y = 0; y < kHexHeight; ++y) {
        for (int x = 0; x < kHexWidth; ++x) {
            if (isInsideEllipse(x + 0.5, y + 0.5, centreX, centreY, radiusX, radiusY))
                paintPixel(cell, x, y, colour);
        }
    }
}

void fillPolygon(Cell& cell, const double* points, int pointCount, Rgb colour) {
    for (int y = 0; y < kHexHeight; ++y) {
        for (int x = 0; x < kHexWidth; ++x) {
            if (isInsidePolygon(x + 0.5, y + 0.5, points, pointCount)) paintPixel(cell, x, y, colour);
        }
    }
}

void drawLine(Cell& cell, double fromX, double fromY, double toX, double toY, double width, Rgb colour) {
    for (int y = 0; y < kHexHeight; ++y) {
        for (int x = 0; x < kHexWidth; ++x) {
            if (distanceToSegment(x + 0.5, y + 0.5, fromX, fromY, toX, toY) <= width / 2.0) {
                paintPixel(cell, x, y, colour);
            }
        }
    }
}

void outlineCell(Cell& cell, Rgb colour) {
    bool touches[kHexHeight][kHexWidth] = {};
    for (int y = 0; y < kHexHeight; ++y) {
        for (int x = 0; x < kHexWidth; ++x) {
            if (cell.painted[y][x]) continue;
            for (int dy = -1; dy <= 1 && !touches[y][x]; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    if (isPainted(cell, x + dx, y + dy)) touches[y][x] = true;
                }
            }
        }
    }
    for (int y = 0; y < kHexHeight; ++y) {
        for (int x = 0; x < kHexWidth; ++x) {
            if (touches[y][x]) paintPixel(cell, x, y, colour);
        }
    }
}

void paintOver(Cell& bottom, const Cell& top) {
    for (int y = 0; y < kHexHeight; ++y) {
        for (int x = 0; x < kHexWidth; ++x) {
            if (top.painted[y][x]) paintPixel(bottom, x, y, top.colour[y][x]);
        }
    }
}
