#include "state/map_file.h"

#include <SDL.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "render/text.h"
#include "render/typing.h"
#include "render/window.h"
#include "state/board.h"
#include "state/text_scan.h"

namespace {

constexpr const char* kExtension = ".txt";
constexpr int kExtensionLength = 4;
// A typed name leaves room for ".txt" and the terminator in its buffer.
constexpr int kMaxNameLength = kNameBufferSize - kExtensionLength - 1;
// Room for the longest name that a buffer can hold, ".txt" and the terminator.
constexpr int kFileNameSize = kNameBufferSize + kExtensionLength;
// A save writes "<file name>" plus this suffix, with the Xs made unique, before moving it into place.
constexpr char kTemporarySuffix[] = ".XXXXXX";
// The game writes map files of a few kilobytes; a file far beyond that is refused. Files are read whole
// into this fixed buffer, so that loading a map takes no memory of its own.
constexpr std::size_t kMapFileLimit = 1 << 20;
char gMapFileText[kMapFileLimit + 1];
constexpr int kPromptLineStart = 2;

constexpr const char* kLoadPrompt = "\nEnter map file name without the \".txt\" extension (like \"map01\"): ";
constexpr const char* kSavePromptStart = "Enter save file name without the \".txt\" extension (like \"";
constexpr const char* kSavePromptEnd = "\"): ";

struct UnitLine {
    int row;
    int column;
    char type;
    int owner;
    int actionPoint;
    int healthPoint;
};

void printOpenError(const char* fileName) {
    std::printf("\nError opening file %s", fileName);
    std::fflush(stdout);
}

// The file of a map: its name, cut to what a name buffer holds, and ".txt".
void makeFileName(const char* name, char fileName[kFileNameSize]) {
    const int length = static_cast<int>(strnlen(name, kNameBufferSize - 1));
    std::snprintf(fileName, kFileNameSize, "%.*s%s", length, name, kExtension);
}

// Keys pressed before the prompt appeared are not part of the name.
void dropPendingEvents() {
    SDL_Event event;
    while (pollEvent(event)) continue;
}

// Reads a name typed in the window into name, zeroed first; characters beyond the longest name are
// ignored. 0 when a Return key finished it, 1 when the window was closed.
int readMapName(char name[kNameBufferSize]) {
    std::memset(name, 0, kNameBufferSize);
    int count = 0;
    if (readTypedText(name, kMaxNameLength + 1, count) != 0) return 1;
    if (count > 0 && name[count - 1] == '\n') name[count - 1] = 0;
    return 0;
}

// Reads the whole file into gMapFileText and sets its length. False when it cannot be opened or read (a
// directory, say) or is larger than any map file.
bool readMapFile(const char* fileName, std::size_t& length) {
    FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) return false;
    length = std::fread(gMapFileText, 1, sizeof gMapFileText, file);
    const bool readable = !std::ferror(file) && length <= kMapFileLimit;
    std::fclose(file);
    return readable;
}

// Takes the expected character when it comes next.
bool matchCharacter(const char*& text, const char* end, char expected) {
    if (text == end || *text != expected) return false;
    ++text;
    return true;
}

// The tile block: 17 numbers for each of the 10 rows, each followed by a comma when one is there; the
// line breaks are white space that scanInt skips. A tile keeps the low 8 bits of its number. False at the
// first number that cannot be read: the reading of the file ends there and later hexes keep tile 0.
bool scanTileBlock(const char*& text, const char* end) {
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            int tile = 0;
            if (!scanInt(text, end, tile)) return false;
            gMap[row][column] = static_cast<std::uint8_t>(tile);
            matchCharacter(text, end, ',');
        }
    }
    return true;
}

// One unit line "row,column,kind,owner,action points,health points". White space may come before each
// number (so also before the line), and the kind is the character right after its comma, whatever it is.
// False unless all six fields were read.
bool scanUnitLine(const char*& text, const char* end, UnitLine& unit) {
    if (!scanInt(text, end, unit.row) || !matchCharacter(text, end, ',')) return false;
    if (!scanInt(text, end, unit.column) || !matchCharacter(text, end, ',')) return false;
    if (text == end) return false;
    unit.type = *text++;
    return matchCharacter(text, end, ',') && scanInt(text, end, unit.owner) &&
           matchCharacter(text, end, ',') && scanInt(text, end, unit.actionPoint) &&
           matchCharacter(text, end, ',') && scanInt(text, end, unit.healthPoint);
}

