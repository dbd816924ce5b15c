#include "rules/range_attack.h"

int performRangeAttack(int, int) { return 0; }
