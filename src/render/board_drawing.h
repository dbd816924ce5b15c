// Painting of the board's hexes: tiles, unit sprites, points, the board cursor, the selection hexagon,
// the Archer's target highlight and the editor's coordinate labels. Each operation paints one hex over
// whatever is there; nothing is cleared first.
#pragma once

constexpr int kHexWidth = 60;
constexpr int kHexHeight = 52;
constexpr int kHexColumnStep = 45;
constexpr int kMarkRow = 16;  // atlas row of the cursors, selection hexagons and units

// The window position of the top-left corner of a hex's 60 x 52 cell.
int hexOriginX(int column);
int hexOriginY(int row, int column);

// The translucent red hexagon of the target highlight is made of a middle band and fifteen pairs of
// one-pixel columns whose half-heights are these; the tile atlas draws every hexagon in the same shape.
constexpr int kHexSideColumns = 15;
constexpr int kHexBandLeft = 15;
constexpr int kHexBandWidth = 29;
constexpr int kHexBandHeight = 51;
constexpr int kHexSideHalfHeight[kHexSideColumns] = {1, 3, 5, 6, 8, 10, 11, 13, 15, 16, 18, 20, 21, 23, 25};
constexpr int kHexMiddleY = 26;

void renderTile(int row, int column);
void renderUnit(int row, int column);
void renderSelectionHexagon(int row, int column);
void renderCursor(int row, int column, int player);
int renderUnitActionAndHealth(int row, int column);
int renderRangeTarget(int row, int column);
int renderHexagonCoordinates(int row, int column);
void renderMap();
