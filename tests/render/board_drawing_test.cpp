#include "render/board_drawing.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "render/text.h"
#include "render/window.h"
#include "state/board.h"
#include "support/game_test.h"

namespace {

constexpr Uint32 kTilesTransparent = 0x00FFFF;
constexpr Uint32 kFontTransparent = 0x000000;

// Glyph cells of the font atlas that the board uses besides the digits (cells 0 to 9).
constexpr int kGlyphA = 10;
constexpr int kGlyphH = 17;
constexpr int kGlyphComma = 64;

// An image as 0xRRGGBB pixels, row by row.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Uint32> pixels;

    Uint32 at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
    void set(int x, int y, Uint32 rgb) { pixels[static_cast<size_t>(y * width + x)] = rgb; }
};

Image loadImage(const char* file) {
    Image image;
    SDL_Surface* loaded = IMG_Load(file);
    if (loaded == nullptr) {
        ADD_FAILURE() << "cannot load " << file << ": " << IMG_GetError();
        return image;
    }
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    image.width = converted->w;
    image.height = converted->h;
    image.pixels.resize(static_cast<size_t>(image.width * image.height));
    for (int y = 0; y < image.height; ++y) {
        const auto* row = static_cast<const Uint32*>(converted->pixels) + y * (converted->pitch / 4);
        for (int x = 0; x < image.width; ++x) image.set(x, y, row[x] & 0xFFFFFF);
    }
    SDL_FreeSurface(converted);
    return image;
}

Image pictureImage() {
    return {kWindowWidth, kWindowHeight, readPicture()};
}

// Lays the non-transparent pixels of an atlas rectangle over the picture at (x, y), as a copy does.
void layOver(Image& picture, const Image& atlas, Uint32 transparent, SDL_Rect source, int x, int y) {
    for (int dy = 0; dy < source.h; ++dy) {
        for (int dx = 0; dx < source.w; ++dx) {
            const Uint32 pixel = atlas.at(source.x + dx, source.y + dy);
            if (pixel == transparent) continue;
            if (x + dx < 0 || x + dx >= picture.width || y + dy < 0 || y + dy >= picture.height) continue;
            picture.set(x + dx, y + dy, pixel);
        }
    }
}

SDL_Rect tileCell(int column, int row) {
    return {kHexWidth * column, kHexHeight * row, kHexWidth, kHexHeight};
}

SDL_Rect glyphCell(int cell) {
    return {kGlyphSize * (cell % 16), kGlyphSize * (cell / 16), kGlyphSize, kGlyphSize};
}

int countOpaque(const Image& atlas, Uint32 transparent, SDL_Rect source) {
    int opaque = 0;
    for (int dy = 0; dy < source.h; ++dy) {
        for (int dx = 0; dx < source.w; ++dx) opaque += atlas.at(source.x + dx, source.y + dy) != transparent;
    }
    return opaque;
}

// Pixels whose colour differs, with the first few named so that a failure says where to look.
int differences(const Image& actual, const Image& expected, std::string& where) {
    std::ostringstream out;
    int count = 0;
    for (int y = 0; y < actual.height; ++y) {
        for (int x = 0; x < actual.width; ++x) {
            if (actual.at(x, y) == expected.at(x, y)) continue;
            if (++count <= 5) {
                out << " (" << x << ", " << y << ") is " << std::hex << actual.at(x, y) << " not "
                    << expected.at(x, y) << std::dec << ";";
            }
        }
    }
    where = out.str();
    return count;
}

// The hexagon that the target highlight covers, relative to the hex origin: the middle band and fifteen
// side columns on each side whose half-heights grow by the steps 1, 2, 2, repeated.
bool insideHexagon(int dx, int dy) {
    if (dx >= 15 && dx <= 43) return dy >= 0 && dy <= 50;
    int column = dx <= 14 ? dx : 58 - dx;
    if (column < 0) return false;
    constexpr int kSteps[3] = {1, 2, 2};
    int half = 0;
    for (int i = 0; i <= column; ++i) half += kSteps[i % 3];
    return dy >= 26 - half && dy <= 25 + half;
}

