// qorda-map: the map makers' tool. It reads map files with the game's own reader and shows what the game
// makes of them: what it reads differently from what is written (check), the board as a match draws it
// (render), and the computer playing both sides (duel). Every rule comes from the game's library.
#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "ai/move_cost_grid.h"
#include "ai/opponent.h"
#include "ai/player_program.h"
#include "platform/platform.h"
#include "render/board_drawing.h"
#include "render/input.h"
#include "render/window.h"
#include "rules/match_record.h"
#include "rules/rules.h"
#include "state/board.h"
#include "state/hex.h"
#include "state/map_file.h"

namespace fs = std::filesystem;

namespace {

constexpr int kDefaultTurns = 200;
constexpr int kDefaultTurnSeconds = 10;
// Exit statuses.
constexpr int kClean = 0;
constexpr int kReported = 1;
constexpr int kUnreadable = 2;

constexpr const char* kUsage =
    "Usage: qorda-map check FILE...\n"
    "       qorda-map render FILE -o OUT.png [--data DIR]\n"
    "       qorda-map duel FILE... [--turns N] [--player1 KIND] [--player2 KIND] [--both-sides]\n"
    "                  [--turn-seconds S] [--record OUT]\n"
    "\n"
    "The map makers' tool of Qorda. It reads map files as the game reads them.\n"
    "\n"
    "  check   Lists every place where the game reads something other than what is written, one line\n"
    "          FILE:LINE: message each, then a summary line per file. Exit status 0 when nothing was\n"
    "          found, 1 when something was, 2 when a file could not be read.\n"
    "  render  Draws the board as a match shows it before the cursor appears, as a 780 x 598 PNG. The\n"
    "          pictures tiles.png and font.bmp come from --data DIR, else from the installed game, else\n"
    "          from the working directory. Needs no display.\n"
    "  duel    Two players play each map, player 1 first, until one side wins or N turns were played\n"
    "          (default 200; each side's turn counts as one). KIND plays a side: standard (the\n"
    "          default), strong, pass (ends every turn at once) or program:COMMAND, a program run\n"
    "          through /bin/sh -c for each duel, which reads \"turn P N\", the board as a map file holds\n"
    "          it and \"go\" at the start of each of its turns and answers one action a line (move R,C\n"
    "          R,C; attack R,C R,C; end). A wrong line, an action the rules refuse, a turn not ended\n"
    "          within S seconds (--turn-seconds, default 10) or a program that ends lose its side the\n"
    "          duel. --both-sides plays each map a second time with the sides swapped. A tally line\n"
    "          per player follows the duels. --record writes every action to OUT, one per line: move\n"
    "          R,C R,C; attack R,C R,C; end P; lines starting with # are comments, the first one the\n"
    "          command line. With several duels OUT is a directory, with one record per duel named\n"
    "          after the map and the duel's number (map01-2.rec).\n"
    "\n"
    "Options: -h, --help  this text.\n";

int usageError(const char* message) {
    std::fprintf(stderr, "qorda-map: %s (try qorda-map --help)\n", message);
    return kUnreadable;
}

int cannotRead(const char* file) {
    std::fprintf(stderr, "qorda-map: %s: cannot be read: %s\n", file, std::strerror(errno));
    return kUnreadable;
}

int cannotWrite(const char* file) {
    std::fprintf(stderr, "qorda-map: %s: cannot be written: %s\n", file, std::strerror(errno));
    return kUnreadable;
}

const char* unitName(char type) {
    switch (type) {
        case 'a':
            return "Archer";
        case 'c':
            return "Cavalry";
        default:
            return "Shield";
    }
}

// "1 unit", "8 units".
std::string counted(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// What a player has on the board.
std::string unitCount(int player) {
    return counted(gNumberOfUnit[player], "unit", "units");
}

// A character as a map maker would want to see it quoted.
std::string shown(char character) {
    const unsigned char code = static_cast<unsigned char>(character);
    if (code >= 0x21 && code < 0x7F) return std::string(1, character);
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", code);
    return escaped;
}

// The text that could not be read, up to the next white space: what a map maker looks for on the line.
std::string textAt(TextCursor& text) {
    std::string found = "\"";
    char character;
    for (int taken = 0; taken < 12 && !atTextEnd(text) && !isWhiteSpace(*text.next); ++taken) {
        scanCharacter(text, character);
        found += shown(character);
    }
    return found + "\"";
}

// "row,column" of a tile or a unit line, as the file writes them.
std::string hexOf(const MapItem& item) {
    return std::string(item.row.shown) + "," + item.column.shown;
}

// Why addUnit refused a unit line, in words.
std::string refusal(int code, const MapItem& unit) {
    switch (code) {
        case kOffTheBoard:
            return "hex " + hexOf(unit) + " is off the board (rows 0 to 9, columns 0 to 16)";
        case kNotAUnitType:
            return "'" + shown(unit.type).append("' is not a unit type (a, c or s)");
        case kNotAPlayer:
            return "owner " + std::string(unit.owner.shown) + " is not player 1 or 2";
        case kActionPointsOutOfRange:
            return "action points " + std::string(unit.actionPoint.shown) + " are outside 0 to 99";
        default:
            return "health points " + std::string(unit.healthPoint.shown) + " are outside 1 to 99";
    }
}

// The lines with text after the current one, which the game never reads.
int linesWithTextAfter(TextCursor& text) {
    const int failedLine = text.line;
    int counted = 0;
    int lastCounted = failedLine;
    char character;
    while (scanCharacter(text, character)) {
        if (isWhiteSpace(character) || text.line == lastCounted) continue;
        lastCounted = text.line;
        ++counted;
    }
    return counted;
}

// Checks one file; kClean, kReported or kUnreadable.
int checkFile(const char* file) {
    std::FILE* stream = nullptr;
    MapReader reader;
    if (!openMapFile(file, stream, reader)) return cannotRead(file);
    int reports = 0;
    const auto report = [&](int line, const std::string& message) {
        std::printf("%s:%d: %s\n", file, line, message.c_str());
        ++reports;
    };
    int unitLine[kBoardRows][kBoardColumns] = {};  // the line that placed the unit on each hex
    clearStatusMatrix();
    MapItem item;
    while (readMapItem(reader, item)) {
        const std::string hex = hexOf(item);
        const int row = item.row.value;
        const int column = item.column.value;
        if (item.kind == MapItemKind::kTile) {
            applyMapItem(item);
            if (item.tile.value < 0 || item.tile.value > 255) {
                report(item.line, "tile " + std::string(item.tile.shown) + " of hex " + hex +
                                      " is outside 0 to 255; the game keeps tile " +
                                      std::to_string(gMap[row][column]));
            }
            continue;
        }
        const bool onBoard = isOnBoard(row, column);
        const int replaced = onBoard ? unitLine[row][column] : 0;
        const int rock = onBoard && isObstacle(row, column) ? gMap[row][column] : 0;
        const int placed = applyMapItem(item);
        if (placed != kBoardDone) {
            report(item.line, "unit line skipped: " + refusal(placed, item));
            continue;
        }
        if (replaced != 0) {
            report(item.line,
                   "this unit replaces the unit of line " + std::to_string(replaced) + " on hex " + hex);
        }
        if (rock != 0) {
            report(item.line, "unit on an obstacle at hex " + hex + ": the rock (tile " +
                                  std::to_string(rock) + ") becomes plain ground (tile 0)");
        }
        unitLine[row][column] = item.line;
    }
    if (item.kind == MapItemKind::kUnreadableTile) {
        const std::string hex = hexOf(item);
        const std::string what = atTextEnd(reader.text) ? "the file ends before the tile of hex " + hex
                                                        : "the tile of hex " + hex + " cannot be read (" +
                                                              textAt(reader.text) + ")";
        report(item.line, what + "; it and every later hex read as tile 0, and no unit is read");
    } else if (item.kind == MapItemKind::kUnreadableUnitLine) {
        const int ignored = linesWithTextAfter(reader.text);
        report(item.line, ignored == 0
                              ? std::string("this unit line cannot be read and is ignored")
                              : "this unit line cannot be read: the unit block ends here, and the " +
                                    std::to_string(ignored) + " lines with text after it are ignored");
    }
    const bool readFailed = std::ferror(stream) != 0;
    std::fclose(stream);
    if (readFailed) return cannotRead(file);
    for (int player = 1; player <= 2; ++player) {
        if (gNumberOfUnit[player] != 0) continue;
        std::printf("%s: player %d has no units\n", file, player);
        ++reports;
    }
    std::printf("%s: player 1 has %s, player 2 has %s\n", file, unitCount(1).c_str(), unitCount(2).c_str());
    return reports == 0 ? kClean : kReported;
}

int check(int count, char** files) {
    if (count == 0) return usageError("check needs at least one map file");
    int status = kClean;
    for (int i = 0; i < count; ++i) status = std::max(status, checkFile(files[i]));
    return status;
}

// Where the pictures are: --data, else the installed game's data beside this program, else this program's
// own folder (the game unpacked from the Windows zip), else here.
fs::path dataDirectory(const char* given) {
    if (given != nullptr) return given;
    if (char* base = SDL_GetBasePath()) {
        const fs::path program = fs::path(base);
        SDL_free(base);
        for (const fs::path& folder : {program / QORDA_DATA_FROM_PROGRAM, program}) {
            if (fs::exists(folder / "tiles.png")) return folder;
        }
    }
    return fs::current_path();
}

int render(const char* file, const char* output, const char* data) {
    if (!loadMapFile(file)) return cannotRead(file);
    const fs::path picture = fs::absolute(output);
    const fs::path pictures = dataDirectory(data);
    std::error_code error;
    fs::current_path(pictures, error);
    if (error) return usageError(("no data directory " + pictures.string()).c_str());
    SDL_setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_setenv("SDL_RENDER_DRIVER", "software", 1);
    int status = kUnreadable;
    if (init() == kStartedUp && loadTiles() == kStartedUp && loadFont() == kStartedUp) {
        clearPicture();
        renderMap();
        SDL_Surface* surface = pictureAsSurface();
        if (surface != nullptr && IMG_SavePNG(surface, picture.string().c_str()) == 0) {
            status = kClean;
        } else {
            std::fprintf(stderr, "qorda-map: cannot write %s: %s\n", picture.string().c_str(),
                         SDL_GetError());
        }
        SDL_FreeSurface(surface);
    }
    close();
    return status;
}

// The victory notice waits for a key; the duel presses one.
void pressAKey() {
    SDL_Event key = {};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_SPACE;
    SDL_PushEvent(&key);
}

void printUnitsLeft(int player) {
    std::printf("player %d: %s left", player, unitCount(player).c_str());
    const char* separator = ": ";
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            if (gUnitOwner[row][column] != player) continue;
            std::printf("%s%s at %d,%d (A %d, H %d)", separator, unitName(gUnitType[row][column]), row,
                        column, gUnitActionPoint[row][column], gUnitHealthPoint[row][column]);
            separator = ", ";
        }
    }
    std::printf("\n");
}

