#include "ai/move_cost_grid.h"

void aiComputeMoveCostGrid(int, int, int, AiGrid&, AiGrid&, AiStepGrid&) {}
