// What the sparring players share: a turn of the player-program protocol read into the game's board, the
// floods and reaches they decide with, and the actions they send. Every action sent is also played on the
// board in memory, so that the next decision sees it. The players are deterministic: the same board gives
// the same actions.
#pragma once

#include <vector>

#include "state/board.h"

extern int gSide;  // the side this program plays, from the turn's first line

// Reads "turn P N", the board and "go" from stdin into the board; false at the end of the input.
bool readTurn();

using HexGrid = int[kBoardRows][kBoardColumns];
constexpr int kUnreachable = 1 << 20;

// The steps from (row, column) to every hex over free ground (no rock, no unit other than the one at
// the start), kUnreachable where no way leads.
void floodSteps(int row, int column, HexGrid steps);

bool canStrike(char type, int row, int column, int targetRow, int targetColumn);
// How many steps the unit at (row, column) can take and still make `strikes` attacks.
int affordableSteps(int row, int column, int strikes);

// For each hex, how many enemy units could attack a unit standing there in their next turn, with the
// action points they have now. The unit at (row, column), ours, is taken off the board for the count: it
// is the one that will move. The enemy at (sparedRow, sparedColumn), one about to fall, is left out.
void countEnemyReach(int row, int column, HexGrid reach, int sparedRow = -1, int sparedColumn = -1);

// Takes a unit off the board for as long as it lives, and puts it back: the hex it leaves is free for
// the floods of its own plans.
struct LiftedUnit {
    int row, column, owner;
    LiftedUnit(int unitRow, int unitColumn)
        : row(unitRow), column(unitColumn), owner(gUnitOwner[unitRow][unitColumn]) {
        gUnitOwner[row][column] = 0;
    }
    ~LiftedUnit() { gUnitOwner[row][column] = owner; }
};

// Whether the enemy's units stood where they stand now at the start of our previous turn too: a side that
// does not come has to be fetched. Call once per turn.
bool enemyStoodStill();

// Send actions and play them on the board in memory. A walk follows a shortest way over free ground, at
// most mostSteps of it; it stays put when no way leads to the goal.
void walkTo(int& row, int& column, int toRow, int toColumn, int mostSteps);
void strike(int row, int column, int targetRow, int targetColumn);
void endTurn();

// The units of one side, in board order, at the time of the call.
struct UnitList {
    int count = 0;
    int row[kBoardHexes];
    int column[kBoardHexes];
};
UnitList unitsOf(int player);
int enemySide();

// The best strike the unit at (row, column) can make this turn: the enemy it can reach with fewest steps
// and then the weakest one. False when none is in reach.
struct Strike {
    int targetRow, targetColumn;  // the enemy
    int fromRow, fromColumn;      // where to stand
    int steps;
};
bool nearestStrike(int row, int column, Strike& best);
// Every strike the unit can make this turn: each enemy from each hex it can walk to with the action
// points of one attack left.
std::vector<Strike> reachableStrikes(int row, int column);

// Where a unit without a blow to strike walks, within reach of its action points: holding, to the hex
// attacked by fewest enemies and then nearest the enemy (the edge of the enemy's reach); fleeing, to the
// hex attacked by fewest and then farthest from the enemy; marching, to the hex nearest the enemy.
enum Stance { kHold, kFlee, kMarch };
void takeStance(int& row, int& column, Stance stance);

// The whole game of a player that plays its units one after the other, in board order: each gets the
// stance of the turn (holding, or marching on a side that stands still).
void playTurns(void (*playUnit)(int row, int column, Stance stance));
