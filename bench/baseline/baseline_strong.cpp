// The strong computer as it played before it learned to attack a side that waits: kept for the benchmark
// alone, as a fixed baseline that the game's strong computer is measured against.
#include "baseline/baseline_strong.h"

#include <cstring>

#include "ai/ai_turn.h"
#include "ai/move_cost_grid.h"
#include "ai/strong_turn.h"
#include "rules/rules.h"
#include "state/board.h"

namespace {

// What a position is worth.
//
// A unit is worth its health points and a few more for standing on the board at all, so that the hit that
// destroys a unit counts for more than the hits before it. Archers and Cavalry, which reach further, are
// worth more per health point than Shields.
constexpr int kStandingWorth = 3;

int unitWorth(char type) {
    return type == 's' ? 4 : 5;
}

int unitValue(char type, int healthPoint) {
    return healthPoint > 0 ? unitWorth(type) * (healthPoint + kStandingWorth) : 0;
}

// What `damage` health points taken from a unit cost it.
int valueLost(char type, int healthPoint, int damage) {
    const int left = healthPoint > damage ? healthPoint - damage : 0;
    return unitValue(type, healthPoint) - unitValue(type, left);
}

// The terms of a position's rating: the units on the board; what the enemy can take from them next turn
// (half of what the flood allows: the enemy's units get in each other's way, and their attacks are
// counted as if each could strike whichever unit it likes); what the player can take in the turn after
// (the enemy moves first, so it counts for less); every action point that still lies between a unit and
// the attack position of its nearest enemy; and the action points that the player's units will have in
// their next turn, so that a walk spends only what the end of the turn gives back unless it wins more.
constexpr int kMaterialWeight = 4;
constexpr int kThreatWeight = 2;
constexpr int kOpportunityWeight = 1;
constexpr int kApproachWeight = 1;
constexpr int kReadinessWeight = 1;
// The rating of a position with no enemy left.
constexpr int kWinScore = 1 << 28;

// The search: at each step it keeps the best few partial turns (the beam), and tries on each the best few
// actions of every unit that has not acted, as a quick look at the unit's own gains and dangers ranks
// them. It rates a fixed number of positions in all; on a crowded board the beam narrows so that every
// unit still gets its turn.
constexpr int kBeamWidth = 4;
constexpr int kOffersPerUnit = 3;
constexpr int kPositionBudget = 1500;
constexpr int kChildLimit = kBeamWidth * kBoardHexes * kOffersPerUnit;

int hexIndex(int row, int column) {
    return row * kBoardColumns + column;
}

// The hexes next to each hex and the ring at distance 2, as hex indexes, -1 off the board.
struct HexTables {
    int neighbour[kBoardHexes][6];
    int ring[kBoardHexes][kRingPositions];
};

HexTables makeHexTables() {
    HexTables tables;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            const int hex = hexIndex(row, column);
            for (int direction = kDownLeft; direction <= kUpRight; ++direction) {
                int nextRow, nextColumn;
                neighbourOf(row, column, direction, nextRow, nextColumn);
                tables.neighbour[hex][direction - kDownLeft] =
                    isOnBoard(nextRow, nextColumn) ? hexIndex(nextRow, nextColumn) : -1;
            }
            int ring[kRingPositions][2];
            ringOffsetsForColumn(column, ring);
            for (int position = 0; position < kRingPositions; ++position) {
                const int ringRow = row + ring[position][0];
                const int ringColumn = column + ring[position][1];
                tables.ring[hex][position] =
                    isOnBoard(ringRow, ringColumn) ? hexIndex(ringRow, ringColumn) : -1;
            }
        }
    }
    return tables;
}

const HexTables& hexTables() {
    static const HexTables kTables = makeHexTables();
    return kTables;
}

// The hexes from which a unit of the given type attacks the hex: its neighbours, or for an Archer its ring.
const int* attackPositions(char type, int hex, int& count) {
    if (type == 'a') {
        count = kRingPositions;
        return hexTables().ring[hex];
    }
    count = 6;
    return hexTables().neighbour[hex];
}

// The plans are tried out on the board matrices themselves, which the flood reads. Nothing is drawn, and
// the board is put back as it was before the first action is carried out.
struct TrialBoard {
    char type[kBoardRows][kBoardColumns];
    int owner[kBoardRows][kBoardColumns];
    int actionPoint[kBoardRows][kBoardColumns];
    int healthPoint[kBoardRows][kBoardColumns];
    int count[3];
};