bool writeStatusMatrix(FILE* file) {
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            if (std::fprintf(file, "%d,", gMap[row][column]) < 0) return false;
        }
        if (std::fputc('\n', file) == EOF) return false;
    }
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            if (gUnitType[row][column] == 0) continue;
            if (std::fprintf(file, "%d,%d,%c,%d,%d,%d\n", row, column, gUnitType[row][column],
                             gUnitOwner[row][column], gUnitActionPoint[row][column],
                             gUnitHealthPoint[row][column]) < 0) {
                return false;
            }
        }
    }
    return true;
}

// The permissions that a newly created map file gets: read and write for everyone, less the umask.
mode_t newFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Writes the board into a new file beside the map file and only then moves it into the map file's
// place, so that a save that fails on the way (a full disk, a file size limit) never destroys the
// previous map. True only when every byte reached the disk and the file took the map file's place.
bool writeMapFile(const char* fileName) {
    char temporaryName[kFileNameSize + sizeof kTemporarySuffix];
    std::snprintf(temporaryName, sizeof temporaryName, "%s%s", fileName, kTemporarySuffix);
    const int descriptor = mkstemp(temporaryName);
    if (descriptor < 0) return false;
    FILE* file = fchmod(descriptor, newFileMode()) == 0 ? fdopen(descriptor, "w") : nullptr;
    if (file == nullptr) {
        ::close(descriptor);
        std::remove(temporaryName);
        return false;
    }
    bool written = writeStatusMatrix(file) && std::fflush(file) == 0 && fsync(fileno(file)) == 0;
    written = std::fclose(file) == 0 && written;
    written = written && std::rename(temporaryName, fileName) == 0;
    if (!written) std::remove(temporaryName);
    return written;
}

}  // namespace

void clearStatusMatrix() {
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            gMap[row][column] = 0;
            gUnitType[row][column] = 0;
            gUnitOwner[row][column] = 0;
            gUnitActionPoint[row][column] = 0;
            gUnitHealthPoint[row][column] = 0;
        }
    }
    gNumberOfUnit[1] = 0;
    gNumberOfUnit[2] = 0;
}

void parseStatusMatrix(const char* text, std::size_t length) {
    const char* end = text + length;
    clearStatusMatrix();
    if (!scanTileBlock(text, end)) return;
    // addUnit refuses lines with a bad position, kind, owner or value, and they are skipped; a later line
    // for the same hex replaces the unit, and a unit on rocks turns its hex into ground.
    UnitLine unit;
    while (scanUnitLine(text, end, unit)) {
        addUnit(unit.row, unit.column, unit.type, unit.owner, unit.actionPoint, unit.healthPoint, 0, 0);
    }
}

int loadStatusMatrix(int prompt, char name[kNameBufferSize]) {
    char typed[kNameBufferSize];
    if (prompt) {
        dropPendingEvents();
        renderText(kPromptLineStart, kLoadPrompt);
        if (readMapName(typed) != 0) return 1;
    }
    char fileName[kFileNameSize];
    makeFileName(prompt ? typed : name, fileName);
    // The board is replaced only once the whole file has been read.
    std::size_t length = 0;
    if (!readMapFile(fileName, length)) {
        printOpenError(fileName);
        return 2;
    }
    parseStatusMatrix(gMapFileText, length);
    if (prompt) std::memcpy(name, typed, kNameBufferSize);
    return 0;
}

int saveStatusMatrix(char name[kNameBufferSize]) {
    dropPendingEvents();
    renderText(kPromptLineStart, kSavePromptStart);
    renderText(kPromptLineStart, name);
    renderText(kPromptLineStart, kSavePromptEnd);
    char typed[kNameBufferSize];
    if (readMapName(typed) != 0) return 1;
    char fileName[kFileNameSize];
    makeFileName(typed, fileName);
    if (!writeMapFile(fileName)) {
        printOpenError(fileName);
        return 2;
    }
    std::memcpy(name, typed, kNameBufferSize);
    return 0;
}
