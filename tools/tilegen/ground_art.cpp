// Walkable ground: grass, meadow flowers, earth and sand in calm, mid tones, so that the light glyphs of
// a unit's points stay readable on every tile and neighbouring tiles sit well together.
#include <cmath>

#include "tile_art.h"

namespace {

constexpr Rgb kGrassColour = {88, 128, 60};
constexpr Rgb kLushGrassColour = {70, 116, 50};
constexpr Rgb kDryGrassColour = {128, 132, 68};
constexpr Rgb kEarthColour = {112, 92, 70};
constexpr Rgb kSandColour = {164, 146, 98};
constexpr Rgb kHexBorder = {48, 70, 34};

Rgb groundColour(GroundKind kind) {
    switch (kind) {
        case GroundKind::kGrass:
            return kGrassColour;
        case GroundKind::kLushGrass:
            return kLushGrassColour;
        case GroundKind::kDryGrass:
            return kDryGrassColour;
        case GroundKind::kEarth:
            return kEarthColour;
        case GroundKind::kSand:
            return kSandColour;
    }
    return kGrassColour;
}

// Wind ripples on sand: thin darker lines, wavy and broken up by noise.
double sandRipple(int x, int y, std::uint32_t seed) {
    const double phase = (y + 0.2 * x + 6.0 * valueNoise(x, y, 11.0, seed + 2)) / 5.0;
    const double within = phase - std::floor(phase);
    if (valueNoise(x, y, 7.0, seed + 3) < 0.35) return 0.0;
    if (within < 0.2) return -0.05;
    if (within < 0.4) return 0.03;
    return 0.0;
}

bool isGrassy(GroundKind kind) {
    return kind == GroundKind::kGrass || kind == GroundKind::kLushGrass || kind == GroundKind::kDryGrass;
}

// A soft bevel inside the border line: the hexagon's rim is a little darker than its middle.
double rimFactor(int depth) {
    if (depth == 1) return 0.86;
    if (depth == 2) return 0.94;
    return 1.0;
}

// A grass blade tuft: a few short dark strokes with light tips.
void paintTuft(Cell& cell, int x, int y, Rgb ground, Random& random) {
    const int blades = randomInt(random, 2, 4);
    for (int blade = 0; blade < blades; ++blade) {
        const int bx = x + randomInt(random, -2, 2);
        const int height = randomInt(random, 2, 4);
        const int lean = randomInt(random, -1, 1);
        for (int step = 0; step < height; ++step) {
            const int px = bx + (step * lean) / 2;
            const int py = y - step;
            if (hexEdgeDepth(px, py) < 2) continue;
            paintPixel(cell, px, py, step == height - 1 ? shade(ground, 1.18) : shade(ground, 0.72));
        }
    }
}

// A small five-pixel flower with a lighter heart and a dark speck of shadow under it.
void paintFlower(Cell& cell, int x, int y, Rgb petal, Rgb heart) {
    if (hexEdgeDepth(x, y) < 3) return;
    shadePixel(cell, x, y + 2, 0.7);
    paintPixel(cell, x - 1, y, petal);
    paintPixel(cell, x + 1, y, petal);
    paintPixel(cell, x, y - 1, petal);
    paintPixel(cell, x, y + 1, petal);
    paintPixel(cell, x, y, heart);
}

// A patch of another ground that fades into the tile along a noisy outline.
void paintPatch(Cell& cell, GroundKind kind, std::uint32_t seed, double centreX, double centreY,
                double radius) {
    Cell patch;
    clearCell(patch);
    paintGround(patch, kind, seed);
    for (int y = 0; y < kHexHeight; ++y) {
        for (int x = 0; x < kHexWidth; ++x) {
            if (!isPainted(patch, x, y) || !isPainted(cell, x, y)) continue;
            const double dx = (x - centreX) / radius;
            const double dy = (y - centreY) / (radius * 0.8);
            const double reach =
                std::sqrt(dx * dx + dy * dy) + (valueNoise(x, y, 5.0, seed + 11) - 0.5) * 0.7;
            // A grainy fringe: the patch thins out pixel by pixel towards its edge.
            const double cover = (1.08 - reach) / 0.3;
            if (pixelNoise(x, y, seed + 12) < cover) paintPixel(cell, x, y, pixelOf(patch, x, y));
        }
    }
}

void paintTufts(Cell& cell, Rgb ground, int count, Random& random) {
    for (int i = 0; i < count; ++i)
        paintTuft(cell, randomInt(random, 6, 52), randomInt(random, 6, 47), ground, random);
}

void paintFlowers(Cell& cell, int count, Random& random) {
    constexpr Rgb kPetals[] = {{236, 234, 220}, {238, 214, 86}, {196, 160, 222}, {240, 190, 200}};
    const Rgb petal = kPetals[randomInt(random, 0, 3)];
    const Rgb heart = {232, 170, 60};
    for (int i = 0; i < count; ++i) {
        paintFlower(cell, randomInt(random, 6, 52), randomInt(random, 5, 46), petal, heart);
    }
}

}  // namespace

