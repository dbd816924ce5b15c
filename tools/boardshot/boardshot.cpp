// Developer tool: makes the pictures of the game's screens headless, for looking at the art and for the
// README's screenshots. Two kinds of scene:
// - drawn scenes lay out a board with the game's own drawing operations and take the picture;
// - played scenes start the real game (SDL_main), feed it a player's input one polling pass at a time, as
//   the tests do, and take the picture once the game has taken the last input, as the window shows it.
//
// Usage: boardshot <data dir> <scene> <out.png>
//        boardshot --exact <data dir> <scene> <out.png>   a played scene with all its colours, no palette
//        boardshot --input <scene>   prints a played scene's input as JSON, for the browser test to replay
// The data directory must hold tiles.png and font.bmp (and map01.txt for the scenes of a match); the game
// runs there but is never asked to save. Scenes are listed in kScenes.
#include <SDL.h>
#include <SDL_image.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <span>
#include <string>
#include <system_error>

#include "flow/map_prompt.h"
#include "flow/program.h"
#include "indexed_png.h"
#include "render/board_drawing.h"
#include "render/input.h"
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
    addUnit(4, 4, 'a', 1, 7, 2, false, false);
    addUnit(2, 2, 'c', 1, 6, 5, false, false);
    addUnit(6, 3, 's', 1, 7, 8, false, false);
    addUnit(8, 1, 'a', 1, 10, 2, false, false);
    addUnit(3, 5, 's', 1, 5, 7, false, false);
    addUnit(4, 6, 'c', 2, 10, 4, false, false);
    addUnit(6, 9, 's', 2, 10, 8, false, false);
    addUnit(2, 11, 'a', 2, 10, 2, false, false);
    addUnit(7, 12, 'c', 2, 10, 5, false, false);
    addUnit(3, 13, 's', 2, 10, 12, false, false);
    addUnit(5, 15, 'a', 2, 8, 1, false, false);
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

// The player's input in a played scene, step by step: either keys, pressed one per polling pass, each
// character being the key's SDL code (letters and digits as themselves, "\r" Enter, "\033" Escape), or one
// typed text.
struct Input {
    const char* keys;
    const char* text;
};

constexpr Input press(const char* keys) {
    return {keys, nullptr};
}
constexpr Input type(const char* text) {
    return {"", text};
}

// Two inputs one after the other.
template <std::size_t kFirst, std::size_t kSecond>
constexpr std::array<Input, kFirst + kSecond> joinInputs(const Input (&first)[kFirst],
                                                         const Input (&second)[kSecond]) {
    std::array<Input, kFirst + kSecond> joined = {};
    for (std::size_t i = 0; i < kFirst; ++i) joined[i] = first[i];
    for (std::size_t i = 0; i < kSecond; ++i) joined[kFirst + i] = second[i];
    return joined;
}

// A match of two humans on map01, from the main menu up to an Archer's targeting ring. Board positions are
// (row, column); f g h step up-left, up, up-right, c v b down-left, down, down-right.
constexpr Input kToTargetingRing[] = {
    press("2"),               // main menu: play map01, human vs human
    press("vvvvb"),           // player 1: the cursor to the Archer at (4,1)
    press("\rbhh\033"),       // select it, walk it to (4,4), let it go
    press("gggfc"),           // the cursor to the Cavalry at (1,2)
    press("\rbbbbb\033"),     // select it, ride to (3,7), let it go
    press("\033\r"),          // end of turn, confirmed
    press("hhhhhhb"),         // player 2: the cursor to the Cavalry at (1,14)
    press("\rcccccccf\033"),  // ride to (4,6), two hexes right of player 1's Archer
    press("\033\r"),          // end of turn, confirmed
    press("cf\r\r"),          // player 1: select the Archer and open its ring; the first target is (4,6)
};

// The same match on: the Archer shoots the red Cavalry, then player 1's Cavalry charges it and stays
// selected.
constexpr Input kShotAndCharge[] = {
    press("\r\033\033"),  // shoot, leave the ring, let the Archer go
    press("hhb\rc"),      // the cursor to the Cavalry at (3,7), select it, attack down-left
};
constexpr auto kBattleInput = joinInputs(kToTargetingRing, kShotAndCharge);

// The map editor on map01, kept: an Archer and a rock are added, and the next entry is being typed.
constexpr Input kEditorInput[] = {
    press("4\r"),  // main menu: edit map; any key leaves the editor's help
    press("y"),    // keep the current map
    type("4,6,a,1,7,2"), press("\r"), type("5,8,x,150"), press("\r"), type("3,9,c,2,10,5"),
};

struct Scene {
    const char* name;
    void (*draw)();                // a drawn scene; null for a played one
    std::span<const Input> input;  // a played scene: the input from start-up to the picture
};

constexpr Scene kScenes[] = {
    {"board", drawBoardScene, {}},
    {"match", drawMatchScene, {}},
    {"coordinates", drawCoordinatesScene, {}},
    {"ground", drawGroundScene, {}},
    {"obstacles", drawObstaclesScene, {}},
    {"menu-screen", nullptr, {}},
    {"targeting-screen", nullptr, kToTargetingRing},
    {"match-screen", nullptr, kBattleInput},
    {"editor-screen", nullptr, kEditorInput},
};

const Scene* findScene(const char* name) {
    for (const Scene& scene : kScenes) {
        if (std::strcmp(scene.name, name) == 0) return &scene;
    }
    return nullptr;
}

void printUsage() {
    fprintf(
        stderr,
        "Usage: boardshot [--exact] <data dir> <scene> <out.png>\n       boardshot --input <scene>\nScenes:");
    for (const Scene& scene : kScenes) fprintf(stderr, " %s", scene.name);
    fprintf(stderr, "\n");
}

