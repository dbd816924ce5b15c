#include "ai/opponent.h"

#include <cstring>

#include "ai/ai_turn.h"
#include "ai/strong_turn.h"

AiOpponent gAiOpponent = kAiStandard;

bool aiOpponentOfName(const char* name, AiOpponent& opponent) {
    if (std::strcmp(name, "standard") == 0) {
        opponent = kAiStandard;
    } else if (std::strcmp(name, "strong") == 0) {
        opponent = kAiStrong;
    } else {
        return false;
    }
    return true;
}

int aiPerformOpponentTurn(AiOpponent opponent, int player) {
    return opponent == kAiStrong ? aiPerformStrongTurn(player) : aiPerformTurn(player);
}
