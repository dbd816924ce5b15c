#include "flow/match.h"

#include "ai/ai_turn.h"
#include "flow/keys.h"
#include "render/board_drawing.h"
#include "render/text.h"
#include "render/window.h"
#include "rules/rules.h"
#include "rules/unit_control.h"
#include "state/board.h"

namespace {

constexpr int kComputerPlayer = 2;
constexpr int kHelpCursorRow = 7;

constexpr const char* kCursorModePrompt =
    ": Move the cursor and press Enter or Space to select a unit. Press Escape or Backspace toend your turn.";
constexpr const char* kEndOfTurnQuestion =
    ": Do you want to end your turn? (Enter or Space to end turn, Escape or Backspace to\ncancel, \"m\" to "
    "return "
    "to main menu)";
constexpr const char* kHelpText =
    "\n   -- Help --\n\nHere is a map for you to experiment with the game controls. The text below the map "
    "summarizes theactions you can do.\n\nTo quit this help, press Escape or Backspace then M.\n\nThe \"+\" "
    "sign "
    "in the hexagon above the archer in the most left column is the cursor. To move the\ncursor, use the "
    "following keys:\n\n up-left    : Insert, F or 4\n up         : Home, G or 5\n up-right   : Page Up, H "
    "or "
    "6\n down-left  : Delete, C or 1\n down       : End, V or 2\n down-right : Page Down, B or 3\n\nTo "
    "select a "
    "unit, move the cursor to that unit and press Enter or Space. The cursor will turn\ninto a selection "
    "hexagon "
    "around the unit and the unit will move along with the cursor until you\npress Escape or Backspace. Each "
    "move cost 2 action points to an Archer or Shield unit, 1 action\npoint to a Cavalry unit. A unit has "
    "its "
    "action points displayed on the left and its heath points displayed on the right. Player 1 controls blue "
    "units. Player 2 controls red units. Hexagons with rocks are unbreakable obstacles.\n\nTo attack an "
    "enemy "
    "unit, move a Cavalry or Shield unit to a hexagon adjacent to it and press the direction key of that "
    "enemy "
    "unit. To attack with an Archer unit, select the Archer unit and pressEnter or Space to display the "
    "targeting ring. Hexagons highlighted in red are potential targets. The \"+\" cursor is the current "
    "target. "
    "You move the current target using direction keys and attackit with Enter or Space. Press Escape or "
    "Backspace when done. Each attack costs 3 action points\nand causes 1 damage. At 0 health point, a unit "
    "disappears emitting a beep.\n\nTo end your turn, press Escape or Backspace and validate with Enter or "
    "Space. At the end of each turn, all your units regain 5 action points. The maximum action point of a "
    "fully "
    "rested unit is\n10.";

// What one match keeps: the board cursor and whose turn it is.
struct Match {
    int versusComputer;
    int help;
    int row;
    int column;
    int player;
};

// The result that the end-of-turn question leaves for the match loop: go on, or leave with a result.
constexpr int kMatchGoesOn = -1;

void writePrompt(int player, const char* text) {
    writePlayerPrefix(player);
    renderText(kInfoLineX, text);
}

bool isWinnerCode(int result) {
    return result > kWinnerCodeBase;
}

// Ends the current player's turn; against the computer, the computer plays its whole turn here.
int endTurn(Match& match) {
    addEndOfTurnActionPoint(match.player);
    removeCursorFromMap(match.row, match.column, 0);
    if (match.player == 1 && match.versusComputer) {
        const int result = aiPerformTurn(kComputerPlayer);
        if (isWinnerCode(result)) {
            removeCursorFromMap(match.row, match.column, 0);
            return result;
        }
        addEndOfTurnActionPoint(kComputerPlayer);
    } else {
        match.player = match.player == 1 ? 2 : 1;
    }
    addCursorToMap(match.row, match.column, match.player);
    return kMatchGoesOn;
}

// Asks whether the turn ends. Keys queued behind the answer are answers too, until the queue is empty.
int askEndOfTurn(Match& match) {
    writePrompt(match.player, kEndOfTurnQuestion);
    bool asking = true;
    while (asking) {
        presentAndWait();
        SDL_Keycode key;
        Polled polled;
        while ((polled = pollKey(key)) != Polled::kNothing) {
            if (polled == Polled::kQuit) return 1;
            if (key == SDLK_m) {
                removeCursorFromMap(match.row, match.column, 0);
                return 0;
            }
            if (isEnterKey(key)) {
                const int result = endTurn(match);
                if (result != kMatchGoesOn) return result;
                asking = false;
            } else if (isEscapeKey(key)) {
                asking = false;
            }
        }
    }
    return kMatchGoesOn;
}

// Hands a unit of the current player to unit control; the cursor follows the unit.
int selectUnderCursor(Match& match) {
    if (gUnitOwner[match.row][match.column] != match.player) return kMatchGoesOn;
    const int result = moveSelectedUnit(match.row, match.column);
    if (isWinnerCode(result)) {
        removeCursorFromMap(match.row, match.column, 0);
        unselectUnitOnMap(match.row, match.column);
        return result;
    }
    addCursorToMap(match.row, match.column, match.player);
    return kMatchGoesOn;
}

void moveBoardCursor(Match& match, int direction) {
    int row, column;
    neighbourOf(match.row, match.column, direction, row, column);
    if (moveCursor(match.row, match.column, row, column, match.player) == 0) {
        match.row = row;
        match.column = column;
    }
}

}  // namespace

int play(int versusComputer, int help) {
    Match match = {versusComputer, help, help ? kHelpCursorRow : 0, 0, 1};
    clearPicture();
    renderMap();
    addCursorToMap(match.row, match.column, match.player);
    bool promptPending = true;
    for (;;) {
        // The help text stays on top of the hexes that the last pass repainted. When nothing was painted
        // since the last present, the text the player sees is still whole.
        if (help && presentIsDue()) {
            gTextX = kInfoLineX;
            gTextY = 0;
            renderText(kInfoLineX, kHelpText);
        }
        if (promptPending) {
            writePrompt(match.player, kCursorModePrompt);
            promptPending = false;
        }
        presentAndWait();
        SDL_Keycode key;
        Polled polled;
        while ((polled = pollKey(key)) != Polled::kNothing) {
            if (polled == Polled::kQuit) return 1;
            int result = kMatchGoesOn;
            if (isEnterKey(key)) {
                result = selectUnderCursor(match);
                promptPending = true;
            } else if (isEscapeKey(key)) {
                result = askEndOfTurn(match);
                promptPending = true;
            } else if (const int direction = directionOfKey(key, true); direction != kNoDirection) {
                moveBoardCursor(match, direction);
            }
            if (result != kMatchGoesOn) return result;
        }
    }
}