// Reads the picture back from the renderer and writes it as a PNG; the screens of the real game with a
// palette, since they are committed as the README's screenshots.
int savePicture(const std::string& path, bool indexed) {
    SDL_Surface* picture = pictureAsSurface();
    int result = -1;
    if (picture != nullptr)
        result = indexed ? saveIndexedPng(picture, path.c_str()) : IMG_SavePNG(picture, path.c_str());
    if (result != 0) fprintf(stderr, "boardshot: cannot save %s: %s\n", path.c_str(), SDL_GetError());
    SDL_FreeSurface(picture);
    return result == 0 ? 0 : 1;
}

// A string as JSON, every control character escaped.
void printJsonString(const char* text) {
    putchar('"');
    for (; *text != 0; ++text) {
        const unsigned char c = static_cast<unsigned char>(*text);
        if (c < 0x20 || c == '"' || c == '\\') {
            printf("\\u%04x", c);
        } else {
            putchar(c);
        }
    }
    putchar('"');
}

// The input of a played scene, one step per element: {"keys": "..."} or {"text": "..."}.
void printSceneInput(const Scene& scene) {
    printf("[");
    for (std::size_t i = 0; i < scene.input.size(); ++i) {
        const Input& input = scene.input[i];
        printf(i == 0 ? "{" : ",\n{");
        printf(input.text != nullptr ? "\"text\": " : "\"keys\": ");
        printJsonString(input.text != nullptr ? input.text : input.keys);
        printf("}");
    }
    printf("]\n");
}

int drawScene(const Scene& scene, const std::string& output) {
    if (init() != 0 || loadTiles() != 0) {
        close();
        return 1;
    }
    if (loadFont() != 0) fprintf(stderr, "boardshot: no font.bmp, the picture has no text\n");
    scene.draw();
    const int result = savePicture(output, false);
    close();
    return result;
}

// The played scene in progress: its input, the next key or text to feed, and where the picture goes.
struct Playthrough {
    std::span<const Input> input;
    std::size_t step;
    std::size_t key;  // the next key of the step's keys
    std::string output;
    bool indexed;      // saved with a palette (the README's screenshots), else with every colour
    int result;        // -1 until the picture is taken, then savePicture's result
    int passesWaited;  // passes since the last input was fed or the picture was taken
};
Playthrough gPlaythrough;

// A loop that leaves the player's input unread, or goes on although the window was closed, for this many
// passes never will: the scene is broken.
constexpr int kPassesToGiveUp = 1000;

SDL_Event keyEvent(SDL_Keycode key) {
    SDL_Event event = {};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    return event;
}

SDL_Event textEvent(const char* text) {
    SDL_Event event = {};
    event.type = SDL_TEXTINPUT;
    std::strncpy(event.text.text, text, sizeof event.text.text - 1);
    return event;
}

// Takes the next event of the input, if any is left.
bool nextInputEvent(Playthrough& run, SDL_Event& event) {
    while (run.step < run.input.size()) {
        const Input& input = run.input[run.step];
        if (input.text != nullptr) {
            event = textEvent(input.text);
            ++run.step;
            return true;
        }
        if (input.keys[run.key] != 0) {
            event = keyEvent(static_cast<unsigned char>(input.keys[run.key++]));
            return true;
        }
        ++run.step;
        run.key = 0;
    }
    return false;
}

// Whether the game has yet to take input that was fed. SDL may hold back an event pushed while a loop
// drains the queue until that loop's next pass, so the next input waits until the last one was taken,
// as a player waits for the game to react.
bool inputPending() {
    return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_TEXTINPUT) > 0;
}

// Runs at every polling pass of the game, after the picture was shown: feeds the next input once the game
// took the last one; when the input is used up and taken, takes the picture and closes the window.
void feedPlaythrough() {
    Playthrough& run = gPlaythrough;
    if (++run.passesWaited > kPassesToGiveUp) {
        fprintf(stderr, "boardshot: the game is stuck at input step %zu of %zu\n", run.step + 1,
                run.input.size());
        std::exit(1);
    }
    SDL_Event event = {};
    if (run.result < 0) {
        if (inputPending()) return;
        if (nextInputEvent(run, event)) {
            SDL_PushEvent(&event);
            run.passesWaited = 0;
            return;
        }
        run.result = savePicture(run.output, run.indexed);
        run.passesWaited = 0;
    }
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}

int playScene(const Scene& scene, const std::string& output, bool indexed) {
    gPlaythrough = {scene.input, 0, 0, output, indexed, -1, 0};
    gWaitPercent = 0;  // the computer's pauses and the polling waits take no time
    gBeforePoll = feedPlaythrough;
    char program[] = "qorda";
    char* arguments[] = {program, nullptr};
    SDL_main(1, arguments);
    if (gPlaythrough.result < 0) {
        fprintf(stderr,
                "boardshot: the game ended before the picture was taken, after %zu of %zu input steps\n",
                gPlaythrough.step, scene.input.size());
        return 1;
    }
    return gPlaythrough.result;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc == 3 && std::strcmp(argv[1], "--input") == 0) {
        const Scene* scene = findScene(argv[2]);
        if (scene == nullptr || scene->draw != nullptr) {
            fprintf(stderr, "boardshot: no played scene \"%s\"\n", argv[2]);
            return 2;
        }
        printSceneInput(*scene);
        return 0;
    }
    const bool exact = argc == 5 && std::strcmp(argv[1], "--exact") == 0;
    if (exact) {
        --argc;
        ++argv;
    }
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
    SDL_setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_setenv("SDL_RENDER_DRIVER", "software", 1);
    return scene->draw != nullptr ? drawScene(*scene, output) : playScene(*scene, output, !exact);
}
