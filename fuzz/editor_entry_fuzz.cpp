// Map-editor entries of arbitrary bytes. Every line of the input is one entry, typed into the real editor
// (editMap) through its polling loops on the default map: the parser must agree with the format
// "%d,%d,%c,%d,%d,%d" that it stands for, an entry may change nothing but the hex that it names, and the
// board must stay sound after every polling pass.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "editor/map_editor.h"
#include "fuzz_support.h"
#include "render/input.h"
#include "render/window.h"
#include "state/board.h"
#include "state/map_file.h"
#include "support/board_invariants.h"

namespace {

// The entry buffer keeps 261 typed bytes; an entry of more is typed all the same.
constexpr std::size_t kEntryBytes = 261;
constexpr std::size_t kMostTypedBytes = 320;
constexpr int kMostEntries = 48;
constexpr std::size_t kTextEventBytes = 31;
// A run of more significant digits than this may not fit in an int, where "%d" is undefined.
constexpr int kSafeDigits = 9;

struct Fields {
    int count = 0;
    int row = -7;
    int column = -7;
    char type = '?';
    int player = -7;
    int actionPoint = -7;
    int healthPoint = -7;
    bool operator==(const Fields&) const = default;
};

std::string describe(const Fields& fields) {
    char text[160];
    std::snprintf(text, sizeof text, "%d fields: %d,%d,%d,%d,%d,%d", fields.count, fields.row, fields.column,
                  fields.type, fields.player, fields.actionPoint, fields.healthPoint);
    return text;
}

// The entry as the editor keeps it: the bytes of each text event up to its first zero (an event's text
// ends there), at most the buffer's worth.
std::string entryAsKept(const std::string& typed) {
    std::string kept;
    for (std::size_t at = 0; at < typed.size(); at += kTextEventBytes) {
        const std::string event = typed.substr(at, kTextEventBytes);
        kept += event.substr(0, event.find('\0'));
    }
    return kept.substr(0, kEntryBytes);
}

bool hasOnlySafeNumbers(const std::string& text) {
    int significant = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            significant = 0;
        } else if (significant > 0 || c != '0') {
            if (++significant > kSafeDigits) return false;
        }
    }
    return true;
}

Fields parsedByEditor(const std::string& entry) {
    Fields fields;
    fields.count = parseEditorEntry(entry.c_str(), fields.row, fields.column, fields.type, fields.player,
                                    fields.actionPoint, fields.healthPoint);
    return fields;
}

Fields parsedByScanf(const std::string& entry) {
    Fields fields;
    fields.count = std::sscanf(entry.c_str(), "%d,%d,%c,%d,%d,%d", &fields.row, &fields.column, &fields.type,
                               &fields.player, &fields.actionPoint, &fields.healthPoint);
    if (fields.count < 0) fields.count = 0;  // EOF: nothing but white space
    return fields;
}

// The hex that a typed entry may change, worked out before it is typed; none for an entry that names none.
struct TypedEntry {
    bool namesHex = false;
    int row = 0;
    int column = 0;
};

std::vector<TypedEntry> gEntries;
// For each queued pass, the entry that it types, or -1.
std::deque<int> gEntryOfPass;
int gCheckedEntry = -1;
BoardSnapshot gBeforeEntry;

void queueEditorPass(std::vector<SDL_Event> events, int entry = -1) {
    queuePass(std::move(events));
    gEntryOfPass.push_back(entry);
}

// The polling hook: checks what the entry typed on the previous pass did to the board, then feeds this
// pass, noting the board before an entry is typed.
void feedAndCheck() {
    if (gCheckedEntry >= 0) {
        const TypedEntry& entry = gEntries[static_cast<std::size_t>(gCheckedEntry)];
        const std::string changed = differingHexes(gBeforeEntry, takeBoardSnapshot());
        const std::string named =
            entry.namesHex ? std::to_string(entry.row) + "," + std::to_string(entry.column) : "";
        require(changed.empty() || changed == named, "an entry that changes only the hex it names",
                "entry " + std::to_string(gCheckedEntry) + " names \"" + named + "\" and changed " + changed);
        gCheckedEntry = -1;
    }
    requireSoundBoard("a polling pass of the editor");
    if (!gEntryOfPass.empty()) {
        gCheckedEntry = gEntryOfPass.front();
        gEntryOfPass.pop_front();
        if (gCheckedEntry >= 0) gBeforeEntry = takeBoardSnapshot();
    }
    feedQueuedPass();
}

std::vector<std::string> splitLines(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t index = 0; index < size && static_cast<int>(lines.size()) < kMostEntries; ++index) {
        if (data[index] == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (line.size() < kMostTypedBytes) {
            line += static_cast<char>(data[index]);
        }
    }
    if (static_cast<int>(lines.size()) < kMostEntries) lines.push_back(line);
    return lines;
}

std::vector<SDL_Event> typedEntry(const std::string& bytes) {
    std::vector<SDL_Event> events;
    for (std::size_t at = 0; at < bytes.size(); at += kTextEventBytes) {
        events.push_back(typedText(bytes.data() + at, std::min(kTextEventBytes, bytes.size() - at)));
    }
    events.push_back(keyDown(SDLK_RETURN));
    return events;
}

std::string gDefaultMap;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startHeadlessGame();
    gDefaultMap = readDataFile("map01.txt");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> lines = splitLines(data, size);
    gEntries.clear();
    for (const std::string& line : lines) {
        const std::string entry = entryAsKept(line);
        const Fields byEditor = parsedByEditor(entry);
        if (hasOnlySafeNumbers(entry)) {
            const Fields byScanf = parsedByScanf(entry);
            require(
                byEditor == byScanf, "the fields that \"%d,%d,%c,%d,%d,%d\" converts",
                "editor " + describe(byEditor) + ", scanf " + describe(byScanf) + " in \"" + entry + "\"");
        }
        gEntries.push_back({byEditor.count >= 3, byEditor.row, byEditor.column});
    }

    parseStatusMatrix(gDefaultMap.data(), gDefaultMap.size());
    clearQueuedPasses();
    gEntryOfPass.clear();
    gCheckedEntry = -1;
    queueEditorPass({keyDown(SDLK_SPACE)});  // past the help screen
    queueEditorPass({keyDown(SDLK_y)});      // edit the board in memory
    for (std::size_t entry = 0; entry < lines.size(); ++entry) {
        queueEditorPass(typedEntry(lines[entry]), static_cast<int>(entry));
        // Answers the invalid-entry question, or is ignored while the next entry is typed.
        queueEditorPass({keyDown(SDLK_n)});
    }
    queueEditorPass(typedEntry("q"));
    queueEditorPass({keyDown(SDLK_y)});  // done adding units
    queueEditorPass({keyDown(SDLK_n)});  // do not save

    gBeforePoll = feedAndCheck;
    char name[kNameBufferSize] = "fuzzed";
    const int result = editMap(name);
    gBeforePoll = feedQueuedPass;
    require(result == 2 && queuedPasses() == 0, "an editing session that ends unsaved after the last entry",
            "result " + std::to_string(result) + ", " + std::to_string(queuedPasses()) + " passes left");
    requireSoundBoard("editing");
    return 0;
}
