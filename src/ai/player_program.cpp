#include "ai/player_program.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "ai/ai_turn.h"
#include "ai/move_cost_grid.h"
#include "platform/platform.h"
#include "rules/rules.h"
#include "state/board.h"
#include "state/hex.h"
#include "state/map_file.h"

int gProgramTurnMilliseconds = 10000;

namespace {

using Clock = std::chrono::steady_clock;

// A longer line is no action, however it goes on.
constexpr int kMaxLineLength = 100;
// A program that ignores the end of its input gets this long to end on its own.
constexpr int kStopMilliseconds = 2000;
// How long a program whose output closed gets to end, so that its exit status can be told.
constexpr int kEndingMilliseconds = 200;
constexpr int kFaultSize = kMaxLineLength * 4 + 200;

// What a program has sent that no turn has taken yet, and why it lost its side.
struct PlayerProgram {
    bool running;
    char fault[kFaultSize];
    char unread[kMaxLineLength + 2];  // room for the longest line with its CR LF
    int unreadLength;
};
PlayerProgram programs[3] = {};

// What one line asks for.
enum ActionWord { kNoAction, kEndAction, kMoveAction, kAttackAction };
struct ProgramAction {
    ActionWord word;
    int player;  // of "end P"; 0 for a plain "end"
    int row, column, toRow, toColumn;
};

bool isBlank(char character) {
    return character == ' ' || character == '\t' || character == '\r';
}

bool isDigit(char character) {
    return character >= '0' && character <= '9';
}

// A number of up to six digits, maybe negative: anything off the board is the rules' to refuse.
bool readNumber(const char*& text, int& number) {
    const bool negative = *text == '-';
    if (negative) ++text;
    int value = 0;
    int digits = 0;
    for (; isDigit(*text); ++text) {
        if (++digits > 6) return false;
        value = value * 10 + (*text - '0');
    }
    number = negative ? -value : value;
    return digits > 0;
}

bool readHex(const char*& text, int& row, int& column) {
    return readNumber(text, row) && *text++ == ',' && readNumber(text, column);
}

// At least one blank.
bool readBlanks(const char*& text) {
    if (!isBlank(*text)) return false;
    while (isBlank(*text)) ++text;
    return true;
}

// The word at the start of text, followed by a blank or the end.
bool readWord(const char*& text, const char* word) {
    const size_t length = std::strlen(word);
    if (std::strncmp(text, word, length) != 0) return false;
    text += length;
    return *text == 0 || isBlank(*text);
}

// One line without blanks around it, in the words of a record.
ProgramAction readAction(const char* text) {
    ProgramAction action = {kNoAction, 0, 0, 0, 0, 0};
    ActionWord word = kNoAction;
    if (readWord(text, "end")) {
        if (*text == 0 || (readBlanks(text) && readNumber(text, action.player))) word = kEndAction;
    } else if (readWord(text, "move")) {
        word = kMoveAction;
    } else if (readWord(text, "attack")) {
        word = kAttackAction;
    }
    if (word == kMoveAction || word == kAttackAction) {
        const bool hexes = readBlanks(text) && readHex(text, action.row, action.column) && readBlanks(text) &&
                           readHex(text, action.toRow, action.toColumn);
        if (!hexes) word = kNoAction;
    }
    if (*text != 0) word = kNoAction;
    action.word = word;
    return action;
}

// The line as the fault quotes it: bytes that are not printable as \xNN.
void quoteLine(const char* line, int length, char* quoted) {
    const unsigned char* at = reinterpret_cast<const unsigned char*>(line);
    for (const unsigned char* end = at + length; at != end; ++at) {
        quoted += *at >= 0x20 && *at < 0x7F ? std::sprintf(quoted, "%c", *at)
                                            : std::sprintf(quoted, "\\x%02X", *at);
    }
    *quoted = 0;
}

void loseSide(int player, const char* format, ...) {
    va_list values;
    va_start(values, format);
    std::vsnprintf(programs[player].fault, kFaultSize, format, values);
    va_end(values);
}

void refuseLine(int player, const char* line, int length, const char* why) {
    char quoted[kMaxLineLength * 4 + 1];
    quoteLine(line, length, quoted);
    if (why == nullptr) {
        loseSide(player, "its program wrote \"%s\", which is not an action", quoted);
    } else {
        loseSide(player, "its program wrote \"%s\", which the rules refuse: %s", quoted, why);
    }
}

const char* moveRefusal(int result) {
    switch (result) {
        case kNoUnitToMove:
            return "there is no unit to move";
        case kMoveOffTheBoard:
            return "the hex is off the board";
        case kMoveOntoObstacle:
            return "the hex is an obstacle";
        case kMoveOntoOwnUnit:
            return "a unit of its own stands there";
        case kMoveOntoEnemy:
            return "an enemy unit stands there";
        default:
            return "the unit has too few action points";
    }
}

bool ownsUnitOn(int player, int row, int column) {
    return isOnBoard(row, column) && gUnitOwner[row][column] == player;
}

// Why the rules refuse the step, after the checks that a caller of moveUnit makes; nullptr once it is made.
const char* makeMove(int player, const ProgramAction& action) {
    if (!ownsUnitOn(player, action.row, action.column)) return "it has no unit on the first hex";
    if (stepsBetweenHexes(action.row, action.column, action.toRow, action.toColumn) != 1) {
        return "the hexes are not neighbours";
    }
    const int result = moveUnit(action.row, action.column, action.toRow, action.toColumn, true);
    return result == kMoved ? nullptr : moveRefusal(result);
}

// The same for an attack; result is attackUnit's.
const char* makeAttack(int player, const ProgramAction& action, int& result) {
    if (!ownsUnitOn(player, action.row, action.column)) return "it has no unit on the first hex";
    if (!ownsUnitOn(aiEnemyOf(player), action.toRow, action.toColumn))
        return "there is no enemy unit on the second hex";
    const int reach = gUnitType[action.row][action.column] == 'a' ? 2 : 1;
    if (stepsBetweenHexes(action.row, action.column, action.toRow, action.toColumn) != reach) {
        return "the target is out of the attacker's reach";
    }
    result = attackUnit(action.row, action.column, action.toRow, action.toColumn, false);
    return result == kTooFewActionPointsToAttack ? "the unit has too few action points" : nullptr;
}

int millisecondsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// "10 seconds", "1 second", "0.5 seconds".
void loseTurnTime(int player) {
    const double seconds = gProgramTurnMilliseconds / 1000.0;
    loseSide(player, "its program did not end its turn within %g second%s", seconds, seconds == 1 ? "" : "s");
}

void loseClosedOutput(int player) {
    const char* ending = programProcessEnding(player, kEndingMilliseconds);
    loseSide(player, "its program %s", ending != nullptr ? ending : "closed its output");
}

// The next line the program wrote, without its line end, into line, and its length. False when the side is
// lost.
bool takeLine(int player, Clock::time_point deadline, char line[kMaxLineLength + 2], int& lineLength) {
    PlayerProgram& program = programs[player];
    for (;;) {
        const char* end = static_cast<const char*>(std::memchr(program.unread, '\n', program.unreadLength));
        const int length = end != nullptr ? static_cast<int>(end - program.unread) : program.unreadLength;
        const int kept = length > 0 && program.unread[length - 1] == '\r' ? length - 1 : length;
        if (kept > kMaxLineLength) {
            loseSide(player, "its program wrote a line longer than %d characters", kMaxLineLength);
            return false;
        }
        if (end != nullptr) {
            std::memcpy(line, program.unread, static_cast<size_t>(kept));
            line[kept] = 0;
            lineLength = kept;
            program.unreadLength -= length + 1;
            std::memmove(program.unread, end + 1, static_cast<size_t>(program.unreadLength));
            return true;
        }
        int count = 0;
        const int room = static_cast<int>(sizeof program.unread) - program.unreadLength;
        const int read = readFromProgramProcess(player, program.unread + program.unreadLength, room,
                                                millisecondsUntil(deadline), count);
        program.unreadLength += count;
        if (read == kProgramIoTimedOut) {
            loseTurnTime(player);
            return false;
        }
        if (read == kProgramIoClosed) {
            loseClosedOutput(player);
            return false;
        }
    }
}

// The line without the blanks around it; length follows.
const char* trimmed(char* line, int& length) {
    char* end = line + length;
    while (end > line && isBlank(end[-1])) --end;
    *end = 0;
    while (isBlank(*line)) ++line;
    length = static_cast<int>(end - line);
    return line;
}

// Sends the position: "turn P N", the board as a map file holds it, "go". A program that no longer reads
// may still have written its lines, which decide how it lost: what it wrote is read all the same.
bool writePosition(int player, int turn, Clock::time_point deadline) {
    char header[32];
    const int headerLength = std::snprintf(header, sizeof header, "turn %d %d\n", player, turn);
    const char* board = mapTextOfBoard();
    const char* parts[] = {header, board, "go\n"};
    const int lengths[] = {headerLength, static_cast<int>(std::strlen(board)), 3};
    for (int k = 0; k < 3; ++k) {
        const int written = writeToProgramProcess(player, parts[k], lengths[k], millisecondsUntil(deadline));
        if (written == kProgramIoTimedOut) {
            loseTurnTime(player);
            return false;
        }
    }
    return true;
}

}  // namespace