// Who plays a side of a duel: a computer opponent, a program, or nobody; named as the command line names it.
struct DuelPlayer {
    const char* name;
    bool passes;
    AiOpponent opponent;
    const char* command;
};

// What the duels are asked to do, from their command line.
struct DuelOptions {
    std::vector<const char*> files;
    int turns;
    DuelPlayer players[2];  // --player1's and --player2's, who swap sides with --both-sides
    bool bothSides;
    int turnMilliseconds;
    const char* record;  // a file for one duel, a directory for several
};

// How a duel ended: its winner (0 for none), the turns played, and the side whose program lost it, if any.
struct DuelOutcome {
    int winner;
    int played;
    int forfeited;
};

// A player's duels over all maps and both seats.
struct Tally {
    const char* name;
    int wins;
    int losses;
    int draws;
};

// Writes out and empties what the match record holds.
void writeRecordedActions(std::FILE* record) {
    for (int k = 0; k < gMatchRecord.count; ++k) {
        const RecordedAction& action = gMatchRecord.actions[k];
        if (action.kind == kRecordedEnd) {
            std::fprintf(record, "end %d\n", action.row);
        } else {
            std::fprintf(record, "%s %d,%d %d,%d\n", action.kind == kRecordedMove ? "move" : "attack",
                         action.row, action.column, action.toRow, action.toColumn);
        }
    }
    gMatchRecord.count = 0;
}

