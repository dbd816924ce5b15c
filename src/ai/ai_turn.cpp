#include "ai/ai_turn.h"

int aiPerformTurn(int) { return 0; }
