// Developer tool: draws a board with the game's own drawing operations in a hidden window and saves the
// picture as a PNG, to look at the art and for the README's screenshots.
//
// Usage: boardshot <data dir> <scene> <out.png>
// The data directory must hold tiles.png (and font.bmp for text). Scenes are listed in kScenes.
#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "render/board_drawing.h"
#include "render/text.h"
#include "render/window.h"
#include "state/board.h"
#include "state/hex.h"
#include "state/map_file.h"

namespace {

// The ground of the sample board, one letter per hex: a family of tiles, the variant picked per hex.
//   g grass  f flowers  l lush grass  p grass with earth  e earth  s sand  d dry grass  q grass with sand
//   R rocks on grass  L rocks on lush grass  E rocks on earth  S rocks on sand  D rocks on dry grass
//   . plain tile 0
constexpr const char* kSampleGround[kBoardRows] = {
    "glllgg.gfgggdddqs",  //
    "llfgg.ggRggggddqs",  //
    "lgggggg.RRgfgdqss",  //
    "gg.gggfgggggggqsS",  //
    "gfgggggpg.ggLgggq",  //
    "gRgggg.gpeegggggg",  //
    "ggg.gggEpeegRgggg",  //
    "gfgggggggpedgRRgf",  //
    "lllgg.ggfgddd.ggg",  //
    "lLlggggggggdDdggg",  //
};

int sampleTile(char family, int row, int column) {
    const int variant = (row * 7 + column * 13 + row * column) % 16;
    switch (family) {
        case 'g':
            return variant == 0 ? 1 : variant;
        case 'f':
            return 16 + variant;
        case 'l':
            return 32 + variant;
        case 'p':
            return 48 + variant;
        case 'e':
            return 64 + variant;
        case 's':
            return 80 + variant;
        case 'd':
            return 96 + variant;
        case 'q':
            return 112 + variant;
        case 'R':
            return 128 + (variant % 2) * 16 + variant;
        case 'L':
            return 160 + variant;
        case 'E':
            return 192 + (variant % 2) * 16 + variant;
        case 'S':
            return 224 + variant;
        case 'D':
            return 240 + variant;
        default:
            return 0;
    }
}

void layOutSampleGround() {
    clearStatusMatrix();
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            gMap[row][column] =
                static_cast<std::uint8_t>(sampleTile(kSampleGround[row][column], row, column));
        }
    }
}

// Both sides with every kind of unit; player 2 has the fuller action points of a balanced map.
void placeSampleUnits() {
    addUnit(4, 4, 'a', 1, 7, 2, 0, 0);
    addUnit(2, 2, 'c', 1, 6, 5, 0, 0);
    addUnit(6, 3, 's', 1, 7, 8, 0, 0);
    addUnit(8, 1, 'a', 1, 10, 2, 0, 0);
    addUnit(3, 5, 's', 1, 5, 7, 0, 0);
    addUnit(4, 6, 'c', 2, 10, 4, 0, 0);
    addUnit(6, 9, 's', 2, 10, 8, 0, 0);
    addUnit(2, 11, 'a', 2, 10, 2, 0, 0);
    addUnit(7, 12, 'c', 2, 10, 5, 0, 0);
    addUnit(3, 13, 's', 2, 10, 12, 0, 0);
    addUnit(5, 15, 'a', 2, 8, 1, 0, 0);
}

// A match in progress: player 1's Archer aims at an enemy Cavalry two hexes away.
void drawBoardScene() {
    layOutSampleGround();
    placeSampleUnits();
    SDL_RenderClear(gRenderer);
    renderMap();
    const int archerRow = 4, archerColumn = 4;
    selectUnitOnMap(archerRow, archerColumn);
    int ring[kRingPositions][2];
    ringOffsetsForColumn(archerColumn, ring);
    for (const auto& offset : ring) {
        const int row = archerRow + offset[0], column = archerColumn + offset[1];
        if (isOnBoard(row, column)) renderRangeTarget(row, column);
    }
    renderCursor(4, 6, 1);
    writePlayerPrefix(1);
    renderText(kInfoLineX, ": Attack enemy units with Enter or Space. Press Escape or Backspace when done.");
}

