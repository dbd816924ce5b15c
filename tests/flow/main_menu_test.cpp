#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "flow/command_line.h"
#include "flow/program.h"
#include "render/window.h"
#include "state/board.h"
#include "support/game_test.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kEmptyBoardTiles =
    "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,\n0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,\n"
    "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,\n0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,\n"
    "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,\n0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,\n"
    "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,\n0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,\n"
    "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,\n0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,\n";

int occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// Runs the whole program in process, in a temporary copy of the game's data.
class MainMenuTest : public DataDirectoryTest {
   protected:
    void writeMap(const std::string& name, const std::string& units) {
        writeFile(name + ".txt", kEmptyBoardTiles + units);
    }
    // Runs the program and returns what it printed.
    std::string runProgram() {
        startCapturingStdout();
        EXPECT_EQ(SDL_main(0, nullptr), 0);
        return capturedStdout();
    }
};

TEST_F(MainMenuTest, SixKeypadSixAndClosingTheWindowEndTheProgram) {
    for (const SDL_Event& ending : {keyEvent(SDLK_6), keyEvent(SDLK_KP_6), quitEvent()}) {
        clearScript();
        script({ending, keyEvent(SDLK_KP_6)});
        runProgram();
        EXPECT_EQ(scriptedPassesLeft(), 1);
        EXPECT_EQ(dryPolls(), 0);
    }
}

TEST_F(MainMenuTest, EveryMatchStartsFromTheMapFileWhenItIsMissing) {
    fs::remove(workDirectory / "map01.txt");
    scriptKeys({SDLK_2, SDLK_ESCAPE, SDLK_m, SDLK_KP_1, SDLK_ESCAPE, SDLK_m, SDLK_6});
    const std::string printed = runProgram();
    EXPECT_EQ(occurrences(printed, "\nError opening file map01.txt"), 3);
    EXPECT_EQ(scriptedPassesLeft(), 0);
}

// Rewrites the current map file while the first match runs, so that the board of the next match shows
// whether the file was read again.
std::filesystem::path gMapToChange;
int gChangeAtPassesLeft = 0;
void feedAndChangeTheMap() {
    if (scriptedPassesLeft() == gChangeAtPassesLeft) {
        std::ofstream(gMapToChange) << kEmptyBoardTiles << "4,4,s,2,10,8\n";
    }
    feedScriptedEvents();
}

TEST_F(MainMenuTest, TheFirstMatchUsesTheLoadedBoardAndTheNextOneReloadsTheFile) {
    writeMap("map01", "0,0,c,1,7,5\n");
    scriptKeys({SDLK_2, SDLK_ESCAPE, SDLK_m, SDLK_2, SDLK_ESCAPE, SDLK_m, SDLK_6});
    gMapToChange = workDirectory / "map01.txt";
    gChangeAtPassesLeft = 5;  // during the first match
    gBeforePoll = feedAndChangeTheMap;
    runProgram();
    EXPECT_EQ(gUnitOwner[4][4], 2);  // the second match read the changed file
    EXPECT_EQ(gUnitOwner[0][0], 0);
}

TEST_F(MainMenuTest, ALoadedMapIsPlayedWithoutReadingItAgain) {
    writeMap("map01", "0,0,c,1,7,5\n");
    writeMap("other", "2,2,a,1,7,2\n");
    scriptKeys({SDLK_3});
    script({textEvent("other"), keyEvent(SDLK_RETURN)});
    scriptKeys({SDLK_2, SDLK_ESCAPE, SDLK_m, SDLK_6});
    gMapToChange = workDirectory / "other.txt";
    gChangeAtPassesLeft = 3;  // after the load, before the match
    gBeforePoll = feedAndChangeTheMap;
    const std::string printed = runProgram();
    EXPECT_EQ(printed.find("Error opening file"), std::string::npos);
    EXPECT_EQ(gUnitOwner[2][2], 1);  // the match was played on the board as loaded
    EXPECT_EQ(gUnitOwner[4][4], 0);
}

