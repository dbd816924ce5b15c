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

void redrawHex(int row, int column, bool selected) {
    renderTile(row, column);
    if (gUnitOwner[row][column] == 0) return;
    renderUnit(row, column);
    if (selected) renderSelectionHexagon(row, column);
    renderUnitActionAndHealth(row, column);
}

int addUnit(int row, int column, char type, int owner, int actionPoint, int healthPoint, bool selected,
            bool draw) {
    if (!isOnBoard(row, column)) return kOffTheBoard;
    if (!isUnitType(type)) return kNotAUnitType;
    if (owner != 1 && owner != 2) return kNotAPlayer;
    if (actionPoint < 0 || actionPoint > 99) return kActionPointsOutOfRange;
    if (healthPoint < 1 || healthPoint > 99) return kHealthPointsOutOfRange;

    if (gUnitOwner[row][column] != 0) --gNumberOfUnit[gUnitOwner[row][column]];
    ++gNumberOfUnit[owner];
    if (isObstacle(row, column)) gMap[row][column] = 0;  // a unit never stands on rocks
    gUnitType[row][column] = type;
    gUnitOwner[row][column] = owner;
    gUnitActionPoint[row][column] = actionPoint;
    gUnitHealthPoint[row][column] = healthPoint;
    if (draw) redrawHex(row, column, selected);
    return kBoardDone;
}

int removeUnit(int row, int column) {
    if (!isOnBoard(row, column)) return kOffTheBoard;
    if (gUnitOwner[row][column] != 0) --gNumberOfUnit[gUnitOwner[row][column]];
    gUnitType[row][column] = 0;
    gUnitOwner[row][column] = 0;
    gUnitActionPoint[row][column] = 0;
    gUnitHealthPoint[row][column] = 0;
    renderTile(row, column);
    return kBoardDone;
}

int addCursorToMap(int row, int column, int player) {
    if (!isOnBoard(row, column)) return kOffTheBoard;
    renderCursor(row, column, player);
    return kBoardDone;
}

int removeCursorFromMap(int row, int column, bool selected) {
    if (!isOnBoard(row, column)) return kOffTheBoard;
    redrawHex(row, column, selected);
    return kBoardDone;
}

int moveCursor(int fromRow, int fromColumn, int toRow, int toColumn, int player) {
    if (!isOnBoard(fromRow, fromColumn) || !isOnBoard(toRow, toColumn)) return kOffTheBoard;
    removeCursorFromMap(fromRow, fromColumn, false);
    addCursorToMap(toRow, toColumn, player);
    return kBoardDone;
}

void overwriteUnitActionPoint(int row, int column, int value, bool selected) {
    gUnitActionPoint[row][column] = value;
    redrawHex(row, column, selected);
}

void overwriteUnitHealthPoint(int row, int column, int value, bool selected) {
    gUnitHealthPoint[row][column] = value;
    redrawHex(row, column, selected);
}

void selectUnitOnMap(int row, int column) {
    redrawHex(row, column, true);
}

void unselectUnitOnMap(int row, int column) {
    redrawHex(row, column, false);
}
