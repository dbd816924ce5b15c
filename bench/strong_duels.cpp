// The strong computer against an opponent, the standard computer unless told: every board of the set
// played twice, the strong computer on each side once, as qorda-map's duel plays them (200 turns at most;
// a duel without a winner is not won). Prints a table of the results per board and side, the share of
// duels won with its 95 % interval, the score, and the time of each strong turn, without pauses and
// without drawing; or, with --row, only the line of the panel's table for this opponent (--header: the
// table's head). The goals the strong computer must reach live here, beside the figures they judge.
//
// The set: map01, HelpMap and mirrored boards laid out from a fixed sequence: the same units on both
// halves, player 1 with 7 action points and player 2 with 10, the health points the editor recommends,
// rocks alike on both halves.
//
// usage: strong_duels [--boards N] [--maps DIR] [--opponent NAME] [--crowded] [--row] [--header]
//   N mirrored boards, default 22; --maps writes each mirrored board to DIR as a map file,
//   mirrored-SEED.txt, for qorda-map; NAME is standard, pass, baseline, strong or program:COMMAND, a
//   player program run by /bin/sh; --crowded also times a few strong turns against the standard computer
//   on the crowded board of twenty units a side. A player program that loses its side by a fault fails
//   the run.
#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "ai/opponent.h"
#include "ai/player_program.h"
#include "ai/strong_turn.h"
#include "baseline/baseline_strong.h"
#include "platform/platform.h"
#include "render/input.h"
#include "rules/rules.h"
#include "state/board.h"
#include "state/map_file.h"
#include "support/board_invariants.h"

namespace {

constexpr int kTurnLimit = 200;
constexpr int kDefaultMirroredBoards = 22;
constexpr unsigned kFirstSeed = 101;
constexpr int kMostMirroredBoards = 300;
// Enough strong turns on the crowded board for a worst case, few enough for the suite.
constexpr int kCrowdedTurns = 8;
constexpr double kIntervalZ = 1.96;  // 95 %

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
    void add(double seconds) {
        ++turns;
        total += seconds;
        worst = std::max(worst, seconds);
    }
    double meanMilliseconds() const { return turns > 0 ? 1000 * total / turns : 0.0; }
};

// The strong computer's opponent: the standard computer, a side that always passes, the strong computer
// as it was before (the baseline), the strong computer itself, or a player program.
enum OpponentKind { kStandardOpponent, kPassOpponent, kBaselineOpponent, kStrongOpponent, kProgramOpponent };
const char* const kOpponentNames[] = {"standard", "pass", "baseline", "strong"};
constexpr char kProgramPrefix[] = "program:";

struct Opponent {
    OpponentKind kind = kStandardOpponent;
    std::string command;  // a program's
    std::string name;
};

bool opponentOfName(const char* name, Opponent& opponent) {
    opponent.name = name;
    if (std::strncmp(name, kProgramPrefix, std::strlen(kProgramPrefix)) == 0) {
        opponent.kind = kProgramOpponent;
        opponent.command = name + std::strlen(kProgramPrefix);
        // The panel's table names a program by its file, not its whole path.
        opponent.name = std::filesystem::path(opponent.command).filename().string();
        return !opponent.command.empty();
    }
    for (int k = 0; k < kProgramOpponent; ++k) {
        if (std::strcmp(name, kOpponentNames[k]) == 0) {
            opponent.kind = static_cast<OpponentKind>(k);
            return true;
        }
    }
    return false;
}

int playOpponentTurn(const Opponent& opponent, int player, int turn) {
    switch (opponent.kind) {
        case kStandardOpponent:
            return aiPerformOpponentTurn(kAiStandard, player);
        case kPassOpponent:
            return 0;
        case kBaselineOpponent:
            return baselinePerformStrongTurn(player);
        case kStrongOpponent:
            return aiPerformStrongTurn(player);
        case kProgramOpponent:
            return playPlayerProgramTurn(player, turn);
    }
    return 0;
}

// Duels a player program lost by a fault (an illegal line, a timeout, an early exit): a bug in it.
int gForfeits = 0;

