#include "support/game_test.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>
#include <vector>

#include "render/window.h"
#include "state/board.h"

namespace fs = std::filesystem;

namespace {

std::deque<std::vector<SDL_Event>> gScript;
int gDryPolls = 0;
constexpr int kDryPollLimit = 100000;

}  // namespace

fs::path makeTemporaryDirectory(const char* purpose) {
    std::random_device random;
    while (true) {
        const fs::path directory =
            fs::temp_directory_path() / (std::string("qorda-") + purpose + "-" + std::to_string(random()));
        if (fs::create_directory(directory)) return directory;
    }
}

void setEnvironment(const char* name, const char* value) {
#ifdef _WIN32
    // Windows' own call, which both the C library and SDL read; an empty value removes the variable.
    _putenv_s(name, value == nullptr ? "" : value);
#else
    if (value == nullptr) {
        unsetenv(name);
    } else {
        setenv(name, value, 1);
    }
#endif
}

fs::path makeDataDirectory() {
    const fs::path directory = makeTemporaryDirectory("test");
    for (const auto& entry : fs::directory_iterator(QORDA_DATA_DIR)) {
        if (entry.is_regular_file()) fs::copy_file(entry.path(), directory / entry.path().filename());
    }
    return directory;
}

void emptyBoard() {
    std::memset(gMap, 0, sizeof gMap);
    std::memset(gUnitType, 0, sizeof gUnitType);
    std::memset(gUnitOwner, 0, sizeof gUnitOwner);
    std::memset(gUnitActionPoint, 0, sizeof gUnitActionPoint);
    std::memset(gUnitHealthPoint, 0, sizeof gUnitHealthPoint);
    std::memset(gNumberOfUnit, 0, sizeof gNumberOfUnit);
}

void DataDirectoryTest::SetUp() {
    clearScript();
    emptyBoard();
    previousDirectory = fs::current_path();
    workDirectory = makeDataDirectory();
    fs::current_path(workDirectory);
}

void DataDirectoryTest::TearDown() {
    gBeforePoll = feedScriptedEvents;
    clearScript();
    if (workDirectory.empty()) return;
    fs::current_path(previousDirectory);
    std::error_code ignored;
    fs::remove_all(workDirectory, ignored);
}

void DataDirectoryTest::writeFile(const std::string& name, const std::string& content) {
    std::ofstream(workDirectory / name, std::ios::binary) << content;
}

std::string DataDirectoryTest::readFile(const std::string& name) {
    std::ifstream file(workDirectory / name, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

void GameTest::SetUp() {
    DataDirectoryTest::SetUp();
    ASSERT_EQ(init(), 0) << SDL_GetError();
    ASSERT_EQ(loadTiles(), 0);
    ASSERT_EQ(loadFont(), 0);
}

void GameTest::TearDown() {
    close();
    DataDirectoryTest::TearDown();
}

SDL_Event keyEvent(SDL_Keycode key) {
    SDL_Event event = {};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    return event;
}

SDL_Event textEvent(const char* text) {
    SDL_Event event = {};
    event.type = SDL_TEXTINPUT;
    std::strncpy(event.text.text, text, sizeof event.text.text - 1);
    return event;
}

SDL_Event quitEvent() {
    SDL_Event event = {};
    event.type = SDL_QUIT;
    return event;
}

void script(std::initializer_list<SDL_Event> events) {
    for (const SDL_Event& event : events) gScript.push_back({event});
}

void scriptTogether(std::initializer_list<SDL_Event> events) {
    gScript.emplace_back(events);
}

void scriptTogether(const std::vector<SDL_Event>& events) {
    gScript.push_back(events);
}

void scriptKeys(std::initializer_list<SDL_Keycode> keys) {
    for (SDL_Keycode key : keys) gScript.push_back({keyEvent(key)});
}

void clearScript() {
    gScript.clear();
    gDryPolls = 0;
}

int scriptedPassesLeft() {
    return static_cast<int>(gScript.size());
}

int dryPolls() {
    return gDryPolls;
}

void feedScriptedEvents() {
    if (gScript.empty()) {
        if (++gDryPolls > kDryPollLimit) {
            fprintf(stderr, "a polling loop never ended although it was sent quit events\n");
            std::abort();
        }
        SDL_Event quit = quitEvent();
        SDL_PushEvent(&quit);
        return;
    }
    for (SDL_Event& event : gScript.front()) SDL_PushEvent(&event);
    gScript.pop_front();
}

SDL_Keycode takeSessionStep(const SDL_Keycode* steps, size_t count, size_t& next) {
    SDL_Event event = quitEvent();
    if (next == count) {
        SDL_PushEvent(&event);
        return 0;
    }
    const SDL_Keycode step = steps[next++];
    if (step <= 0) return step;
    event = keyEvent(step);
    SDL_PushEvent(&event);
    return 0;
}

namespace {

// A colour that no picture of the game holds.
constexpr Uint8 kOverRed = 255, kOverGreen = 0, kOverBlue = 255;

}  // namespace

void paintOverWindow() {
    SDL_Surface* shown = SDL_GetWindowSurface(gWindow);
    SDL_FillRect(shown, nullptr, SDL_MapRGB(shown->format, kOverRed, kOverGreen, kOverBlue));
}

bool windowPaintedOver() {
    SDL_Surface* shown = SDL_GetWindowSurface(gWindow);
    Uint8 red, green, blue;
    SDL_GetRGB(*static_cast<const Uint32*>(shown->pixels), shown->format, &red, &green, &blue);
    return red == kOverRed && green == kOverGreen && blue == kOverBlue;
}

long environmentNumber(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != 0 ? std::atol(value) : fallback;
}

void startCapturingStdout() {
    fflush(stdout);
    ::testing::internal::CaptureStdout();
}

std::string capturedStdout() {
    fflush(stdout);
    return ::testing::internal::GetCapturedStdout();
}
