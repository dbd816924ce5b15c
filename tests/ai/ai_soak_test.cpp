// The computer against itself on random boards: aiPerformTurn for player 1 and player 2 in turn, each turn
// followed by its end-of-turn action points, until one side wins or the turn limit. After every turn the
// board keeps its invariants; no move of the computer is refused except on a route that crosses its own
// units (moveUnit code 4), no attack is refused, and the same board always plays the same game.
//
// QORDA_SOAK_BOARDS and QORDA_SOAK_SEED choose how many boards and which; the defaults suit CI.
#include <cstdio>
#include <random>
#include <string>

#include "ai/ai_turn.h"
#include "rules/rules.h"
#include "state/board.h"
#include "state/map_file.h"
#include "support/board_invariants.h"
#include "support/game_test.h"

namespace {

constexpr int kDefaultBoards = 40;
constexpr unsigned kDefaultSeed = 20160116;
constexpr int kTurnLimit = 160;
// Every so many boards the whole game is played a second time from the same board.
constexpr int kReplayEvery = 5;

struct SoakFigures {
    int boards = 0;
    int turns = 0;
    int wins[3] = {};  // element 0: games stopped at the turn limit
    int refusedCrossings = 0;
    int destroyed = 0;
};

// A board that the map editor could make: rocks of any obstacle tile on up to half of the hexes,
// ground of any walkable tile, and 1 to 12 units per side of random kinds with action points 0 to 99 and
// health points 1 to 99, most of them with the few points that a match has.
void makeRandomBoard(std::mt19937& random) {
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    clearStatusMatrix();
    const int rockPercent = below(50);
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            if (below(100) < rockPercent) {
                gMap[row][column] = static_cast<std::uint8_t>(kObstacleTileBit + below(128));
            } else if (below(4) == 0) {
                gMap[row][column] = static_cast<std::uint8_t>(below(kObstacleTileBit));
            }
        }
    }
    for (int player = 1; player <= 2; ++player) {
        for (int units = 1 + below(12); units > 0 || gNumberOfUnit[player] == 0; --units) {
            const char type = "acs"[below(3)];
            const int actionPoint = below(3) == 0 ? below(100) : below(11);
            const int healthPoint = below(3) == 0 ? 1 + below(99) : 1 + below(8);
            addUnit(below(kBoardRows), below(kBoardColumns), type, player, actionPoint, healthPoint, 0, 0);
        }
    }
}

std::string at(const int* pair) {
    return std::to_string(pair[0]) + "," + std::to_string(pair[1]);
}

// The pair of a refused route where the unit stopped: the moves ran from pair moves + 2 downwards, and
// the hexes that the unit left are empty.
int pairWhereTheUnitStopped(const AiInstruction& instruction) {
    int pair = 2 + instruction[0][0];
    while (pair > 2 && gUnitOwner[instruction[pair][0]][instruction[pair][1]] == 0) --pair;
    return pair;
}

// Checks what one aiUseUnit did: a refused move only where the route runs into the player's own unit on
// a crossing route; otherwise the unit stands where its moves end and the target lost one health point per
// planned attack.
void checkUnitUse(int player, bool crossing, const AiInstruction& instruction, int targetHealthBefore,
                  int result, SoakFigures& figures) {
    const int* target = instruction[1];
    const int* end = instruction[2];
    if (result == 2) {
        const int stopped = pairWhereTheUnitStopped(instruction);
        const int* blocked = instruction[stopped - 1];
        EXPECT_TRUE(crossing) << "a move refused on a route around the own side, at " << at(blocked);
        EXPECT_EQ(gUnitOwner[blocked[0]][blocked[1]], player)
            << "a move refused for another reason than an own unit, at " << at(blocked);
        ++figures.refusedCrossings;
        return;
    }
    if (result > kWinnerCodeBase) return;
    EXPECT_EQ(gUnitOwner[end[0]][end[1]], player) << "the acting unit does not stand at " << at(end);
    const int attacks = instruction[0][1];
    const int expectedHealth = targetHealthBefore > attacks ? targetHealthBefore - attacks : 0;
    EXPECT_EQ(gUnitHealthPoint[target[0]][target[1]], expectedHealth)
        << attacks << " attacks on " << at(target) << " with " << targetHealthBefore << " health points";
    if (attacks > 0 && expectedHealth == 0) ++figures.destroyed;
}

