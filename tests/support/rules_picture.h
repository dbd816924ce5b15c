// Picture checks and the fixture shared by the tests of the rules and the computer's turn: what a hex
// shows, compared with what the game's own painting operations would paint there. The info line and the
// cursor are checked with support/picture.h.
#pragma once

#include <vector>

#include "render/board_drawing.h"
#include "render/text.h"
#include "render/window.h"
#include "state/board.h"
#include "support/game_test.h"

inline std::vector<Uint32> hexPixels(int row, int column) {
    return readPicture({hexOriginX(column), hexOriginY(row, column), kHexWidth, kHexHeight});
}

// Whether the hex shows what a fresh repaint shows (tile, unit, the selection hexagon when asked, points):
// no cursor, no highlight. The check repaints the hex.
inline bool hexShowsRepaint(int row, int column, int selected) {
    const std::vector<Uint32> shown = hexPixels(row, column);
    redrawHex(row, column, selected);
    return shown == hexPixels(row, column);
}

// Drops every queued event. SDL ends a drain at the marker it queues when it pumps, so a loop that returns
// in the middle of a drain leaves the marker and the rest behind; the next table case starts clean.
inline void dropQueuedEvents() {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

// A fixture with the empty board painted and a blank info line.
class RulesTest : public GameTest {
   protected:
    void SetUp() override {
        GameTest::SetUp();
        renderMap();
        hideRenderedInfoText();
    }

    // An empty board, painted, with a blank info line and no input waiting: the start of each table case.
    static void freshBoard() {
        emptyBoard();
        renderMap();
        hideRenderedInfoText();
        clearScript();
        dropQueuedEvents();
    }

    static void place(int row, int column, char type, int owner, int actionPoint, int healthPoint) {
        ASSERT_EQ(addUnit(row, column, type, owner, actionPoint, healthPoint, 0, 1), 0);
    }
};
