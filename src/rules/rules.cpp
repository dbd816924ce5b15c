#include "rules/rules.h"

// Placeholder until the rules land.
int computeActionPointCostToMove(char type) { return type == 'c' ? 1 : 2; }
int computeActionPointCostToAttack() { return 3; }
int computeAttackDamage() { return 1; }
int computeActionPointRegeneration() { return 5; }
int computeEndOfTurnActionPoint(int actionPoint) { return actionPoint; }
void addEndOfTurnActionPoint(int) {}
int moveUnit(int, int, int, int, int) { return 1; }
int attackUnit(int, int, int, int, int) { return 5; }
