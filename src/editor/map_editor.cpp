#include "editor/map_editor.h"

#include <SDL.h>

#include <cstring>

#include "render/board_drawing.h"
#include "render/text.h"
#include "render/typing.h"
#include "render/window.h"
#include "state/board.h"
#include "state/text_scan.h"

namespace {

// The typed entry: up to 261 bytes and the terminator, like a map name.
constexpr int kEntryBufferSize = 262;

// A clear entry puts walkable ground (1 to 127, or 0 by default); an obstacle entry puts rocks (128 to 255,
// or 128 by default).
constexpr int kDefaultClearTile = 0;
constexpr int kLowestClearTile = 1;
constexpr int kHighestClearTile = kObstacleTileBit - 1;
constexpr int kLowestObstacleTile = kObstacleTileBit;
constexpr int kHighestObstacleTile = 255;

// The entry fields that an obstacle or clear entry needs, the field that may name its tile, and the
// fields of a unit entry.
constexpr int kHexEntryFields = 3;
constexpr int kTileEntryFields = 4;
constexpr int kUnitEntryFields = 6;

constexpr const char* kHelpText =
    "\n"
    "\n"
    "   -- Edit map help --\n"
    "\n"
    "To edit or create a map, you give the coordinates of a hexagon and the characteristics of the\n"
    "unit to put there. An entry consists of the following 6 fields separated by comas \"Row(0-9),\n"
    "Column(0-16),Type(a,c,s,x,r=remove),Player(1-2),ActionPoint(0-99),HealthPoint(1-99)\". Press Enterto "
    "validate an entry.\n"
    "For example \"2,3,c,1,7,5\" puts on hexagon (row=2,column=3) a Cavalry of player 1 with 7 action\n"
    "points and 5 health points. Any unit previously on hexagon (2,3) gets erased in the process.\n"
    "\n"
    "The unit types are\n"
    " a = Archer,  Move Cost = 2 ActionPoint/Hex, Attack range = 2\n"
    " c = Cavalry, Move Cost = 1 ActionPoint/Hex, Attack range = 1\n"
    " s = Shield,  Move Cost = 2 ActionPoint/Hex, Attack range = 1\n"
    " x = Obstacle\n"
    " r = remove the unit and clear the specified hexagon\n"
    "Player, ActionPoint and HealthPoint are not relevant for obstacle (Type = x) and remove (Type = r) so "
    "we can omit these 3 last fields in entry of type x and r. For example \"5,4,x\" puts an\n"
    "obstacle at (5,4).\n"
    "\n"
    "Advanced:\n"
    "  \"5,4,x,150\": at (5,4) put an obstacle using tile 150. Obstacle tiles range from 128 to 255.\n"
    "  \"5,4,r,1\": at (5,4) clear the hexagon and put walkable tile 1. Walkable tiles range from 0 to       "
    "        127.\n"
    "\n"
    "To build balanced maps, it is recommended to give all player 1 units 7 action points and player 2units "
    "10 action points. This compensates for player 1 first move advantage.\n"
    "\n"
    "Recommended unit health points:\n"
    " Archer  2 HP\n"
    " Cavalry 5 HP\n"
    " Shield  8 HP\n"
    "\n"
    "To stop editing the map, enter an invalid entry. A single character followed by Enter does the\n"
    "job.\n"
    "\n"
    "Press any key to continue";
constexpr const char* kKeepOrClearQuestion = "Do you want to edit the current map? (y/n)";
constexpr const char* kEntryPrompt =
    "Enter a unit to add to the map \"Row(0-9),Column(0-16),Type(a,c,s,x,r=remove),Player(1-2),\n"
    "ActionPoint(0-99),HealthPoint(1-99)\": ";
constexpr const char* kInvalidEntryQuestion = "Invalid input. Are you done adding units? (y/n)";
constexpr const char* kSaveQuestion = "Do you want to save the map? (y/n)";

enum class Reply { kQuit, kYes, kNo, kOtherKey };

Reply replyOfKey(SDL_Keycode key) {
    if (key == SDLK_y) return Reply::kYes;
    if (key == SDLK_n) return Reply::kNo;
    return Reply::kOtherKey;
}

// Waits for a key down (any key, or only "y" or "n" when yesOrNo) or a quit. Events queued behind the
// reply stay for whoever reads next, as after a typed entry, except the text that the key itself typed
// while text input was on: an answer is never part of the next entry.
Reply waitForReply(bool yesOrNo) {
    for (;;) {
        presentAndWait();
        SDL_Keycode key;
        Polled polled;
        while ((polled = pollKey(key)) != Polled::kNothing) {
            if (polled == Polled::kQuit) return Reply::kQuit;
            const Reply reply = replyOfKey(key);
            if (yesOrNo && reply == Reply::kOtherKey) continue;
            SDL_FlushEvent(SDL_TEXTINPUT);
            return reply;
        }
    }
}

// "y", "n" or a quit; every other key is ignored.
Reply waitForYesOrNo() {
    return waitForReply(true);
}

// The first screen; any key goes on. Returns 1 when the window was closed.
int showHelp() {
    clearPicture();
    gTextX = kInfoLineX;
    gTextY = 0;
    renderText(kInfoLineX, kHelpText);
    return waitForReply(false) == Reply::kQuit ? 1 : 0;
}

// The board as it is, with the question whether to keep it; "n" empties it. Returns 1 when the window
// was closed.
int keepOrClearBoard() {
    clearPicture();
    renderMap();
    writeInfoLine(kKeepOrClearQuestion);
    const Reply reply = waitForYesOrNo();
    if (reply == Reply::kQuit) return 1;
    if (reply == Reply::kNo) clearStatusMatrix();
    return 0;
}

// Every hex shows its coordinates until it is redrawn, so that the user can read where to put things.
void showBoardWithCoordinates() {
    clearPicture();
    renderMap();
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) renderHexagonCoordinates(row, column);
    }
}

