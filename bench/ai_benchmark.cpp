// How long the computer takes to think: one flood of a unit's costs, and the decisions of a whole turn on
// a full board with about twenty units per side and rocks, for the standard and the strong computer.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "ai/ai_turn.h"
#include "ai/strong_turn.h"
#include "render/input.h"
#include "render/window.h"
#include "state/board.h"
#include "support/board_invariants.h"

namespace {

BoardSnapshot gStartBoard;

// Set when a benchmark could not do its work, so that a short run in the test suite fails.
bool gFailed = false;

// The first unit of player 2 of the given type, in row-major order.
bool findUnit(char type, int& unitRow, int& unitColumn) {
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            if (gUnitOwner[row][column] == 2 && gUnitType[row][column] == type) {
                unitRow = row;
                unitColumn = column;
                return true;
            }
        }
    }
    return false;
}

// The computer's units (player 2) in board order, as aiPerformTurn lists them; returns how many.
int listComputerUnits(AiList& rows, AiList& columns) {
    int count = 0;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            if (gUnitOwner[row][column] != 2) continue;
            rows[count] = row;
            columns[count] = column;
            ++count;
        }
    }
    return count;
}

void floodOneUnit(benchmark::State& state, char type) {
    restoreBoardSnapshot(gStartBoard);
    int row = 0, column = 0;
    if (!findUnit(type, row, column)) {
        gFailed = true;
        state.SkipWithError("no such unit");
        return;
    }
    AiGrid attackCount, cost;
    AiStepGrid step;
    for (auto _ : state) {
        aiComputeMoveCostGrid(0, row, column, attackCount, cost, step);
        benchmark::DoNotOptimize(cost);
        benchmark::DoNotOptimize(attackCount);
        benchmark::ClobberMemory();
    }
}

void BM_MoveCostGridCavalry(benchmark::State& state) {
    floodOneUnit(state, 'c');
}
void BM_MoveCostGridShield(benchmark::State& state) {
    floodOneUnit(state, 's');
}
void BM_MoveCostGridArcher(benchmark::State& state) {
    floodOneUnit(state, 'a');
}

// The first pass of a turn on the full board: every computer unit evaluated once, then the acting unit's
// flood and instruction. Nothing is carried out, so this is the decision work alone.
void BM_FirstPassDecisions(benchmark::State& state) {
    restoreBoardSnapshot(gStartBoard);
    AiList rows, columns, targetRows, targetColumns, remainingHealth, planCost;
    AiGrid attackCount = {}, cost = {};
    AiStepGrid step = {};
    AiInstruction instruction = {};
    const int count = listComputerUnits(rows, columns);
    for (auto _ : state) {
        for (int k = 0; k < count; ++k) {
            aiComputeUnitOutput(k, rows, columns, targetRows, targetColumns, remainingHealth, planCost,
                                attackCount, cost, step);
        }
        const int acting = aiChooseActingUnit(count, rows, columns, remainingHealth, planCost);
        aiComputeMoveCostGrid(planCost[acting] >= kAiCrossingPenalty ? 1 : 0, rows[acting], columns[acting],
                              attackCount, cost, step);
        aiComputeActionInstruction(targetRows[acting], targetColumns[acting],
                                   gUnitActionPoint[rows[acting]][columns[acting]], attackCount, cost, step,
                                   instruction);
        benchmark::DoNotOptimize(instruction);
        benchmark::ClobberMemory();
    }
    state.counters["units"] = count;
}

// The decisions of a whole turn, all passes: every evaluation, the choice of the acting unit, its flood
// and its instruction. The board changes between passes exactly as in aiPerformTurn, through aiUseUnit,
// but carrying out the instruction (drawing, with no pauses) is left out of the time.
void BM_TurnDecisions(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    AiList rows, columns, targetRows, targetColumns, remainingHealth, planCost;
    AiGrid attackCount = {}, cost = {};
    AiStepGrid step = {};
    AiInstruction instruction = {};
    int passes = 0;
    for (auto _ : state) {
        restoreBoardSnapshot(gStartBoard);
        Clock::duration thinking{};
        int count = listComputerUnits(rows, columns);
        while (count != 0) {
            const Clock::time_point start = Clock::now();
            for (int k = 0; k < count; ++k) {
                aiComputeUnitOutput(k, rows, columns, targetRows, targetColumns, remainingHealth, planCost,
                                    attackCount, cost, step);
            }
            const int acting = aiChooseActingUnit(count, rows, columns, remainingHealth, planCost);
            const int actingRow = rows[acting];
            const int actingColumn = columns[acting];
            aiComputeMoveCostGrid(planCost[acting] >= kAiCrossingPenalty ? 1 : 0, actingRow, actingColumn,
                                  attackCount, cost, step);
            aiComputeActionInstruction(targetRows[acting], targetColumns[acting],
                                       gUnitActionPoint[actingRow][actingColumn], attackCount, cost, step,
                                       instruction);
            thinking += Clock::now() - start;
            ++passes;

            const int result = aiUseUnit(instruction);
            rows[acting] = instruction[2][0];
            columns[acting] = instruction[2][1];
            const bool acted = instruction[0][0] > 0 || instruction[0][1] > 0;
            if (result != 0 || !acted) {
                for (int k = acting + 1; k < count; ++k) {
                    rows[k - 1] = rows[k];
                    columns[k - 1] = columns[k];
                }
                --count;
            }
        }
        state.SetIterationTime(std::chrono::duration<double>(thinking).count());
    }
    state.counters["passes"] = benchmark::Counter(passes, benchmark::Counter::kAvgIterations);
}

// The whole aiPerformTurn as the game runs it, drawing included (software renderer, dummy video driver),
// pauses scaled to nothing.
void BM_WholeTurnWithDrawing(benchmark::State& state) {
    for (auto _ : state) {
        restoreBoardSnapshot(gStartBoard);
        benchmark::DoNotOptimize(aiPerformTurn(2));
    }
}

// The strong computer's plan of its whole turn on the full board; nothing is carried out.
void BM_StrongTurnPlan(benchmark::State& state) {
    restoreBoardSnapshot(gStartBoard);
    AiStrongPlan plan;
    for (auto _ : state) {
        aiPlanStrongTurn(2, plan);
        benchmark::DoNotOptimize(plan);
    }
    state.counters["actions"] = plan.count;
}

// The strong computer's whole turn as the game plays it, drawing included, pauses scaled to nothing.
void BM_StrongTurnWithDrawing(benchmark::State& state) {
    for (auto _ : state) {
        restoreBoardSnapshot(gStartBoard);
        benchmark::DoNotOptimize(aiPerformStrongTurn(2));
    }
}

BENCHMARK(BM_MoveCostGridCavalry);
BENCHMARK(BM_MoveCostGridShield);
BENCHMARK(BM_MoveCostGridArcher);
BENCHMARK(BM_FirstPassDecisions)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TurnDecisions)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WholeTurnWithDrawing)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StrongTurnPlan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StrongTurnWithDrawing)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_RENDER_DRIVER", "software", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    gWaitPercent = 0;
    if (chdir(QORDA_DATA_DIR) != 0 || init() != 0 || loadTiles() != 0 || loadFont() != 0) {
        std::fprintf(stderr, "cannot start the window in the dummy driver\n");
        return 1;
    }
    makeCrowdedBoard();
    gStartBoard = takeBoardSnapshot();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    close();
    return gFailed ? 1 : 0;
}