void takeTrialBoard(TrialBoard& board) {
    std::memcpy(board.type, gUnitType, sizeof board.type);
    std::memcpy(board.owner, gUnitOwner, sizeof board.owner);
    std::memcpy(board.actionPoint, gUnitActionPoint, sizeof board.actionPoint);
    std::memcpy(board.healthPoint, gUnitHealthPoint, sizeof board.healthPoint);
    std::memcpy(board.count, gNumberOfUnit, sizeof board.count);
}

void putTrialBoard(const TrialBoard& board) {
    std::memcpy(gUnitType, board.type, sizeof board.type);
    std::memcpy(gUnitOwner, board.owner, sizeof board.owner);
    std::memcpy(gUnitActionPoint, board.actionPoint, sizeof board.actionPoint);
    std::memcpy(gUnitHealthPoint, board.healthPoint, sizeof board.healthPoint);
    std::memcpy(gNumberOfUnit, board.count, sizeof board.count);
}

void clearHex(int row, int column) {
    gUnitType[row][column] = 0;
    gUnitOwner[row][column] = 0;
    gUnitActionPoint[row][column] = 0;
    gUnitHealthPoint[row][column] = 0;
}

// Plays an action on the board matrices as the rules would, the walk costing walkCost. Returns whether the
// unit destroyed its target and can still pay for an attack, and so may act again.
bool tryAction(const AiStrongAction& action, int walkCost) {
    const int fromRow = action.row, fromColumn = action.column, row = action.toRow, column = action.toColumn;
    if (row != fromRow || column != fromColumn) {
        gUnitType[row][column] = gUnitType[fromRow][fromColumn];
        gUnitOwner[row][column] = gUnitOwner[fromRow][fromColumn];
        gUnitActionPoint[row][column] = gUnitActionPoint[fromRow][fromColumn];
        gUnitHealthPoint[row][column] = gUnitHealthPoint[fromRow][fromColumn];
        clearHex(fromRow, fromColumn);
    }
    gUnitActionPoint[row][column] -= walkCost + action.attacks * computeActionPointCostToAttack();
    if (action.attacks == 0) return false;

    const int targetRow = action.targetRow, targetColumn = action.targetColumn;
    int& health = gUnitHealthPoint[targetRow][targetColumn];
    health -= action.attacks * computeAttackDamage();
    if (health > 0) return false;
    --gNumberOfUnit[gUnitOwner[targetRow][targetColumn]];
    clearHex(targetRow, targetColumn);
    return gUnitActionPoint[row][column] >= computeActionPointCostToAttack();
}

// The units of one player, in board order.
struct Side {
    int count;
    int row[kBoardHexes];
    int column[kBoardHexes];
};

void listSide(int player, Side& side) {
    side.count = 0;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            if (gUnitOwner[row][column] != player) continue;
            side.row[side.count] = row;
            side.column[side.count] = column;
            ++side.count;
        }
    }
}

// attacks[a][t]: the attacks that unit a of one side can deliver on unit t of the other in its turn.
using AttackTable = int[kBoardHexes][kBoardHexes];

// Floods every unit of the attackers with the action points it will have when it acts (its own, or with
// its end-of-turn points added when `regenerated`) and fills the attack table against the targets.
// Returns the action points that lie between each attacker and the nearest of the hexes `goals`, summed
// over the attackers that can reach one (the flood gives an enemy's hex the cost of its attack position).
int floodSide(const Side& attackers, const Side& targets, const Side& goals, bool regenerated,
              AttackTable& attacks) {
    AiGrid attackCount, cost;
    AiStepGrid step;
    int distance = 0;
    for (int a = 0; a < attackers.count; ++a) {
        const int row = attackers.row[a], column = attackers.column[a];
        const int actionPoint = gUnitActionPoint[row][column];
        if (regenerated) gUnitActionPoint[row][column] = computeEndOfTurnActionPoint(actionPoint);
        aiComputeMoveCostGrid(false, row, column, attackCount, cost, step);
        gUnitActionPoint[row][column] = actionPoint;
        for (int t = 0; t < targets.count; ++t)
            attacks[a][t] = attackCount[targets.row[t]][targets.column[t]];
        int nearest = kUnreachable;
        for (int g = 0; g < goals.count; ++g) {
            const int goalCost = cost[goals.row[g]][goals.column[g]];
            if (goalCost < nearest) nearest = goalCost;
        }
        if (nearest != kUnreachable) distance += nearest;
    }
    return distance;
}