// A map named at start-up is the current map, as after "Load map"; a missing one is reported as a load
// reports it, and the default map stays.
TEST_F(MainMenuTest, TheMapNamedAtStartUpIsTheCurrentMap) {
    writeMap("map01", "0,0,c,1,7,5\n");
    writeMap("other", "2,2,a,1,7,2\n");
    struct {
        std::string name;
        int errors;
        int unitAt;  // the row and column of the unit of the map played
    } cases[] = {{"other", 0, 2}, {"missing", 1, 0}};
    for (auto& c : cases) {
        clearScript();
        scriptKeys({SDLK_2, SDLK_ESCAPE, SDLK_m, SDLK_6});
        std::string program = "qorda", option = "--map";
        char* argv[] = {program.data(), option.data(), c.name.data(), nullptr};
        startCapturingStdout();
        EXPECT_EQ(SDL_main(3, argv), 0);
        EXPECT_EQ(occurrences(capturedStdout(), "Error opening file " + c.name + ".txt"), c.errors);
        EXPECT_EQ(gUnitOwner[c.unitAt][c.unitAt], 1) << c.name;
        gStartMapName = nullptr;
    }
}

TEST_F(MainMenuTest, HelpPlaysTheHelpMapThenReloadsTheCurrentMap) {
    writeMap("map01", "0,0,c,1,7,5\n");
    fs::remove(workDirectory / "HelpMap.txt");
    scriptKeys({SDLK_5, SDLK_ESCAPE, SDLK_m, SDLK_6});
    const std::string printed = runProgram();
    EXPECT_EQ(occurrences(printed, "\nError opening file HelpMap.txt"), 1);
    EXPECT_EQ(gUnitOwner[0][0], 1);
    EXPECT_EQ(scriptedPassesLeft(), 0);
}

TEST_F(MainMenuTest, ClosingTheWindowInsideAnEntryEndsTheProgram) {
    for (SDL_Keycode entry : {SDLK_2, SDLK_3, SDLK_4}) {
        clearScript();
        script({keyEvent(entry), quitEvent(), keyEvent(SDLK_6), keyEvent(SDLK_6)});
        runProgram();
        EXPECT_EQ(scriptedPassesLeft(), 2) << "entry " << SDL_GetKeyName(entry);
    }
}

// Steps of a session, one per polling pass: a key, or a look at the window after the pass.
constexpr SDL_Keycode kIdle = 0;
constexpr SDL_Keycode kPaintOver = -1;     // cover what the window shows
constexpr SDL_Keycode kStillCovered = -2;  // no present came since it was covered
constexpr SDL_Keycode kShownAgain = -3;    // a present came
// clang-format off
constexpr SDL_Keycode kWaitingSession[] = {
    kIdle, kPaintOver, kIdle, kIdle, kStillCovered,                        // the main menu
    SDLK_2, kPaintOver, kIdle, kIdle, kStillCovered, SDLK_b, kShownAgain,  // a match; the cursor moves
    SDLK_ESCAPE, SDLK_m, SDLK_5, kPaintOver, kIdle, kIdle, kStillCovered,  // the help match
    SDLK_v, kShownAgain, kPaintOver, kIdle, kStillCovered,
    SDLK_ESCAPE, SDLK_m, SDLK_4, kPaintOver, kIdle, kStillCovered,         // the editor's help screen
};
// clang-format on
size_t gStep = 0;

void walkWaitingSession() {
    const SDL_Keycode step = takeSessionStep(kWaitingSession, std::size(kWaitingSession), gStep);
    if (step == kPaintOver) {
        paintOverWindow();
    } else if (step == kStillCovered || step == kShownAgain) {
        EXPECT_EQ(windowPaintedOver(), step == kStillCovered) << "step " << gStep;
    }
}

TEST_F(MainMenuTest, AWaitingScreenIsShownOnceAndAgainOnlyWhenAKeyChangesIt) {
    gBeforePoll = walkWaitingSession;
    runProgram();
    EXPECT_EQ(gStep, std::size(kWaitingSession));
}

TEST_F(MainMenuTest, MissingAtlasesAreReportedAndTheProgramEndsWithStatusZero) {
    fs::remove(workDirectory / "tiles.png");
    std::string printed = runProgram();
    EXPECT_NE(printed.find("Unable to load image tiles.png! SDL_image Error: "), std::string::npos);
    EXPECT_NE(printed.find("Failed to load texture image!\nFailed to load media!\n"), std::string::npos);
}

}  // namespace
