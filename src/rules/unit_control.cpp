#include "rules/unit_control.h"

#include <SDL.h>

#include "render/input.h"
#include "render/text.h"
#include "render/texts.h"
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
    renderText(kInfoLineX, kMovePromptStart);
    renderText(kInfoLineX, isArcher(type) ? kMovePromptArcher : kMovePromptOthers);
    renderText(kInfoLineX, kMovePromptEnd);
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
            if (polled == Polled::kQuit) return kWindowClosed;
            if (isEscapeKey(key)) {
                unselectUnitOnMap(row, column);
                return kUnitReleased;
            }

            int result = kUnitReleased;
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
                    const int moved = moveUnit(row, column, targetRow, targetColumn, true);
                    if (moved == kMoved) {
                        row = targetRow;
                        column = targetColumn;
                    } else if (moved == kMoveOntoEnemy && !isArcher(type)) {
                        // An Archer fights only at range; the others attack by stepping onto an enemy.
                        result = attackUnit(row, column, targetRow, targetColumn, false);
                    }
                }
            }
            if (isWinnerCode(result) || result == kWindowClosed) return result;
        }
    }
}