// The most value that the attackers can take from the targets, each attacker putting all its attacks on
// one target: the attacker that takes the most strikes first, then the best of the rest on what is left.
int greatestDamage(const Side& attackers, const Side& targets, const AttackTable& attacks) {
    int damage[kBoardHexes] = {};
    bool struck[kBoardHexes] = {};
    int total = 0;
    for (;;) {
        int bestGain = 0, bestAttacker = -1, bestTarget = -1;
        for (int a = 0; a < attackers.count; ++a) {
            if (struck[a]) continue;
            for (int t = 0; t < targets.count; ++t) {
                if (attacks[a][t] == 0) continue;
                const int row = targets.row[t], column = targets.column[t];
                const int gain = valueLost(gUnitType[row][column], gUnitHealthPoint[row][column] - damage[t],
                                           attacks[a][t] * computeAttackDamage());
                if (gain > bestGain) {
                    bestGain = gain;
                    bestAttacker = a;
                    bestTarget = t;
                }
            }
        }
        if (bestAttacker < 0) return total;
        struck[bestAttacker] = true;
        damage[bestTarget] += attacks[bestAttacker][bestTarget] * computeAttackDamage();
        total += bestGain;
    }
}

// An action of one unit as the quick look ranks it.
struct Offer {
    AiStrongAction action;
    int walkCost;
    int score;
};

// A partial turn: the board after it, which units have acted (by the hex they stand on), its actions and
// the rating of the position it leaves.
struct PlanNode {
    TrialBoard board;
    bool done[kBoardHexes];
    AiStrongPlan plan;
    int score;
};

// A partial turn of the next step: a node of the beam and one more action.
struct Child {
    int parent;
    Offer offer;
    int score;
    unsigned hash;
};

// Everything a plan needs, in one fixed place.
struct Planner {
    PlanNode beam[kBeamWidth];
    PlanNode next[kBeamWidth];
    int beamSize;
    Child children[kChildLimit];
    int childCount;
    int positionsRated;
    Side movers, mine, theirs;
    // Where the enemy's units stood when the turn began: the approach is measured to them, so that
    // destroying the nearest enemy never counts as walking away from the enemy.
    Side startingEnemies;
    AttackTable attacks;
    int threat[kBoardHexes];   // attacks the enemy could deliver next turn on a unit on each hex
    int nearest[kBoardHexes];  // steps from each hex to the nearest enemy
};

// Rates the position on the board for player, once its turn is over.
int ratePosition(int player, Planner& planner) {
    Side& mine = planner.mine;
    Side& theirs = planner.theirs;
    listSide(player, mine);
    listSide(aiEnemyOf(player), theirs);
    ++planner.positionsRated;
    if (theirs.count == 0) return kWinScore;
    int material = 0;
    int readiness = 0;
    for (int m = 0; m < mine.count; ++m) {
        readiness += computeEndOfTurnActionPoint(gUnitActionPoint[mine.row[m]][mine.column[m]]);
        material +=
            unitValue(gUnitType[mine.row[m]][mine.column[m]], gUnitHealthPoint[mine.row[m]][mine.column[m]]);
    }
    for (int t = 0; t < theirs.count; ++t) {
        material -= unitValue(gUnitType[theirs.row[t]][theirs.column[t]],
                              gUnitHealthPoint[theirs.row[t]][theirs.column[t]]);
    }
    floodSide(theirs, mine, mine, false, planner.attacks);
    const int threat = greatestDamage(theirs, mine, planner.attacks);
    const int distance = floodSide(mine, theirs, planner.startingEnemies, true, planner.attacks);
    const int opportunity = greatestDamage(mine, theirs, planner.attacks);
    return kMaterialWeight * material - kThreatWeight * threat + kOpportunityWeight * opportunity -
           kApproachWeight * distance + kReadinessWeight * readiness;
}

