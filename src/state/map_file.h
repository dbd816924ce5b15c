// Map files: the whole board as text, "<name>.txt" in the working directory. Nothing here asks the
// player anything; the name prompts are in flow/map_prompt.h.
#pragma once

#include <cstddef>
#include <cstdio>

#include "state/text_scan.h"

// The size of every map-name buffer: a name of up to 257 characters, ".txt" and the terminator.
constexpr int kNameBufferSize = 262;
constexpr int kMaxNameLength = 257;

// The results of loading and saving a map. Typing its name in the window (flow/map_prompt.h) adds a
// third: the window was closed (kWindowClosed, 1).
enum MapFileResult : int {
    kMapFileDone = 0,
    kMapFileNotOpened = 2,  // the file could not be opened, read or written; "Error opening file" was printed
};

void clearStatusMatrix();
// The map of that name, "<name>.txt" in the working directory. A map that cannot be read leaves the board
// as it was.
int loadMapByName(const char* name);
// The board as a save writes it: ten lines of tiles, then one line per unit. The text stays valid until the
// next call.
const char* mapTextOfBoard();
// Writes the board as "<name>.txt", replacing any file of that name only once the new one is whole.
int saveMapByName(const char* name);

// Clears the board and fills it from the text of a map file, length bytes of any content, as leniently as
// a load reads a file: malformed content ends the reading and is never reported. Nothing is drawn.
void parseStatusMatrix(const char* text, std::size_t length);
// The same from the file of that name, of any size. False when it cannot be opened or read at all; the
// board is then as it was.
bool loadMapFile(const char* fileName);

// The reading of a map file, item by item, for whoever wants to see what the game makes of a file (the
// map makers' tool): a load is a loop of readMapItem and applyMapItem.
enum class MapItemKind {
    kTile,                // tile number `tile` for hex (row, column)
    kUnit,                // a unit line with all six fields
    kUnreadableTile,      // the tile of hex (row, column) cannot be read: it and every later hex stay 0
    kUnreadableUnitLine,  // a unit line without all six fields: the unit block ends there
    kEnd,                 // the text ends after the last unit line (or the tile block)
};
struct MapItem {
    MapItemKind kind;
    int line;  // where the item's text begins (from 1)
    // The numbers as the file writes them, of any size: the hex of a tile (its place in the tile block),
    // or a unit line's fields.
    Number row;
    Number column;
    Number tile;
    char type;
    Number owner;
    Number actionPoint;
    Number healthPoint;
};
struct MapReader {
    TextCursor text;
    int row;  // the next hex of the tile block; kBoardRows once the unit block is reached
    int column;
    bool ended;  // an unreadable tile or unit line ended the reading
};
// Opens a map file for reading with the game's fixed buffer; false when it cannot be opened or read.
bool openMapFile(const char* fileName, std::FILE*& file, MapReader& reader);
// The next item: true for a tile or a unit line, false at the end of the reading (item.kind says why).
bool readMapItem(MapReader& reader, MapItem& item);
// Puts a tile or unit on the board as a load does: the tile keeps its low 8 bits, however large it is;
// the unit goes through addUnit, whose result is returned (0 placed, or why not). A field beyond int's
// range is refused as any value out of its range.
int applyMapItem(const MapItem& item);
