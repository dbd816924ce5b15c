// Nothing is allocated during play: every heap allocation made while the real loops run a scripted game
// is caught and traced back to whoever asked for it.
//
// How allocations are caught: this test program replaces the C library's allocation functions (malloc,
// calloc, realloc and the aligned forms) with ones that note the call and hand it on to the C library's
// own allocator. Everything that takes memory from the heap passes through them: the C++ operator new
// (it calls malloc), the C library itself (fopen, the stdio buffers), SDL and the image libraries.
//
// Whose allocation it is: each noted call records its call stack. The stack is read from the allocation
// outwards to the first frame in this program, that is in the game's code (the game's library is linked
// into the program; the test's own code that runs during play, the event feeder below, allocates
// nothing). If no library frame lies between the two, the game called the allocator itself; otherwise
// the outermost library frame names the library that the game called:
//   - the C++ runtime or the C library: an allocation that the game asked for (operator new from a
//     std::string, fopen, printf's buffer): the game's own, and there must be none;
//   - SDL and the libraries under it: SDL's own business inside SDL_PollEvent, SDL_RenderPresent and the
//     like, which the game cannot avoid; counted and reported, not failed.
//
// Allocations beyond the first 256 of a scripted game are not traced and count against the game. A
// sanitizer build replaces the allocator itself, so there the test is skipped.
#include <dlfcn.h>
#include <execinfo.h>
#include <pthread.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "ai/opponent.h"
#include "flow/map_prompt.h"
#include "flow/match.h"
#include "flow/program.h"
#include "render/window.h"
#include "state/board.h"
#include "state/map_file.h"
#include "support/game_test.h"

#if defined(__SANITIZE_ADDRESS__)
#define QORDA_SANITIZER_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || __has_feature(thread_sanitizer)
#define QORDA_SANITIZER_ALLOCATOR 1
#endif
#endif

namespace fs = std::filesystem;

namespace {

constexpr int kMaxFrames = 32;
constexpr int kMaxRecorded = 256;

// One noted allocation: its direct caller and its call stack.
struct Recorded {
    void* caller;
    void* frames[kMaxFrames];
    int frameCount;
};

bool gRecording = false;
bool gNoting = false;  // set while an allocation is being noted, so that backtrace's own needs pass
pthread_t gRecordingThread;
int gAllocationCount = 0;
Recorded gRecorded[kMaxRecorded];

void noteAllocation(void* caller) {
    if (!gRecording || gNoting || !pthread_equal(pthread_self(), gRecordingThread)) return;
    gNoting = true;
    if (gAllocationCount < kMaxRecorded) {
        Recorded& recorded = gRecorded[gAllocationCount];
        recorded.caller = caller;
        recorded.frameCount = backtrace(recorded.frames, kMaxFrames);
    }
    ++gAllocationCount;
    gNoting = false;
}

}  // namespace

#ifndef QORDA_SANITIZER_ALLOCATOR
// The C library's own allocator, under the names that glibc exports for programs that replace malloc.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void* __libc_valloc(size_t size);
void* __libc_pvalloc(size_t size);
void __libc_free(void* pointer);

void* malloc(size_t size) noexcept {
    noteAllocation(__builtin_return_address(0));
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) noexcept {
    noteAllocation(__builtin_return_address(0));
    return __libc_calloc(count, size);
}

// Counted whether or not the block moves: a realloc may always take memory.
void* realloc(void* pointer, size_t size) noexcept {
    noteAllocation(__builtin_return_address(0));
    return __libc_realloc(pointer, size);
}

void free(void* pointer) noexcept {
    __libc_free(pointer);
}

void* memalign(size_t alignment, size_t size) noexcept {
    noteAllocation(__builtin_return_address(0));
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) noexcept {
    noteAllocation(__builtin_return_address(0));
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** result, size_t alignment, size_t size) noexcept {
    noteAllocation(__builtin_return_address(0));
    void* pointer = __libc_memalign(alignment, size);
    if (pointer == nullptr) return ENOMEM;
    *result = pointer;
    return 0;
}

void* valloc(size_t size) noexcept {
    noteAllocation(__builtin_return_address(0));
    return __libc_valloc(size);
}