struct Glyph {
    int cell;
    int dx;
    int dy;
};

class BoardDrawingTest : public GameTest {
   protected:
    void SetUp() override {
        GameTest::SetUp();
        if (HasFatalFailure()) return;
        tiles = loadImage("tiles.png");
        font = loadImage("font.bmp");
        ASSERT_EQ(tiles.width, 960);
        ASSERT_EQ(tiles.height, 884);
        ASSERT_EQ(font.width, 128);
        ASSERT_EQ(font.height, 40);
        fillPicture(70, 50, 110);
        expected = pictureImage();
    }

    void expectTile(SDL_Rect source, int x, int y) {
        layOver(expected, tiles, kTilesTransparent, source, x, y);
    }
    void expectGlyph(int cell, int x, int y) {
        layOver(expected, font, kFontTransparent, glyphCell(cell), x, y);
    }

    // The whole picture must be the expected one: what was asked for is there and nothing else was painted.
    void checkPicture(const char* what) {
        std::string where;
        EXPECT_EQ(differences(pictureImage(), expected, where), 0) << what << ":" << where;
    }

    // Places a unit by writing the board matrices, without drawing.
    static void putUnit(int row, int column, char type, int owner, int actionPoint, int healthPoint) {
        gUnitType[row][column] = type;
        gUnitOwner[row][column] = owner;
        gUnitActionPoint[row][column] = actionPoint;
        gUnitHealthPoint[row][column] = healthPoint;
    }

    Image tiles;
    Image font;
    Image expected;
};

TEST_F(BoardDrawingTest, TileZeroIsThePlainBaseTile) {
    ASSERT_GT(countOpaque(tiles, kTilesTransparent, tileCell(0, 0)), 0);
    renderTile(2, 3);
    expectTile({0, 0, 60, 52}, 135, 130);
    checkPicture("tile 0 on (2, 3)");
}

TEST_F(BoardDrawingTest, TileArtIsPaintedOverTheBaseTile) {
    const SDL_Rect art = {360, 468, 60, 52};
    Image baseOnly = expected;
    layOver(baseOnly, tiles, kTilesTransparent, tileCell(0, 0), 135, 130);
    Image withArt = baseOnly;
    layOver(withArt, tiles, kTilesTransparent, art, 135, 130);
    std::string ignored;
    ASSERT_GT(differences(withArt, baseOnly, ignored), 0) << "the atlas cell of tile 150 shows nothing";

    gMap[2][3] = 150;
    renderTile(2, 3);
    expected = withArt;
    checkPicture("tile 150 on (2, 3)");
}

TEST_F(BoardDrawingTest, UnitSpritesComeFromTheirPlayersCells) {
    struct Case {
        char type;
        int owner;
        int sourceX;
    };
    const Case cases[] = {{'a', 1, 240}, {'a', 2, 300}, {'c', 1, 360},
                          {'c', 2, 420}, {'s', 1, 480}, {'s', 2, 540}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("type ") + c.type + " player " + std::to_string(c.owner));
        ASSERT_GT(countOpaque(tiles, kTilesTransparent, {c.sourceX, 832, 60, 52}), 0);
        fillPicture(70, 50, 110);
        expected = pictureImage();
        putUnit(0, 1, c.type, c.owner, 1, 1);
        renderUnit(0, 1);
        expectTile({c.sourceX, 832, 60, 52}, 45, 26);
        checkPicture("unit sprite on (0, 1)");
    }
}

TEST_F(BoardDrawingTest, CursorAndSelectionHexagonTakeThePlayersColour) {
    struct Case {
        int player;
        int cursorX;
        int selectionX;
    };
    for (const Case& c : {Case{1, 0, 120}, Case{2, 60, 180}}) {
        SCOPED_TRACE("player " + std::to_string(c.player));
        fillPicture(70, 50, 110);
        expected = pictureImage();
        renderCursor(2, 3, c.player);
        expectTile({c.cursorX, 832, 60, 52}, 135, 130);
        checkPicture("cursor on (2, 3)");

        fillPicture(70, 50, 110);
        expected = pictureImage();
        putUnit(2, 3, 's', c.player, 1, 1);
        renderSelectionHexagon(2, 3);
        expectTile({c.selectionX, 832, 60, 52}, 135, 130);
        checkPicture("selection hexagon on (2, 3)");
    }
}

