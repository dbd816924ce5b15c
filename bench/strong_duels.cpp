// The strong computer against the standard one: every board of the set played twice, the strong computer
// on each side once, as qorda-map's duel plays them (200 turns at most; a duel without a winner is not
// won). Prints a table of the results per board and side, the share of duels won and the time of each
// strong turn, without pauses and without drawing.
//
// The set: map01, HelpMap and mirrored boards laid out from a fixed sequence: the same units on both
// halves, player 1 with 7 action points and player 2 with 10, the health points the editor recommends,
// rocks alike on both halves.
//
// usage: strong_duels [--boards N] [--maps DIR]   (N mirrored boards, default 22; --maps writes each
// mirrored board to DIR as a map file, mirrored-SEED.txt, for qorda-map)
#include <SDL.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "ai/opponent.h"
#include "ai/strong_turn.h"
#include "baseline/baseline_strong.h"
#include "render/console.h"
#include "render/input.h"
#include "rules/rules.h"
#include "state/board.h"
#include "state/map_file.h"
#include "support/board_invariants.h"

namespace {

constexpr int kTurnLimit = 200;
constexpr int kDefaultMirroredBoards = 22;
constexpr unsigned kFirstSeed = 101;
constexpr int kMostMirroredBoards = 100;

int recommendedHealth(char type) {
    return type == 'a' ? 2 : type == 'c' ? 5 : 8;
}

// Player 1's units in the left five columns, mirrored on the right for player 2; rocks on about one hex
// in eight, mirrored too, never on a unit.
void makeMirroredBoard(unsigned seed) {
    clearStatusMatrix();
    BoardSequence sequence(seed);
    const int units = 4 + sequence.next(6);
    for (int placed = 0; placed < units;) {
        const int row = sequence.next(kBoardRows);
        const int column = sequence.next(5);
        if (gUnitOwner[row][column] != 0) continue;
        const char type = "acs"[sequence.next(3)];
        addUnit(row, column, type, 1, 7, recommendedHealth(type), false, false);
        addUnit(row, kBoardColumns - 1 - column, type, 2, 10, recommendedHealth(type), false, false);
        ++placed;
    }
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column <= kBoardColumns / 2; ++column) {
            const int mirror = kBoardColumns - 1 - column;
            if (sequence.next(8) != 0 || gUnitOwner[row][column] != 0 || gUnitOwner[row][mirror] != 0)
                continue;
            gMap[row][column] = gMap[row][mirror] = kObstacleTileBit | 5;
        }
    }
}

struct TurnTimes {
    int turns = 0;
    double total = 0;
    double worst = 0;
};

// The strong computer's opponent: the standard computer, a side that always passes, the strong computer
// as it was before (the baseline), or the strong computer itself.
enum Opponent { kStandardOpponent, kPassOpponent, kBaselineOpponent, kStrongOpponent };

bool opponentOfName(const char* name, Opponent& opponent) {
    const char* names[] = {"standard", "pass", "baseline", "strong"};
    for (int k = 0; k < 4; ++k) {
        if (std::strcmp(name, names[k]) == 0) {
            opponent = static_cast<Opponent>(k);
            return true;
        }
    }
    return false;
}

int playOpponentTurn(Opponent opponent, int player) {
    switch (opponent) {
        case kStandardOpponent:
            return aiPerformOpponentTurn(kAiStandard, player);
        case kPassOpponent:
            return 0;
        case kBaselineOpponent:
            return baselinePerformStrongTurn(player);
        case kStrongOpponent:
            return aiPerformStrongTurn(player);
    }
    return 0;
}

// One duel from the board in memory; returns the winner, 0 for none, and the turns played.
int playDuel(int strongPlayer, Opponent opponent, TurnTimes& times, int& played) {
    using Clock = std::chrono::steady_clock;
    for (played = 0; played < kTurnLimit;) {
        const int player = 1 + played % 2;
        int result;
        if (player == strongPlayer) {
            const Clock::time_point start = Clock::now();
            result = aiPerformStrongTurn(player);
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            ++times.turns;
            times.total += seconds;
            if (seconds > times.worst) times.worst = seconds;
        } else {
            result = playOpponentTurn(opponent, player);
        }
        ++played;
        if (isWinnerCode(result)) return winnerOfCode(result);
        addEndOfTurnActionPoint(player);
    }
    return 0;
}

