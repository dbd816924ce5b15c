// Puts the atlas together: every cell painted on its own, clipped to the hexagon, and everything else
// made the transparent cyan.
#include <cstdlib>

#include "tile_art.h"

namespace {

constexpr int kMarkCells = 10;  // cursors, selection hexagons and units, a pair each; the rest stays cyan

// Art never comes close to cyan, but a colour that did would show a cyan-tinted halo where the colour
// key leaves its neighbours; such a colour is pulled towards grey.
Rgb awayFromTransparent(Rgb colour) {
    const int distance = std::abs(colour.red - kTransparent.red) +
                         std::abs(colour.green - kTransparent.green) +
                         std::abs(colour.blue - kTransparent.blue);
    if (distance >= 96) return colour;
    return mix(colour, {128, 128, 128}, 0.5);
}

void putPixel(SDL_Surface* atlas, int x, int y, Rgb colour) {
    Uint8* pixel = static_cast<Uint8*>(atlas->pixels) + y * atlas->pitch + x * 3;
    pixel[0] = static_cast<Uint8>(colour.red);
    pixel[1] = static_cast<Uint8>(colour.green);
    pixel[2] = static_cast<Uint8>(colour.blue);
}

// Copies a painted cell into the atlas. Map tiles other than the base tile leave the hexagon's border
// line to the base tile under them, so that the grid looks the same on every kind of ground.
void placeCell(SDL_Surface* atlas, int column, int row, const Cell& cell, bool keepsBorder) {
    for (int y = 0; y < kHexHeight; ++y) {
        for (int x = 0; x < kHexWidth; ++x) {
            const int depth = hexEdgeDepth(x, y);
            const bool shown = depth >= (keepsBorder ? 1 : 0) && isPainted(cell, x, y);
            putPixel(atlas, column * kHexWidth + x, row * kHexHeight + y,
                     shown ? awayFromTransparent(pixelOf(cell, x, y)) : kTransparent);
        }
    }
}

void drawMapTiles(SDL_Surface* atlas, Cell& cell) {
    for (int tile = 0; tile < 256; ++tile) {
        if (tile == 0) {
            drawBaseTile(cell);
        } else if (tile < kFirstObstacleTile) {
            drawGroundTile(cell, tile);
        } else {
            drawObstacleTile(cell, tile);
        }
        placeCell(atlas, tile % kAtlasColumns, tile / kAtlasColumns, cell, tile != 0);
    }
}

// Row 16 holds pairs of cells, player 1 then player 2: cursor, selection hexagon, Archer, Cavalry, Shield.
void drawMarks(SDL_Surface* atlas, Cell& cell) {
    for (int column = 0; column < kAtlasColumns; ++column) {
        clearCell(cell);
        const int player = column % 2 + 1;
        switch (column < kMarkCells ? column / 2 : -1) {
            case 0:
                drawCursor(cell, player);
                break;
            case 1:
                drawSelectionHexagon(cell, player);
                break;
            case 2:
                drawArcher(cell, player);
                break;
            case 3:
                drawCavalry(cell, player);
                break;
            case 4:
                drawShield(cell, player);
                break;
            default:
                break;
        }
        placeCell(atlas, column, kMarkRow, cell, false);
    }
}

}  // namespace

SDL_Surface* drawTileAtlas() {
    SDL_Surface* atlas =
        SDL_CreateRGBSurfaceWithFormat(0, kAtlasWidth, kAtlasHeight, 24, SDL_PIXELFORMAT_RGB24);
    if (atlas == nullptr) return nullptr;
    static Cell cell;  // large; kept off the stack
    drawMapTiles(atlas, cell);
    drawMarks(atlas, cell);
    return atlas;
}
