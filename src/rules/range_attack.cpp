#include "rules/range_attack.h"

#include <SDL.h>

#include "render/board_drawing.h"
#include "render/input.h"
#include "render/text.h"
#include "render/texts.h"
#include "render/window.h"
#include "rules/rules.h"
#include "state/board.h"
#include "state/hex.h"

namespace {

// The direction key that walks the target from each ring position to the neighbouring ring hex:
// row 0 to the previous position (clockwise), row 1 to the next one (counter-clockwise).
constexpr int kToPrevious = 0;
constexpr int kToNext = 1;
constexpr int kRingWalkDirection[2][kRingPositions] = {
    {kDown, kDown, kDownRight, kDownRight, kUpRight, kUpRight, kUp, kUp, kUpLeft, kUpLeft, kDownLeft,
     kDownLeft},
    {kUp, kUpLeft, kUpLeft, kDownLeft, kDownLeft, kDown, kDown, kDownRight, kDownRight, kUpRight, kUpRight,
     kUp},
};

// The ring of one targeting: the hex of every position and whether it lies on the board.
struct TargetRing {
    int row[kRingPositions];
    int column[kRingPositions];
    bool onBoard[kRingPositions];
};

// Highlights every on-board ring hex and returns the first on-board position, where the target starts.
// An Archer always has at least one ring hex on a board of this size.
int drawRing(int archerRow, int archerColumn, TargetRing& ring) {
    int offsets[kRingPositions][2];
    ringOffsetsForColumn(archerColumn, offsets);
    int first = -1;
    for (int position = 0; position < kRingPositions; ++position) {
        ring.row[position] = archerRow + offsets[position][0];
        ring.column[position] = archerColumn + offsets[position][1];
        ring.onBoard[position] = isOnBoard(ring.row[position], ring.column[position]);
        if (!ring.onBoard[position]) continue;
        renderRangeTarget(ring.row[position], ring.column[position]);
        if (first < 0) first = position;
    }
    return first;
}

// Repaints every ring hex without highlight and cursor; off-board positions are refused there.
void clearRing(const TargetRing& ring) {
    for (int position = 0; position < kRingPositions; ++position) {
        removeCursorFromMap(ring.row[position], ring.column[position], false);
    }
}

void markTarget(const TargetRing& ring, int position, int player) {
    renderRangeTarget(ring.row[position], ring.column[position]);
    renderCursor(ring.row[position], ring.column[position], player);
}

// Moves the target one step along the ring (step -1 or +1), past the positions off the board.
void walkTarget(const TargetRing& ring, int& position, int step, int player) {
    removeCursorFromMap(ring.row[position], ring.column[position], false);
    renderRangeTarget(ring.row[position], ring.column[position]);
    do {
        position = (position + step + kRingPositions) % kRingPositions;
    } while (!ring.onBoard[position]);
    renderCursor(ring.row[position], ring.column[position], player);
}

void writeTargetingPrompt(int player) {
    writePlayerPrefix(player);
    renderText(kInfoLineX, kTargetingPrompt);
}

}  // namespace

int performRangeAttack(int row, int column) {
    const int player = gUnitOwner[row][column];
    TargetRing ring;
    int target = drawRing(row, column, ring);
    renderCursor(ring.row[target], ring.column[target], player);
    writeTargetingPrompt(player);

    for (;;) {
        presentAndWait();
        SDL_Keycode key;
        Polled polled;
        while ((polled = pollKey(key)) != Polled::kNothing) {
            if (polled == Polled::kQuit) return kWindowClosed;
            if (isEscapeKey(key)) {
                clearRing(ring);
                return kUnitReleased;
            }
            const int targetRow = ring.row[target];
            const int targetColumn = ring.column[target];
            if (isEnterKey(key)) {
                const int owner = gUnitOwner[targetRow][targetColumn];
                if (owner == 0 || owner == player) continue;  // only enemy units are shot at
                const int result = attackUnit(row, column, targetRow, targetColumn, true);
                if (result == kAttackMade) markTarget(ring, target, player);  // the attack repainted the hex
                if (isWinnerCode(result)) {
                    clearRing(ring);
                    return result;
                }
                continue;
            }
            const int direction = directionOfKey(key, false);
            if (direction == kNoDirection) continue;
            if (direction == kRingWalkDirection[kToPrevious][target]) {
                walkTarget(ring, target, -1, player);
            } else if (direction == kRingWalkDirection[kToNext][target]) {
                walkTarget(ring, target, +1, player);
            }
        }
    }
}
