#include "rules/unit_control.h"

#include <SDL.h>

#include "flow/keys.h"
#include "render/text.h"
#include "render/window.h"
#include "rules/range_attack.h"
#include "rules/rules.h"
#include "state/board.h"

namespace {

bool isArcher(char type) {
    return type == 'a';
}

// Tells the player what the selected unit can do; an Archer shoots instead of attacking by stepping.
void writeMovePrompt(int player, char type) {
    writePlayerPrefix(player);
    renderText(kInfoLineX, ": Move the unit. ");
    renderText(kInfoLineX, isArcher(type) ? "Press Enter or Space to perform a range attack."
                                          : "Attempts to move on enemy position will attack it.");
    renderText(kInfoLineX, " Press Escape or\nBackspace when done.");
}

}  // namespace

int moveSelectedUnit(int& row, int& column) {
    const int player = gUnitOwner[row][column];
    const char type = gUnitType[row][column];
    selectUnitOnMap(row, column);
    bool promptPending = true;

    for (;;) {
        if (promptPending) {
            writeMovePrompt(player, type);
            promptPending = false;
        }
        presentAndWait();
        SDL_Keycode key;
        Polled polled;
        while ((polled = pollKey(key)) != Polled::kNothing) {
            if (polled == Polled::kQuit) return 1;
            if (isEscapeKey(key)) {
                unselectUnitOnMap(row, column);
                return 0;
            }

            int result = 0;
            if (isEnterKey(key)) {
                if (isArcher(type)) {
                    result = performRangeAttack(row, column);
                    promptPending = true;  // the targeting prompt took the info line
                }
            } else {
                int targetRow = row;
                int targetColumn = column;
                neighbourOf(row, column, directionOfKey(key, false), targetRow, targetColumn);
                if (targetRow != row || targetColumn != column) {
                    const int moved = moveUnit(row, column, targetRow, targetColumn, 1);
                    if (moved == 0) {
                        row = targetRow;
                        column = targetColumn;
                    } else if (moved == 5 && !isArcher(type)) {
                        // An Archer fights only at range; the others attack by stepping onto an enemy.
                        result = attackUnit(row, column, targetRow, targetColumn, 0);
                    }
                }
            }
            if (result > kWinnerCodeBase) return result;
        }
    }
}