// The default map as a match starts on it: the cursor of player 1 in the top-left corner.
void drawMatchScene() {
    char name[kNameBufferSize] = "map01";
    if (loadStatusMatrix(0, name) != 0) fprintf(stderr, "boardshot: no map01.txt, the board is empty\n");
    SDL_RenderClear(gRenderer);
    renderMap();
    addCursorToMap(0, 0, 1);
    writePlayerPrefix(1);
    renderText(
        kInfoLineX,
        ": Move the cursor and press Enter or Space to select a unit. Press Escape or Backspace toend your "
        "turn.");
}

// The map editor's board: every hex labelled with its row and column.
void drawCoordinatesScene() {
    layOutSampleGround();
    placeSampleUnits();
    SDL_RenderClear(gRenderer);
    renderMap();
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) renderHexagonCoordinates(row, column);
    }
    writeInfoLine(
        "Enter a unit to add to the map \"Row(0-9),Column(0-16),Type(a,c,s,x,r=remove),Player(1-2),\n"
        "ActionPoint(0-99),HealthPoint(1-99)\": ");
}

// Every tile of a range, in order, over the board: for looking at the ground or the rocks side by side.
void drawTiles(int firstTile) {
    clearStatusMatrix();
    for (int hex = 0; hex < kBoardHexes; ++hex) {
        gMap[hex / kBoardColumns][hex % kBoardColumns] = static_cast<std::uint8_t>(firstTile + hex % 128);
    }
    SDL_RenderClear(gRenderer);
    renderMap();
}

void drawGroundScene() {
    drawTiles(0);
}
void drawObstaclesScene() {
    drawTiles(128);
}

struct Scene {
    const char* name;
    void (*draw)();
};

constexpr Scene kScenes[] = {
    {"board", drawBoardScene},   {"match", drawMatchScene},         {"coordinates", drawCoordinatesScene},
    {"ground", drawGroundScene}, {"obstacles", drawObstaclesScene},
};

const Scene* findScene(const char* name) {
    for (const Scene& scene : kScenes) {
        if (std::strcmp(scene.name, name) == 0) return &scene;
    }
    return nullptr;
}

void printUsage() {
    fprintf(stderr, "Usage: boardshot <data dir> <scene> <out.png>\nScenes:");
    for (const Scene& scene : kScenes) fprintf(stderr, " %s", scene.name);
    fprintf(stderr, "\n");
}

// Reads the picture back from the renderer and writes it as a PNG.
int savePicture(const std::string& path) {
    SDL_Surface* picture =
        SDL_CreateRGBSurfaceWithFormat(0, kWindowWidth, kWindowHeight, 32, SDL_PIXELFORMAT_ARGB8888);
    if (picture == nullptr) return 1;
    int result =
        SDL_RenderReadPixels(gRenderer, nullptr, SDL_PIXELFORMAT_ARGB8888, picture->pixels, picture->pitch);
    if (result == 0) result = IMG_SavePNG(picture, path.c_str());
    if (result != 0) fprintf(stderr, "boardshot: cannot save %s: %s\n", path.c_str(), SDL_GetError());
    SDL_FreeSurface(picture);
    return result == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 4) {
        printUsage();
        return 2;
    }
    const Scene* scene = findScene(argv[2]);
    if (scene == nullptr) {
        fprintf(stderr, "boardshot: no scene \"%s\"\n", argv[2]);
        printUsage();
        return 2;
    }
    const std::string output = std::filesystem::absolute(argv[3]).string();
    std::error_code error;
    std::filesystem::current_path(argv[1], error);
    if (error) {
        fprintf(stderr, "boardshot: cannot enter %s: %s\n", argv[1], error.message().c_str());
        return 1;
    }
    // Headless: no screen is needed, and the software renderer reads back exactly what was drawn.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_RENDER_DRIVER", "software", 1);
    if (init() != 0 || loadTiles() != 0) {
        close();
        return 1;
    }
    if (loadFont() != 0) fprintf(stderr, "boardshot: no font.bmp, the picture has no text\n");
    scene->draw();
    const int result = savePicture(output);
    close();
    return result;
}
