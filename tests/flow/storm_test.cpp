// An input storm through the real program: a seeded random stream of key presses, typed text and quit
// events, weighted towards the game's own keys, fed to SDL_main in process. It wanders through the menu,
// matches against the computer and between humans, the help match, unit control, the targeting ring, the
// load prompt and the editor with its save prompt. After every polling pass the board must keep its
// invariants; every start of the program must reach its exit; every map file in the working directory
// must be exactly what the game writes for the board it holds.
//
// QORDA_STORM_EVENTS and QORDA_STORM_SEED choose the length and the stream; the defaults suit CI.
// Typed text holds letters, digits and commas only, so that a saved map never lands outside the test's
// temporary directory.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "flow/program.h"
#include "render/window.h"
#include "state/board.h"
#include "state/map_file.h"
#include "support/board_invariants.h"
#include "support/game_test.h"

namespace fs = std::filesystem;

namespace {

constexpr long kDefaultEvents = 20000;
constexpr unsigned kDefaultSeed = 20160116;
// The quit events that one start of the program may take to end once the storm is over.
constexpr int kQuitPassLimit = 1000;
// The events remembered for the report of a failure.
constexpr std::size_t kHistoryLength = 24;
constexpr std::size_t kMostTextBytes = 31;

// The game's keys, in groups that the storm draws with these weights; with the typed text and the quit
// events they add up to a thousand.
const std::vector<SDL_Keycode> kMenuKeys = {SDLK_1,    SDLK_2,    SDLK_3,    SDLK_4,    SDLK_5,
                                            SDLK_KP_1, SDLK_KP_2, SDLK_KP_3, SDLK_KP_4, SDLK_KP_5};
const std::vector<SDL_Keycode> kExitKeys = {SDLK_6, SDLK_KP_6};
const std::vector<SDL_Keycode> kDirectionKeys = {
    SDLK_f,      SDLK_g,    SDLK_h,      SDLK_c,      SDLK_v,    SDLK_b,
    SDLK_INSERT, SDLK_HOME, SDLK_PAGEUP, SDLK_DELETE, SDLK_END,  SDLK_PAGEDOWN,
    SDLK_KP_1,   SDLK_KP_2, SDLK_KP_3,   SDLK_KP_4,   SDLK_KP_5, SDLK_KP_6};
const std::vector<SDL_Keycode> kEnterKeys = {SDLK_RETURN, SDLK_SPACE, SDLK_KP_ENTER, SDLK_RETURN2,
                                             SDLK_KP_SPACE};
const std::vector<SDL_Keycode> kEscapeKeys = {SDLK_ESCAPE, SDLK_BACKSPACE, SDLK_KP_BACKSPACE};
const std::vector<SDL_Keycode> kAnswerKeys = {SDLK_m, SDLK_y, SDLK_n};
const std::vector<SDL_Keycode> kOtherKeys = {SDLK_a,
                                             SDLK_x,
                                             SDLK_z,
                                             SDLK_TAB,
                                             SDLK_F1,
                                             SDLK_LSHIFT,
                                             SDLK_UNKNOWN,
                                             0x7FFFFFFF,
                                             -0x7FFFFFFF,
                                             0x400000FF,
                                             SDLK_KP_BACKSPACE + 1};
struct KeyGroup {
    const std::vector<SDL_Keycode>* keys;
    int weight;
};
constexpr KeyGroup kKeyGroups[] = {{&kMenuKeys, 90},   {&kExitKeys, 8},     {&kDirectionKeys, 380},
                                   {&kEnterKeys, 150}, {&kEscapeKeys, 100}, {&kAnswerKeys, 120},
                                   {&kOtherKeys, 30}};
constexpr int kTextWeight = 120;
constexpr int kQuitWeight = 2;
constexpr int weightOfAllEvents() {
    int total = kTextWeight + kQuitWeight;
    for (const KeyGroup& group : kKeyGroups) total += group.weight;
    return total;
}
static_assert(weightOfAllEvents() == 1000, "every draw of a thousand picks an event");
// One pass in so many carries a burst of several events, as when keys are typed faster than the game polls.
constexpr int kBurstEvery = 12;
constexpr int kMostBurstEvents = 6;

// What the storm types: the type letters of editor entries, upper and lower case, and two that are none;
// the game's maps and two of its own; and the characters that its other texts are made of.
const std::vector<std::string> kEntryTypes = {"a", "c", "s", "x", "r", "A", "C", "S", "X", "R", "q", "0"};
const std::vector<std::string> kMapNames = {"map01", "HelpMap", "stormed", "stormed,2", ""};
constexpr char kSafeCharacters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789,";

struct StormFigures {
    long events = 0;
    long keys = 0;
    long texts = 0;
    long quits = 0;
    long passes = 0;
    int runs = 0;
    int mapFilesChecked = 0;
};

class Storm {
   public:
    Storm(unsigned seed, long events) : random_(seed), eventsLeft_(events) {}

