#include "editor/map_editor.h"

#include <SDL.h>

#include <cstring>

#include "flow/map_prompt.h"
#include "render/board_drawing.h"
#include "render/input.h"
#include "render/text.h"
#include "render/texts.h"
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

// What the keys of one polling pass answered to a question.
struct Answers {
    bool closed = false;
    bool anyKey = false;
    bool yes = false;
    bool no = false;
};

// Waits for a polling pass that answers: with any key, or only with "y" or "n" when yesOrNo (other keys
// are ignored then). The whole pass belongs to the question, so keys queued behind the answer in the same
// pass are answers to it too, never to the next screen; a quit ends the wait at once.
Answers waitForAnswers(bool yesOrNo) {
    Answers answers;
    while (yesOrNo ? !answers.yes && !answers.no : !answers.anyKey) {
        presentAndWait();
        SDL_Keycode key;
        Polled polled;
        while ((polled = pollKey(key)) != Polled::kNothing) {
            if (polled == Polled::kQuit) return {.closed = true};
            answers.anyKey = true;
            answers.yes = answers.yes || key == SDLK_y;
            answers.no = answers.no || key == SDLK_n;
        }
    }
    return answers;
}

enum class Reply { kQuit, kYes, kNo };

// Waits for "y", "n" or a quit and returns at the first of them: the answer leaves the editor, and what
// is queued behind it is for the screen that comes next.
Reply waitForFirstReply() {
    for (;;) {
        presentAndWait();
        SDL_Keycode key;
        Polled polled;
        while ((polled = pollKey(key)) != Polled::kNothing) {
            if (polled == Polled::kQuit) return Reply::kQuit;
            if (key == SDLK_y) return Reply::kYes;
            if (key == SDLK_n) return Reply::kNo;
        }
    }
}

// The first screen; any key goes on. False when the window was closed.
bool showHelp() {
    clearPicture();
    gTextX = kInfoLineX;
    gTextY = 0;
    renderText(kInfoLineX, kEditorHelpText);
    return !waitForAnswers(false).closed;
}

// The board as it is, with the question whether to keep it; an "n" anywhere in the answering pass empties
// it. False when the window was closed.
bool keepOrClearBoard() {
    clearPicture();
    renderMap();
    writeInfoLine(kKeepOrClearQuestion);
    const Answers answers = waitForAnswers(true);
    if (answers.closed) return false;
    if (answers.no) clearStatusMatrix();
    return true;
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

// Makes (row, column) bare ground or rocks with the given tile, removing any unit first. False off the
// board, where nothing changes.
bool putTile(int row, int column, int tile) {
    if (removeUnit(row, column) != kBoardDone) return false;
    gMap[row][column] = static_cast<std::uint8_t>(tile);
    renderTile(row, column);
    return true;
}

// The tile that a clear or obstacle entry asks for, or the default when it names none in range.
int tileOfEntry(int fields, int value, int lowest, int highest, int fallback) {
    return fields >= kTileEntryFields && value >= lowest && value <= highest ? value : fallback;
}

// Carries out one typed entry on the board. False when the entry was invalid; nothing changed then.
bool applyEntry(const char* entry) {
    int row = 0;
    int column = 0;
    char type = 0;
    int player = 0;
    int actionPoint = 0;
    int healthPoint = 0;
    const int fields = parseEditorEntry(entry, row, column, type, player, actionPoint, healthPoint);
    if (fields < kHexEntryFields) return false;
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
    if (fields != kUnitEntryFields) return false;
    return addUnit(row, column, letter, player, actionPoint, healthPoint, false, true) == kBoardDone;
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

// Takes entries until the user answers "y" to the invalid-entry question. False when the window was
// closed.
bool runEntryLoop() {
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
        if (readTypedText(entry, kEntryBufferSize, count) == kWindowClosed) return false;
        if (applyEntry(entry)) continue;

        writeInfoLine(kInvalidEntryQuestion);
        prompt = true;
        // A "y" anywhere in the answering pass ends the editing, whatever else the pass held.
        const Answers answers = waitForAnswers(true);
        if (answers.closed) return false;
        if (answers.yes) return true;
        // The prompt is written anew over a blank info line, so the entry leaves nothing to erase.
        std::memset(entry, 0, sizeof entry);
        count = 0;
    }
}

// kMapNotSaved when the user does not want to save; otherwise the result of the save.
int askToSave(char name[kNameBufferSize]) {
    writeInfoLine(kSaveQuestion);
    const Reply reply = waitForFirstReply();
    if (reply == Reply::kQuit) return kWindowClosed;
    if (reply == Reply::kNo) return kMapNotSaved;
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
    if (!showHelp() || !keepOrClearBoard()) return kWindowClosed;
    showBoardWithCoordinates();
    if (!runEntryLoop()) return kWindowClosed;
    return askToSave(name);
}
