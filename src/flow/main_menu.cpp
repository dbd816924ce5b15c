#include "flow/main_menu.h"

#include <cstdio>
#include <cstring>

#include "editor/map_editor.h"
#include "flow/match.h"
#include "render/sound.h"
#include "render/text.h"
#include "render/window.h"
#include "state/map_file.h"

namespace {

constexpr const char* kDefaultMapName = "map01";
constexpr int kExitEntry = 6;
constexpr const char* kHelpMapName = "HelpMap";

constexpr const char* kMenuTitle =
    "\n\n\n"
    "+-----------------------------------------------+\n"
    "|                                               |\n"
    "|     ___     ___    ____    ____       _       |\n"
    "|    / _ \\   / _ \\  |  _ \\  |  _ \\     / \\      |\n"
    "|   | | | | | | | | | |_) | | | | |   / _ \\     |\n"
    "|   | |_| | | |_| | |  _ /  | |_| |  / ___ \\    |\n"
    "|    \\__\\_\\  \\___/  |_| \\_\\ |____/  /_/   \\_\\   |\n"
    "|                                               |\n"
    "|                  Ver 20160116                 |\n"
    "+-----------------------------------------------+"
    "\n\n\n\nQorda is a minimalist turn-based strategy/tactic game on hexagon grid map.\n\n\n"
    "   -- Main menu --\n\n 1. Play ";
constexpr const char* kMenuVersusComputer = " human vs AI\n 2. Play ";
constexpr const char* kMenuRest = " human vs human\n 3. Load map\n 4. Edit map\n 5. Help\n 6. Exit\n";

// The menu entry (1 to 6) of a key, or 0: the top-row digits and the keypad digits are equivalent.
int menuEntryOfKey(SDL_Keycode key) {
    if (key >= SDLK_1 && key <= SDLK_6) return static_cast<int>(key - SDLK_1) + 1;
    if (key >= SDLK_KP_1 && key <= SDLK_KP_6) return static_cast<int>(key - SDLK_KP_1) + 1;
    return 0;
}

void drawMenu(const char* mapName) {
    clearPicture();
    gTextX = 2;
    gTextY = 0;
    renderText(2, kMenuTitle);
    renderText(2, mapName);
    renderText(2, kMenuVersusComputer);
    renderText(2, mapName);
    renderText(2, kMenuRest);
}

// What the menu remembers between entries. mapStatus 0 means that the board in memory is the current map
// as its file holds it (just loaded or just saved); any other value makes the next match reload the file.
struct Menu {
    char mapName[kNameBufferSize];
    char helpMapName[kNameBufferSize];
    int mapStatus;
};

// A match always starts from the current map file unless the board was just loaded or saved.
int playMatch(Menu& menu, int versusComputer) {
    if (menu.mapStatus != 0) menu.mapStatus = loadStatusMatrix(0, menu.mapName);
    const int result = play(versusComputer, 0);
    menu.mapStatus = 1;
    return result;
}

// Runs one menu entry and returns its result; 1 means that the window was closed inside it.
int runEntry(Menu& menu, int entry) {
    switch (entry) {
        case 1:
            return playMatch(menu, 1);
        case 2:
            return playMatch(menu, 0);
        case 3:
            return menu.mapStatus = loadStatusMatrix(1, menu.mapName);
        case 4:
            return menu.mapStatus = editMap(menu.mapName);
        case 5: {
            loadStatusMatrix(0, menu.helpMapName);
            const int result = play(1, 1);
            menu.mapStatus = loadStatusMatrix(0, menu.mapName);
            return result;
        }
        default:
            return 0;
    }
}

void runMenu(Menu& menu) {
    bool running = true;
    bool redraw = true;
    while (running) {
        if (redraw) {
            drawMenu(menu.mapName);
            redraw = false;
        }
        presentAndWait();
        // Keys queued behind a quit request or Exit are still acted on.
        SDL_Keycode key;
        Polled polled;
        while ((polled = pollKey(key)) != Polled::kNothing) {
            if (polled == Polled::kQuit) {
                running = false;
                continue;
            }
            const int entry = menuEntryOfKey(key);
            if (entry == kExitEntry) {
                running = false;
            } else if (entry != 0) {
                running = runEntry(menu, entry) != 1;
                redraw = true;
            }
        }
    }
}

}  // namespace

extern "C" int SDL_main(int, char*[]) {
    // Every message is written at once, so standard output needs no buffer: none is taken mid-match when the
    // first unit is destroyed and the beep goes out.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (init() != 0) {
        printf("Failed to initialize!\n");
    } else if (loadTiles() != 0 || loadFont() != 0) {
        printf("Failed to load media!\n");
    } else {
        Menu menu = {};
        std::strcpy(menu.mapName, kDefaultMapName);
        std::strcpy(menu.helpMapName, kHelpMapName);
        menu.mapStatus = loadStatusMatrix(0, menu.mapName);
        openSound();
        runMenu(menu);
        closeSound();
    }
    close();
    fflush(stdout);
    return 0;
}