char foldToLowerCase(char letter) {
    return letter >= 'A' && letter <= 'Z' ? static_cast<char>(letter - 'A' + 'a') : letter;
}

// Makes (row, column) bare ground or rocks with the given tile, removing any unit first. The result is
// removeUnit's: 0 done, 1 off the board (nothing changed).
int putTile(int row, int column, int tile) {
    const int status = removeUnit(row, column);
    if (status != 0) return status;
    gMap[row][column] = static_cast<std::uint8_t>(tile);
    renderTile(row, column);
    return 0;
}

// The tile that a clear or obstacle entry asks for, or the default when it names none in range.
int tileOfEntry(int fields, int value, int lowest, int highest, int fallback) {
    return fields >= kTileEntryFields && value >= lowest && value <= highest ? value : fallback;
}

// Carries out one typed entry on the board. 0 done; any other value means that the entry was invalid and
// nothing changed.
int applyEntry(const char* entry) {
    int row = 0;
    int column = 0;
    char type = 0;
    int player = 0;
    int actionPoint = 0;
    int healthPoint = 0;
    const int fields = parseEditorEntry(entry, row, column, type, player, actionPoint, healthPoint);
    if (fields < kHexEntryFields) return 1;
    const char letter = foldToLowerCase(type);
    // The fourth field of a clear or obstacle entry is its tile; it arrives in the player field.
    if (letter == 'r') {
        return putTile(row, column,
                       tileOfEntry(fields, player, kLowestClearTile, kHighestClearTile, kDefaultClearTile));
    }
    if (letter == 'x') {
        return putTile(
            row, column,
            tileOfEntry(fields, player, kLowestObstacleTile, kHighestObstacleTile, kLowestObstacleTile));
    }
    if (fields != kUnitEntryFields) return 1;
    return addUnit(row, column, letter, player, actionPoint, healthPoint, 0, 1);
}

// Takes the typed entry off the buffer and blanks its cells from the last one back, leaving the text
// cursor where the entry began.
void eraseEntry(char* entry, int& count) {
    while (count > 0) {
        entry[--count] = 0;
        gTextX -= kGlyphSize;
        hideCharacter(gTextX, gTextY);
    }
}

// Takes entries until the user answers "y" to the invalid-entry question: 0, or 1 when the window was
// closed.
int runEntryLoop() {
    char entry[kEntryBufferSize] = {};
    int count = 0;
    bool prompt = true;
    for (;;) {
        if (prompt) {
            writeInfoLine(kEntryPrompt);
            prompt = false;
        }
        // A valid entry stays on screen until the next one is typed in its place.
        eraseEntry(entry, count);
        if (readTypedText(entry, kEntryBufferSize, count) == 1) return 1;
        if (applyEntry(entry) == 0) continue;

        writeInfoLine(kInvalidEntryQuestion);
        prompt = true;
        const Reply reply = waitForYesOrNo();
        if (reply == Reply::kQuit) return 1;
        if (reply == Reply::kYes) return 0;
        // The prompt is written anew over a blank info line, so the entry leaves nothing to erase.
        std::memset(entry, 0, sizeof entry);
        count = 0;
    }
}

// 2 when the user does not want to save; otherwise the result of the save.
int askToSave(char name[kNameBufferSize]) {
    writeInfoLine(kSaveQuestion);
    const Reply reply = waitForYesOrNo();
    if (reply == Reply::kQuit) return 1;
    if (reply == Reply::kNo) return 2;
    startInfoLine();
    return saveStatusMatrix(name);
}

}  // namespace

int parseEditorEntry(const char* entry, int& row, int& column, char& type, int& player, int& actionPoint,
                     int& healthPoint) {
    TextCursor text = textCursorOver(entry, std::strlen(entry));
    if (!scanInt(text, row)) return 0;
    if (!matchCharacter(text, ',') || !scanInt(text, column)) return 1;
    if (!matchCharacter(text, ',') || !scanCharacter(text, type)) return 2;
    if (!matchCharacter(text, ',') || !scanInt(text, player)) return 3;
    if (!matchCharacter(text, ',') || !scanInt(text, actionPoint)) return 4;
    if (!matchCharacter(text, ',') || !scanInt(text, healthPoint)) return 5;
    return 6;
}

int editMap(char name[kNameBufferSize]) {
    if (showHelp() == 1) return 1;
    if (keepOrClearBoard() == 1) return 1;
    showBoardWithCoordinates();
    if (runEntryLoop() == 1) return 1;
    return askToSave(name);
}