void* pvalloc(size_t size) noexcept {
    noteAllocation(__builtin_return_address(0));
    return __libc_pvalloc(size);
}
}
#endif

namespace {

// The file that holds the code at an address: this program, or a shared library.
const char* objectOf(void* address, void** base) {
    Dl_info info;
    if (dladdr(address, &info) == 0) {
        *base = nullptr;
        return "?";
    }
    *base = info.dli_fbase;
    return info.dli_fname;
}

bool isInProgram(void* address) {
    static void* const programBase = [] {
        void* base;
        objectOf(reinterpret_cast<void*>(&noteAllocation), &base);
        return base;
    }();
    void* base;
    objectOf(address, &base);
    return base == programBase;
}

bool isRuntimeLibrary(const std::string& path) {
    const std::string name = fs::path(path).filename().string();
    return name.rfind("libc.so", 0) == 0 || name.rfind("libstdc++.so", 0) == 0 ||
           name.rfind("libgcc_s.so", 0) == 0 || name.rfind("libm.so", 0) == 0;
}

// What the allocations noted since startRecording were for.
struct Attribution {
    int game = 0;       // asked for by the game's code, directly or through the C or C++ runtime
    int libraries = 0;  // made by SDL or the libraries under it for their own purposes
    std::string report;
};

// A readable call stack of one noted allocation, for the failure message.
std::string describe(const Recorded& recorded) {
    std::string text;
    char** symbols = backtrace_symbols(recorded.frames, recorded.frameCount);
    for (int frame = 0; frame < recorded.frameCount; ++frame) {
        text += "      ";
        text += symbols != nullptr ? symbols[frame] : "?";
        text += '\n';
    }
    std::free(symbols);
    return text;
}

Attribution attribute() {
    Attribution result;
    const int recordedCount = gAllocationCount < kMaxRecorded ? gAllocationCount : kMaxRecorded;
    for (int index = 0; index < recordedCount; ++index) {
        const Recorded& recorded = gRecorded[index];
        // The stack from the direct caller outwards; the frames inside the noting itself come first.
        int first = 0;
        while (first < recorded.frameCount && recorded.frames[first] != recorded.caller) ++first;
        std::string library;  // the outermost library frame before the game's code, if any
        for (int frame = first; frame < recorded.frameCount && !isInProgram(recorded.frames[frame]);
             ++frame) {
            void* base;
            library = objectOf(recorded.frames[frame], &base);
        }
        const bool games = library.empty() || isRuntimeLibrary(library);
        (games ? result.game : result.libraries) += 1;
        if (games) {
            result.report += "  allocation " + std::to_string(index + 1) + " by the game" +
                             (library.empty() ? "" : " through " + library) + ":\n" + describe(recorded);
        }
    }
    if (gAllocationCount > kMaxRecorded) {
        result.game += gAllocationCount - kMaxRecorded;  // unexamined: counted against the game
        result.report += "  and " + std::to_string(gAllocationCount - kMaxRecorded) + " more, not traced\n";
    }
    return result;
}

void startRecording() {
    gAllocationCount = 0;
    gRecordingThread = pthread_self();
    gRecording = true;
}

void stopRecording() {
    gRecording = false;
}

// Scripted input that allocates nothing: one key (or none) per polling pass from a fixed list, then a
// quit event on every pass. Unless it was started before, recording starts at the first pass, after
// start-up; it stops when the key marked as the end of play is due.
constexpr SDL_Keycode kIdlePass = 0;
const SDL_Keycode* gKeys = nullptr;
int gKeyCount = 0;
int gNextKey = 0;
int gLastPlayedKey = 0;  // recording stops before this key is handed out

void pushEvent(SDL_Event event) {
    SDL_PushEvent(&event);
}

void feedKeys() {
    if (gNextKey == 0 && !gRecording) startRecording();
    if (gNextKey == gLastPlayedKey) stopRecording();
    if (gNextKey >= gKeyCount) {
        pushEvent(quitEvent());
        return;
    }
    const SDL_Keycode key = gKeys[gNextKey++];
    if (key != kIdlePass) pushEvent(keyEvent(key));
}

template <int kCount>
void playKeys(const SDL_Keycode (&keys)[kCount], int lastPlayedKey = kCount) {
    gKeys = keys;
    gKeyCount = kCount;
    gNextKey = 0;
    gLastPlayedKey = lastPlayedKey;
    gBeforePoll = feedKeys;
}

// backtrace loads its unwinder on first use; that must happen before anything is recorded.
void readyBacktrace() {
    void* frames[4];
    backtrace(frames, 4);
}

std::string tileBlock(int rockRow, int rockColumn) {
    std::string tiles;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            tiles += row == rockRow && column == rockColumn ? "133," : "0,";
        }
        tiles += '\n';
    }
    return tiles;
}

