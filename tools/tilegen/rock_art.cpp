// Obstacles: piles of grey rocks and boulders, lit from the top left, standing on the same grounds as the
// walkable tiles. They are big and dark-outlined so that a blocked hex reads at a glance.
#include <algorithm>
#include <cmath>

#include "tile_art.h"

namespace {

constexpr Rgb kRockOutline = {38, 36, 34};
constexpr int kMaxRocks = 6;
constexpr int kMaxFacets = 6;

struct Rock {
    double centreX, centreY;  // centre of the rock's outline
    double radiusX, radiusY;
    double wobble[4];  // how far the outline bulges, as the 2nd and 3rd harmonics of its angle
    Rgb colour;
};

// The outline radius of the rock (1 = the plain ellipse) in the direction (ux, uy), a unit vector; the
// harmonics are written as polynomials of the direction so that no trigonometry is needed.
double rockReach(const Rock& rock, double ux, double uy) {
    const double cos2 = ux * ux - uy * uy;
    const double sin2 = 2.0 * ux * uy;
    const double cos3 = 4.0 * ux * ux * ux - 3.0 * ux;
    const double sin3 = 3.0 * uy - 4.0 * uy * uy * uy;
    return 1.0 + rock.wobble[0] * cos2 + rock.wobble[1] * sin2 + rock.wobble[2] * cos3 +
           rock.wobble[3] * sin3;
}

// How far inside the rock a point lies: 0 at the centre, 1 on the outline, above 1 outside. Rocks rest on
// a flattened base.
double rockDepth(const Rock& rock, double x, double y) {
    const double dx = (x - rock.centreX) / rock.radiusX;
    const double dy = (y - rock.centreY) / rock.radiusY;
    if (dy > 0.62) return 2.0;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length < 1e-9) return 0.0;
    return length / rockReach(rock, dx / length, dy / length);
}

// The darkening that a rock casts on the ground to its lower right.
void paintRockShadow(Cell& cell, const Rock& rock) {
    const double baseY = rock.centreY + rock.radiusY * 0.62;
    for (int y = 0; y < kHexHeight; ++y) {
        for (int x = 0; x < kHexWidth; ++x) {
            if (isInsideEllipse(x + 0.5, y + 0.5, rock.centreX + rock.radiusX * 0.25, baseY,
                                rock.radiusX * 1.15, rock.radiusY * 0.5)) {
                shadePixel(cell, x, y, 0.62);
            }
        }
    }
}

// The rock's body, shaded as a faceted dome: each facet tilts the surface its own way, which gives the
// flat, chipped faces of a stone.
void paintRockBody(Cell& cell, const Rock& rock, Random& random) {
    double facetX[kMaxFacets], facetY[kMaxFacets], tiltX[kMaxFacets], tiltY[kMaxFacets];
    const int facets = randomInt(random, 3, kMaxFacets);
    for (int i = 0; i < facets; ++i) {
        facetX[i] = rock.centreX + randomBetween(random, -0.8, 0.8) * rock.radiusX;
        facetY[i] = rock.centreY + randomBetween(random, -0.8, 0.6) * rock.radiusY;
        tiltX[i] = randomBetween(random, -0.35, 0.35);
        tiltY[i] = randomBetween(random, -0.35, 0.35);
    }
    const std::uint32_t grain = nextRandom(random);
    Cell body;
    clearCell(body);
    for (int y = 0; y < kHexHeight; ++y) {
        for (int x = 0; x < kHexWidth; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double depth = rockDepth(rock, px, py);
            if (depth > 1.0) continue;
            int nearest = 0;
            double nearestDistance = 1e9;
            for (int i = 0; i < facets; ++i) {
                const double distance =
                    (px - facetX[i]) * (px - facetX[i]) + (py - facetY[i]) * (py - facetY[i]);
                if (distance < nearestDistance) nearestDistance = distance, nearest = i;
            }
            const double dx = (px - rock.centreX) / rock.radiusX;
            const double dy = (py - rock.centreY) / rock.radiusY;
            double normalX = dx * 0.9 + tiltX[nearest];
            double normalY = dy * 0.9 + tiltY[nearest];
            double normalZ = std::sqrt(std::max(0.05, 1.0 - std::min(1.0, depth * depth)));
            const double length = std::sqrt(normalX * normalX + normalY * normalY + normalZ * normalZ);
            normalX /= length, normalY /= length, normalZ /= length;
            const double light = std::max(0.0, -0.5 * normalX - 0.62 * normalY + 0.6 * normalZ);
            double factor = 0.5 + 0.7 * light + 0.1 * (pixelNoise(x, y, grain) - 0.5);
            if (dy > 0.35) factor *= 0.85;  // the foot of the rock sits in its own shade
            paintPixel(body, x, y, shade(rock.colour, factor));
        }
    }
    outlineCell(body, kRockOutline);
    paintOver(cell, body);
}