    // The events of the next polling pass; empty when the storm is over.
    std::vector<SDL_Event> nextPass() {
        std::vector<SDL_Event> pass;
        const int count = below(kBurstEvery) == 0 ? 2 + below(kMostBurstEvents - 1) : 1;
        for (int index = 0; index < count && eventsLeft_ > 0; ++index, --eventsLeft_) {
            pass.push_back(nextEvent());
            remember(pass.back());
        }
        return pass;
    }

    bool over() const { return eventsLeft_ <= 0; }
    void end() { eventsLeft_ = 0; }
    const StormFigures& figures() const { return figures_; }
    StormFigures& figures() { return figures_; }
    std::string history() const {
        std::string text;
        for (const std::string& event : history_) text += event + "\n";
        return text;
    }

   private:
    int below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

    template <typename T>
    const T& pick(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(below(static_cast<int>(items.size())))];
    }

    SDL_Event nextEvent() {
        ++figures_.events;
        int draw = below(1000);
        if (draw < kQuitWeight) {
            ++figures_.quits;
            return quitEvent();
        }
        draw -= kQuitWeight;
        if (draw < kTextWeight) {
            ++figures_.texts;
            const std::string text = nextText();
            return textEvent(text.c_str());
        }
        draw -= kTextWeight;
        ++figures_.keys;
        const KeyGroup* group = kKeyGroups;
        for (; draw >= group->weight; ++group) draw -= group->weight;
        return keyEvent(pick(*group->keys));
    }

    std::string number(int lowest, int highest) {
        return std::to_string(lowest + below(highest - lowest + 1));
    }

    // Editor entries near and beyond the edges of their ranges, the names of the game's maps, and runs of
    // safe characters of any length that a text event holds.
    std::string nextText() {
        switch (below(5)) {
            case 0: {
                std::string entry = number(0, 11) + "," + number(0, 18) + "," + pick(kEntryTypes);
                for (int field = 0, fields = below(4); field < fields; ++field)
                    entry.append(",").append(number(0, 260));
                return entry;
            }
            case 1:
                return number(0, 9) + "," + number(0, 16) + "," + pick(kEntryTypes) + "," + number(1, 2) +
                       "," + number(0, 99) + "," + number(1, 9);
            case 2:
                return pick(kMapNames);
            default: {
                std::string text;
                for (int length = 1 + below(static_cast<int>(kMostTextBytes)); length > 0; --length) {
                    text += kSafeCharacters[below(static_cast<int>(sizeof kSafeCharacters - 1))];
                }
                return text;
            }
        }
    }

    void remember(const SDL_Event& event) {
        std::string text;
        if (event.type == SDL_QUIT) text = "quit";
        if (event.type == SDL_KEYDOWN) text = "key " + std::string(SDL_GetKeyName(event.key.keysym.sym));
        if (event.type == SDL_TEXTINPUT) text = "text \"" + std::string(event.text.text) + "\"";
        history_.push_back("event " + std::to_string(figures_.events) + ": " + text);
        if (history_.size() > kHistoryLength) history_.pop_front();
    }

    std::mt19937 random_;
    long eventsLeft_;
    StormFigures figures_;
    std::deque<std::string> history_;
};

Storm* gStorm = nullptr;
int gQuitPasses = 0;
// What went wrong, reported once the game's standard output is no longer captured.
std::vector<std::string> gProblems;

