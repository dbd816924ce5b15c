#include "state/board.h"

#include "render/board_drawing.h"

std::uint8_t gMap[kBoardRows][kBoardColumns];
char gUnitType[kBoardRows][kBoardColumns];
int gUnitOwner[kBoardRows][kBoardColumns];
int gUnitActionPoint[kBoardRows][kBoardColumns];
int gUnitHealthPoint[kBoardRows][kBoardColumns];
int gNumberOfUnit[3];

namespace {

bool isUnitType(char type) {
    return type == 'a' || type == 'c' || type == 's';
}

}  // namespace

void redrawHex(int row, int column, int selected) {
    renderTile(row, column);
    if (gUnitOwner[row][column] == 0) return;
    renderUnit(row, column);
    if (selected) renderSelectionHexagon(row, column);
    renderUnitActionAndHealth(row, column);
}

int addUnit(int row, int column, char type, int owner, int actionPoint, int healthPoint, int selected,
            int draw) {
    if (!isOnBoard(row, column)) return 1;
    if (!isUnitType(type)) return 2;
    if (owner != 1 && owner != 2) return 3;
    if (actionPoint < 0 || actionPoint > 99) return 4;
    if (healthPoint < 1 || healthPoint > 99) return 5;

    if (gUnitOwner[row][column] != 0) --gNumberOfUnit[gUnitOwner[row][column]];
    ++gNumberOfUnit[owner];
    if (isObstacle(row, column)) gMap[row][column] = 0;  // a unit never stands on rocks
    gUnitType[row][column] = type;
    gUnitOwner[row][column] = owner;
    gUnitActionPoint[row][column] = actionPoint;
    gUnitHealthPoint[row][column] = healthPoint;
    if (draw) redrawHex(row, column, selected);
    return 0;
}

int removeUnit(int row, int column) {
    if (!isOnBoard(row, column)) return 1;
    if (gUnitOwner[row][column] != 0) --gNumberOfUnit[gUnitOwner[row][column]];
    gUnitType[row][column] = 0;
    gUnitOwner[row][column] = 0;
    gUnitActionPoint[row][column] = 0;
    gUnitHealthPoint[row][column] = 0;
    renderTile(row, column);
    return 0;
}

int addCursorToMap(int row, int column, int player) {
    if (!isOnBoard(row, column)) return 1;
    renderCursor(row, column, player);
    return 0;
}

int removeCursorFromMap(int row, int column, int selected) {
    if (!isOnBoard(row, column)) return 1;
    redrawHex(row, column, selected);
    return 0;
}

int moveCursor(int fromRow, int fromColumn, int toRow, int toColumn, int player) {
    if (!isOnBoard(fromRow, fromColumn) || !isOnBoard(toRow, toColumn)) return 1;
    removeCursorFromMap(fromRow, fromColumn, 0);
    addCursorToMap(toRow, toColumn, player);
    return 0;
}

void overwriteUnitActionPoint(int row, int column, int value, int selected) {
    gUnitActionPoint[row][column] = value;
    redrawHex(row, column, selected);
}

void overwriteUnitHealthPoint(int row, int column, int value, int selected) {
    gUnitHealthPoint[row][column] = value;
    redrawHex(row, column, selected);
}

void selectUnitOnMap(int row, int column) {
    redrawHex(row, column, 1);
}

void unselectUnitOnMap(int row, int column) {
    redrawHex(row, column, 0);
}
