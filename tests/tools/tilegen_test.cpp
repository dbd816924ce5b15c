// The committed tile atlas keeps the promises the board drawing relies on: the hexagon shape with cyan
// everywhere else, an opaque base tile with a visible border, rocks only on obstacle tiles, and unit
// sprites in both players' colours that leave room for the points.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "render/board_drawing.h"

namespace {

constexpr int kAtlasWidth = 960;
constexpr int kAtlasHeight = 884;
constexpr int kCellsPerRow = 16;
constexpr Uint32 kCyan = 0x00FFFF;

// The hexagon as the target highlight paints it: the middle band and the fifteen side columns each side.
bool isOnHexagon(int x, int y) {
    if (x >= kHexBandLeft && x < kHexBandLeft + kHexBandWidth) return y >= 0 && y < kHexBandHeight;
    const int rightmost = kHexBandLeft + kHexBandWidth + kHexSideColumns - 1;
    int side = -1;
    if (x >= 0 && x < kHexSideColumns) side = x;
    if (x > rightmost - kHexSideColumns && x <= rightmost) side = rightmost - x;
    if (side < 0) return false;
    return y >= kHexMiddleY - kHexSideHalfHeight[side] && y < kHexMiddleY + kHexSideHalfHeight[side];
}

bool isNearCyan(Uint32 rgb) {
    const int red = rgb >> 16, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
    return red + (255 - green) + (255 - blue) < 96;
}

// Stone: unsaturated, neither black outline nor white flower.
bool isStoneGrey(Uint32 rgb) {
    const int red = rgb >> 16, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
    const int brightest = std::max({red, green, blue}), darkest = std::min({red, green, blue});
    return brightest - darkest < 30 && brightest > 60 && brightest < 215;
}

bool isBlue(Uint32 rgb) {
    const int red = rgb >> 16, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
    return rgb != kCyan && blue > red + 60 && blue > green + 40;
}

bool isRed(Uint32 rgb) {
    const int red = rgb >> 16, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
    return red > green + 80 && red > blue + 80;
}

int luminance(Uint32 rgb) {
    return (299 * (rgb >> 16) + 587 * ((rgb >> 8) & 0xFF) + 114 * (rgb & 0xFF)) / 1000;
}

class TileAtlasTest : public ::testing::Test {
   protected:
    static void SetUpTestSuite() {
        SDL_Surface* loaded = IMG_Load((std::string(QORDA_DATA_DIR) + "/tiles.png").c_str());
        ASSERT_NE(loaded, nullptr) << IMG_GetError();
        atlas = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0);
        SDL_FreeSurface(loaded);
    }
    static void TearDownTestSuite() { SDL_FreeSurface(atlas); }

    // 0xRRGGBB of pixel (x, y) of atlas cell (column, row).
    static Uint32 cellPixel(int column, int row, int x, int y) {
        const auto* pixels = static_cast<const Uint32*>(atlas->pixels);
        return pixels[(row * kHexHeight + y) * (atlas->pitch / 4) + column * kHexWidth + x] & 0xFFFFFF;
    }

    static int countPixels(int column, int row, bool (*test)(Uint32)) {
        int count = 0;
        for (int y = 0; y < kHexHeight; ++y) {
            for (int x = 0; x < kHexWidth; ++x) count += test(cellPixel(column, row, x, y)) ? 1 : 0;
        }
        return count;
    }

    static int hexagonPixels() {
        int count = 0;
        for (int y = 0; y < kHexHeight; ++y) {
            for (int x = 0; x < kHexWidth; ++x) count += isOnHexagon(x, y) ? 1 : 0;
        }
        return count;
    }

    static SDL_Surface* atlas;
};

SDL_Surface* TileAtlasTest::atlas = nullptr;

TEST_F(TileAtlasTest, HasSixteenCellsPerRowAndSeventeenRows) {
    EXPECT_EQ(atlas->w, kAtlasWidth);
    EXPECT_EQ(atlas->h, kAtlasHeight);
}

TEST_F(TileAtlasTest, EveryCellIsCyanOutsideTheHexagonAndNeverNearCyanInside) {
    for (int row = 0; row < kAtlasHeight / kHexHeight; ++row) {
        for (int column = 0; column < kCellsPerRow; ++column) {
            int strayOutside = 0, nearCyanInside = 0;
            for (int y = 0; y < kHexHeight; ++y) {
                for (int x = 0; x < kHexWidth; ++x) {
                    const Uint32 pixel = cellPixel(column, row, x, y);
                    if (!isOnHexagon(x, y)) strayOutside += pixel != kCyan ? 1 : 0;
                    if (isOnHexagon(x, y)) nearCyanInside += pixel != kCyan && isNearCyan(pixel) ? 1 : 0;
                }
            }
            EXPECT_EQ(strayOutside, 0) << "cell (" << column << ", " << row << ")";
            EXPECT_EQ(nearCyanInside, 0) << "cell (" << column << ", " << row << ")";
        }
    }
}

