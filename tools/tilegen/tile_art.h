// The art of the tile atlas, one cell at a time, and the whole atlas put together.
#pragma once

#include <SDL.h>

#include "paint.h"

constexpr int kAtlasColumns = 16;
constexpr int kAtlasRows = 17;
constexpr int kAtlasWidth = kAtlasColumns * kHexWidth;  // 960
constexpr int kAtlasHeight = kAtlasRows * kHexHeight;   // 884
constexpr int kFirstObstacleTile = 128;
constexpr Rgb kTransparent = {0, 255, 255};

// Ground: tile 0 is the opaque base tile painted under every hex; tiles 1..127 are walkable ground
// painted over it.
void drawBaseTile(Cell& cell);
void drawGroundTile(Cell& cell, int tile);
// Tiles 128..255: rocks on ground.
void drawObstacleTile(Cell& cell, int tile);

// Row 16: the board cursor, the selection hexagon and the three kinds of unit, for player 1 or 2.
void drawCursor(Cell& cell, int player);
void drawSelectionHexagon(Cell& cell, int player);
void drawArcher(Cell& cell, int player);
void drawCavalry(Cell& cell, int player);
void drawShield(Cell& cell, int player);

// The ground that a tile of the given family shows, shared by the ground and obstacle tiles so that
// rocks stand on the same ground as the walkable tiles around them.
enum class GroundKind { kGrass, kLushGrass, kDryGrass, kEarth, kSand };
void paintGround(Cell& cell, GroundKind kind, std::uint32_t seed);

// The whole atlas as a 960 x 884 RGB surface (caller frees it), every pixel outside a hexagon cyan.
SDL_Surface* drawTileAtlas();
