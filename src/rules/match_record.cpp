#include "rules/match_record.h"

MatchRecord gMatchRecord = {};

void recordAction(char kind, int row, int column, int toRow, int toColumn) {
    if (!gMatchRecord.taking) return;
    if (gMatchRecord.count == kRecordCapacity) {
        gMatchRecord.overflowed = true;
        return;
    }
    gMatchRecord.actions[gMatchRecord.count++] = {
        kind, static_cast<std::int8_t>(row), static_cast<std::int8_t>(column),
        static_cast<std::int8_t>(toRow), static_cast<std::int8_t>(toColumn)};
}
