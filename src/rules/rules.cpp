#include "rules/rules.h"

#include <SDL.h>

#include <cstdio>

#include "render/board_drawing.h"
#include "render/input.h"
#include "render/sound.h"
#include "render/text.h"
#include "render/texts.h"
#include "render/window.h"
#include "rules/match_record.h"
#include "state/board.h"

namespace {

int winnerCode(int player) {
    return kWinnerCodeBase + player;
}

// The console's bell: the sound of a unit disappearing, for a player at a terminal; the window's audio
// output plays the game's own sound for everyone else.
constexpr int kBellCharacter = 7;

void soundUnitDestroyed() {
    putchar(kBellCharacter);
    fflush(stdout);  // at once, so that the beep comes with the disappearance
    playUnitFallSound();
}

// "Player", a blank cell, the winner's digit, a blank cell, then the sentence.
void writeVictoryLine(int winner) {
    writePlayerPrefix(winner);
    gTextX += kGlyphSize;
    renderText(kInfoLineX, kVictoryNotice);
}

// Holds the victory notice until a key (the winner code) or a quit event.
int waitForVictoryKey(int winner) {
    for (;;) {
        presentAndWait();
        SDL_Keycode key;
        const Polled polled = pollKey(key);
        if (polled == Polled::kQuit) return kWindowClosed;
        if (polled == Polled::kKey) return winnerCode(winner);
    }
}

}  // namespace

int computeActionPointCostToMove(char type) {
    return type == 'c' ? 1 : 2;
}

int computeActionPointCostToAttack() {
    return 3;
}

int computeAttackDamage() {
    return 1;
}

int computeActionPointRegeneration() {
    return 5;
}

int computeEndOfTurnActionPoint(int actionPoint) {
    if (actionPoint >= kActionPointCeiling) return actionPoint;
    const int regenerated = actionPoint + computeActionPointRegeneration();
    return regenerated > kActionPointCeiling ? kActionPointCeiling : regenerated;
}

void addEndOfTurnActionPoint(int player) {
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            if (gUnitOwner[row][column] != player) continue;
            overwriteUnitActionPoint(row, column, computeEndOfTurnActionPoint(gUnitActionPoint[row][column]),
                                     false);
        }
    }
    recordAction(kRecordedEnd, player, 0, 0, 0);
}

int moveUnit(int fromRow, int fromColumn, int toRow, int toColumn, bool selected) {
    if (isOnBoard(fromRow, fromColumn) && gUnitOwner[fromRow][fromColumn] == 0) return kNoUnitToMove;
    if (!isOnBoard(fromRow, fromColumn) || !isOnBoard(toRow, toColumn)) return kMoveOffTheBoard;

    const char type = gUnitType[fromRow][fromColumn];
    const int owner = gUnitOwner[fromRow][fromColumn];
    const int actionPoint = gUnitActionPoint[fromRow][fromColumn];
    const int healthPoint = gUnitHealthPoint[fromRow][fromColumn];

    if (isObstacle(toRow, toColumn)) return kMoveOntoObstacle;
    if (gUnitOwner[toRow][toColumn] != 0) {
        return gUnitOwner[toRow][toColumn] == owner ? kMoveOntoOwnUnit : kMoveOntoEnemy;
    }

    const int remaining = actionPoint - computeActionPointCostToMove(type);
    if (remaining < 0) {
        writeInfoLine(kTooFewActionPointsToMoveNotice);
        return kTooFewActionPointsToMove;
    }
    removeUnit(fromRow, fromColumn);
    addUnit(toRow, toColumn, type, owner, remaining, healthPoint, selected, true);
    recordAction(kRecordedMove, fromRow, fromColumn, toRow, toColumn);
    return kMoved;
}

int attackUnit(int attackerRow, int attackerColumn, int targetRow, int targetColumn, bool range) {
    const int remaining = gUnitActionPoint[attackerRow][attackerColumn] - computeActionPointCostToAttack();
    if (remaining < 0) {
        writeInfoLine(kTooFewActionPointsToAttackNotice);
        return kTooFewActionPointsToAttack;
    }
    overwriteUnitActionPoint(attackerRow, attackerColumn, remaining, true);
    recordAction(kRecordedAttack, attackerRow, attackerColumn, targetRow, targetColumn);

    const int health = gUnitHealthPoint[targetRow][targetColumn] - computeAttackDamage();
    if (health >= 1) {
        overwriteUnitHealthPoint(targetRow, targetColumn, health, false);
        return kAttackMade;
    }

    const int loser = gUnitOwner[targetRow][targetColumn];
    removeUnit(targetRow, targetColumn);
    soundUnitDestroyed();
    if (gNumberOfUnit[loser] > 0) return kAttackMade;

    const int winner = gUnitOwner[attackerRow][attackerColumn];
    if (range) {
        // The targeting ring stays whole under the victory notice.
        renderRangeTarget(targetRow, targetColumn);
        renderCursor(targetRow, targetColumn, winner);
    }
    writeVictoryLine(winner);
    return waitForVictoryKey(winner);
}
