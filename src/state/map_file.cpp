#include "state/map_file.h"

#include <cstdint>
#include <cstdio>

#include "platform/platform.h"
#include "state/board.h"
#include "state/text_scan.h"

namespace {

constexpr const char* kExtension = ".txt";
constexpr int kExtensionLength = 4;
static_assert(kMaxNameLength == kNameBufferSize - kExtensionLength - 1, "a name leaves room for \".txt\"");
// Room for the longest name that a buffer can hold, ".txt" and the terminator.
constexpr int kFileNameSize = kNameBufferSize + kExtensionLength;
// A map file of any size is read through this fixed buffer a piece at a time, so that loading a map
// takes no memory of its own.
char gMapFileText[64 * 1024];
void printOpenError(const char* fileName) {
    std::printf("\nError opening file %s", fileName);
    std::fflush(stdout);
}

// The file of a map: its name, cut to what a name buffer holds, and ".txt". The precision keeps the name
// from being read past that, terminated or not.
void makeFileName(const char* name, char fileName[kFileNameSize]) {
    std::snprintf(fileName, kFileNameSize, "%.*s%s", kNameBufferSize - 1, name, kExtension);
}

// A reader of the file's text, with its first piece at hand; false when the file cannot be read at all
// (a directory, say), which leaves the board as it was.
bool startReading(std::FILE* file, MapReader& reader) {
    reader = {textCursorOverFile(file, gMapFileText, sizeof gMapFileText), 0, 0, false};
    return !atTextEnd(reader.text) || !std::ferror(file);
}

bool writeStatusMatrix(FILE* file) {
    return std::fputs(mapTextOfBoard(), file) >= 0;
}

// A hex of the tile block, as a number like those the file writes.
Number hexNumber(int index) {
    Number number = {index, true, static_cast<std::uint8_t>(index), {}};
    std::snprintf(number.shown, sizeof number.shown, "%d", index);
    return number;
}

// Nothing more is read once the text cannot be read.
bool endReading(MapReader& reader, MapItem& item, MapItemKind why) {
    item.kind = why;
    reader.ended = true;
    return false;
}

// Clears the board and reads every item into it.
void readStatusMatrix(MapReader& reader) {
    clearStatusMatrix();
    MapItem item;
    while (readMapItem(reader, item)) applyMapItem(item);
}

}  // namespace

const char* mapTextOfBoard() {
    // The longest board: every tile three digits long and a unit with two-digit points on every hex.
    static char text[kBoardRows * (kBoardColumns * 4 + 1) + kBoardHexes * 16 + 1];
    char* end = text;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column)
            end += std::sprintf(end, "%d,", gMap[row][column]);
        *end++ = '\n';
    }
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            if (gUnitType[row][column] == 0) continue;
            end += std::sprintf(end, "%d,%d,%c,%d,%d,%d\n", row, column, gUnitType[row][column],
                                gUnitOwner[row][column], gUnitActionPoint[row][column],
                                gUnitHealthPoint[row][column]);
        }
    }
    *end = 0;
    return text;
}

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

bool readMapItem(MapReader& reader, MapItem& item) {
    TextCursor& text = reader.text;
    item.kind = MapItemKind::kEnd;
    if (reader.ended) return false;
    skipWhiteSpace(text);
    item.line = text.line;
    if (reader.row < kBoardRows) {
        // The tile block: 17 numbers for each of the 10 rows, each followed by a comma when one is there.
        item.row = hexNumber(reader.row);
        item.column = hexNumber(reader.column);
        if (!scanNumber(text, item.tile)) return endReading(reader, item, MapItemKind::kUnreadableTile);
        matchCharacter(text, ',');
        item.kind = MapItemKind::kTile;
        if (++reader.column == kBoardColumns) {
            reader.column = 0;
            ++reader.row;
        }
        return true;
    }
    if (atTextEnd(text)) return false;
    // One unit line "row,column,kind,owner,action points,health points". White space may come before
    // each number, and the kind is the character right after its comma, whatever it is.
    const bool whole =
        scanNumber(text, item.row) && matchCharacter(text, ',') && scanNumber(text, item.column) &&
        matchCharacter(text, ',') && scanCharacter(text, item.type) && matchCharacter(text, ',') &&
        scanNumber(text, item.owner) && matchCharacter(text, ',') && scanNumber(text, item.actionPoint) &&
        matchCharacter(text, ',') && scanNumber(text, item.healthPoint);
    if (!whole) return endReading(reader, item, MapItemKind::kUnreadableUnitLine);
    item.kind = MapItemKind::kUnit;
    return true;
}

int applyMapItem(const MapItem& item) {
    if (item.kind == MapItemKind::kTile) {
        gMap[item.row.value][item.column.value] = item.tile.lowBits;
        return kBoardDone;
    }
    // A number beyond int's range stands at the end of the range on its side, outside every range that
    // addUnit accepts, so it is refused for the same reason as its smaller cousins.
    return addUnit(item.row.value, item.column.value, item.type, item.owner.value, item.actionPoint.value,
                   item.healthPoint.value, false, false);
}

void parseStatusMatrix(const char* text, std::size_t length) {
    MapReader reader = {textCursorOver(text, length), 0, 0, false};
    readStatusMatrix(reader);
}

bool openMapFile(const char* fileName, std::FILE*& file, MapReader& reader) {
    file = std::fopen(fileName, "rb");
    if (file == nullptr) return false;
    if (startReading(file, reader)) return true;
    std::fclose(file);
    return false;
}

bool loadMapFile(const char* fileName) {
    std::FILE* file = nullptr;
    MapReader reader;
    if (!openMapFile(fileName, file, reader)) return false;
    readStatusMatrix(reader);
    std::fclose(file);
    return true;
}

int loadMapByName(const char* name) {
    char fileName[kFileNameSize];
    makeFileName(name, fileName);
    // The board is replaced only once the file has been opened and its reading has begun.
    if (!loadMapFile(fileName)) {
        printOpenError(fileName);
        return kMapFileNotOpened;
    }
    return kMapFileDone;
}

int saveMapByName(const char* name) {
    char fileName[kFileNameSize];
    makeFileName(name, fileName);
    if (!replaceFile(fileName, writeStatusMatrix)) {
        printOpenError(fileName);
        return kMapFileNotOpened;
    }
    return kMapFileDone;
}
