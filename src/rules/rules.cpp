#include "rules/rules.h"

#include <SDL.h>

#include <cstdio>

#include "render/board_drawing.h"
#include "render/sound.h"
#include "render/text.h"
#include "render/window.h"
#include "state/board.h"

namespace {

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
    renderText(kInfoLineX, "won the battle. Press any key to return to main menu.");
}

// Holds the victory notice until a key (10 + winner) or a quit event (1).
int waitForVictoryKey(int winner) {
    for (;;) {
        presentAndWait();
        SDL_Keycode key;
        const Polled polled = pollKey(key);
        if (polled == Polled::kQuit) return 1;
        if (polled == Polled::kKey) return kWinnerCodeBase + winner;
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
                                     0);
        }
    }
}

int moveUnit(int fromRow, int fromColumn, int toRow, int toColumn, int selected) {
    if (isOnBoard(fromRow, fromColumn) && gUnitOwner[fromRow][fromColumn] == 0) return 1;
    if (!isOnBoard(fromRow, fromColumn) || !isOnBoard(toRow, toColumn)) return 2;

    const char type = gUnitType[fromRow][fromColumn];
    const int owner = gUnitOwner[fromRow][fromColumn];
    const int actionPoint = gUnitActionPoint[fromRow][fromColumn];
    const int healthPoint = gUnitHealthPoint[fromRow][fromColumn];

    if (isObstacle(toRow, toColumn)) return 3;
    if (gUnitOwner[toRow][toColumn] != 0) return gUnitOwner[toRow][toColumn] == owner ? 4 : 5;

    const int remaining = actionPoint - computeActionPointCostToMove(type);
    if (remaining < 0) {
        writeInfoLine("Not enough action points to move.");
        return 6;
    }
    removeUnit(fromRow, fromColumn);
    addUnit(toRow, toColumn, type, owner, remaining, healthPoint, selected, 1);
    return 0;
}

int attackUnit(int attackerRow, int attackerColumn, int targetRow, int targetColumn, int range) {
    const int remaining = gUnitActionPoint[attackerRow][attackerColumn] - computeActionPointCostToAttack();
    if (remaining < 0) {
        writeInfoLine("Not enough action points to attack.");
        return 5;
    }
    overwriteUnitActionPoint(attackerRow, attackerColumn, remaining, 1);

    const int health = gUnitHealthPoint[targetRow][targetColumn] - computeAttackDamage();
    if (health >= 1) {
        overwriteUnitHealthPoint(targetRow, targetColumn, health, 0);
        return 0;
    }

    const int loser = gUnitOwner[targetRow][targetColumn];
    removeUnit(targetRow, targetColumn);
    soundUnitDestroyed();
    if (gNumberOfUnit[loser] > 0) return 0;

    const int winner = gUnitOwner[attackerRow][attackerColumn];
    if (range) {
        // The targeting ring stays whole under the victory notice.
        renderRangeTarget(targetRow, targetColumn);
        renderCursor(targetRow, targetColumn, winner);
    }
    writeVictoryLine(winner);
    return waitForVictoryKey(winner);
}