TEST_F(BoardDrawingTest, PointsStandUnderTheirLetters) {
    struct Case {
        int actionPoint;
        int healthPoint;
        std::vector<Glyph> digits;  // besides the letters A at (6, 16) and H at (46, 16)
        int result;
    };
    const Case cases[] = {
        {7, 5, {{7, 6, 24}, {5, 46, 24}}, 0},
        {10, 12, {{1, 2, 24}, {0, 10, 24}, {1, 42, 24}, {2, 50, 24}}, 0},
        {0, 1, {{0, 6, 24}, {1, 46, 24}}, 0},
        {99, 40, {{9, 2, 24}, {9, 10, 24}, {4, 42, 24}, {0, 50, 24}}, 0},
        // Out of the placing limits: a hundreds value keeps only its units digit, a negative one shows
        // nothing.
        {123, -4, {{3, 10, 24}}, 1},
    };
    const int x0 = 315;  // hex (4, 7), an odd column
    const int y0 = 234;
    for (const Case& c : cases) {
        SCOPED_TRACE("action " + std::to_string(c.actionPoint) + " health " + std::to_string(c.healthPoint));
        fillPicture(70, 50, 110);
        expected = pictureImage();
        putUnit(4, 7, 'a', 1, c.actionPoint, c.healthPoint);
        EXPECT_EQ(renderUnitActionAndHealth(4, 7), c.result);
        expectGlyph(kGlyphA, x0 + 6, y0 + 16);
        expectGlyph(kGlyphH, x0 + 46, y0 + 16);
        for (const Glyph& digit : c.digits) expectGlyph(digit.cell, x0 + digit.dx, y0 + digit.dy);
        checkPicture("points of (4, 7)");
    }
}