// One duel from the board in memory; returns the winner, 0 for none, and the turns played.
int playDuel(int strongPlayer, const Opponent& opponent, int turnLimit, TurnTimes& times, int& played) {
    using Clock = std::chrono::steady_clock;
    aiStartStrongMatch(1);
    aiStartStrongMatch(2);
    for (played = 0; played < turnLimit;) {
        const int player = 1 + played % 2;
        int result;
        if (player == strongPlayer) {
            const Clock::time_point start = Clock::now();
            result = aiPerformStrongTurn(player);
            times.add(std::chrono::duration<double>(Clock::now() - start).count());
        } else {
            result = playOpponentTurn(opponent, player, played + 1);
        }
        ++played;
        if (result == kProgramForfeit) {
            ++gForfeits;
            std::fprintf(stderr, "%s lost its side in turn %d: %s\n", opponent.name.c_str(), played,
                         playerProgramFault(player));
            return strongPlayer;
        }
        if (isWinnerCode(result)) return winnerOfCode(result);
        addEndOfTurnActionPoint(player);
    }
    return 0;
}

// A duel with a player program starts the program and closes it at the end.
int playWholeDuel(int strongPlayer, const Opponent& opponent, TurnTimes& times, int& played) {
    const int programPlayer = 3 - strongPlayer;
    if (opponent.kind == kProgramOpponent && !startPlayerProgram(programPlayer, opponent.command.c_str())) {
        std::fprintf(stderr, "cannot start %s: %s\n", opponent.command.c_str(),
                     playerProgramFault(programPlayer));
        std::exit(1);
    }
    const int winner = playDuel(strongPlayer, opponent, kTurnLimit, times, played);
    if (opponent.kind == kProgramOpponent) stopPlayerProgram(programPlayer);
    return winner;
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

// The strong computer's results on one side.
struct Tally {
    int won = 0, lost = 0, drawn = 0;
    int duels() const { return won + lost + drawn; }
    void count(int winner, int strongPlayer) {
        won += winner == strongPlayer;
        lost += winner != 0 && winner != strongPlayer;
        drawn += winner == 0;
    }
    Tally operator+(const Tally& other) const {
        return {won + other.won, lost + other.lost, drawn + other.drawn};
    }
    std::string text() const {
        return std::to_string(won) + " / " + std::to_string(lost) + " / " + std::to_string(drawn);
    }
};

// A share with its 95 % Wilson score interval, as "97.1 % (93.3–98.8)". The score's interval takes it as
// a share of the duels; draws make the true interval narrower, so it errs on the safe side.
std::string shareWithInterval(double successes, int trials) {
    if (trials == 0) return "-";
    const double share = successes / trials;
    const double z2 = kIntervalZ * kIntervalZ;
    const double centre = (share + z2 / (2 * trials)) / (1 + z2 / trials);
    const double half = kIntervalZ / (1 + z2 / trials) *
                        std::sqrt(share * (1 - share) / trials + z2 / (4.0 * trials * trials));
    char text[64];
    std::snprintf(text, sizeof text, "%.1f %% (%.1f–%.1f)", 100 * share, 100 * (centre - half),
                  100 * (centre + half));
    return text;
}

double shareOf(double part, int whole) {
    return whole > 0 ? part / whole : 0.0;
}

// What the strong computer must reach against each opponent, judged on the shares as measured.
struct Goal {
    std::string text;
    bool met;
};

constexpr double kMostMeanMilliseconds = 100;
constexpr double kMostTurnMilliseconds = 300;

Goal resultGoal(OpponentKind kind, const Tally& all) {
    const int duels = all.duels();
    const double won = shareOf(all.won, duels);
    switch (kind) {
        case kPassOpponent:
            return {"won ≥ 98 %", won >= 0.98};
        case kStandardOpponent:
            return {"won ≥ 97 %", won >= 0.97};
        case kBaselineOpponent:
            return {"score ≥ 75 %", shareOf(all.won + 0.5 * all.drawn, duels) >= 0.75};
        case kStrongOpponent:
            return {"with a winner ≥ 80 %", shareOf(all.won + all.lost, duels) >= 0.80};
        case kProgramOpponent:
            return {"won ≥ 80 %", won >= 0.80};
    }
    return {"", false};
}

bool timeGoalMet(double worstBoardMean, const TurnTimes& times) {
    return worstBoardMean <= kMostMeanMilliseconds / 1000 && times.worst <= kMostTurnMilliseconds / 1000;
}

const char* mark(bool met) {
    return met ? "✓" : "✗";
}

void printTableHead() {
    std::printf(
        "| Opponent | Strong as player 1 (won / lost / no winner) | Strong as player 2 | Won (95 %% "
        "interval) "
        "| Score (95 %% interval) | Duels with a winner | ms per strong turn: mean / worst board's mean / "
        "worst | Goals (time: mean ≤ %.0f ms on every board, worst ≤ %.0f ms) |\n"
        "|---|---|---|---|---|---|---|---|\n",
        kMostMeanMilliseconds, kMostTurnMilliseconds);
}

void printTableRow(const std::string& opponent, const Tally side[3], const TurnTimes& times,
                   double worstBoardMean, const Goal& goal) {
    const Tally all = side[1] + side[2];
    const int duels = all.duels();
    std::printf(
        "| %s | %s | %s | %s | %s | %.1f %% | %.1f / %.1f / %.1f | %s %s, time %s |\n", opponent.c_str(),
        side[1].text().c_str(), side[2].text().c_str(), shareWithInterval(all.won, duels).c_str(),
        shareWithInterval(all.won + 0.5 * all.drawn, duels).c_str(), 100 * shareOf(all.won + all.lost, duels),
        times.meanMilliseconds(), 1000 * worstBoardMean, 1000 * times.worst, goal.text.c_str(),
        mark(goal.met), mark(timeGoalMet(worstBoardMean, times)));
}

// A few turns of play on the crowded board, the strong computer on each side once against the standard
// computer: what a strong turn costs when every unit has company.
TurnTimes timeCrowdedBoard() {
    TurnTimes times;
    Opponent standard;
    for (int strongPlayer = 1; strongPlayer <= 2; ++strongPlayer) {
        makeCrowdedBoard();
        int played = 0;
        playDuel(strongPlayer, standard, kCrowdedTurns, times, played);
    }
    return times;
}

struct Options {
    int mirrored = kDefaultMirroredBoards;
    std::string maps;
    Opponent opponent;
    bool crowded = false;
    bool row = false;
    bool head = false;
};

bool readOptions(int argc, char** argv, Options& options) {
    options.opponent.name = kOpponentNames[kStandardOpponent];
    for (int i = 1; i < argc; ++i) {
        const bool valued = i + 1 < argc;
        if (std::strcmp(argv[i], "--crowded") == 0) {
            options.crowded = true;
        } else if (std::strcmp(argv[i], "--row") == 0) {
            options.row = true;
        } else if (std::strcmp(argv[i], "--header") == 0) {
            options.head = true;
        } else if (valued && std::strcmp(argv[i], "--opponent") == 0) {
            if (!opponentOfName(argv[++i], options.opponent)) return false;
        } else if (valued && std::strcmp(argv[i], "--boards") == 0) {
            options.mirrored = std::atoi(argv[++i]);
        } else if (valued && std::strcmp(argv[i], "--maps") == 0) {
            options.maps = std::filesystem::absolute(argv[++i]).string();
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!readOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: strong_duels [--boards N] [--maps DIR] [--crowded] [--row] [--header]\n"
                     "                    [--opponent standard|pass|baseline|strong|program:COMMAND]\n");
        return 2;
    }
    if (options.head) {
        printTableHead();
        return 0;
    }
    if (options.mirrored > kMostMirroredBoards) {
        std::fprintf(stderr, "at most %d mirrored boards\n", kMostMirroredBoards);
        return 2;
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
    for (int k = 0; k < options.mirrored; ++k) {
        const unsigned seed = kFirstSeed + static_cast<unsigned>(k);
        makeMirroredBoard(seed);
        if (!options.maps.empty())
            std::ofstream(options.maps + "/mirrored-" + std::to_string(seed) + ".txt") << mapFileText();
        boards[boardCount++] = {"mirrored, seed " + std::to_string(seed), takeBoardSnapshot()};
    }

    const int output = silenceStream(stdout);  // the beeps of falling units
    std::string table =
        "| Board | Units a side | Strong as player 1 | Strong as player 2 |\n|---|---|---|---|\n";
    TurnTimes times;
    Tally side[3];
    double worstBoardMean = 0;
    std::string worstBoard;
    for (int b = 0; b < boardCount; ++b) {
        std::string row = "| " + boards[b].name + " | " + std::to_string(boards[b].start.count[1]) + " / " +
                          std::to_string(boards[b].start.count[2]);
        TurnTimes boardTimes;
        for (int strongPlayer = 1; strongPlayer <= 2; ++strongPlayer) {
            restoreBoardSnapshot(boards[b].start);
            int played = 0;
            const int winner = playWholeDuel(strongPlayer, options.opponent, boardTimes, played);
            side[strongPlayer].count(winner, strongPlayer);
            row += " | " + outcome(winner, strongPlayer, played);
        }
        table += row + " |\n";
        times.turns += boardTimes.turns;
        times.total += boardTimes.total;
        times.worst = std::max(times.worst, boardTimes.worst);
        if (boardTimes.meanMilliseconds() > 1000 * worstBoardMean) {
            worstBoardMean = boardTimes.meanMilliseconds() / 1000;
            worstBoard = boards[b].name;
        }
    }
    const TurnTimes crowded = options.crowded ? timeCrowdedBoard() : TurnTimes();
    restoreStream(stdout, output);
    SDL_Quit();

    const Tally all = side[1] + side[2];
    if (options.row) {
        printTableRow(options.opponent.name, side, times, worstBoardMean,
                      resultGoal(options.opponent.kind, all));
        if (options.crowded) {
            std::printf(
                "| crowded board, %d strong turns against standard | | | | | | %.1f / %.1f / %.1f | time %s "
                "|\n",
                crowded.turns, crowded.meanMilliseconds(), crowded.meanMilliseconds(), 1000 * crowded.worst,
                mark(timeGoalMet(crowded.total / std::max(crowded.turns, 1), crowded)));
        }
        return gForfeits == 0 ? 0 : 1;
    }
    const int duels = all.duels();
    std::printf("%s\n", table.c_str());
    std::printf("strong computer won %d of %d duels (%.1f %%)\n", all.won, duels, 100.0 * all.won / duels);
    std::printf("no winner in %d, score %.1f %%\n", all.drawn, 100.0 * (all.won + 0.5 * all.drawn) / duels);
    std::printf("strong turns: %d, mean %.2f ms, worst %.2f ms\n", times.turns, times.meanMilliseconds(),
                1000 * times.worst);
    std::printf("\nwon / lost / no winner: as player 1 %s, as player 2 %s, in all %s\n",
                side[1].text().c_str(), side[2].text().c_str(), all.text().c_str());
    std::printf("won %s, score %s, duels with a winner %.1f %%\n", shareWithInterval(all.won, duels).c_str(),
                shareWithInterval(all.won + 0.5 * all.drawn, duels).c_str(),
                100 * shareOf(all.won + all.lost, duels));
    std::printf("worst board's mean %.2f ms (%s)\n", 1000 * worstBoardMean, worstBoard.c_str());
    if (options.crowded) {
        std::printf(
            "crowded board, %d strong turns against the standard computer: mean %.2f ms, worst %.2f ms\n",
            crowded.turns, crowded.meanMilliseconds(), 1000 * crowded.worst);
    }
    if (gForfeits > 0)
        std::printf("%s lost its side by a fault in %d duels\n", options.opponent.name.c_str(), gForfeits);
    return gForfeits == 0 ? 0 : 1;
}
