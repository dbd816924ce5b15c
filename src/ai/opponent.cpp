#include "ai/opponent.h"

#include <cstring>

#include "ai/ai_turn.h"
#include "ai/player_program.h"
#include "ai/strong_turn.h"

AiOpponent gAiOpponent = kAiStandard;
const char* gAiProgramCommand = nullptr;

namespace {

constexpr const char* kProgramPrefix = "program:";

}  // namespace

bool aiOpponentOfName(const char* name, AiOpponent& opponent, const char*& command) {
    const size_t prefixLength = std::strlen(kProgramPrefix);
    command = nullptr;
    if (std::strcmp(name, "standard") == 0) {
        opponent = kAiStandard;
    } else if (std::strcmp(name, "strong") == 0) {
        opponent = kAiStrong;
    } else if (std::strncmp(name, kProgramPrefix, prefixLength) == 0 && name[prefixLength] != 0) {
        opponent = kAiProgram;
        command = name + prefixLength;
    } else {
        return false;
    }
    return true;
}

bool aiStartOpponent(AiOpponent opponent, int player, const char* command) {
    if (opponent == kAiStrong) aiStartStrongMatch(player);
    return opponent != kAiProgram || startPlayerProgram(player, command);
}

void aiStopOpponent(AiOpponent opponent, int player) {
    if (opponent == kAiProgram) stopPlayerProgram(player);
}

int aiPerformOpponentTurn(AiOpponent opponent, int player, int turn) {
    switch (opponent) {
        case kAiStrong:
            return aiPerformStrongTurn(player);
        case kAiProgram:
            return playPlayerProgramTurn(player, turn);
        default:
            return aiPerformTurn(player);
    }
}
