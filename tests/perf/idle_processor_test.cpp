// How much processor the game takes while it waits for a key: the main menu, a match and the help match
// each wait for a few seconds with the real 50 ms polling interval, and the process's processor time over
// that span (user and system time of all its threads, as /proc/self/stat counts them, read at full
// resolution) is compared with the time that passed.
#include <time.h>

#include <cstdio>
#include <string>

#include "flow/program.h"
#include "render/window.h"
#include "support/game_test.h"

namespace {

constexpr double kPhaseSeconds = 2.0;
// In the dummy driver SDL looks at the event queue every millisecond while the game waits (about 2.5% of
// one core); the check leaves room for a loaded test machine. The game's own aim, 1%, is checked in a
// real window (tests/e2e).
constexpr double kLimitPercent = 10.0;

double secondsOf(clockid_t clock) {
    timespec now;
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// One stretch of waiting: the keys that lead into it, and what was measured.
struct Phase {
    const char* name;
    SDL_Keycode keys[3];  // handed out one per pass before the wait, up to the first 0
    double wallStart;
    double processorStart;
    double percent;
};

// The help match is reached through the menu: the match of two humans ends, then "5".
Phase gPhases[] = {
    {"main menu", {0}, 0, 0, 0},
    {"match of two humans", {SDLK_2, 0}, 0, 0, 0},
    {"help match", {SDLK_ESCAPE, SDLK_m, SDLK_5}, 0, 0, 0},
};
constexpr int kPhaseCount = sizeof gPhases / sizeof gPhases[0];
constexpr int kMaxPhaseKeys = sizeof gPhases[0].keys / sizeof gPhases[0].keys[0];
int gPhase = 0;
int gKey = 0;  // the next key of the phase
bool gWaiting = false;

void push(SDL_Event event) {
    SDL_PushEvent(&event);
}

// Called on every polling pass: hands out the keys that lead into a phase, then measures the phase's
// wait, then moves on.
void drivePhases() {
    if (gPhase == kPhaseCount) {
        push(quitEvent());
        return;
    }
    Phase& phase = gPhases[gPhase];
    if (!gWaiting) {
        if (gKey < kMaxPhaseKeys && phase.keys[gKey] != 0) {
            push(keyEvent(phase.keys[gKey++]));
            return;
        }
        // This pass is the first one of the wait: the screen is drawn and nothing more is pending.
        gWaiting = true;
        phase.wallStart = secondsOf(CLOCK_MONOTONIC);
        phase.processorStart = secondsOf(CLOCK_PROCESS_CPUTIME_ID);
        return;
    }
    const double wall = secondsOf(CLOCK_MONOTONIC) - phase.wallStart;
    if (wall < kPhaseSeconds) return;
    const double processor = secondsOf(CLOCK_PROCESS_CPUTIME_ID) - phase.processorStart;
    phase.percent = 100.0 * processor / wall;
    ++gPhase;
    gKey = 0;
    gWaiting = false;
    drivePhases();
}

using IdleProcessorTest = DataDirectoryTest;

TEST_F(IdleProcessorTest, WaitingForAKeyTakesAlmostNoProcessor) {
    gWaitPercent = 100;
    gBeforePoll = drivePhases;

    startCapturingStdout();
    const int status = SDL_main(0, nullptr);
    capturedStdout();

    gWaitPercent = 0;

    EXPECT_EQ(status, 0);
    ASSERT_EQ(gPhase, kPhaseCount) << "the program ended before every phase was measured";
    for (const Phase& phase : gPhases) {
        std::printf("processor while the %s waits: %.2f%% of one core\n", phase.name, phase.percent);
        ::testing::Test::RecordProperty(phase.name, std::to_string(phase.percent));
        EXPECT_LT(phase.percent, kLimitPercent) << phase.name;
        EXPECT_GT(phase.percent, 0.0) << phase.name << ": nothing was measured";
    }
}

}  // namespace
