// Picture checks shared by the rules tests: what a hex and the info line show, compared with what the
// game's own painting operations would paint there.
#pragma once

#include <vector>

#include "render/board_drawing.h"
#include "render/text.h"
#include "render/window.h"
#include "state/board.h"
#include "support/game_test.h"

inline std::vector<Uint32> picturePixels(SDL_Rect area) {
    std::vector<Uint32> pixels(static_cast<size_t>(area.w * area.h));
    SDL_RenderReadPixels(gRenderer, &area, SDL_PIXELFORMAT_ARGB8888, pixels.data(), area.w * 4);
    for (Uint32& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

inline std::vector<Uint32> hexPixels(int row, int column) {
    return picturePixels({hexOriginX(column), hexOriginY(row, column), kHexWidth, kHexHeight});
}

inline SDL_Rect infoLineArea() {
    return {0, kInfoLineY, kWindowWidth, kWindowHeight - kInfoLineY};
}

// Whether the hex shows what a fresh repaint shows (tile, unit, the selection hexagon when asked, points):
// no cursor, no highlight. The check repaints the hex.
inline bool hexShowsRepaint(int row, int column, int selected) {
    const std::vector<Uint32> shown = hexPixels(row, column);
    redrawHex(row, column, selected);
    return shown == hexPixels(row, column);
}

// Whether the info line reads text, written from its start. The check rewrites the info line.
inline bool infoLineReads(const char* text) {
    const std::vector<Uint32> shown = picturePixels(infoLineArea());
    writeInfoLine(text);
    return shown == picturePixels(infoLineArea());
}

inline bool infoLineIsBlank() {
    for (Uint32 pixel : picturePixels(infoLineArea())) {
        if (pixel != 0) return false;
    }
    return true;
}

// Whether the board cursor of the player's colour is painted on the hex.
inline bool hexShowsCursor(int row, int column, int player) {
    const SDL_Rect cursorCell = {kHexWidth * (player - 1), kHexHeight * kMarkRow, kHexWidth, kHexHeight};
    return cellMismatches("tiles.png", 0x00FFFF, cursorCell, hexOriginX(column), hexOriginY(row, column)) ==
           0;
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