// One computer turn played pass by pass with the AI's own operations, in the order in which aiPerformTurn
// plays them, so that every instruction and what came of it can be checked (aiPerformTurn does not tell
// which of its moves were refused). The caller compares the outcome with aiPerformTurn's on the same board.
int checkedAiTurn(int player, SoakFigures& figures) {
    AiList rows, columns, targetRows, targetColumns, remainingHealth, planCost;
    AiGrid attackCount = {};
    AiGrid cost = {};
    AiStepGrid step = {};
    AiInstruction instruction = {};
    int count = 0;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            if (gUnitOwner[row][column] != player) continue;
            rows[count] = row;
            columns[count] = column;
            ++count;
        }
    }
    const int enemy = aiEnemyOf(player);
    const int enemiesAtStart = gNumberOfUnit[enemy];
    const int passLimit = count;
    int passes = 0;
    while (count != 0) {
        ++passes;
        for (int k = 0; k < count; ++k) {
            aiComputeUnitOutput(k, rows, columns, targetRows, targetColumns, remainingHealth, planCost,
                                attackCount, cost, step);
        }
        const int acting = aiChooseActingUnit(count, rows, columns, remainingHealth, planCost);
        const bool crossing = planCost[acting] >= kAiCrossingPenalty;
        aiComputeMoveCostGrid(crossing ? 1 : 0, rows[acting], columns[acting], attackCount, cost, step);
        aiComputeActionInstruction(targetRows[acting], targetColumns[acting],
                                   gUnitActionPoint[rows[acting]][columns[acting]], attackCount, cost, step,
                                   instruction);
        const int targetHealth = gUnitHealthPoint[instruction[1][0]][instruction[1][1]];
        const int result = aiUseUnit(instruction);
        checkUnitUse(player, crossing, instruction, targetHealth, result, figures);
        rows[acting] = instruction[2][0];
        columns[acting] = instruction[2][1];
        if (result > kWinnerCodeBase) return result;
        const bool acted = instruction[0][0] > 0 || instruction[0][1] > 0;
        if (result != 0 || !acted) {
            for (int k = acting + 1; k < count; ++k) {
                rows[k - 1] = rows[k];
                columns[k - 1] = columns[k];
            }
            --count;
        }
    }
    // Each pass removes the acting unit, or keeps it after it destroyed an enemy unit.
    EXPECT_LE(passes, passLimit + enemiesAtStart - gNumberOfUnit[enemy]);
    return 0;
}

// A key for the victory notice, should this turn win; whatever is left is dropped after the turn.
int playTurn(int player, SoakFigures* figures) {
    clearScript();
    script({keyEvent(SDLK_SPACE)});
    const int result = figures != nullptr ? checkedAiTurn(player, *figures) : aiPerformTurn(player);
    clearScript();
    return result;
}

struct GameOutcome {
    int turns = 0;
    int winner = 0;
    BoardSnapshot board;
    bool operator==(const GameOutcome&) const = default;
};

// Plays the board in memory to its end. With figures, every turn is first played as a checked turn, then
// again from the same board by aiPerformTurn, and the two must agree.
GameOutcome playGame(SoakFigures* figures) {
    GameOutcome outcome;
    for (int turn = 0; turn < kTurnLimit; ++turn) {
        const int player = 1 + turn % 2;
        int result = 0;
        if (figures != nullptr) {
            const BoardSnapshot before = takeBoardSnapshot();
            const int checked = playTurn(player, figures);
            const BoardSnapshot afterChecked = takeBoardSnapshot();
            restoreBoardSnapshot(before);
            result = playTurn(player, nullptr);
            EXPECT_EQ(result, checked) << "turn " << turn;
            EXPECT_TRUE(takeBoardSnapshot() == afterChecked)
                << "turn " << turn << " differs at " << differingHexes(afterChecked, takeBoardSnapshot());
            ++figures->turns;
        } else {
            result = playTurn(player, nullptr);
        }
        EXPECT_EQ(boardInvariantViolation(), "") << "after turn " << turn << " of player " << player;
        outcome.turns = turn + 1;
        if (result != 0) {
            EXPECT_EQ(result, kWinnerCodeBase + player) << "turn " << turn;
            EXPECT_EQ(gNumberOfUnit[aiEnemyOf(player)], 0) << "a win with enemy units left";
            outcome.winner = player;
            break;
        }
        addEndOfTurnActionPoint(player);
        EXPECT_EQ(boardInvariantViolation(), "") << "after the end of turn " << turn;
        if (testing::Test::HasFailure()) break;
    }
    outcome.board = takeBoardSnapshot();
    return outcome;
}

class AiSoakTest : public GameTest {};

TEST_F(AiSoakTest, TheComputerPlaysItselfSoundlyAndAlwaysAlike) {
    const int boards = static_cast<int>(environmentNumber("QORDA_SOAK_BOARDS", kDefaultBoards));
    const unsigned seed = static_cast<unsigned>(environmentNumber("QORDA_SOAK_SEED", kDefaultSeed));
    std::mt19937 random(seed);
    SoakFigures figures;
    for (int board = 0; board < boards && !HasFailure(); ++board) {
        makeRandomBoard(random);
        ASSERT_EQ(boardInvariantViolation(), "") << "board " << board;
        const BoardSnapshot start = takeBoardSnapshot();
        SCOPED_TRACE("board " + std::to_string(board) + " of seed " + std::to_string(seed) + ":\n" +
                     mapFileText());
        const GameOutcome outcome = playGame(&figures);
        ++figures.boards;
        ++figures.wins[outcome.winner];
        if (board % kReplayEvery == 0) {
            restoreBoardSnapshot(start);
            EXPECT_TRUE(playGame(nullptr) == outcome) << "the same board played a different game";
        }
    }
    // On a line of its own after the beeps of the destroyed units.
    std::printf(
        "\nai soak, seed %u: %d boards, %d turns; player 1 won %d, player 2 won %d, %d at the turn limit; "
        "%d units destroyed, %d moves refused on crossing routes\n",
        seed, figures.boards, figures.turns, figures.wins[1], figures.wins[2], figures.wins[0],
        figures.destroyed, figures.refusedCrossings);
}

}  // namespace