// A side whose program cannot start loses before the first turn.
void startSides(const DuelPlayer* seats[3], DuelOutcome& outcome) {
    for (int player = 1; player <= 2; ++player) {
        const DuelPlayer& side = *seats[player];
        const bool started = side.passes || aiStartOpponent(side.opponent, player, side.command);
        if (!started && outcome.forfeited == 0) outcome.forfeited = player;
    }
}

// Each side's whole turn, then its end-of-turn action points, player 1 first, until an attack wins, a
// program loses its side or the turns run out.
DuelOutcome playDuel(const DuelPlayer* seats[3], int turns, std::FILE* record) {
    gMatchRecord = {};
    gMatchRecord.taking = record != nullptr;
    DuelOutcome outcome = {0, 0, 0};
    startSides(seats, outcome);
    while (outcome.winner == 0 && outcome.forfeited == 0 && outcome.played < turns) {
        const int player = 1 + outcome.played % 2;
        const DuelPlayer& side = *seats[player];
        const int result = side.passes ? 0 : aiPerformOpponentTurn(side.opponent, player, outcome.played + 1);
        if (result == kProgramForfeit) {
            outcome.forfeited = player;
        } else if (++outcome.played; isWinnerCode(result)) {
            outcome.winner = winnerOfCode(result);
        } else {
            addEndOfTurnActionPoint(player);
        }
        if (record != nullptr) writeRecordedActions(record);
    }
    if (outcome.forfeited != 0) outcome.winner = aiEnemyOf(outcome.forfeited);
    for (int player = 1; player <= 2; ++player) {
        if (!seats[player]->passes) aiStopOpponent(seats[player]->opponent, player);
    }
    gMatchRecord.taking = false;
    return outcome;
}

