#include "sparring.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "rules/rules.h"
#include "state/board.h"
#include "state/map_file.h"

int gSide = 0;

namespace {

// The protocol's own copy of stdout: the game's library may write to stdout (a bell when a unit falls),
// which would break the protocol, so fd 1 goes to stderr once the copy is made.
std::FILE* gReferee = nullptr;

HexGrid gEnemyBefore;  // which hexes held an enemy at the start of the previous turn

void openReferee() {
    if (gReferee != nullptr) return;
    gReferee = fdopen(dup(STDOUT_FILENO), "w");
    dup2(STDERR_FILENO, STDOUT_FILENO);
    // The referee closes the pipes when the duel ends; a last write then must not kill us.
    std::signal(SIGPIPE, SIG_IGN);
}

void send(const char* word, int row, int column, int toRow, int toColumn) {
    std::fprintf(gReferee, "%s %d,%d %d,%d\n", word, row, column, toRow, toColumn);
    std::fflush(gReferee);
}

int strikeDistance(char type) {
    return type == 'a' ? 2 : 1;
}

bool isFree(int row, int column) {
    return isOnBoard(row, column) && !isObstacle(row, column) && gUnitOwner[row][column] == 0;
}

// Breadth-first over the six neighbours from the hexes already at step 0 in `steps`; `passable` says
// which hexes a way may lead through.
template <typename Passable>
void spread(HexGrid steps, int queue[], int queued, Passable passable) {
    for (int head = 0; head < queued; ++head) {
        const int row = queue[head] / kBoardColumns;
        const int column = queue[head] % kBoardColumns;
        for (int direction = kDownLeft; direction <= kUpRight; ++direction) {
            int nextRow, nextColumn;
            neighbourOf(row, column, direction, nextRow, nextColumn);
            if (!passable(nextRow, nextColumn) || steps[nextRow][nextColumn] != kUnreachable) continue;
            steps[nextRow][nextColumn] = steps[row][column] + 1;
            queue[queued++] = nextRow * kBoardColumns + nextColumn;
        }
    }
}

void fillUnreachable(HexGrid steps) {
    for (int row = 0; row < kBoardRows; ++row)
        for (int column = 0; column < kBoardColumns; ++column) steps[row][column] = kUnreachable;
}

// The steps from every hex to the nearest enemy, through any hex but rocks: how far the front is.
void floodFromEnemies(HexGrid steps) {
    fillUnreachable(steps);
    int queue[kBoardHexes];
    int queued = 0;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            if (gUnitOwner[row][column] != enemySide()) continue;
            steps[row][column] = 0;
            queue[queued++] = row * kBoardColumns + column;
        }
    }
    spread(steps, queue, queued,
           [](int row, int column) { return isOnBoard(row, column) && !isObstacle(row, column); });
}

bool enemyReachesFrom(int enemyRow, int enemyColumn, const HexGrid steps, int row, int column) {
    const char type = gUnitType[enemyRow][enemyColumn];
    const int actionPoint = gUnitActionPoint[enemyRow][enemyColumn] - computeActionPointCostToAttack();
    if (actionPoint < 0) return false;
    const int mostSteps = actionPoint / computeActionPointCostToMove(type);
    for (int fromRow = 0; fromRow < kBoardRows; ++fromRow) {
        for (int fromColumn = 0; fromColumn < kBoardColumns; ++fromColumn) {
            if (steps[fromRow][fromColumn] <= mostSteps && canStrike(type, fromRow, fromColumn, row, column))
                return true;
        }
    }
    return false;
}

}  // namespace

int enemySide() {
    return 3 - gSide;
}

bool readTurn() {
    openReferee();
    char line[256];
    int turn = 0;
    if (std::fgets(line, sizeof line, stdin) == nullptr ||
        std::sscanf(line, "turn %d %d", &gSide, &turn) != 2)
        return false;
    std::string board;
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        if (std::strncmp(line, "go", 2) == 0) {
            parseStatusMatrix(board.data(), board.size());
            return true;
        }
        board += line;
    }
    return false;
}

void floodSteps(int row, int column, HexGrid steps) {
    fillUnreachable(steps);
    steps[row][column] = 0;
    int queue[kBoardHexes] = {row * kBoardColumns + column};
    spread(steps, queue, 1, isFree);
}

bool canStrike(char type, int row, int column, int targetRow, int targetColumn) {
    return stepsBetweenHexes(row, column, targetRow, targetColumn) == strikeDistance(type);
}

int affordableSteps(int row, int column, int strikes) {
    const int left = gUnitActionPoint[row][column] - strikes * computeActionPointCostToAttack();
    return left < 0 ? -1 : left / computeActionPointCostToMove(gUnitType[row][column]);
}

void countEnemyReach(int row, int column, HexGrid reach, int sparedRow, int sparedColumn) {
    const LiftedUnit lifted(row, column);
    std::memset(reach, 0, sizeof(HexGrid));
    const UnitList enemies = unitsOf(enemySide());
    for (int k = 0; k < enemies.count; ++k) {
        if (enemies.row[k] == sparedRow && enemies.column[k] == sparedColumn) continue;
        HexGrid steps;
        floodSteps(enemies.row[k], enemies.column[k], steps);
        for (int hexRow = 0; hexRow < kBoardRows; ++hexRow) {
            for (int hexColumn = 0; hexColumn < kBoardColumns; ++hexColumn)
                reach[hexRow][hexColumn] +=
                    enemyReachesFrom(enemies.row[k], enemies.column[k], steps, hexRow, hexColumn);
        }
    }
}