// For the quick look: on every hex, the attacks that the enemy units could deliver next turn on a unit
// standing there, each from its own flood as the board stands, and the steps to the nearest enemy.
void mapEnemies(const Side& theirs, Planner& planner) {
    AiGrid attackCount, cost;
    AiStepGrid step;
    for (int hex = 0; hex < kBoardHexes; ++hex) {
        planner.threat[hex] = 0;
        planner.nearest[hex] = kUnreachable;
    }
    for (int e = 0; e < theirs.count; ++e) {
        const int row = theirs.row[e], column = theirs.column[e];
        const int actionPoint = gUnitActionPoint[row][column];
        const int own = hexIndex(row, column);
        aiComputeMoveCostGrid(false, row, column, attackCount, cost, step);
        for (int hex = 0; hex < kBoardHexes; ++hex) {
            const int steps = stepsBetweenHexes(row, column, hex / kBoardColumns, hex % kBoardColumns);
            if (steps < planner.nearest[hex]) planner.nearest[hex] = steps;
            int count;
            const int* positions = attackPositions(gUnitType[row][column], hex, count);
            int best = kUnreachable;
            for (int k = 0; k < count; ++k) {
                const int position = positions[k];
                if (position < 0) continue;
                const int positionCost = cost[position / kBoardColumns][position % kBoardColumns];
                const bool free =
                    gUnitOwner[position / kBoardColumns][position % kBoardColumns] == 0 || position == own;
                if (free && positionCost < best) best = positionCost;
            }
            if (best < actionPoint)
                planner.threat[hex] += (actionPoint - best) / computeActionPointCostToAttack();
        }
    }
}

// Keeps the best offers, highest score first; an equal score keeps the earlier offer ahead.
void keepOffer(const Offer& offer, Offer (&kept)[kOffersPerUnit], int& count) {
    int place = count;
    while (place > 0 && kept[place - 1].score < offer.score) --place;
    if (place >= kOffersPerUnit) return;
    const int last = count < kOffersPerUnit ? count : kOffersPerUnit - 1;
    for (int k = last; k > place; --k) kept[k] = kept[k - 1];
    kept[place] = offer;
    if (count < kOffersPerUnit) ++count;
}

// The quick look at one unit: every hex it can walk to this turn, with or without the attacks it can make
// from there, ranked by what the attacks take, the danger it leaves or meets and the steps it gains on the
// enemy.
void offerActions(int row, int column, const Planner& planner, Offer (&kept)[kOffersPerUnit], int& count) {
    AiGrid attackCount, cost;
    AiStepGrid step;
    aiComputeMoveCostGrid(false, row, column, attackCount, cost, step);
    const char type = gUnitType[row][column];
    const int actionPoint = gUnitActionPoint[row][column];
    const int health = gUnitHealthPoint[row][column];
    const int enemy = aiEnemyOf(gUnitOwner[row][column]);
    const int from = hexIndex(row, column);
    const int stepCost = computeActionPointCostToMove(type);
    const int dangerHere = valueLost(type, health, planner.threat[from] * computeAttackDamage());
    count = 0;
    for (int hex = 0; hex < kBoardHexes; ++hex) {
        const int toRow = hex / kBoardColumns, toColumn = hex % kBoardColumns;
        const int walkCost = cost[toRow][toColumn];
        if (walkCost > actionPoint || (hex != from && gUnitOwner[toRow][toColumn] != 0)) continue;
        const int dangerThere = valueLost(type, health, planner.threat[hex] * computeAttackDamage());
        const int score = kThreatWeight * (dangerHere - dangerThere) +
                          kApproachWeight * stepCost * (planner.nearest[from] - planner.nearest[hex]);
        Offer offer = {{row, column, toRow, toColumn, -1, -1, 0}, walkCost, score};
        if (hex != from) keepOffer(offer, kept, count);

        int positions;
        const int* targets = attackPositions(type, hex, positions);
        for (int k = 0; k < positions; ++k) {
            const int target = targets[k];
            if (target < 0) continue;
            const int targetRow = target / kBoardColumns, targetColumn = target % kBoardColumns;
            if (gUnitOwner[targetRow][targetColumn] != enemy) continue;
            const int targetHealth = gUnitHealthPoint[targetRow][targetColumn];
            const int attacks = aiCountAttacks(actionPoint, walkCost, targetHealth);
            if (attacks == 0) continue;
            offer.action.targetRow = targetRow;
            offer.action.targetColumn = targetColumn;
            offer.action.attacks = attacks;
            offer.score = score + kMaterialWeight * valueLost(gUnitType[targetRow][targetColumn],
                                                              targetHealth, attacks * computeAttackDamage());
            keepOffer(offer, kept, count);
        }
    }
}

