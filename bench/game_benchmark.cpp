// What the game's own work costs, in SDL's dummy video driver with the software renderer: drawing the
// whole board and one hex, one polling pass of a match and of the help match, presenting the picture,
// the time from a key's arrival to the picture that shows it, loading and saving a full board's map
// file, and the start-up up to the first menu on the screen.
// Runs in a temporary copy of the game's data, since the save writes a map file.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>
#include <vector>

#include "flow/map_prompt.h"
#include "flow/match.h"
#include "flow/program.h"
#include "render/board_drawing.h"
#include "render/input.h"
#include "render/text.h"
#include "render/window.h"
#include "state/board.h"
#include "state/map_file.h"
#include "support/board_invariants.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kFullBoardName = "full";

// Set when a benchmark could not do its work, so that a short run in the test suite fails.
bool gFailed = false;

void fail(benchmark::State& state, const char* message) {
    gFailed = true;
    state.SkipWithError(message);
}

bool openWindow() {
    return init() == 0 && loadTiles() == 0 && loadFont() == 0;
}

// Renderers may queue their drawing until the picture is needed; the timings include the drawing itself.
void finishDrawing() {
    SDL_RenderFlush(gRenderer);
}

void pushEvent(SDL_Event event) {
    SDL_PushEvent(&event);
}

void pushQuit() {
    SDL_Event event = {};
    event.type = SDL_QUIT;
    pushEvent(event);
}

// The most the board ever holds: a unit on every hex with two-digit points, on ground tiles that are
// drawn over the base tile.
void makeFullBoard() {
    const char types[] = {'a', 'c', 's'};
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            const int hex = row * kBoardColumns + column;
            gMap[row][column] = static_cast<std::uint8_t>(1 + hex % 127);
            addUnit(row, column, types[hex % 3], 1 + hex % 2, 10, 12, 0, 0);
        }
    }
}

void BM_RenderMapFullBoard(benchmark::State& state) {
    makeFullBoard();
    for (auto _ : state) {
        renderMap();
        finishDrawing();
    }
}

// One hex repainted by the board's own operation, as moves and attacks do for each hex they change.
void BM_HexRepaint(benchmark::State& state) {
    makeFullBoard();
    for (auto _ : state) {
        addUnit(4, 8, 'c', 1, 10, 12, 0, 1);
        finishDrawing();
    }
}

// The unit of all board drawing: one 60 x 52 atlas cell blended onto the picture (a hex of plain ground is
// its base tile alone).
void BM_RenderTileGround(benchmark::State& state) {
    gMap[4][8] = 0;
    for (auto _ : state) {
        renderTile(4, 8);
        finishDrawing();
    }
}

// The picture copied to the window and shown after a change (one character cell).
void BM_PresentPicture(benchmark::State& state) {
    for (auto _ : state) {
        hideCharacter(kInfoLineX, kInfoLineY);
        presentPicture();
    }
}

// One polling pass of a waiting match (argument 0) or help match (1) in which nothing happens: with
// nothing changed, the pass neither draws nor presents.
benchmark::State* gPassState = nullptr;

void timePass() {
    if (!gPassState->KeepRunning()) pushQuit();
}

void BM_PollingPass(benchmark::State& state) {
    makeFullBoard();
    gPassState = &state;
    gBeforePoll = timePass;
    play(1, static_cast<int>(state.range(0)));
    gBeforePoll = nullptr;
}

// Every present of the game passes through here, so that the key-to-picture benchmark sees when the
// picture that shows a key reaches the window.
std::atomic<Clock::rep> gKeyArrival{0};  // when the pending key was queued; 0 when none is pending
std::vector<double> gKeyToPicture;       // milliseconds, one per key
int gPresentsWithoutKey = 0;

}  // namespace

extern "C" void SDL_RenderPresent(SDL_Renderer* renderer) {
    using Present = void (*)(SDL_Renderer*);
    static const auto present = reinterpret_cast<Present>(dlsym(RTLD_NEXT, "SDL_RenderPresent"));
    present(renderer);
    const Clock::rep arrival = gKeyArrival.exchange(0);
    if (arrival == 0) {
        ++gPresentsWithoutKey;
        return;
    }
    const Clock::duration elapsed = Clock::now().time_since_epoch() - Clock::duration(arrival);
    gKeyToPicture.push_back(std::chrono::duration<double, std::milli>(elapsed).count());
}

namespace {

// Queues the board cursor's keys (down, then up again) one at a time from a second thread, each at a
// random moment of the match's wait, as the window system queues a key, then closes the window.
void pressCursorKeys(int keys) {
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> pause(20, 120);
    for (int i = 0; i < keys; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
        SDL_Event key = {};
        key.type = SDL_KEYDOWN;
        key.key.state = SDL_PRESSED;
        key.key.keysym.sym = i % 2 == 0 ? SDLK_v : SDLK_g;
        gKeyArrival = Clock::now().time_since_epoch().count();
        pushEvent(key);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(pause.max()));
    pushQuit();
}

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5)];
}

