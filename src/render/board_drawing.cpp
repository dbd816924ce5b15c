#include "render/board_drawing.h"

#include "render/text.h"
#include "render/window.h"
#include "state/board.h"

namespace {

constexpr int kTilesPerAtlasRow = 16;
// The right-hand side columns of the highlight mirror the left-hand ones about the hexagon's middle.
constexpr int kHexRightmostColumn = 2 * kHexBandLeft + kHexBandWidth - 1;

// Copies one atlas cell onto the hex.
void copyCell(int cellColumn, int cellRow, int row, int column) {
    const SDL_Rect source = {kHexWidth * cellColumn, kHexHeight * cellRow, kHexWidth, kHexHeight};
    const SDL_Rect destination = {hexOriginX(column), hexOriginY(row, column), kHexWidth, kHexHeight};
    copyToPicture(gTextureTiles, source, destination);
}

// Paints a value of 0 to 99 centred under its letter: one digit right under it, two digits around it.
int renderPoints(int letterX, int y, char letter, int value) {
    renderCharacter(letterX, y + 16, letter);
    const int tens = value / 10;
    const int units = value % 10;
    if (tens != 0) {
        renderDigit(letterX - 4, y + 24, tens);
        return renderDigit(letterX + 4, y + 24, units);
    }
    return renderDigit(letterX, y + 24, units);
}

// Paints a number in decimal from x and returns the status of its last digit.
int renderNumber(int& x, int y, int value) {
    if (value >= 10) {
        renderDigit(x, y, value / 10);
        x += kGlyphSize;
    }
    const int status = renderDigit(x, y, value % 10);
    x += kGlyphSize;
    return status;
}

}  // namespace

int hexOriginX(int column) {
    return kHexColumnStep * column;
}

int hexOriginY(int row, int column) {
    return kHexHeight * row + (kHexHeight / 2) * (column % 2);
}

void renderTile(int row, int column) {
    copyCell(0, 0, row, column);
    const int tile = gMap[row][column];
    if (tile != 0) copyCell(tile % kTilesPerAtlasRow, tile / kTilesPerAtlasRow, row, column);
}

void renderUnit(int row, int column) {
    const int player = gUnitOwner[row][column];
    switch (gUnitType[row][column]) {
        case 'a':
            copyCell(3 + player, kMarkRow, row, column);
            break;
        case 'c':
            copyCell(5 + player, kMarkRow, row, column);
            break;
        case 's':
            copyCell(7 + player, kMarkRow, row, column);
            break;
        default:
            break;
    }
}

void renderSelectionHexagon(int row, int column) {
    copyCell(gUnitOwner[row][column] + 1, kMarkRow, row, column);
}

void renderCursor(int row, int column, int player) {
    copyCell(player - 1, kMarkRow, row, column);
}

int renderUnitActionAndHealth(int row, int column) {
    const int x = hexOriginX(column);
    const int y = hexOriginY(row, column);
    renderPoints(x + 6, y, 'A', gUnitActionPoint[row][column]);
    return renderPoints(x + 46, y, 'H', gUnitHealthPoint[row][column]);
}

int renderRangeTarget(int row, int column) {
    const int x = hexOriginX(column);
    const int y = hexOriginY(row, column);
    SDL_SetRenderDrawColor(gRenderer, 255, 0, 0, 64);
    SDL_SetRenderDrawBlendMode(gRenderer, SDL_BLENDMODE_BLEND);
    const SDL_Rect band = {x + kHexBandLeft, y, kHexBandWidth, kHexBandHeight};
    fillPictureArea(band);
    for (int i = 0; i < kHexSideColumns; ++i) {
        const int half = kHexSideHalfHeight[i];
        const SDL_Rect left = {x + i, y + kHexMiddleY - half, 1, 2 * half};
        const SDL_Rect right = {x + kHexRightmostColumn - i, y + kHexMiddleY - half, 1, 2 * half};
        fillPictureArea(left);
        fillPictureArea(right);
    }
    if (gUnitOwner[row][column] == 0) return 0;
    return renderUnitActionAndHealth(row, column);
}

int renderHexagonCoordinates(int row, int column) {
    int x = hexOriginX(column) + 14;
    const int y = hexOriginY(row, column) + 22;
    renderNumber(x, y, row);
    renderCharacter(x, y, ',');
    x += kGlyphSize;
    return renderNumber(x, y, column);
}

void renderMap() {
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) redrawHex(row, column, false);
    }
}