// The board's units, to tell positions apart.
unsigned hashBoard() {
    unsigned hash = 2166136261u;
    const auto mix = [&hash](int value) { hash = (hash ^ static_cast<unsigned>(value)) * 16777619u; };
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            mix(gUnitOwner[row][column]);
            mix(gUnitActionPoint[row][column]);
            mix(gUnitHealthPoint[row][column]);
        }
    }
    return hash;
}

// Tries the best actions of every unit that has not acted on each node of the beam, and rates them.
void expandBeam(int player, Planner& planner) {
    planner.childCount = 0;
    for (int b = 0; b < planner.beamSize; ++b) {
        const PlanNode& node = planner.beam[b];
        if (node.plan.count == kAiStrongPlanLength) continue;
        putTrialBoard(node.board);
        listSide(player, planner.movers);
        listSide(aiEnemyOf(player), planner.theirs);
        mapEnemies(planner.theirs, planner);
        for (int m = 0; m < planner.movers.count; ++m) {
            const int row = planner.movers.row[m], column = planner.movers.column[m];
            if (node.done[hexIndex(row, column)]) continue;
            putTrialBoard(node.board);
            Offer kept[kOffersPerUnit];
            int count;
            offerActions(row, column, planner, kept, count);
            for (int k = 0; k < count; ++k) {
                if (planner.childCount == kChildLimit || planner.positionsRated >= kPositionBudget) return;
                putTrialBoard(node.board);
                tryAction(kept[k].action, kept[k].walkCost);
                Child& child = planner.children[planner.childCount++];
                child = {b, kept[k], ratePosition(player, planner), hashBoard()};
            }
        }
    }
}

// The best children with positions of their own become the next beam.
void advanceBeam(int width, Planner& planner) {
    int chosen[kBeamWidth];
    int chosenCount = 0;
    while (chosenCount < width) {
        int best = -1;
        for (int c = 0; c < planner.childCount; ++c) {
            const Child& child = planner.children[c];
            if (best >= 0 && child.score <= planner.children[best].score) continue;
            bool seen = false;
            for (int k = 0; k < chosenCount; ++k)
                seen = seen || planner.children[chosen[k]].hash == child.hash;
            if (!seen) best = c;
        }
        if (best < 0) break;
        chosen[chosenCount++] = best;
    }
    for (int k = 0; k < chosenCount; ++k) {
        const Child& child = planner.children[chosen[k]];
        PlanNode& node = planner.next[k];
        node = planner.beam[child.parent];
        putTrialBoard(node.board);
        const AiStrongAction& action = child.offer.action;
        const bool again = tryAction(action, child.offer.walkCost);
        takeTrialBoard(node.board);
        node.done[hexIndex(action.row, action.column)] = false;
        node.done[hexIndex(action.toRow, action.toColumn)] = !again;
        node.plan.actions[node.plan.count++] = action;
        node.score = child.score;
    }
    for (int k = 0; k < chosenCount; ++k) planner.beam[k] = planner.next[k];
    planner.beamSize = chosenCount;
}

// A beam as wide as the budget allows when every unit acts once, each step trying every unit left.
int beamWidthFor(int units) {
    const int positionsPerLine = kOffersPerUnit * units * (units + 1) / 2;
    const int width = positionsPerLine > 0 ? kPositionBudget / positionsPerLine : kBeamWidth;
    return width < 1 ? 1 : width > kBeamWidth ? kBeamWidth : width;
}

}  // namespace

void baselinePlanStrongTurn(int player, AiStrongPlan& plan) {
    static Planner planner;
    static TrialBoard board;
    takeTrialBoard(board);
    listSide(aiEnemyOf(player), planner.startingEnemies);
    planner.positionsRated = 0;
    PlanNode& root = planner.beam[0];
    root.board = board;
    std::memset(root.done, 0, sizeof root.done);
    root.plan.count = 0;
    root.score = ratePosition(player, planner);
    planner.beamSize = 1;
    plan = root.plan;
    int bestScore = root.score;
    const int width = beamWidthFor(planner.mine.count);

    while (planner.positionsRated < kPositionBudget && bestScore < kWinScore) {
        expandBeam(player, planner);
        if (planner.childCount == 0) break;
        advanceBeam(width, planner);
        if (planner.beam[0].score > bestScore) {
            bestScore = planner.beam[0].score;
            plan = planner.beam[0].plan;
        }
    }
    putTrialBoard(board);
}

int baselinePerformStrongTurn(int player) {
    AiStrongPlan plan;
    baselinePlanStrongTurn(player, plan);
    return aiCarryOutStrongPlan(plan);
}
