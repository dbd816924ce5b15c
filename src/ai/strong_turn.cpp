#include "ai/strong_turn.h"

#include <cstring>

#include "ai/ai_turn.h"
#include "ai/move_cost_grid.h"
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
//
// There are two styles of play with these terms: the careful one weighs the enemy's reach fully; the bold
// one weighs it at half and the steps toward the enemy double, so that its plans go in.
struct Weights {
    int material, threat, opportunity, approach, readiness;
};
constexpr Weights kCarefulWeights = {4, 2, 1, 1, 1};
constexpr Weights kBoldWeights = {4, 1, 1, 2, 1};
constexpr int kStyles = 2;
// The rating of a position with no enemy left.
constexpr int kWinScore = 1 << 28;

// The search: at each step it keeps the best few partial turns (the beam), and tries on each the best few
// actions of every unit that has not acted, as a quick look at the unit's own gains and dangers ranks
// them. It rates a fixed number of positions in all; on a crowded board the beam narrows so that every
// unit still gets its turn.
constexpr int kBeamWidth = 4;
constexpr int kOffersPerUnit = 3;
constexpr int kPositionBudget = 1500;  // the careful search; the bold one has half
// The look past the turn: the best few positions of each style's search are answered by the enemy, as
// the same search plays it in either style with a smaller budget, and then the player's next turn is
// searched too; a position is worth the best rating of that next turn after the enemy's worse answer.
// On a board with more than kFullBudgetUnits units the look past the turn narrows in proportion, since
// every rating floods every unit.
constexpr int kFinalists = 4;
constexpr int kReplyBudget = 400;
constexpr int kNextTurnBudget = 300;
constexpr int kFullBudgetUnits = 10;
// A stand-off: quiet turns that add one to the weight of the approach, up to a most.
constexpr int kQuietTurnsPerPressure = 2;
constexpr int kMostPressure = 10;
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

// What the units of a side are worth together.
int sideMaterial(const Side& side) {
    int material = 0;
    for (int k = 0; k < side.count; ++k)
        material +=
            unitValue(gUnitType[side.row[k]][side.column[k]], gUnitHealthPoint[side.row[k]][side.column[k]]);
    return material;
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
    unsigned hash;
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
    Weights weights;
    int budget;
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
    TrialBoard start;
    // The best positions seen, best first, each once.
    PlanNode finalists[kFinalists];
    int finalistCount;
};

int healthOnBoard() {
    int health = 0;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            if (gUnitOwner[row][column] != 0) health += gUnitHealthPoint[row][column];
        }
    }
    return health;
}

// Rates the position on the board for player, once its turn is over.
int ratePosition(int player, Planner& planner) {
    Side& mine = planner.mine;
    Side& theirs = planner.theirs;
    listSide(player, mine);
    listSide(aiEnemyOf(player), theirs);
    ++planner.positionsRated;
    if (theirs.count == 0) return kWinScore;
    const int material = sideMaterial(mine) - sideMaterial(theirs);
    int readiness = 0;
    for (int m = 0; m < mine.count; ++m)
        readiness += computeEndOfTurnActionPoint(gUnitActionPoint[mine.row[m]][mine.column[m]]);
    floodSide(theirs, mine, mine, false, planner.attacks);
    const int threat = greatestDamage(theirs, mine, planner.attacks);
    const int distance = floodSide(mine, theirs, planner.startingEnemies, true, planner.attacks);
    const int opportunity = greatestDamage(mine, theirs, planner.attacks);
    const Weights& w = planner.weights;
    return w.material * material - w.threat * threat + w.opportunity * opportunity - w.approach * distance +
           w.readiness * readiness;
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

// Keeps the best items (offers, positions) by score, highest first; an equal score keeps the earlier item
// ahead.
template <typename Item, int kMost>
void keepBest(const Item& item, Item (&kept)[kMost], int& count) {
    int place = count;
    while (place > 0 && kept[place - 1].score < item.score) --place;
    if (place >= kMost) return;
    const int last = count < kMost ? count : kMost - 1;
    for (int k = last; k > place; --k) kept[k] = kept[k - 1];
    kept[place] = item;
    if (count < kMost) ++count;
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
        const Weights& w = planner.weights;
        const int score = w.threat * (dangerHere - dangerThere) +
                          w.approach * stepCost * (planner.nearest[from] - planner.nearest[hex]);
        Offer offer = {{row, column, toRow, toColumn, -1, -1, 0}, walkCost, score};
        if (hex != from) keepBest(offer, kept, count);

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
            offer.score = score + w.material * valueLost(gUnitType[targetRow][targetColumn], targetHealth,
                                                         attacks * computeAttackDamage());
            keepBest(offer, kept, count);
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
                if (planner.childCount == kChildLimit || planner.positionsRated >= planner.budget) return;
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
        node.hash = child.hash;
    }
    for (int k = 0; k < chosenCount; ++k) planner.beam[k] = planner.next[k];
    planner.beamSize = chosenCount;
}

