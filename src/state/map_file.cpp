#include "state/map_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "state/board.h"
#include "state/text_scan.h"

namespace {

constexpr const char* kExtension = ".txt";
constexpr int kExtensionLength = 4;
static_assert(kMaxNameLength == kNameBufferSize - kExtensionLength - 1, "a name leaves room for \".txt\"");
// Room for the longest name that a buffer can hold, ".txt" and the terminator.
constexpr int kFileNameSize = kNameBufferSize + kExtensionLength;
// A save writes the board into a file of this name, with the Xs made unique, in the map file's directory
// before moving it into place. It is short, so that it fits wherever the map's own name fits.
constexpr char kTemporaryName[] = ".qorda-XXXXXX";
// As many symbolic links as the system follows on the way to a file.
constexpr int kMaxLinksFollowed = 40;
// A map file of any size is read through this fixed buffer a piece at a time, so that loading a map
// takes no memory of its own.
char gMapFileText[64 * 1024];
void printOpenError(const char* fileName) {
    std::printf("\nError opening file %s", fileName);
    std::fflush(stdout);
}

// The file of a map: its name, cut to what a name buffer holds, and ".txt".
void makeFileName(const char* name, char fileName[kFileNameSize]) {
    const int length = static_cast<int>(strnlen(name, kNameBufferSize - 1));
    std::snprintf(fileName, kFileNameSize, "%.*s%s", length, name, kExtension);
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

// The permissions that a newly created map file gets: read and write for everyone, less the umask.
mode_t newFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// The file that a plain write to fileName writes: fileName itself, or the file that its symbolic links
// lead to (the last may lead to nothing yet: a plain write creates it). False where the system would not
// follow the links either (too many, or too long).
bool followLinks(const char* fileName, char target[PATH_MAX]) {
    if (std::snprintf(target, PATH_MAX, "%s", fileName) >= PATH_MAX) return false;
    for (int links = 0; links <= kMaxLinksFollowed; ++links) {
        char destination[PATH_MAX];
        const ssize_t length = readlink(target, destination, sizeof destination);
        if (length < 0) return true;  // not a link, or nothing there
        if (length == sizeof destination) return false;
        destination[length] = 0;
        // A relative destination starts in the link's own directory.
        const char* slash = std::strrchr(target, '/');
        const int kept = destination[0] == '/' || slash == nullptr ? 0 : static_cast<int>(slash - target) + 1;
        char followed[PATH_MAX];
        if (std::snprintf(followed, sizeof followed, "%.*s%s", kept, target, destination) >= PATH_MAX) {
            return false;
        }
        std::memcpy(target, followed, sizeof followed);
    }
    return false;
}

// Whether a plain write could open the file: the user may write it, the file system allows it. Opening
// it for writing, without truncating, asks the system itself and changes nothing.
bool mayWrite(const char* target) {
    const int descriptor = open(target, O_WRONLY | O_NOCTTY);
    if (descriptor < 0) return false;
    ::close(descriptor);
    return true;
}

// A new file with a short name in the directory of target, so that it fits wherever target's name
// fits; its name goes into temporaryName. -1 when it cannot be made (errno says why).
int createTemporaryFile(const char* target, char temporaryName[PATH_MAX]) {
    const char* slash = std::strrchr(target, '/');
    const int directory = slash == nullptr ? 0 : static_cast<int>(slash - target) + 1;
    if (std::snprintf(temporaryName, PATH_MAX, "%.*s%s", directory, target, kTemporaryName) >= PATH_MAX) {
        errno = ENAMETOOLONG;
        return -1;
    }
    return mkstemp(temporaryName);
}

// Whether the new file could not be made because the directory does not allow it (or its name) rather
// than for want of room, say, where writing in place could destroy the previous map as well.
bool directoryRefusedNewFile() {
    return errno == EACCES || errno == EPERM || errno == ENAMETOOLONG;
}

// Gives the new file what the old one had (owner, group, permission bits), or a new file's permissions
// when there was none. False when the owner or group cannot be kept.
bool takeOverAttributes(int descriptor, const struct stat* old) {
    if (old == nullptr) return fchmod(descriptor, newFileMode()) == 0;
    struct stat created;
    if (fstat(descriptor, &created) != 0) return false;
    if ((created.st_uid != old->st_uid || created.st_gid != old->st_gid) &&
        fchown(descriptor, old->st_uid, old->st_gid) != 0) {
        return false;
    }
    return fchmod(descriptor, old->st_mode & 07777) == 0;
}

// Writes the board into the file itself, as a plain write does.
bool writeInPlace(const char* target) {
    FILE* file = std::fopen(target, "w");
    if (file == nullptr) return false;
    const bool written = writeStatusMatrix(file);
    return std::fclose(file) == 0 && written;
}

// Writes the board into a new file beside the map file and only then moves it into the map file's
// place, so that a save that fails on the way (a full disk, a file size limit) never destroys the
// previous map. To the user it is still a plain write: it writes through symbolic links, keeps the old
// file's owner and permissions, fails where the user may not write the file, and writes the file in
// place where the directory takes no new file or the new file could not stand for the old one (another
// owner's file, a file of several names, a device). True only when every byte reached the disk and, on
// the way through a new file, that file took the map file's place.
bool writeMapFile(const char* fileName) {
    char target[PATH_MAX];
    if (!followLinks(fileName, target)) return false;
    struct stat old;
    const bool exists = stat(target, &old) == 0;
    if (exists && S_ISREG(old.st_mode) && !mayWrite(target)) return false;
    if (exists && (!S_ISREG(old.st_mode) || old.st_nlink > 1)) return writeInPlace(target);
    char temporaryName[PATH_MAX];
    const int descriptor = createTemporaryFile(target, temporaryName);
    if (descriptor < 0) return directoryRefusedNewFile() && writeInPlace(target);
    const bool attributesKept = takeOverAttributes(descriptor, exists ? &old : nullptr);
    FILE* file = attributesKept ? fdopen(descriptor, "w") : nullptr;
    if (file == nullptr) {
        ::close(descriptor);
        std::remove(temporaryName);
        return !attributesKept && writeInPlace(target);
    }
    bool written = writeStatusMatrix(file) && std::fflush(file) == 0 && fsync(fileno(file)) == 0;
    written = std::fclose(file) == 0 && written;
    written = written && std::rename(temporaryName, target) == 0;
    if (!written) std::remove(temporaryName);
    return written;
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
    if (!writeMapFile(fileName)) {
        printOpenError(fileName);
        return kMapFileNotOpened;
    }
    return kMapFileDone;
}