// From a key's arrival while a match waits to the present that shows the cursor moved, with the real
// polling interval. Reports the median and 90th percentile of the keys; presents without a key would be
// passes that showed an unchanged picture.
void BM_KeyToPicture(benchmark::State& state) {
    const int keys = static_cast<int>(state.range(0));
    makeFullBoard();
    SDL_Event opened;
    while (pollEvent(opened)) continue;  // what the window system said when the window opened
    gWaitPercent = 100;
    for (auto _ : state) {
        gKeyToPicture.clear();
        gPresentsWithoutKey = -1;  // the match's first picture comes before any key
        std::thread presser(pressCursorKeys, keys);
        play(0, 0);
        presser.join();
    }
    gWaitPercent = 0;
    if (static_cast<int>(gKeyToPicture.size()) != keys) return fail(state, "a key was not shown");
    state.counters["median_ms"] = percentile(gKeyToPicture, 0.5);
    state.counters["p90_ms"] = percentile(gKeyToPicture, 0.9);
    state.counters["presents_without_key"] = gPresentsWithoutKey;
}

void BM_MapLoad(benchmark::State& state) {
    char name[kNameBufferSize] = {};
    std::strcpy(name, kFullBoardName);
    for (auto _ : state) {
        if (loadStatusMatrix(0, name) != 0) fail(state, "the map file cannot be read");
    }
}

// The save asks for the name; it is typed and confirmed in the first polling pass of the prompt.
void typeFullBoardName() {
    SDL_Event text = {};
    text.type = SDL_TEXTINPUT;
    std::strcpy(text.text.text, kFullBoardName);
    pushEvent(text);
    SDL_Event enter = {};
    enter.type = SDL_KEYDOWN;
    enter.key.state = SDL_PRESSED;
    enter.key.keysym.sym = SDLK_RETURN;
    pushEvent(enter);
}

// The whole save as the editor makes it: the prompt written and shown once, the file written, flushed
// to the disk and moved into place.
void BM_MapSave(benchmark::State& state) {
    makeFullBoard();
    char name[kNameBufferSize] = {};
    std::strcpy(name, kFullBoardName);
    gBeforePoll = typeFullBoardName;
    for (auto _ : state) {
        startInfoLine();
        if (saveStatusMatrix(name) != 0) fail(state, "the map file cannot be written");
    }
    gBeforePoll = nullptr;
}

// From nothing to the first menu shown: SDL_main starts SDL, opens the window, loads both atlases and
// the default map, draws the menu and presents it; the first polling pass stops the clock and closes the
// window.
Clock::time_point gFirstPoll;

void stopAtFirstPoll() {
    gFirstPoll = Clock::now();
    pushQuit();
}

void BM_StartUp(benchmark::State& state) {
    close();
    gBeforePoll = stopAtFirstPoll;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        SDL_main(0, nullptr);
        state.SetIterationTime(std::chrono::duration<double>(gFirstPoll - start).count());
    }
    gBeforePoll = nullptr;
    if (!openWindow()) fail(state, "cannot open the window again");
}

BENCHMARK(BM_RenderMapFullBoard)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HexRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderTileGround)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PresentPicture)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PollingPass)->ArgName("help")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeyToPicture)->Arg(40)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapLoad)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MapSave)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StartUp)->UseManualTime()->Unit(benchmark::kMillisecond);

// A fresh directory holding copies of the game's data files and the full board's map file.
bool makeWorkDirectory(fs::path& directory) {
    char pattern[] = "/tmp/qorda-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return false;
    directory = pattern;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(QORDA_DATA_DIR, error)) {
        if (entry.is_regular_file()) fs::copy_file(entry.path(), directory / entry.path().filename(), error);
    }
    if (error || chdir(directory.c_str()) != 0) return false;
    makeFullBoard();
    std::ofstream file("full.txt", std::ios::binary);
    file << mapFileText();
    file.close();
    return !file.fail();
}

}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_RENDER_DRIVER", "software", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    gWaitPercent = 0;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    fs::path directory;
    int status = 0;
    if (!makeWorkDirectory(directory)) {
        std::fprintf(stderr, "cannot make a working directory with the game's data\n");
        status = 1;
    } else if (!openWindow()) {
        std::fprintf(stderr, "cannot start the window in the dummy driver\n");
        status = 1;
    } else {
        benchmark::RunSpecifiedBenchmarks();
        if (gFailed) status = 1;
    }
    benchmark::Shutdown();
    close();
    std::error_code ignored;
    if (!directory.empty()) fs::remove_all(directory, ignored);
    return status;
}