void paintGround(Cell& cell, GroundKind kind, std::uint32_t seed) {
    const Rgb base = groundColour(kind);
    for (int y = 0; y < kHexHeight; ++y) {
        for (int x = 0; x < kHexWidth; ++x) {
            const int depth = hexEdgeDepth(x, y);
            if (depth < 1) continue;
            double factor =
                0.93 + 0.14 * valueNoise(x, y, 13.0, seed) + 0.08 * (valueNoise(x, y, 3.0, seed + 1) - 0.5);
            const double grain = pixelNoise(x, y, seed);
            if (kind == GroundKind::kSand) factor += sandRipple(x, y, seed) + (grain < 0.05 ? -0.08 : 0.0);
            if (kind == GroundKind::kEarth) factor += grain < 0.08 ? -0.12 : (grain > 0.95 ? 0.1 : 0.0);
            paintPixel(cell, x, y, shade(base, factor * rimFactor(depth)));
        }
    }
    if (isGrassy(kind)) {
        Random random = seededRandom(seed);
        paintTufts(cell, base, 6, random);
    }
}

void drawBaseTile(Cell& cell) {
    clearCell(cell);
    paintGround(cell, GroundKind::kGrass, 1);
    for (int y = 0; y < kHexHeight; ++y) {
        for (int x = 0; x < kHexWidth; ++x) {
            if (hexEdgeDepth(x, y) == 0) paintPixel(cell, x, y, kHexBorder);
        }
    }
}

void drawGroundTile(Cell& cell, int tile) {
    clearCell(cell);
    const std::uint32_t seed = 1000u + static_cast<std::uint32_t>(tile) * 7919u;
    Random random = seededRandom(seed);
    const int family = tile / kAtlasColumns;
    const int variant = tile % kAtlasColumns;
    switch (family) {
        case 0:  // grass, a little more or less tufted
            paintGround(cell, GroundKind::kGrass, seed);
            paintTufts(cell, kGrassColour, variant, random);
            break;
        case 1:  // meadow flowers
            paintGround(cell, GroundKind::kGrass, seed);
            paintFlowers(cell, 3 + variant, random);
            break;
        case 2:  // lush grass
            paintGround(cell, GroundKind::kLushGrass, seed);
            paintTufts(cell, kLushGrassColour, 4 + variant / 2, random);
            if (variant % 3 == 0) paintFlowers(cell, 4, random);
            break;
        case 3:  // grass with a patch of bare earth
            paintGround(cell, GroundKind::kGrass, seed);
            paintPatch(cell, GroundKind::kEarth, seed + 5, randomBetween(random, 18, 40),
                       randomBetween(random, 16, 34), randomBetween(random, 8, 16));
            paintTufts(cell, kGrassColour, 3, random);
            break;
        case 4:  // bare earth
            paintGround(cell, GroundKind::kEarth, seed);
            if (variant % 2 == 1) paintTufts(cell, kGrassColour, 3 + variant / 3, random);
            break;
        case 5:  // sand
            paintGround(cell, GroundKind::kSand, seed);
            break;
        case 6:  // dry grass
            paintGround(cell, GroundKind::kDryGrass, seed);
            paintTufts(cell, kDryGrassColour, variant / 2, random);
            break;
        default:  // grass with a patch of sand
            paintGround(cell, GroundKind::kGrass, seed);
            paintPatch(cell, GroundKind::kSand, seed + 5, randomBetween(random, 18, 40),
                       randomBetween(random, 16, 34), randomBetween(random, 8, 16));
            paintTufts(cell, kGrassColour, 3, random);
            break;
    }
}