// Player 1: a Cavalry under the cursor's start and an Archer beside it; player 2: a weak Shield in the
// Cavalry's way, an Archer inside the Archer's ring and a Cavalry far away, which the computer moves.
const char* const kMatchUnits =
    "0,0,c,1,10,9\n"
    "3,0,s,2,10,2\n"
    "4,1,a,1,10,9\n"
    "4,3,a,2,10,3\n"
    "9,16,c,2,10,5\n";

const SDL_Keycode kMenuAndMatch[] = {
    // The menu waits, then plays against the computer on the map just loaded.
    kIdlePass, kIdlePass, kIdlePass, SDLK_1,
    // Cursor: refused off the board, then round to the Cavalry.
    kIdlePass, SDLK_f, SDLK_b, SDLK_c, SDLK_g,
    // The Cavalry walks down, hits the Shield twice (it disappears with a beep), walks on until its
    // action points run out, and is let go.
    SDLK_RETURN, SDLK_v, SDLK_v, SDLK_v, SDLK_v, SDLK_v, SDLK_v, SDLK_v, SDLK_ESCAPE,
    // To the Archer: target, shoot, walk the ring, shoot at nothing, leave the ring and the Archer.
    SDLK_b, SDLK_RETURN, SDLK_SPACE, SDLK_RETURN, SDLK_g, SDLK_RETURN, SDLK_h, SDLK_v, SDLK_b, SDLK_ESCAPE,
    SDLK_ESCAPE,
    // End of turn: asked and cancelled, asked and confirmed; the computer plays its whole turn.
    SDLK_ESCAPE, SDLK_ESCAPE, SDLK_ESCAPE, SDLK_RETURN, kIdlePass, SDLK_g, SDLK_v,
    // Back to the menu, which waits again; then Exit.
    SDLK_ESCAPE, SDLK_m, kIdlePass, kIdlePass, SDLK_6};
constexpr int kExitKey = sizeof kMenuAndMatch / sizeof kMenuAndMatch[0] - 1;

class AllocationTest : public DataDirectoryTest {
   protected:
    void SetUp() override {
#ifdef QORDA_SANITIZER_ALLOCATOR
        GTEST_SKIP() << "the sanitizer replaces the allocator";
#endif
        readyBacktrace();
        DataDirectoryTest::SetUp();
    }
    void TearDown() override {
        stopRecording();
        DataDirectoryTest::TearDown();
    }
};

TEST_F(AllocationTest, MenuAndAMatchAgainstTheComputerAllocateNothing) {
    std::ofstream(workDirectory / "map01.txt") << tileBlock(6, 8) << kMatchUnits;
    playKeys(kMenuAndMatch, kExitKey);
    startCapturingStdout();
    ASSERT_EQ(SDL_main(0, nullptr), 0);
    capturedStdout();

    EXPECT_EQ(gNextKey, kExitKey + 1) << "the script did not run to its end";
    EXPECT_EQ(gNumberOfUnit[2], 2) << "the Shield was not destroyed";
    EXPECT_LT(gUnitHealthPoint[4][1], 9) << "the computer did not shoot at the Archer";
    EXPECT_EQ(gUnitOwner[9][16], 0) << "the computer's Cavalry did not move";
    const Attribution attribution = attribute();
    EXPECT_EQ(attribution.game, 0) << attribution.report;
    std::printf("allocations during play: %d by the game, %d inside SDL and its libraries\n",
                attribution.game, attribution.libraries);
}