bool startPlayerProgram(int player, const char* command) {
    PlayerProgram& program = programs[player];
    program.unreadLength = 0;
    program.fault[0] = 0;
    char why[128];
    program.running = startProgramProcess(player, command, why, sizeof why);
    if (!program.running) loseSide(player, "its program could not be started: %s", why);
    return program.running;
}

int playPlayerProgramTurn(int player, int turn) {
    if (!programs[player].running) return kProgramForfeit;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(gProgramTurnMilliseconds);
    if (!writePosition(player, turn, deadline)) return kProgramForfeit;
    char line[kMaxLineLength + 2];
    int length = 0;
    while (takeLine(player, deadline, line, length)) {
        const char* text = trimmed(line, length);
        if (length == 0) continue;
        // A zero byte inside would end the line early for the reading.
        const bool whole = std::memchr(text, 0, static_cast<size_t>(length)) == nullptr;
        const ProgramAction action = whole ? readAction(text) : ProgramAction{kNoAction, 0, 0, 0, 0, 0};
        if (action.word == kEndAction && (action.player == 0 || action.player == player)) return 0;
        int result = kAttackMade;
        const char* refused = nullptr;
        if (action.word == kMoveAction) {
            refused = makeMove(player, action);
        } else if (action.word == kAttackAction) {
            refused = makeAttack(player, action, result);
        } else if (action.word == kEndAction) {
            refused = "it ends the other side's turn";
        }
        if (action.word == kNoAction || refused != nullptr) {
            refuseLine(player, text, length, refused);
            return kProgramForfeit;
        }
        if (result != kAttackMade) return result;  // a won match, or a closed window under its notice
        // The unit is shown selected through the pause, as the computer's are; the pause is the game's, not
        // the program's time.
        const Clock::time_point paused = Clock::now();
        aiShowAction();
        deadline += Clock::now() - paused;
        const bool moved = action.word == kMoveAction;
        unselectUnitOnMap(moved ? action.toRow : action.row, moved ? action.toColumn : action.column);
    }
    return kProgramForfeit;
}

const char* playerProgramFault(int player) {
    return programs[player].fault;
}

void stopPlayerProgram(int player) {
    stopProgramProcess(player, kStopMilliseconds);
    programs[player].running = false;
    programs[player].unreadLength = 0;
}
