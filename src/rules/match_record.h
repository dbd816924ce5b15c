// The record of a match: every step, attack and end of a turn carried out through the rules, in order,
// while a record is being taken. The map makers' tool takes one of every duel; the game takes none.
#pragma once

#include <cstdint>

#include "state/hex.h"

enum RecordedKind : char {
    kRecordedMove = 'm',    // from, to
    kRecordedAttack = 'a',  // attacker, target
    kRecordedEnd = 'e',     // the player whose turn ended, in row
};

struct RecordedAction {
    char kind;
    std::int8_t row, column, toRow, toColumn;
};

// Room for a whole turn: every action costs at least one action point, and no unit holds more than 99.
constexpr int kRecordCapacity = kBoardHexes * 100;

// taking: actions are recorded; count: how many are held, to be read and emptied by whoever takes the
// record; overflowed: an action found no room and is missing.
struct MatchRecord {
    bool taking;
    bool overflowed;
    int count;
    RecordedAction actions[kRecordCapacity];
};
extern MatchRecord gMatchRecord;

void recordAction(char kind, int row, int column, int toRow, int toColumn);