// The command line, as the record's first comment.
void writeCommandLine(std::FILE* record, int argc, char** argv) {
    std::fprintf(record, "#");
    for (int i = 0; i < argc; ++i) std::fprintf(record, " %s", argv[i]);
    std::fprintf(record, "\n");
}

// The duel's first line: who won, or who lost its side, or that nobody won.
std::string outcomeLine(const char* file, const DuelOutcome& outcome) {
    char line[1024];
    if (outcome.forfeited != 0) {
        std::snprintf(line, sizeof line, "%s: player %d loses: %s", file, outcome.forfeited,
                      playerProgramFault(outcome.forfeited));
    } else if (outcome.winner != 0) {
        std::snprintf(line, sizeof line, "%s: player %d wins after %d turns", file, outcome.winner,
                      outcome.played);
    } else {
        std::snprintf(line, sizeof line, "%s: no winner after %d turns", file, outcome.played);
    }
    return line;
}

// Where a duel's record goes: the --record file itself, or with several duels a file in that directory
// named after the map and the duel's number.
std::string recordPath(const DuelOptions& options, const char* file, int number, bool several) {
    if (!several) return options.record;
    const std::string name = fs::path(file).stem().string() + "-" + std::to_string(number) + ".rec";
    return (fs::path(options.record) / name).string();
}

void countOutcome(std::vector<Tally>& tallies, const DuelPlayer* seats[3], const DuelOutcome& outcome) {
    for (int player = 1; player <= 2; ++player) {
        auto tally = std::find_if(tallies.begin(), tallies.end(), [&](const Tally& counted) {
            return std::strcmp(counted.name, seats[player]->name) == 0;
        });
        if (tally == tallies.end()) tally = tallies.insert(tallies.end(), {seats[player]->name, 0, 0, 0});
        if (outcome.winner == 0) {
            ++tally->draws;
        } else {
            ++(outcome.winner == player ? tally->wins : tally->losses);
        }
    }
}

// One duel on the map with the given seats: its lines on standard output, its record if one is asked for.
int duel(const char* file, const DuelPlayer* seats[3], const std::string& recordFile,
         const DuelOptions& options, std::vector<Tally>& tallies, int argc, char** argv) {
    if (!loadMapFile(file)) return cannotRead(file);
    std::FILE* record = nullptr;
    if (!recordFile.empty()) {
        record = std::fopen(recordFile.c_str(), "w");
        if (record == nullptr) return cannotWrite(recordFile.c_str());
        writeCommandLine(record, argc, argv);
    }
    const int output = silenceStream(stdout);
    const DuelOutcome outcome = playDuel(seats, options.turns, record);
    restoreStream(stdout, output);
    countOutcome(tallies, seats, outcome);
    const std::string result = outcomeLine(file, outcome);
    std::printf("%s\n", result.c_str());
    printUnitsLeft(1);
    printUnitsLeft(2);
    if (record == nullptr) return kClean;
    std::fprintf(record, "# %s\n", result.c_str());
    const bool written = !gMatchRecord.overflowed && std::ferror(record) == 0;
    if (std::fclose(record) != 0 || !written) return cannotWrite(recordFile.c_str());
    return kClean;
}

void printTally(const Tally& tally) {
    std::printf("tally: %s: %s, %s, %d without a winner\n", tally.name,
                counted(tally.wins, "win", "wins").c_str(), counted(tally.losses, "loss", "losses").c_str(),
                tally.draws);
}