// The victory notice waits for a key; the duel presses one.
void pressAKey() {
    SDL_Event key = {};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_SPACE;
    SDL_PushEvent(&key);
}

struct Board {
    std::string name;
    BoardSnapshot start;
};

std::string outcome(int winner, int strongPlayer, int played) {
    if (winner == 0) return "no winner after " + std::to_string(played);
    return std::string(winner == strongPlayer ? "won" : "lost") + " in " + std::to_string(played);
}

}  // namespace

int main(int argc, char** argv) {
    int mirrored = kDefaultMirroredBoards;
    std::string maps;
    Opponent opponent = kStandardOpponent;
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 < argc && std::strcmp(argv[i], "--opponent") == 0 &&
            opponentOfName(argv[i + 1], opponent)) {
            continue;
        } else if (i + 1 < argc && std::strcmp(argv[i], "--boards") == 0) {
            mirrored = std::atoi(argv[i + 1]);
        } else if (i + 1 < argc && std::strcmp(argv[i], "--maps") == 0) {
            maps = std::filesystem::absolute(argv[i + 1]).string();
        } else {
            std::fprintf(
                stderr,
                "usage: strong_duels [--boards N] [--maps DIR] [--opponent standard|pass|baseline|strong]\n");
            return 2;
        }
    }
    if (chdir(QORDA_DATA_DIR) != 0 || SDL_Init(SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "cannot start in %s\n", QORDA_DATA_DIR);
        return 1;
    }
    gWaitPercent = 0;
    gBeforePoll = pressAKey;

    static Board boards[2 + kMostMirroredBoards];
    int boardCount = 0;
    for (const char* map : {"map01", "HelpMap"}) {
        if (!loadMapFile((std::string(map) + ".txt").c_str())) return 1;
        boards[boardCount++] = {map, takeBoardSnapshot()};
    }
    for (int k = 0; k < mirrored && k < kMostMirroredBoards; ++k) {
        const unsigned seed = kFirstSeed + static_cast<unsigned>(k);
        makeMirroredBoard(seed);
        if (!maps.empty())
            std::ofstream(maps + "/mirrored-" + std::to_string(seed) + ".txt") << mapFileText();
        boards[boardCount++] = {"mirrored, seed " + std::to_string(kFirstSeed + static_cast<unsigned>(k)),
                                takeBoardSnapshot()};
    }

    std::fflush(stdout);
    const int output = silenceDescriptor(STDOUT_FILENO);  // the beeps of falling units
    std::string table =
        "| Board | Units a side | Strong as player 1 | Strong as player 2 |\n|---|---|---|---|\n";
    TurnTimes times;
    int won = 0, drawn = 0;
    for (int b = 0; b < boardCount; ++b) {
        std::string row = "| " + boards[b].name + " | " + std::to_string(boards[b].start.count[1]) + " / " +
                          std::to_string(boards[b].start.count[2]);
        for (int strongPlayer = 1; strongPlayer <= 2; ++strongPlayer) {
            restoreBoardSnapshot(boards[b].start);
            int played = 0;
            const int winner = playDuel(strongPlayer, opponent, times, played);
            won += winner == strongPlayer;
            drawn += winner == 0;
            row += " | " + outcome(winner, strongPlayer, played);
        }
        table += row + " |\n";
    }
    std::fflush(stdout);
    restoreDescriptor(STDOUT_FILENO, output);
    SDL_Quit();

    std::printf("%s\n", table.c_str());
    std::printf("strong computer won %d of %d duels (%.1f %%)\n", won, 2 * boardCount,
                100.0 * won / (2 * boardCount));
    std::printf("no winner in %d, score %.1f %%\n", drawn, 100.0 * (won + 0.5 * drawn) / (2 * boardCount));
    std::printf("strong turns: %d, mean %.2f ms, worst %.2f ms\n", times.turns,
                times.turns > 0 ? 1000 * times.total / times.turns : 0.0, 1000 * times.worst);
    return 0;
}