// The same game against the strong computer, chosen on the command line: its plan of the whole turn
// lives in fixed storage too.
TEST_F(AllocationTest, AMatchAgainstTheStrongComputerAllocatesNothing) {
    std::ofstream(workDirectory / "map01.txt") << tileBlock(6, 8) << kMatchUnits;
    playKeys(kMenuAndMatch, kExitKey);
    char program[] = "qorda", option[] = "--opponent", strong[] = "strong";
    char* arguments[] = {program, option, strong, nullptr};
    startCapturingStdout();
    ASSERT_EQ(SDL_main(3, arguments), 0);
    capturedStdout();
    gAiOpponent = kAiStandard;

    EXPECT_EQ(gNextKey, kExitKey + 1) << "the script did not run to its end";
    EXPECT_TRUE(gUnitOwner[4][3] != 2 || gUnitOwner[9][16] != 2 || gUnitHealthPoint[4][1] < 9)
        << "the strong computer neither moved nor shot";
    const Attribution attribution = attribute();
    EXPECT_EQ(attribution.game, 0) << attribution.report;
    std::printf("allocations during play against the strong computer: %d by the game, %d inside SDL\n",
                attribution.game, attribution.libraries);
}

// The help match, with its text drawn on every pass, and a match that is won.
TEST_F(AllocationTest, HelpMatchAndAWonMatchAllocateNothing) {
    ASSERT_EQ(init(), 0);
    ASSERT_EQ(loadTiles(), 0);
    ASSERT_EQ(loadFont(), 0);

    ASSERT_EQ(addUnit(8, 0, 'a', 1, 10, 2, 0, 0), 0);
    ASSERT_EQ(addUnit(2, 2, 's', 2, 10, 8, 0, 0), 0);
    const SDL_Keycode help[] = {kIdlePass,   SDLK_v, SDLK_RETURN, SDLK_RETURN, SDLK_ESCAPE,
                                SDLK_ESCAPE, SDLK_h, SDLK_ESCAPE, SDLK_m};
    playKeys(help);
    startRecording();
    EXPECT_EQ(play(1, 1), 0);
    stopRecording();
    const Attribution helpMatch = attribute();

    emptyBoard();
    ASSERT_EQ(addUnit(0, 0, 'c', 1, 10, 5, 0, 0), 0);
    ASSERT_EQ(addUnit(1, 0, 's', 2, 10, 1, 0, 0), 0);
    const SDL_Keycode won[] = {kIdlePass, SDLK_RETURN, SDLK_v, kIdlePass, SDLK_x};
    playKeys(won);
    startCapturingStdout();
    startRecording();
    EXPECT_EQ(play(0, 0), 11);
    stopRecording();
    capturedStdout();
    const Attribution wonMatch = attribute();
    close();

    EXPECT_EQ(helpMatch.game, 0) << helpMatch.report;
    EXPECT_EQ(wonMatch.game, 0) << wonMatch.report;
    std::printf(
        "allocations during play: help match %d by the game, %d inside SDL; won match %d by the "
        "game, %d inside SDL\n",
        helpMatch.game, helpMatch.libraries, wonMatch.game, wonMatch.libraries);
}

// The attribution works both ways: a map load, which opens a file, is the game's; a surface that SDL
// makes is SDL's.
TEST_F(AllocationTest, AllocationsAreSeenAndBlamedOnWhoeverAskedForThem) {
    char name[kNameBufferSize] = "map01";
    startRecording();
    ASSERT_EQ(loadStatusMatrix(0, name), 0);
    stopRecording();
    const Attribution load = attribute();
    EXPECT_GE(load.game, 1) << "fopen alone takes memory for its stream";
    EXPECT_EQ(load.libraries, 0);

    startRecording();
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 16, 16, 32, SDL_PIXELFORMAT_ARGB8888);
    stopRecording();
    ASSERT_NE(surface, nullptr);
    SDL_FreeSurface(surface);
    const Attribution sdl = attribute();
    EXPECT_EQ(sdl.game, 0) << sdl.report;
    EXPECT_GE(sdl.libraries, 1);
}

}  // namespace
