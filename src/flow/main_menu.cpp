#include "flow/main_menu.h"

#include <cstring>

#include "editor/map_editor.h"
#include "flow/map_prompt.h"
#include "flow/match.h"
#include "render/input.h"
#include "render/text.h"
#include "render/texts.h"
#include "render/window.h"
#include "state/map_file.h"

namespace {

constexpr const char* kDefaultMapName = "map01";
constexpr const char* kHelpMapName = "HelpMap";

// The entries of the menu, by their digit.
enum MenuEntry : int {
    kNoEntry = 0,
    kPlayVersusComputer = 1,
    kPlayVersusHuman = 2,
    kLoadMap = 3,
    kEditMap = 4,
    kHelp = 5,
    kExit = 6,
};

// The menu entry of a key, or kNoEntry: the top-row digits and the keypad digits are equivalent.
int menuEntryOfKey(SDL_Keycode key) {
    if (key >= SDLK_1 && key <= SDLK_6) return static_cast<int>(key - SDLK_1) + kPlayVersusComputer;
    if (key >= SDLK_KP_1 && key <= SDLK_KP_6) return static_cast<int>(key - SDLK_KP_1) + kPlayVersusComputer;
    return kNoEntry;
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

// What the menu remembers between entries. mapStatus kMapAsSaved means that the board in memory is the
// current map as its file holds it (just loaded or just saved); any other value (the result of a failed
// load or save, or kMapPlayed) makes the next match read the file again.
constexpr int kMapAsSaved = kMapFileDone;
constexpr int kMapPlayed = 1;
struct Menu {
    char mapName[kNameBufferSize];
    char helpMapName[kNameBufferSize];
    int mapStatus;
};

// A match always starts from the current map file unless the board was just loaded or saved.
int playMatch(Menu& menu, bool versusComputer) {
    if (menu.mapStatus != kMapAsSaved) menu.mapStatus = loadStatusMatrix(false, menu.mapName);
    const int result = play(versusComputer, false);
    menu.mapStatus = kMapPlayed;
    return result;
}

// Runs one menu entry and returns its result; kWindowClosed means that the window was closed inside it.
int runEntry(Menu& menu, int entry) {
    switch (entry) {
        case kPlayVersusComputer:
            return playMatch(menu, true);
        case kPlayVersusHuman:
            return playMatch(menu, false);
        case kLoadMap:
            return menu.mapStatus = loadStatusMatrix(true, menu.mapName);
        case kEditMap:
            return menu.mapStatus = editMap(menu.mapName);
        case kHelp: {
            loadStatusMatrix(false, menu.helpMapName);
            const int result = play(true, true);
            menu.mapStatus = loadStatusMatrix(false, menu.mapName);
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
            if (entry == kExit) {
                running = false;
            } else if (entry != kNoEntry) {
                running = runEntry(menu, entry) != kWindowClosed;
                redraw = true;
            }
        }
    }
}

}  // namespace

void runMainMenu(const char* startMapName) {
    Menu menu = {};
    std::strcpy(menu.mapName, kDefaultMapName);
    std::strcpy(menu.helpMapName, kHelpMapName);
    // A map asked for at start-up is loaded as "Load map" loads it: it becomes the current map once it is
    // loaded, and a missing one is reported and leaves the default map.
    if (startMapName != nullptr && loadMapByName(startMapName) == kMapFileDone) {
        std::strcpy(menu.mapName, startMapName);
        menu.mapStatus = kMapAsSaved;
    } else {
        menu.mapStatus = loadStatusMatrix(false, menu.mapName);
    }
    runMenu(menu);
}