// The polling hook: the next pass of the storm, or a quit event once it is over; then the invariants.
void feedStormAndCheck() {
    ++gStorm->figures().passes;
    std::vector<SDL_Event> pass = gStorm->nextPass();
    if (pass.empty()) {
        if (++gQuitPasses > kQuitPassLimit) {
            std::fprintf(stderr, "the program never ended although it was sent quit events\n%s",
                         gStorm->history().c_str());
            std::abort();
        }
        pass.push_back(quitEvent());
    }
    for (SDL_Event& event : pass) SDL_PushEvent(&event);

    const std::string violation = boardInvariantViolation();
    if (!violation.empty()) {
        gProblems.push_back("the board broke its invariants: " + violation + "\nafter\n" + gStorm->history());
        gStorm->end();  // the quit events that follow end the program
    }
}

std::string readWholeFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

bool isGameDataFile(const std::string& name) {
    return fs::exists(fs::path(QORDA_DATA_DIR) / name);
}

// The working directory holds the game's data files and map files only, and every map file is exactly the
// text that the game writes for the board that it holds: a save never leaves a half-written or stray file.
void checkWorkingDirectory(const fs::path& directory, StormFigures& figures) {
    for (const auto& entry : fs::directory_iterator(directory)) {
        const std::string name = entry.path().filename().string();
        const bool mapFile = name.ends_with(".txt");  // ".txt" itself is the map with the empty name
        if (isGameDataFile(name) && !mapFile) continue;
        if (!entry.is_regular_file() || !mapFile) {
            gProblems.push_back("a stray file: " + name);
            continue;
        }
        const std::string text = readWholeFile(entry.path());
        parseStatusMatrix(text.data(), text.size());
        const std::string violation = boardInvariantViolation();
        if (!violation.empty()) gProblems.push_back(name + " holds an unsound board: " + violation);
        if (mapFileText() != text)
            gProblems.push_back(name + " is not what the game writes for its board:\n" + text);
        ++figures.mapFilesChecked;
    }
}

// A small battle for the default map: an Archer and a Cavalry of player 1 under the cursor's first hex,
// and player 2's one Shield two hexes from the Archer and next to the Cavalry, all with 1 health point.
// Random keys win matches on it: with a melee attack, with a shot from the Archer's ring, and for the
// computer.
std::string duelMapText() {
    std::string text;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column)
            text += row == 1 && column == 1 ? "130," : "0,";
        text += "\n";
    }
    return text + "0,0,a,1,10,1\n0,1,c,1,10,1\n0,2,s,2,10,1\n";
}

// Puts the game's own maps back before every start of the program, whatever an earlier start saved under
// their names; every other start has the duel as its default map.
void restoreGameMaps(const fs::path& directory, int run) {
    for (const char* name : {"map01.txt", "HelpMap.txt"}) {
        fs::copy_file(fs::path(QORDA_DATA_DIR) / name, directory / name,
                      fs::copy_options::overwrite_existing);
    }
    if (run % 2 == 1) std::ofstream(directory / "map01.txt", std::ios::binary) << duelMapText();
}

class StormTest : public DataDirectoryTest {
   protected:
    void TearDown() override {
        gStorm = nullptr;
        DataDirectoryTest::TearDown();
    }
};

TEST_F(StormTest, RandomInputNeverBreaksTheGame) {
    const long events = environmentNumber("QORDA_STORM_EVENTS", kDefaultEvents);
    const unsigned seed = static_cast<unsigned>(environmentNumber("QORDA_STORM_SEED", kDefaultSeed));
    Storm storm(seed, events);
    gStorm = &storm;
    gProblems.clear();
    gBeforePoll = feedStormAndCheck;
    const auto start = std::chrono::steady_clock::now();

    startCapturingStdout();  // load errors and beeps
    while (!storm.over() && gProblems.empty()) {
        restoreGameMaps(workDirectory, storm.figures().runs);
        gQuitPasses = 0;
        if (SDL_main(0, nullptr) != 0) gProblems.push_back("SDL_main did not return 0");
        ++storm.figures().runs;
        checkWorkingDirectory(workDirectory, storm.figures());
    }
    capturedStdout();
    for (const std::string& problem : gProblems) ADD_FAILURE() << problem;

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const StormFigures& figures = storm.figures();
    EXPECT_EQ(figures.events, events);
    std::printf(
        "storm, seed %u: %ld events (%ld keys, %ld texts, %ld quits) in %ld polling passes, %d starts "
        "of the program, %d map files checked, %.1f s\n",
        seed, figures.events, figures.keys, figures.texts, figures.quits, figures.passes, figures.runs,
        figures.mapFilesChecked, seconds);
}

}  // namespace