// A beam as wide as the budget allows when every unit acts once, each step trying every unit left.
int beamWidthFor(int units, int budget) {
    const int positionsPerLine = kOffersPerUnit * units * (units + 1) / 2;
    const int width = positionsPerLine > 0 ? budget / positionsPerLine : kBeamWidth;
    return width < 1 ? 1 : width > kBeamWidth ? kBeamWidth : width;
}

// The instruction that walks the unit of an action along its cheapest route and attacks from its end;
// the grids hold the unit's flood.
void makeInstruction(const AiStrongAction& action, const AiGrid& cost, const AiStepGrid& step,
                     AiInstruction& instruction) {
    const bool attacking = action.attacks > 0;
    instruction[kAiTargetPair][0] = attacking ? action.targetRow : action.toRow;
    instruction[kAiTargetPair][1] = attacking ? action.targetColumn : action.toColumn;
    int pair = kAiAttackPositionPair;
    int row = action.toRow, column = action.toColumn;
    instruction[pair][0] = row;
    instruction[pair][1] = column;
    while (cost[row][column] != 0) {
        const int stepRow = step[row][column][0], stepColumn = step[row][column][1];
        row -= stepRow;
        column -= stepColumn;
        ++pair;
        instruction[pair][0] = row;
        instruction[pair][1] = column;
    }
    instruction[kAiCountsPair][0] = pair - kAiAttackPositionPair;
    instruction[kAiCountsPair][1] = action.attacks;
}

// Whether one of the first count nodes leaves the position with this hash.
bool holdsPosition(const PlanNode* nodes, int count, unsigned hash) {
    for (int k = 0; k < count; ++k) {
        if (nodes[k].hash == hash) return true;
    }
    return false;
}

// Keeps the node among the finalists when it is one of the best positions seen and not seen before.
void keepFinalist(const PlanNode& node, Planner& planner) {
    if (!holdsPosition(planner.finalists, planner.finalistCount, node.hash))
        keepBest(node, planner.finalists, planner.finalistCount);
}

// The beam search over player's turn from the board as it stands, within the planner's budget; the best
// positions it finds are the planner's finalists. The board is left as it was.
void searchTurn(int player, Planner& planner) {
    takeTrialBoard(planner.start);
    listSide(aiEnemyOf(player), planner.startingEnemies);
    planner.positionsRated = 0;
    planner.finalistCount = 0;
    PlanNode& root = planner.beam[0];
    root.board = planner.start;
    std::memset(root.done, 0, sizeof root.done);
    root.plan.count = 0;
    root.score = ratePosition(player, planner);
    root.hash = hashBoard();
    planner.beamSize = 1;
    keepFinalist(root, planner);
    const int width = beamWidthFor(planner.mine.count, planner.budget);
    while (planner.positionsRated < planner.budget && planner.finalists[0].score < kWinScore) {
        expandBeam(player, planner);
        if (planner.childCount == 0) break;
        advanceBeam(width, planner);
        for (int b = 0; b < planner.beamSize; ++b) keepFinalist(planner.beam[b], planner);
    }
    putTrialBoard(planner.start);
}

// The positions that the searches of every style found, each once, to be rated past the turn.
struct Candidates {
    PlanNode nodes[kStyles * kFinalists];
    int count;
};

void keepCandidate(const PlanNode& node, Candidates& candidates) {
    if (!holdsPosition(candidates.nodes, candidates.count, node.hash))
        candidates.nodes[candidates.count++] = node;
}

// A rating floods every unit on the board, so on a board with many units the look past the turn narrows:
// the budget shrinks in proportion beyond kFullBudgetUnits units.
int narrowed(int budget, int units) {
    return units <= kFullBudgetUnits ? budget : budget * kFullBudgetUnits / units;
}

// Gives player's units on the trial board the action points that the end of their turn brings.
void regenerate(int player) {
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            if (gUnitOwner[row][column] == player)
                gUnitActionPoint[row][column] = computeEndOfTurnActionPoint(gUnitActionPoint[row][column]);
        }
    }
}

// Rates a position that ends player's turn by the best next turn it leaves the player, after the enemy's
// answer as the same search plays it in the given style, or with no answer at all.
int rateNextTurn(int player, int units, const Weights* enemyStyle, const TrialBoard& position,
                 Planner& planner, Planner& reply) {
    const int enemy = aiEnemyOf(player);
    putTrialBoard(position);
    regenerate(player);
    if (enemyStyle != nullptr) {
        reply.weights = *enemyStyle;
        reply.budget = narrowed(kReplyBudget, units);
        searchTurn(enemy, reply);
        putTrialBoard(reply.finalists[0].board);
    }
    regenerate(enemy);
    listSide(player, planner.mine);
    if (planner.mine.count == 0) return -kWinScore;
    reply.weights = planner.weights;
    reply.budget = narrowed(kNextTurnBudget, units);
    searchTurn(player, reply);
    return reply.finalists[0].score;
}