TEST_F(TileAtlasTest, BaseTileIsOpaqueWithADarkerBorder) {
    int transparent = 0, borderCount = 0, innerCount = 0;
    long borderLight = 0, innerLight = 0;
    for (int y = 0; y < kHexHeight; ++y) {
        for (int x = 0; x < kHexWidth; ++x) {
            if (!isOnHexagon(x, y)) continue;
            const Uint32 pixel = cellPixel(0, 0, x, y);
            transparent += pixel == kCyan ? 1 : 0;
            const bool onBorder = !isOnHexagon(x - 1, y) || !isOnHexagon(x + 1, y) ||
                                  !isOnHexagon(x, y - 1) || !isOnHexagon(x, y + 1);
            (onBorder ? borderLight : innerLight) += luminance(pixel);
            (onBorder ? borderCount : innerCount) += 1;
        }
    }
    EXPECT_EQ(transparent, 0);
    EXPECT_LT(borderLight / borderCount + 25, innerLight / innerCount);
}

TEST_F(TileAtlasTest, RocksStandOnObstacleTilesOnly) {
    const int hexagon = hexagonPixels();
    for (int tile = 0; tile < 256; ++tile) {
        const int column = tile % kCellsPerRow, row = tile / kCellsPerRow;
        const int shown = hexagon - countPixels(column, row, [](Uint32 pixel) { return pixel == kCyan; });
        EXPECT_GT(shown, hexagon / 2) << "tile " << tile << " is mostly empty";
        const int grey = countPixels(column, row, isStoneGrey);
        if (tile < 128) {
            EXPECT_LT(grey, hexagon / 50) << "walkable tile " << tile << " looks rocky";
        } else {
            EXPECT_GT(grey, hexagon / 5) << "obstacle tile " << tile << " shows too little rock";
        }
    }
}

TEST_F(TileAtlasTest, UnusedMarkCellsAreEmpty) {
    for (int column = 10; column < kCellsPerRow; ++column) {
        EXPECT_EQ(countPixels(column, kMarkRow, [](Uint32 pixel) { return pixel != kCyan; }), 0) << column;
    }
}

// Cells 0..9 of the mark row come in pairs, player 1 then player 2: the same picture in blue and in red.
TEST_F(TileAtlasTest, MarksOfBothPlayersHaveTheSameShapeInBlueAndRed) {
    for (int pair = 0; pair < 5; ++pair) {
        const int first = 2 * pair, second = 2 * pair + 1;
        int shapeDifferences = 0;
        for (int y = 0; y < kHexHeight; ++y) {
            for (int x = 0; x < kHexWidth; ++x) {
                const bool shownFirst = cellPixel(first, kMarkRow, x, y) != kCyan;
                const bool shownSecond = cellPixel(second, kMarkRow, x, y) != kCyan;
                shapeDifferences += shownFirst != shownSecond ? 1 : 0;
            }
        }
        EXPECT_EQ(shapeDifferences, 0) << "pair " << pair;
        EXPECT_GT(countPixels(first, kMarkRow, isBlue), 40) << "player 1 mark " << first << " is not blue";
        EXPECT_EQ(countPixels(first, kMarkRow, isRed), 0) << "player 1 mark " << first << " shows red";
        EXPECT_GT(countPixels(second, kMarkRow, isRed), 40) << "player 2 mark " << second << " is not red";
        EXPECT_EQ(countPixels(second, kMarkRow, isBlue), 0) << "player 2 mark " << second << " shows blue";
    }
}

// The points are painted at x 2..17 (action) and 42..57 (health), y 16..31, over the unit and under the
// cursor; neither may hide them.
TEST_F(TileAtlasTest, CursorsAndUnitsLeaveThePointsFree) {
    constexpr int kPointsTop = 16, kPointsBottom = 31;
    constexpr int kActionLeft = 2, kActionRight = 17, kHealthLeft = 42, kHealthRight = 57;
    const int cells[] = {0, 1, 4, 5, 6, 7, 8, 9};
    for (int column : cells) {
        int covered = 0;
        for (int y = kPointsTop; y <= kPointsBottom; ++y) {
            for (int x = 0; x < kHexWidth; ++x) {
                const bool inPoints =
                    (x >= kActionLeft && x <= kActionRight) || (x >= kHealthLeft && x <= kHealthRight);
                covered += inPoints && cellPixel(column, kMarkRow, x, y) != kCyan ? 1 : 0;
            }
        }
        EXPECT_EQ(covered, 0) << "mark cell " << column;
    }
}

}  // namespace