Rock makeRock(Random& random, double centreX, double centreY, double radius, Rgb colour) {
    Rock rock{centreX, centreY, radius, radius * randomBetween(random, 0.9, 1.0), {}, colour};
    for (double& wobble : rock.wobble) wobble = randomBetween(random, -0.1, 0.1);
    return rock;
}

// Picks a grey for one pile: warm or cool stone.
Rgb rockColour(Random& random) {
    constexpr Rgb kStones[] = {{138, 134, 126}, {128, 130, 136}, {146, 138, 124}, {120, 118, 114}};
    return kStones[randomInt(random, 0, 3)];
}

// Lays out the rocks of one tile: a big boulder, two or three large stones, or a heap of smaller ones.
// Every layout fills most of the hexagon, so that a blocked hex is plain to see.
int layOutRocks(Rock* rocks, int arrangement, Random& random) {
    const Rgb colour = rockColour(random);
    auto jitter = [&random](double spread) { return randomBetween(random, -spread, spread); };
    switch (arrangement) {
        case 0:  // one big boulder with two small ones at its foot
            rocks[0] =
                makeRock(random, 29 + jitter(2), 24 + jitter(1), randomBetween(random, 17, 19), colour);
            rocks[1] = makeRock(random, 44 + jitter(1), 36 + jitter(1), randomBetween(random, 6, 8), colour);
            rocks[2] = makeRock(random, 14 + jitter(1), 36 + jitter(1), randomBetween(random, 5, 7), colour);
            return 3;
        case 1:  // three large stones in a heap
            rocks[0] =
                makeRock(random, 20 + jitter(2), 20 + jitter(1), randomBetween(random, 12, 14), colour);
            rocks[1] =
                makeRock(random, 38 + jitter(2), 20 + jitter(1), randomBetween(random, 12, 14), colour);
            rocks[2] =
                makeRock(random, 29 + jitter(2), 33 + jitter(1), randomBetween(random, 13, 15), colour);
            return 3;
        case 2:  // a heap of five rocks
            rocks[0] =
                makeRock(random, 20 + jitter(1), 16 + jitter(1), randomBetween(random, 10, 11), colour);
            rocks[1] =
                makeRock(random, 36 + jitter(1), 14 + jitter(1), randomBetween(random, 10, 12), colour);
            rocks[2] = makeRock(random, 44 + jitter(1), 30 + jitter(1), randomBetween(random, 9, 10), colour);
            rocks[3] = makeRock(random, 15 + jitter(1), 32 + jitter(1), randomBetween(random, 9, 10), colour);
            rocks[4] =
                makeRock(random, 30 + jitter(1), 32 + jitter(1), randomBetween(random, 13, 14), colour);
            return 5;
        default:  // two large boulders side by side
            rocks[0] =
                makeRock(random, 21 + jitter(2), 22 + jitter(2), randomBetween(random, 14, 16), colour);
            rocks[1] =
                makeRock(random, 38 + jitter(2), 29 + jitter(2), randomBetween(random, 14, 16), colour);
            return 2;
    }
}

GroundKind obstacleGround(int family) {
    constexpr GroundKind kGrounds[] = {GroundKind::kGrass, GroundKind::kGrass,   GroundKind::kLushGrass,
                                       GroundKind::kGrass, GroundKind::kEarth,   GroundKind::kEarth,
                                       GroundKind::kSand,  GroundKind::kDryGrass};
    return kGrounds[family];
}

}  // namespace

void drawObstacleTile(Cell& cell, int tile) {
    clearCell(cell);
    const std::uint32_t seed = 50000u + static_cast<std::uint32_t>(tile) * 104729u;
    Random random = seededRandom(seed);
    const int family = tile / kAtlasColumns - kFirstObstacleTile / kAtlasColumns;
    const int variant = tile % kAtlasColumns;
    paintGround(cell, obstacleGround(family), seed);
    Rock rocks[kMaxRocks];
    const int count = layOutRocks(rocks, variant % 4, random);
    // Farther rocks (higher up) first, so that nearer ones overlap them.
    std::sort(rocks, rocks + count, [](const Rock& a, const Rock& b) { return a.centreY < b.centreY; });
    for (int i = 0; i < count; ++i) paintRockShadow(cell, rocks[i]);
    for (int i = 0; i < count; ++i) paintRockBody(cell, rocks[i], random);
}
