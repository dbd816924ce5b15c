#include "render/board_drawing.h"

#include "render/text.h"
#include "render/window.h"
#include "state/board.h"

namespace {

constexpr int kTilesPerAtlasRow = 16;
constexpr int kBaseTile = 0;  // the plain hexagon under every hex

// The cells of the atlas's mark row, each for player 1 with player 2's right after it.
constexpr int kCursorCell = 0;
constexpr int kSelectionCell = 2;
constexpr int kArcherCell = 4;
constexpr int kCavalryCell = 6;
constexpr int kShieldCell = 8;

// Where a hex shows its points: each letter at this x in the hex, the letter this far down, its digits
// one cell lower, two digits half a cell either side of the letter.
constexpr int kActionLetterX = 6;
constexpr int kHealthLetterX = 46;
constexpr int kPointsLetterY = 16;
constexpr int kPointsDigitsY = kPointsLetterY + kGlyphSize;
constexpr int kHalfGlyph = kGlyphSize / 2;
// The editor's "row,column" label of a hex.
constexpr int kCoordinatesX = 14;
constexpr int kCoordinatesY = 22;

// The target highlight: translucent red over the hex.
constexpr SDL_Color kTargetHighlight = {255, 0, 0, 64};
// The right-hand side columns of the highlight mirror the left-hand ones about the hexagon's middle.
constexpr int kHexRightmostColumn = 2 * kHexBandLeft + kHexBandWidth - 1;

// The cell of a mark or unit of player 1 or 2.
int markCell(int playerOneCell, int player) {
    return playerOneCell + player - 1;
}

// Copies one atlas cell onto the hex.
void copyCell(int cellColumn, int cellRow, int row, int column) {
    const SDL_Rect source = {kHexWidth * cellColumn, kHexHeight * cellRow, kHexWidth, kHexHeight};
    const SDL_Rect destination = {hexOriginX(column), hexOriginY(row, column), kHexWidth, kHexHeight};
    copyToPicture(gTextureTiles, source, destination);
}

// Paints a value of 0 to 99 centred under its letter: one digit right under it, two digits around it.
int renderPoints(int letterX, int y, char letter, int value) {
    renderCharacter(letterX, y + kPointsLetterY, letter);
    const int tens = value / 10;
    const int units = value % 10;
    if (tens != 0) {
        renderDigit(letterX - kHalfGlyph, y + kPointsDigitsY, tens);
        return renderDigit(letterX + kHalfGlyph, y + kPointsDigitsY, units);
    }
    return renderDigit(letterX, y + kPointsDigitsY, units);
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
    copyCell(kBaseTile, 0, row, column);
    const int tile = gMap[row][column];
    if (tile != kBaseTile) copyCell(tile % kTilesPerAtlasRow, tile / kTilesPerAtlasRow, row, column);
}

void renderUnit(int row, int column) {
    const int player = gUnitOwner[row][column];
    switch (gUnitType[row][column]) {
        case 'a':
            copyCell(markCell(kArcherCell, player), kMarkRow, row, column);
            break;
        case 'c':
            copyCell(markCell(kCavalryCell, player), kMarkRow, row, column);
            break;
        case 's':
            copyCell(markCell(kShieldCell, player), kMarkRow, row, column);
            break;
        default:
            break;
    }
}

void renderSelectionHexagon(int row, int column) {
    copyCell(markCell(kSelectionCell, gUnitOwner[row][column]), kMarkRow, row, column);
}

void renderCursor(int row, int column, int player) {
    copyCell(markCell(kCursorCell, player), kMarkRow, row, column);
}

int renderUnitActionAndHealth(int row, int column) {
    const int x = hexOriginX(column);
    const int y = hexOriginY(row, column);
    renderPoints(x + kActionLetterX, y, 'A', gUnitActionPoint[row][column]);
    return renderPoints(x + kHealthLetterX, y, 'H', gUnitHealthPoint[row][column]);
}

int renderRangeTarget(int row, int column) {
    const int x = hexOriginX(column);
    const int y = hexOriginY(row, column);
    SDL_SetRenderDrawColor(gRenderer, kTargetHighlight.r, kTargetHighlight.g, kTargetHighlight.b,
                           kTargetHighlight.a);
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
    int x = hexOriginX(column) + kCoordinatesX;
    const int y = hexOriginY(row, column) + kCoordinatesY;
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
