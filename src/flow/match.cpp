#include "flow/match.h"

#include <cstdio>

#include "ai/opponent.h"
#include "ai/player_program.h"
#include "platform/platform.h"
#include "render/board_drawing.h"
#include "render/input.h"
#include "render/text.h"
#include "render/texts.h"
#include "render/window.h"
#include "rules/rules.h"
#include "rules/unit_control.h"
#include "state/board.h"

namespace {

constexpr int kHelpCursorRow = 7;

// What one match keeps: the board cursor, whose turn it is and its number (each side's turn counts as
// one, from 1), and whether the computer's side passes, its program having lost it.
struct Match {
    bool versusComputer;
    bool help;
    int row;
    int column;
    int player;
    int turn;
    bool computerPasses;
};

// The result that the end-of-turn question leaves for the match loop: go on, or leave with a result.
constexpr int kMatchGoesOn = -1;

void writePrompt(int player, const char* text) {
    writePlayerPrefix(player);
    renderText(kInfoLineX, text);
}

// A program that lost the computer's side: the match goes on with that side passing.
void computerPassesFromNowOn(Match& match) {
    std::fprintf(stderr, "qorda: player %d passes for the rest of the match: %s\n", kComputerPlayer,
                 playerProgramFault(kComputerPlayer));
    aiStopOpponent(gAiOpponent, kComputerPlayer);
    match.computerPasses = true;
}

// Ends the current player's turn; against the computer, the computer plays its whole turn here.
int endTurn(Match& match) {
    addEndOfTurnActionPoint(match.player);
    removeCursorFromMap(match.row, match.column, false);
    ++match.turn;
    if (match.player == 1 && match.versusComputer) {
        const int result =
            match.computerPasses ? 0 : aiPerformOpponentTurn(gAiOpponent, kComputerPlayer, match.turn);
        if (isWinnerCode(result) || result == kWindowClosed) {
            removeCursorFromMap(match.row, match.column, false);
            return result;
        }
        if (result == kProgramForfeit) computerPassesFromNowOn(match);
        addEndOfTurnActionPoint(kComputerPlayer);
        ++match.turn;
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
            if (polled == Polled::kQuit) return kWindowClosed;
            if (key == SDLK_m) {
                removeCursorFromMap(match.row, match.column, false);
                return kBackToMenu;
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
    if (result == kWindowClosed) return result;
    if (isWinnerCode(result)) {
        removeCursorFromMap(match.row, match.column, false);
        unselectUnitOnMap(match.row, match.column);
        return result;
    }
    addCursorToMap(match.row, match.column, match.player);
    return kMatchGoesOn;
}

void moveBoardCursor(Match& match, int direction) {
    int row, column;
    neighbourOf(match.row, match.column, direction, row, column);
    if (moveCursor(match.row, match.column, row, column, match.player) == kBoardDone) {
        match.row = row;
        match.column = column;
    }
}

int playMatch(Match& match) {
    const bool help = match.help;
    clearPicture();
    renderMap();
    addCursorToMap(match.row, match.column, match.player);
    bool promptPending = true;
    // The drawings counted when this loop last showed the help text whole.
    unsigned drawingsWithWholeHelpText = pictureDrawings() - 1;
    for (;;) {
        // The help text goes back on top of whatever was painted since, by this loop or by a nested one
        // that has shown the picture already. Over an unchanged picture it is not written again, so that
        // a waiting help match presents nothing.
        if (help && pictureDrawings() != drawingsWithWholeHelpText) {
            gTextX = kInfoLineX;
            gTextY = 0;
            renderText(kInfoLineX, kMatchHelpText);
        }
        if (promptPending) {
            writePrompt(match.player, kCursorModePrompt);
            promptPending = false;
        }
        // The prompt is on the info line, below the help text.
        drawingsWithWholeHelpText = pictureDrawings();
        presentAndWait();
        SDL_Keycode key;
        Polled polled;
        while ((polled = pollKey(key)) != Polled::kNothing) {
            if (polled == Polled::kQuit) return kWindowClosed;
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

}  // namespace

int play(bool versusComputer, bool help) {
    Match match = {versusComputer, help, help ? kHelpCursorRow : 0, 0, 1, 1, false};
    if (versusComputer && !aiStartOpponent(gAiOpponent, kComputerPlayer, gAiProgramCommand)) {
        computerPassesFromNowOn(match);
    }
    matchUnderway(true);
    const int result = playMatch(match);
    matchUnderway(false);
    if (versusComputer && !match.computerPasses) aiStopOpponent(gAiOpponent, kComputerPlayer);
    return result;
}