TEST_F(BoardDrawingTest, CoordinateLabelsSpellRowCommaColumn) {
    struct Case {
        int row;
        int column;
        int x;  // the first glyph; the others follow 8 pixels apart
        int y;
        std::vector<int> cells;
    };
    const Case cases[] = {
        {9, 16, 734, 490, {9, kGlyphComma, 1, 6}},
        {3, 12, 554, 178, {3, kGlyphComma, 1, 2}},
        {0, 0, 14, 22, {0, kGlyphComma, 0}},
        {4, 7, 329, 256, {4, kGlyphComma, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("hex (" + std::to_string(c.row) + ", " + std::to_string(c.column) + ")");
        fillPicture(70, 50, 110);
        expected = pictureImage();
        gTextX = 100;
        gTextY = 200;
        EXPECT_EQ(renderHexagonCoordinates(c.row, c.column), 0);
        for (size_t i = 0; i < c.cells.size(); ++i)
            expectGlyph(c.cells[i], c.x + 8 * static_cast<int>(i), c.y);
        checkPicture("coordinate label");
        EXPECT_EQ(gTextX, 100);  // the label does not touch the text cursor
        EXPECT_EQ(gTextY, 200);
    }
}

TEST_F(BoardDrawingTest, TargetHighlightTintsExactlyTheHexagonEvenly) {
    const int x0 = 315;  // hex (4, 7)
    const int y0 = 234;
    const Image flat = pictureImage();
    const Uint32 background = flat.at(0, 0);
    EXPECT_EQ(renderRangeTarget(4, 7), 0);
    const Image once = pictureImage();

    int tinted = 0;
    Uint32 tint = 0;
    for (int y = 0; y < kWindowHeight; ++y) {
        for (int x = 0; x < kWindowWidth; ++x) {
            const bool inside = insideHexagon(x - x0, y - y0);
            const bool changed = once.at(x, y) != background;
            ASSERT_EQ(changed, inside)
                << "pixel (" << x << ", " << y << ") relative (" << x - x0 << ", " << y - y0 << ")";
            if (!changed) continue;
            if (tinted++ == 0) tint = once.at(x, y);
            ASSERT_EQ(once.at(x, y), tint) << "uneven tint at (" << x << ", " << y << ")";
        }
    }
    // The band is 29 x 51 and each side column is twice its half-height: 1479 + 2 * 2 * 195.
    EXPECT_EQ(tinted, 2259);
    EXPECT_GT(tint >> 16, background >> 16) << "the tint is not red";
    EXPECT_LT((tint >> 8) & 0xFF, (background >> 8) & 0xFF);
    EXPECT_LT(tint & 0xFF, background & 0xFF);

    // Highlights add up until the hex is repainted.
    renderRangeTarget(4, 7);
    EXPECT_GT(pixelAt(x0 + 29, y0 + 25) >> 16, tint >> 16);
    EXPECT_EQ(pixelAt(x0 + 59, y0 + 26), background);
}

TEST_F(BoardDrawingTest, TargetHighlightLeavesTheUnitsPointsUntinted) {
    const int x0 = 315;  // hex (4, 7)
    const int y0 = 234;
    gMap[4][7] = 5;
    putUnit(4, 7, 'c', 1, 7, 12);
    redrawHex(4, 7, 0);
    const Image before = pictureImage();
    EXPECT_EQ(renderRangeTarget(4, 7), 0);
    const Image after = pictureImage();

    const Glyph glyphs[] = {{kGlyphA, 6, 16}, {7, 6, 24}, {kGlyphH, 46, 16}, {1, 42, 24}, {2, 50, 24}};
    Image glyphMask;  // nonzero where a glyph pixel is painted
    glyphMask.width = kWindowWidth;
    glyphMask.height = kWindowHeight;
    glyphMask.pixels.assign(static_cast<size_t>(kWindowWidth * kWindowHeight), 0);
    for (const Glyph& glyph : glyphs) {
        const SDL_Rect cell = glyphCell(glyph.cell);
        EXPECT_EQ(cellMismatches("font.bmp", kFontTransparent, cell, x0 + glyph.dx, y0 + glyph.dy), 0)
            << "glyph cell " << glyph.cell;
        layOver(glyphMask, font, kFontTransparent, cell, x0 + glyph.dx, y0 + glyph.dy);
    }

    // Everywhere else in the hexagon the tile and sprite only get redder; outside it nothing changes.
    int tinted = 0;
    for (int y = 0; y < kWindowHeight; ++y) {
        for (int x = 0; x < kWindowWidth; ++x) {
            const Uint32 old = before.at(x, y);
            const Uint32 now = after.at(x, y);
            if (!insideHexagon(x - x0, y - y0)) {
                ASSERT_EQ(now, old) << "outside the hexagon at (" << x << ", " << y << ")";
                continue;
            }
            if (glyphMask.at(x, y) != 0) continue;
            ASSERT_GE(now >> 16, old >> 16) << "at (" << x << ", " << y << ")";
            ASSERT_LE((now >> 8) & 0xFF, (old >> 8) & 0xFF) << "at (" << x << ", " << y << ")";
            ASSERT_LE(now & 0xFF, old & 0xFF) << "at (" << x << ", " << y << ")";
            tinted += now != old;
        }
    }
    EXPECT_GT(tinted, 2000);

    gUnitHealthPoint[4][7] = -3;  // the points' own status comes back
    EXPECT_EQ(renderRangeTarget(4, 7), 1);
}

TEST_F(BoardDrawingTest, SelectedUnitIsLayeredTileUnitSelectionPoints) {
    const int x0 = 315;  // hex (4, 7)
    const int y0 = 234;
    gMap[4][7] = 5;
    putUnit(4, 7, 'c', 1, 3, 8);
    const SDL_Rect layers[] = {tileCell(0, 0), tileCell(5, 0), {360, 832, 60, 52}, {120, 832, 60, 52}};
    const Glyph points[] = {{kGlyphA, 6, 16}, {3, 6, 24}, {kGlyphH, 46, 16}, {8, 46, 24}};

    selectUnitOnMap(4, 7);
    for (const SDL_Rect& layer : layers) expectTile(layer, x0, y0);
    for (const Glyph& glyph : points) expectGlyph(glyph.cell, x0 + glyph.dx, y0 + glyph.dy);
    checkPicture("selected unit");

    unselectUnitOnMap(4, 7);
    for (const SDL_Rect& layer : {layers[0], layers[1], layers[2]}) expectTile(layer, x0, y0);
    for (const Glyph& glyph : points) expectGlyph(glyph.cell, x0 + glyph.dx, y0 + glyph.dy);
    checkPicture("unselected unit");
}

// A hex (4, 7) with a unit and its six neighbours, each with its own tile and a unit.
void fillNeighbourhood() {
    gMap[4][7] = 3;
    gUnitType[4][7] = 'a';
    gUnitOwner[4][7] = 1;
    gUnitActionPoint[4][7] = 10;
    gUnitHealthPoint[4][7] = 9;
    const char types[] = {'a', 'c', 's', 'a', 'c', 's'};
    for (int direction = kDownLeft; direction <= kUpRight; ++direction) {
        int row, column;
        neighbourOf(4, 7, direction, row, column);
        gMap[row][column] = static_cast<std::uint8_t>(16 * direction + 7);
        gUnitType[row][column] = types[direction - 1];
        gUnitOwner[row][column] = direction % 2 + 1;
        gUnitActionPoint[row][column] = 10 + direction;
        gUnitHealthPoint[row][column] = 88;
    }
}

TEST_F(BoardDrawingTest, RepaintingOneHexLeavesItsNeighboursIntact) {
    fillNeighbourhood();
    renderMap();
    expected = pictureImage();

    addCursorToMap(4, 7, 2);
    removeCursorFromMap(4, 7, 0);
    checkPicture("after the cursor was taken off");

    selectUnitOnMap(4, 7);
    unselectUnitOnMap(4, 7);
    checkPicture("after the selection was taken off");

    renderRangeTarget(4, 7);
    renderCursor(4, 7, 1);
    redrawHex(4, 7, 0);
    checkPicture("after the target highlight was taken off");

    // The neighbours' own repaints do not spill onto (4, 7) either.
    for (int direction = kDownLeft; direction <= kUpRight; ++direction) {
        int row, column;
        neighbourOf(4, 7, direction, row, column);
        renderCursor(row, column, 2);
        redrawHex(row, column, 0);
    }
    checkPicture("after every neighbour was repainted");
}

TEST_F(BoardDrawingTest, MapOfAnEmptyBoardIsBaseTilesOnly) {
    renderMap();
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            expectTile({0, 0, 60, 52}, 45 * column, 52 * row + 26 * (column % 2));
        }
    }
    checkPicture("empty board");
}

TEST_F(BoardDrawingTest, MapPaintsObstaclesAndOnlyOwnedUnits) {
    gMap[0][0] = 200;
    gMap[9][16] = 130;
    gMap[5][5] = 17;
    putUnit(5, 5, 's', 2, 4, 6);
    gUnitType[6][6] = 'a';  // a type without an owner is not a unit
    renderMap();
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            const int x0 = 45 * column;
            const int y0 = 52 * row + 26 * (column % 2);
            expectTile({0, 0, 60, 52}, x0, y0);
            const int tile = gMap[row][column];
            if (tile != 0) expectTile(tileCell(tile % 16, tile / 16), x0, y0);
            if (row == 5 && column == 5) {
                expectTile({540, 832, 60, 52}, x0, y0);
                for (const Glyph& glyph :
                     {Glyph{kGlyphA, 6, 16}, Glyph{4, 6, 24}, Glyph{kGlyphH, 46, 16}, Glyph{6, 46, 24}}) {
                    expectGlyph(glyph.cell, x0 + glyph.dx, y0 + glyph.dy);
                }
            }
        }
    }
    checkPicture("board with obstacles and one unit");
}

}  // namespace