// A position's worth after the enemy's worse answer of the two styles.
int answeredWorth(int player, int units, const TrialBoard& position, Planner& planner, Planner& reply) {
    const int afterCareful = rateNextTurn(player, units, &kCarefulWeights, position, planner, reply);
    const int afterBold = rateNextTurn(player, units, &kBoldWeights, position, planner, reply);
    return afterCareful < afterBold ? afterCareful : afterBold;
}

// What the strong computer remembers of the match, for each side it plays: the health on the board when
// its last turn began, and how many of its turns in a row began with nobody hit since the one before.
struct MatchMemory {
    int health;
    int quietTurns;
};
MatchMemory gMatchMemory[3];

// Counts the turns without a hit; any change of the health on the board (a hit, or a new board) ends them.
void noteTurnStart(int player) {
    MatchMemory& memory = gMatchMemory[player];
    const int health = healthOnBoard();
    memory.quietTurns = health == memory.health ? memory.quietTurns + 1 : 0;
    memory.health = health;
}

// A stand-off is no draw the player likes when it is level or ahead: every quiet turn makes the steps
// toward the enemy worth more. Behind, it may hold.
int approachPressure(int player, Planner& planner) {
    listSide(player, planner.mine);
    listSide(aiEnemyOf(player), planner.theirs);
    if (sideMaterial(planner.mine) < sideMaterial(planner.theirs)) return 0;
    const int pressure = gMatchMemory[player].quietTurns / kQuietTurnsPerPressure;
    return pressure < kMostPressure ? pressure : kMostPressure;
}

// Searches player's turn in one style and keeps its best few positions among the candidates. True when
// one of them wins the match.
bool searchStyle(int player, const Weights& weights, int budget, int finalists, Planner& planner,
                 Candidates& candidates) {
    planner.weights = weights;
    planner.budget = budget;
    searchTurn(player, planner);
    for (int f = 0; f < planner.finalistCount && f < finalists; ++f)
        keepCandidate(planner.finalists[f], candidates);
    return planner.finalists[0].score >= kWinScore;
}

}  // namespace

void aiPlanStrongTurn(int player, AiStrongPlan& plan) {
    static Planner planner;
    static Planner reply;
    static Candidates candidates;
    static TrialBoard board;
    takeTrialBoard(board);
    const int units = gNumberOfUnit[1] + gNumberOfUnit[2];
    const int pressure = approachPressure(player, planner);
    // Under pressure a candidate is rated a third time, without an answer: one candidate fewer pays for it.
    const int wanted = narrowed(pressure > 0 ? kFinalists - 1 : kFinalists, units);
    const int finalists = wanted > 1 ? wanted : 1;
    Weights careful = kCarefulWeights, bold = kBoldWeights;
    careful.approach += pressure;
    bold.approach += pressure;
    if (pressure == kMostPressure) {
        --careful.threat;
        --bold.threat;
    }
    candidates.count = 0;
    if (searchStyle(player, careful, kPositionBudget, finalists, planner, candidates) ||
        searchStyle(player, bold, narrowed(kPositionBudget / 2, units), finalists, planner, candidates)) {
        plan = planner.finalists[0].plan;
        return;
    }
    // Each candidate is rated by the careful style after the enemy's worse answer of the two styles. The
    // longer the enemy has struck nowhere, the more the rating trusts that it will not strike now either.
    planner.weights = careful;
    long long bestScore = 0;
    for (int c = 0; c < candidates.count; ++c) {
        const TrialBoard& position = candidates.nodes[c].board;
        const long long answered =
            pressure < kMostPressure ? answeredWorth(player, units, position, planner, reply) : 0;
        const long long unanswered =
            pressure > 0 ? rateNextTurn(player, units, nullptr, position, planner, reply) : 0;
        const long long score = answered * (kMostPressure - pressure) + unanswered * pressure;
        if (c == 0 || score > bestScore) {
            bestScore = score;
            plan = candidates.nodes[c].plan;
        }
    }
    putTrialBoard(board);
}

int aiCarryOutStrongPlan(const AiStrongPlan& plan) {
    AiGrid attackCount, cost;
    AiStepGrid step;
    AiInstruction instruction;
    for (int k = 0; k < plan.count; ++k) {
        const AiStrongAction& action = plan.actions[k];
        aiComputeMoveCostGrid(false, action.row, action.column, attackCount, cost, step);
        makeInstruction(action, cost, step, instruction);
        const int result = aiUseUnit(instruction);
        if (isWinnerCode(result)) return result;
        if (result == kAiMoveRefused) return 0;  // the plan was tried on this very board: never
    }
    return 0;
}

void aiStartStrongMatch(int player) {
    gMatchMemory[player] = {};
}

int aiPerformStrongTurn(int player) {
    noteTurnStart(player);
    AiStrongPlan plan;
    aiPlanStrongTurn(player, plan);
    return aiCarryOutStrongPlan(plan);
}