// Every map, with each seating, then the tally.
int duels(const DuelOptions& options, int argc, char** argv) {
    const int seatings = options.bothSides ? 2 : 1;
    const bool several = options.files.size() * seatings > 1;
    std::error_code error;
    if (several && options.record != nullptr && !fs::is_directory(options.record) &&
        !fs::create_directories(options.record, error)) {
        return cannotWrite(options.record);
    }
    // No window: nothing is drawn, there are no pauses, and the beeps of falling units stay off the output.
    if (SDL_Init(SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "qorda-map: cannot start SDL's events: %s\n", SDL_GetError());
        return kUnreadable;
    }
    gWaitPercent = 0;
    gBeforePoll = pressAKey;
    gProgramTurnMilliseconds = options.turnMilliseconds;
    std::vector<Tally> tallies;
    int status = kClean;
    int number = 0;
    for (const char* file : options.files) {
        for (int swapped = 0; swapped < seatings; ++swapped) {
            const DuelPlayer* seats[3] = {nullptr, &options.players[swapped], &options.players[1 - swapped]};
            ++number;
            if (several) {
                std::printf("duel %d: %s, player 1 %s, player 2 %s\n", number, file, seats[1]->name,
                            seats[2]->name);
            }
            const std::string recordFile =
                options.record == nullptr ? "" : recordPath(options, file, number, several);
            status = std::max(status, duel(file, seats, recordFile, options, tallies, argc, argv));
        }
    }
    SDL_Quit();
    for (const Tally& tally : tallies) printTally(tally);
    return status;
}

// A number from the command line within [lowest, highest]; false for anything else.
bool readOptionNumber(const char* value, double lowest, double highest, double& number) {
    char* end = nullptr;
    number = std::strtod(value, &end);
    return *value != 0 && *end == 0 && number >= lowest && number <= highest;
}

// Reads the duels' files and options; a wrong option is reported and makes the status kUnreadable.
int readDuelOptions(int count, char** arguments, DuelOptions& options) {
    options = {{}, kDefaultTurns, {}, false, kDefaultTurnSeconds * 1000, nullptr};
    for (DuelPlayer& player : options.players) player = {"standard", false, kAiStandard, nullptr};
    for (int i = 0; i < count; ++i) {
        const std::string option = arguments[i];
        if (option.rfind("--", 0) != 0) {
            options.files.push_back(arguments[i]);
            continue;
        }
        if (option == "--both-sides") {
            options.bothSides = true;
            continue;
        }
        if (i + 1 == count) return usageError((option + " needs a value").c_str());
        const char* value = arguments[++i];
        double number = 0;
        if (option == "--turns") {
            if (!readOptionNumber(value, 1, 1000000, number) || number != static_cast<int>(number)) {
                return usageError("--turns needs a number from 1 to 1000000");
            }
            options.turns = static_cast<int>(number);
        } else if (option == "--turn-seconds") {
            if (!readOptionNumber(value, 0.001, 3600, number)) {
                return usageError("--turn-seconds needs a number of seconds from 0.001 to 3600");
            }
            options.turnMilliseconds = static_cast<int>(number * 1000 + 0.5);
        } else if (option == "--player1" || option == "--player2") {
            DuelPlayer& player = options.players[option == "--player1" ? 0 : 1];
            player.name = value;
            player.passes = std::strcmp(value, "pass") == 0;
            if (!player.passes && !aiOpponentOfName(value, player.opponent, player.command)) {
                return usageError(
                    (option + " needs standard, strong, pass or program:COMMAND, not " + value).c_str());
            }
        } else if (option == "--record") {
            options.record = value;
        } else {
            return usageError(("unknown duel option " + option).c_str());
        }
    }
    if (options.files.empty()) return usageError("no map file");
    return kClean;
}

}  // namespace

int main(int argc, char** argv) {
    SDL_SetMainReady();
    if (argc < 2) return usageError("no command");
    const std::string command = argv[1];
    if (command == "-h" || command == "--help") {
        std::printf("%s", kUsage);
        return kClean;
    }
    if (command == "check") return check(argc - 2, argv + 2);
    if (command == "duel") {
        DuelOptions options;
        if (readDuelOptions(argc - 2, argv + 2, options) != kClean) return kUnreadable;
        return duels(options, argc, argv);
    }
    const char* file = argc > 2 ? argv[2] : nullptr;
    if (file == nullptr) return usageError("no map file");
    if (command == "render") {
        const char* output = nullptr;
        const char* data = nullptr;
        for (int i = 3; i + 1 < argc; i += 2) {
            if (std::strcmp(argv[i], "-o") == 0) output = argv[i + 1];
            if (std::strcmp(argv[i], "--data") == 0) data = argv[i + 1];
        }
        if (output == nullptr || argc % 2 != 1)
            return usageError("render needs FILE -o OUT.png [--data DIR]");
        return render(file, output, data);
    }
    return usageError(("unknown command " + command).c_str());
}
