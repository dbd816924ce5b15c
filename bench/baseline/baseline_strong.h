// The strong computer as it was before it learned to attack a side that waits, for the benchmark alone.
#pragma once

#include "ai/strong_turn.h"

// Plans the whole turn of player as the old strong computer did, leaving the board unchanged.
void baselinePlanStrongTurn(int player, AiStrongPlan& plan);
// Plans and plays it.
int baselinePerformStrongTurn(int player);