bool enemyStoodStill() {
    bool still = true;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            const int enemy = gUnitOwner[row][column] == enemySide();
            still = still && (enemy == 0 || gEnemyBefore[row][column] == 1);
            gEnemyBefore[row][column] = enemy;
        }
    }
    return still;
}

void walkTo(int& row, int& column, int toRow, int toColumn, int mostSteps) {
    HexGrid steps;
    floodSteps(row, column, steps);
    if (steps[toRow][toColumn] == kUnreachable) return;
    // The way back from the goal, one neighbour a step nearer each time, then walked forwards.
    int way[kBoardHexes];
    int length = 0;
    for (int wayRow = toRow, wayColumn = toColumn; steps[wayRow][wayColumn] > 0;) {
        way[length++] = wayRow * kBoardColumns + wayColumn;
        for (int direction = kDownLeft; direction <= kUpRight; ++direction) {
            int nextRow, nextColumn;
            neighbourOf(wayRow, wayColumn, direction, nextRow, nextColumn);
            if (isOnBoard(nextRow, nextColumn) &&
                steps[nextRow][nextColumn] == steps[wayRow][wayColumn] - 1) {
                wayRow = nextRow;
                wayColumn = nextColumn;
                break;
            }
        }
    }
    for (int k = length - 1; k >= 0 && length - k <= mostSteps; --k) {
        const int nextRow = way[k] / kBoardColumns;
        const int nextColumn = way[k] % kBoardColumns;
        send("move", row, column, nextRow, nextColumn);
        moveUnit(row, column, nextRow, nextColumn, false);
        row = nextRow;
        column = nextColumn;
    }
}

void strike(int row, int column, int targetRow, int targetColumn) {
    send("attack", row, column, targetRow, targetColumn);
    overwriteUnitActionPoint(row, column, gUnitActionPoint[row][column] - computeActionPointCostToAttack(),
                             false);
    const int health = gUnitHealthPoint[targetRow][targetColumn] - computeAttackDamage();
    if (health >= 1) {
        overwriteUnitHealthPoint(targetRow, targetColumn, health, false);
    } else {
        removeUnit(targetRow, targetColumn);
    }
}

void endTurn() {
    std::fprintf(gReferee, "end\n");
    std::fflush(gReferee);
}

UnitList unitsOf(int player) {
    UnitList units;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            if (gUnitOwner[row][column] != player) continue;
            units.row[units.count] = row;
            units.column[units.count] = column;
            ++units.count;
        }
    }
    return units;
}

std::vector<Strike> reachableStrikes(int row, int column) {
    std::vector<Strike> strikes;
    const int mostSteps = affordableSteps(row, column, 1);
    const char type = gUnitType[row][column];
    HexGrid steps;
    floodSteps(row, column, steps);
    const UnitList enemies = unitsOf(enemySide());
    for (int k = 0; k < enemies.count; ++k) {
        for (int fromRow = 0; fromRow < kBoardRows; ++fromRow) {
            for (int fromColumn = 0; fromColumn < kBoardColumns; ++fromColumn) {
                const int walk = steps[fromRow][fromColumn];
                if (walk <= mostSteps &&
                    canStrike(type, fromRow, fromColumn, enemies.row[k], enemies.column[k]))
                    strikes.push_back({enemies.row[k], enemies.column[k], fromRow, fromColumn, walk});
            }
        }
    }
    return strikes;
}

bool nearestStrike(int row, int column, Strike& best) {
    const std::vector<Strike> strikes = reachableStrikes(row, column);
    if (strikes.empty()) return false;
    best = strikes[0];
    for (const Strike& blow : strikes) {
        const int health = gUnitHealthPoint[blow.targetRow][blow.targetColumn];
        const int bestHealth = gUnitHealthPoint[best.targetRow][best.targetColumn];
        if (blow.steps < best.steps || (blow.steps == best.steps && health < bestHealth)) best = blow;
    }
    return true;
}

void playTurns(void (*playUnit)(int row, int column, Stance stance)) {
    while (readTurn()) {
        const Stance stance = enemyStoodStill() ? kMarch : kHold;
        const UnitList units = unitsOf(gSide);
        for (int k = 0; k < units.count; ++k) playUnit(units.row[k], units.column[k], stance);
        endTurn();
    }
}

void takeStance(int& row, int& column, Stance stance) {
    const int mostSteps = affordableSteps(row, column, stance == kFlee ? 0 : 2);
    HexGrid reach, front, steps;
    countEnemyReach(row, column, reach);
    floodFromEnemies(front);
    floodSteps(row, column, steps);
    // Fewest enemies first, then the front nearest (holding) or farthest (fleeing); marching counts the
    // front alone. Fewer steps break ties.
    const auto score = [&](int hexRow, int hexColumn) {
        const long distance = stance == kFlee ? -front[hexRow][hexColumn] : front[hexRow][hexColumn];
        const long threat = stance == kMarch ? 0 : reach[hexRow][hexColumn];
        return (threat * kUnreachable * 2 + distance) * kBoardHexes + steps[hexRow][hexColumn];
    };
    int bestRow = row, bestColumn = column;
    for (int hexRow = 0; hexRow < kBoardRows; ++hexRow) {
        for (int hexColumn = 0; hexColumn < kBoardColumns; ++hexColumn) {
            if (steps[hexRow][hexColumn] > mostSteps ||
                score(hexRow, hexColumn) >= score(bestRow, bestColumn))
                continue;
            bestRow = hexRow;
            bestColumn = hexColumn;
        }
    }
    walkTo(row, column, bestRow, bestColumn, kBoardHexes);
}
