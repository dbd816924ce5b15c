#include "fuzz_support.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "render/input.h"
#include "render/window.h"
#include "support/board_invariants.h"

namespace fs = std::filesystem;

namespace {

std::deque<std::vector<SDL_Event>> gPasses;
int gDryPasses = 0;
// A loop that is sent this many quit events in a row without ending never ends.
constexpr int kDryPassLimit = 1000;
constexpr std::size_t kTextEventBytes = sizeof(SDL_TextInputEvent::text) - 1;

fs::path gWorkDirectory;

void removeWorkDirectory() {
    std::error_code ignored;
    fs::remove_all(gWorkDirectory, ignored);
}

}  // namespace

void startHeadlessGame() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_RENDER_DRIVER", "software", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // Events pushed by the hook are seen by the drain that follows it, as keys pressed meanwhile would be.
    setenv("SDL_POLL_SENTINEL", "0", 1);
    char pattern[] = "/tmp/qorda-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    gWorkDirectory = pattern;
    std::atexit(removeWorkDirectory);
    for (const char* name : {"tiles.png", "font.bmp"}) {
        fs::copy_file(fs::path(QORDA_DATA_DIR) / name, gWorkDirectory / name);
    }
    fs::current_path(gWorkDirectory);
    gWaitPercent = 0;
    gBeforePoll = feedQueuedPass;
    if (init() != 0 || loadTiles() != 0 || loadFont() != 0) {
        std::fprintf(stderr, "the game could not start headless: %s\n", SDL_GetError());
        std::exit(1);
    }
}

std::string readDataFile(const char* name) {
    std::ifstream file(fs::path(QORDA_DATA_DIR) / name, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    require(file.good() || file.eof(), "a readable data file", name);
    return content.str();
}

void require(bool condition, const char* what, const std::string& detail) {
    if (condition) return;
    std::fprintf(stderr, "\nexpected: %s\n%s\n", what, detail.c_str());
    std::abort();
}

void requireSoundBoard(const char* after) {
    const std::string violation = boardInvariantViolation();
    require(violation.empty(), "a board that keeps its invariants", std::string(after) + ": " + violation);
}

SDL_Event keyDown(SDL_Keycode key) {
    SDL_Event event = {};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = key;
    return event;
}

SDL_Event typedText(const char* bytes, std::size_t length) {
    SDL_Event event = {};
    event.type = SDL_TEXTINPUT;
    std::memcpy(event.text.text, bytes, std::min(length, kTextEventBytes));
    return event;
}

void queuePass(std::vector<SDL_Event> events) {
    gPasses.push_back(std::move(events));
}

int queuedPasses() {
    return static_cast<int>(gPasses.size());
}

void clearQueuedPasses() {
    gPasses.clear();
    gDryPasses = 0;
}

void feedQueuedPass() {
    if (gPasses.empty()) {
        require(++gDryPasses <= kDryPassLimit, "a polling loop that ends on a quit event");
        SDL_Event quit = {};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
        return;
    }
    for (SDL_Event& event : gPasses.front()) SDL_PushEvent(&event);
    gPasses.pop_front();
}
