#include "editor/map_editor.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "flow/map_prompt.h"
#include "render/board_drawing.h"
#include "render/text.h"
#include "render/window.h"
#include "state/board.h"
#include "state/map_file.h"
#include "support/board_invariants.h"
#include "support/game_test.h"

namespace {

constexpr const char* kEntryPrompt =
    "Enter a unit to add to the map \"Row(0-9),Column(0-16),Type(a,c,s,x,r=remove),Player(1-2),\n"
    "ActionPoint(0-99),HealthPoint(1-99)\": ";
constexpr const char* kKeepOrClearQuestion = "Do you want to edit the current map? (y/n)";
constexpr const char* kInvalidEntryQuestion = "Invalid input. Are you done adding units? (y/n)";
constexpr const char* kSaveQuestion = "Do you want to save the map? (y/n)";

// The middle band of a hex's cell: no neighbouring hex and no neighbour's label reaches into it.
SDL_Rect bandOf(int row, int column) {
    return {hexOriginX(column) + kHexBandLeft, hexOriginY(row, column), kHexBandWidth, kHexBandHeight};
}

// Whether the hex shows what the board holds for it, without its coordinate label.
bool showsBoardState(int row, int column) {
    const std::vector<Uint32> shown = readPicture(bandOf(row, column));
    redrawHex(row, column, 0);
    return readPicture(bandOf(row, column)) == shown;
}

// Whether the hex shows what the board holds for it with its coordinate label on top.
bool showsCoordinates(int row, int column) {
    const std::vector<Uint32> shown = readPicture(bandOf(row, column));
    redrawHex(row, column, 0);
    renderHexagonCoordinates(row, column);
    return readPicture(bandOf(row, column)) == shown;
}

void scriptEvents(const std::vector<SDL_Event>& events) {
    for (const SDL_Event& event : events) script({event});
}

// Past the help screen with any key, keeping the board.
void scriptIntoEntryLoop() {
    script({keyEvent(SDLK_SPACE), keyEvent(SDLK_y)});
}

void scriptEntry(const std::string& entry) {
    // One text event carries at most 31 bytes, as SDL delivers long typed text.
    for (size_t start = 0; start < entry.size(); start += 31)
        script({textEvent(entry.substr(start, 31).c_str())});
    script({keyEvent(SDLK_RETURN)});
}

// The way out of the entry loop: an invalid entry, then "y" to the question.
void scriptDoneEditing() {
    scriptEntry("q");
    script({keyEvent(SDLK_y)});
}

std::set<std::filesystem::path> filesIn(const std::filesystem::path& directory) {
    std::set<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) files.insert(entry.path());
    return files;
}

class MapEditorTest : public GameTest {
   protected:
    // A board with a walkable tile under a player-2 Shield at (5, 4), a player-1 Archer at (2, 3) and rocks
    // at (7, 9).
    void setUpBoard() {
        emptyBoard();
        gMap[5][4] = 5;
        ASSERT_EQ(addUnit(5, 4, 's', 2, 10, 8, 0, 0), 0);
        ASSERT_EQ(addUnit(2, 3, 'a', 1, 7, 2, 0, 0), 0);
        gMap[7][9] = 140;
    }

    // The board of setUpBoard, and a script that types one entry in the entry loop.
    void setUpOneEntry(const std::string& entry) {
        setUpBoard();
        clearScript();
        scriptIntoEntryLoop();
        scriptEntry(entry);
    }

    int edit() { return editMap(name); }

    char name[kNameBufferSize] = "map01";
};

TEST(ParseEditorEntry, ConvertsFieldsLikeTheEntryFormat) {
    constexpr int kUntouched = -77;
    struct Case {
        const char* entry;
        int fields;
        int row, column;
        char type;
        int player, actionPoint, healthPoint;
    };
    const Case cases[] = {
        {"2,3,c,1,7,5", 6, 2, 3, 'c', 1, 7, 5},
        {"2,3,c,1,7", 5, 2, 3, 'c', 1, 7, kUntouched},
        {"5,4,x,150", 4, 5, 4, 'x', 150, kUntouched, kUntouched},
        {"5,4,r", 3, 5, 4, 'r', kUntouched, kUntouched, kUntouched},
        {"q", 0, kUntouched, kUntouched, '?', kUntouched, kUntouched, kUntouched},
        {"", 0, kUntouched, kUntouched, '?', kUntouched, kUntouched, kUntouched},
        // Numbers skip white space and take a sign; the literal commas and the type character do not skip.
        {" 2,\t3,c, +1,-7,\n 5", 6, 2, 3, 'c', 1, -7, 5},
        {"2 ,3,c", 1, 2, kUntouched, '?', kUntouched, kUntouched, kUntouched},
        {"2,3, c,1,7,5", 3, 2, 3, ' ', kUntouched, kUntouched, kUntouched},
        {"2,3,,1,7,5", 3, 2, 3, ',', kUntouched, kUntouched, kUntouched},
        {"2,3,c 1", 3, 2, 3, 'c', kUntouched, kUntouched, kUntouched},
        {"5,4,", 2, 5, 4, '?', kUntouched, kUntouched, kUntouched},
        {"-,4", 0, kUntouched, kUntouched, '?', kUntouched, kUntouched, kUntouched},
        {"2,3,c,1,7,5,9 and more", 6, 2, 3, 'c', 1, 7, 5},
        // A number that does not fit in an int stops the conversion where it stands.
        {"99999999999,3,c,1,7,5", 0, kUntouched, kUntouched, '?', kUntouched, kUntouched, kUntouched},
        {"2,99999999999,c", 1, 2, kUntouched, '?', kUntouched, kUntouched, kUntouched},
        {"2,3,c,1,7,2147483648", 5, 2, 3, 'c', 1, 7, kUntouched},
        {"2147483647,-2147483648,x", 3, INT_MAX, INT_MIN, 'x', kUntouched, kUntouched, kUntouched},
    };
    for (const Case& c : cases) {
        int row = kUntouched, column = kUntouched, player = kUntouched;
        int actionPoint = kUntouched, healthPoint = kUntouched;
        char type = '?';
        EXPECT_EQ(parseEditorEntry(c.entry, row, column, type, player, actionPoint, healthPoint), c.fields)
            << c.entry;
        EXPECT_EQ(row, c.row) << c.entry;
        EXPECT_EQ(column, c.column) << c.entry;
        EXPECT_EQ(type, c.type) << c.entry;
        EXPECT_EQ(player, c.player) << c.entry;
        EXPECT_EQ(actionPoint, c.actionPoint) << c.entry;
        EXPECT_EQ(healthPoint, c.healthPoint) << c.entry;
    }
}

TEST_F(MapEditorTest, UnitEntryPlacesTheUnitAndLeavesThePromptForTheNext) {
    struct Case {
        const char* entry;
        char type;
        int owner, actionPoint, healthPoint;
        int playerOneUnits, playerTwoUnits;
    };
    // (2, 3) holds a player-1 Archer and (5, 4) a player-2 Shield before each entry.
    const Case cases[] = {
        {"2,3,c,1,7,5", 'c', 1, 7, 5, 1, 1},
        {"2,3,C,2,10,8", 'c', 2, 10, 8, 0, 2},
        {"2,3,A,1,0,99", 'a', 1, 0, 99, 1, 1},
        {"2,3,s,2,99,1", 's', 2, 99, 1, 0, 2},
    };
    for (const Case& c : cases) {
        setUpOneEntry(c.entry);
        // The window is closed while the next entry is awaited.
        EXPECT_EQ(edit(), 1) << c.entry;
        EXPECT_EQ(gUnitType[2][3], c.type) << c.entry;
        EXPECT_EQ(gUnitOwner[2][3], c.owner) << c.entry;
        EXPECT_EQ(gUnitActionPoint[2][3], c.actionPoint) << c.entry;
        EXPECT_EQ(gUnitHealthPoint[2][3], c.healthPoint) << c.entry;
        EXPECT_EQ(gNumberOfUnit[1], c.playerOneUnits) << c.entry;
        EXPECT_EQ(gNumberOfUnit[2], c.playerTwoUnits) << c.entry;
        EXPECT_TRUE(showsBoardState(2, 3)) << c.entry;
        EXPECT_TRUE(showsCoordinates(2, 4)) << c.entry;
        EXPECT_TRUE(infoLineReads(kEntryPrompt)) << c.entry;
    }
}

TEST_F(MapEditorTest, ObstacleAndClearEntriesSetTheTileAndRemoveTheUnit) {
    struct Case {
        const char* entry;
        int tile;
    };
    // (5, 4) holds a Shield on tile 5 before each entry.
    const Case cases[] = {
        {"5,4,x", 128},       {"5,4,x,150", 150},
        {"5,4,x,100", 128},   {"5,4,X,255", 255},
        {"5,4,x,256", 128},   {"5,4,x,99999999999", 128},
        {"5,4,x,1,2,3", 128}, {"5,4,r", 0},
        {"5,4,r,1", 1},       {"5,4,r,0", 0},
        {"5,4,r,200", 0},     {"5,4,R,127", 127},
        {"5,4,r,-1", 0},      {"5,4,r,99999999999", 0},
    };
    for (const Case& c : cases) {
        setUpOneEntry(c.entry);
        EXPECT_EQ(edit(), 1) << c.entry;
        EXPECT_EQ(gMap[5][4], c.tile) << c.entry;
        EXPECT_EQ(gUnitOwner[5][4], 0) << c.entry;
        EXPECT_EQ(gUnitType[5][4], 0) << c.entry;
        EXPECT_EQ(gNumberOfUnit[2], 0) << c.entry;
        EXPECT_EQ(gNumberOfUnit[1], 1) << c.entry;
        EXPECT_TRUE(showsBoardState(5, 4)) << c.entry;
        EXPECT_TRUE(infoLineReads(kEntryPrompt)) << c.entry;
    }
}

TEST_F(MapEditorTest, InvalidEntryChangesNothingAndAsksWhetherEditingIsDone) {
    const char* const entries[] = {
        "2,3,c,1,7",
        "q",
        "",
        "5,4,b,1,7,5",
        "10,4,x",
        "-1,4,r",
        "5,17,r",
        "5,4 ,x",
        "99999999999,3,c,1,7,5",
        "5,4,c,1,7,99999999999",
        "5,4,c,3,7,5",
        "5,4,c,0,7,5",
        "5,4,c,1,-1,5",
        "5,4,c,1,100,5",
        "5,4,c,1,7,0",
        "5,4,c,1,7,100",
    };
    for (const char* entry : entries) {
        setUpOneEntry(entry);
        const BoardSnapshot before = takeBoardSnapshot();
        // The window is closed at the question.
        EXPECT_EQ(edit(), 1) << entry;
        EXPECT_TRUE(takeBoardSnapshot() == before) << entry;
        EXPECT_TRUE(showsCoordinates(5, 4)) << entry;
        EXPECT_TRUE(infoLineReads(kInvalidEntryQuestion)) << entry;
    }
}

TEST_F(MapEditorTest, AnsweringNoGoesOnWithEntriesAndYesEndsThem) {
    scriptIntoEntryLoop();
    scriptEntry("2,3,c,1,7");
    script({keyEvent(SDLK_a), keyEvent(SDLK_RETURN), keyEvent(SDLK_n)});
    scriptEntry("2,3,c,1,7,5");
    scriptDoneEditing();
    script({keyEvent(SDLK_n)});
    EXPECT_EQ(edit(), 2);
    EXPECT_EQ(scriptedPassesLeft(), 0);
    EXPECT_EQ(dryPolls(), 0);
    EXPECT_EQ(gUnitType[2][3], 'c');
    EXPECT_EQ(gNumberOfUnit[1], 1);
}

TEST_F(MapEditorTest, TextTypedByAnAnswerKeyDoesNotReachTheEntry) {
    // A key press also types its letter while text input is on; the question takes the whole pass.
    script({keyEvent(SDLK_SPACE)});
    scriptTogether({keyEvent(SDLK_y), textEvent("y")});
    scriptEntry("2,3,c,1,7,5");
    scriptEntry("z");
    scriptTogether({keyEvent(SDLK_n), textEvent("n")});
    scriptEntry("3,3,c,1,7,5");
    EXPECT_EQ(edit(), 1);
    EXPECT_EQ(gUnitType[2][3], 'c');
    EXPECT_EQ(gUnitType[3][3], 'c');
}

TEST_F(MapEditorTest, KeysBehindAnAnswerInTheSamePassBelongToTheSameWait) {
    const SDL_Event key = keyEvent(SDLK_ESCAPE);
    const SDL_Event yes = keyEvent(SDLK_y);
    const SDL_Event no = keyEvent(SDLK_n);
    const SDL_Event done = keyEvent(SDLK_RETURN);
    struct Case {
        const char* what;
        std::vector<std::vector<SDL_Event>> passes;  // the events of each pass, queued together
        int healthPointAt23;                         // the Archer's 2, a new unit's, or 0 once cleared
        std::string infoLine;                        // the wait that the window is closed at
    };
    const Case cases[] = {
        {"help screen", {{key, no}}, 2, kKeepOrClearQuestion},
        {"keep or clear", {{key}, {yes, no}}, 0, kEntryPrompt},
        {"entry typed on",
         {{key}, {yes}, {textEvent("2,3,c,1,7,5"), done, textEvent("0")}},
         50,
         kEntryPrompt},
        {"entry corrected",
         {{key}, {yes}, {textEvent("2,3,c,1,7,59"), done, keyEvent(SDLK_BACKSPACE)}},
         5,
         kEntryPrompt},
        {"invalid-entry question", {{key}, {yes}, {textEvent("q"), done}, {no, yes}}, 2, kSaveQuestion},
    };
    for (const Case& c : cases) {
        setUpBoard();
        clearScript();
        for (const std::vector<SDL_Event>& pass : c.passes) scriptTogether(pass);
        EXPECT_EQ(edit(), 1) << c.what;
        EXPECT_EQ(gUnitHealthPoint[2][3], c.healthPointAt23) << c.what;
        EXPECT_TRUE(infoLineReads(c.infoLine)) << c.what;
    }
}

TEST_F(MapEditorTest, BackspaceTakesTheLastCharacterOffTheEntryAndTheScreen) {
    struct Case {
        const char* what;
        std::vector<SDL_Event> events;
        std::string shown;
    };
    const Case cases[] = {
        {"on an empty entry", {keyEvent(SDLK_BACKSPACE), textEvent("2")}, "2"},
        {"after typing", {textEvent("ab"), keyEvent(SDLK_BACKSPACE)}, "a"},
        {"twice", {textEvent("abc"), keyEvent(SDLK_BACKSPACE), keyEvent(SDLK_BACKSPACE)}, "a"},
        {"more often than typed",
         {textEvent("a"), keyEvent(SDLK_BACKSPACE), keyEvent(SDLK_BACKSPACE), textEvent("b")},
         "b"},
    };
    for (const Case& c : cases) {
        clearScript();
        scriptIntoEntryLoop();
        scriptEvents(c.events);
        EXPECT_EQ(edit(), 1) << c.what;
        EXPECT_TRUE(infoLineReads(std::string(kEntryPrompt) + c.shown)) << c.what;
    }

    clearScript();
    scriptIntoEntryLoop();
    scriptEvents({keyEvent(SDLK_BACKSPACE), textEvent("2,3,c,1,7,59"), keyEvent(SDLK_BACKSPACE)});
    script({keyEvent(SDLK_RETURN)});
    EXPECT_EQ(edit(), 1);
    EXPECT_EQ(gUnitHealthPoint[2][3], 5);
}

TEST_F(MapEditorTest, TheNextEntryIsTypedWhereThePreviousOneStood) {
    scriptIntoEntryLoop();
    scriptEntry("2,3,c,1,7,5");
    scriptEntry("qq");
    script({keyEvent(SDLK_n), textEvent("3")});
    scriptEntry(",3,s,2,1,1");
    script({textEvent("x")});
    EXPECT_EQ(edit(), 1);
    EXPECT_EQ(gUnitType[3][3], 's');
    EXPECT_TRUE(infoLineReads(std::string(kEntryPrompt) + "x"));
}

TEST_F(MapEditorTest, EntryLongerThanTheBufferKeepsItsFirst261Bytes) {
    // 261 bytes: the health points are the leading-zero number that ends the buffer.
    const std::string entry = "2,3,c,1,7," + std::string(250, '0') + "5";
    ASSERT_EQ(entry.size(), 261u);
    scriptIntoEntryLoop();
    scriptEntry(entry + "99999999999999999999999999999999999999");
    script({textEvent("q")});
    EXPECT_EQ(edit(), 1);
    EXPECT_EQ(gUnitHealthPoint[2][3], 5);
    EXPECT_TRUE(infoLineReads(std::string(kEntryPrompt) + "q"));
}

TEST_F(MapEditorTest, KeepOrClearShowsTheBoardAndNoClearsIt) {
    setUpBoard();
    const BoardSnapshot before = takeBoardSnapshot();
    script({keyEvent(SDLK_SPACE)});
    EXPECT_EQ(edit(), 1);
    EXPECT_TRUE(showsBoardState(2, 3));
    EXPECT_TRUE(showsBoardState(7, 9));

    clearScript();
    script({keyEvent(SDLK_SPACE), keyEvent(SDLK_a), keyEvent(SDLK_y)});
    EXPECT_EQ(edit(), 1);
    EXPECT_TRUE(takeBoardSnapshot() == before);
    EXPECT_TRUE(showsCoordinates(2, 3));

    clearScript();
    script({keyEvent(SDLK_SPACE), keyEvent(SDLK_RETURN), keyEvent(SDLK_n)});
    EXPECT_EQ(edit(), 1);
    EXPECT_TRUE(takeBoardSnapshot() == BoardSnapshot{});
    EXPECT_TRUE(showsCoordinates(2, 3));
    EXPECT_TRUE(showsCoordinates(7, 9));
}

TEST_F(MapEditorTest, BoardShowsEveryCoordinateLabel) {
    setUpBoard();
    scriptIntoEntryLoop();
    EXPECT_EQ(edit(), 1);
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            EXPECT_TRUE(showsCoordinates(row, column)) << row << "," << column;
        }
    }
}

TEST_F(MapEditorTest, ClosingTheWindowAtAnyWaitReturnsOne) {
    const SDL_Event key = keyEvent(SDLK_SPACE);
    const SDL_Event yes = keyEvent(SDLK_y);
    const SDL_Event done = keyEvent(SDLK_RETURN);
    struct Case {
        const char* wait;
        std::vector<SDL_Event> events;
        std::string infoLine;  // what the info line shows at the wait; empty: not checked
    };
    const Case cases[] = {
        {"help", {}, ""},
        {"keep or clear", {key}, kKeepOrClearQuestion},
        {"entry", {key, yes, textEvent("2,3")}, std::string(kEntryPrompt) + "2,3"},
        {"invalid-entry question", {key, yes, textEvent("q"), done}, kInvalidEntryQuestion},
        {"save question", {key, yes, textEvent("q"), done, yes}, kSaveQuestion},
        {"save name", {key, yes, textEvent("q"), done, yes, yes, textEvent("closed")}, ""},
    };
    const std::set<std::filesystem::path> filesBefore = filesIn(workDirectory);
    for (const Case& c : cases) {
        clearScript();
        scriptEvents(c.events);
        script({quitEvent()});
        EXPECT_EQ(edit(), 1) << c.wait;
        EXPECT_EQ(scriptedPassesLeft(), 0) << c.wait;
        EXPECT_EQ(dryPolls(), 0) << c.wait;
        EXPECT_STREQ(name, "map01") << c.wait;
        if (!c.infoLine.empty()) {
            EXPECT_TRUE(infoLineReads(c.infoLine)) << c.wait;
        }
    }
    EXPECT_EQ(filesIn(workDirectory), filesBefore);
}

TEST_F(MapEditorTest, NoToSavingReturnsTwoAndWritesNothing) {
    const std::set<std::filesystem::path> filesBefore = filesIn(workDirectory);
    scriptIntoEntryLoop();
    scriptEntry("2,3,c,1,7,5");
    scriptDoneEditing();
    script({keyEvent(SDLK_a), keyEvent(SDLK_n)});
    EXPECT_EQ(edit(), 2);
    EXPECT_EQ(scriptedPassesLeft(), 0);
    EXPECT_EQ(filesIn(workDirectory), filesBefore);
    EXPECT_STREQ(name, "map01");
    EXPECT_EQ(gUnitType[2][3], 'c');
}

TEST_F(MapEditorTest, EditedAndSavedBoardLoadsAgainUnchanged) {
    setUpBoard();
    script({keyEvent(SDLK_SPACE), keyEvent(SDLK_n)});
    scriptEntry("2,3,c,1,7,5");
    scriptEntry("0,16,S,2,10,8");
    scriptEntry("9,0,a,2,0,2");
    scriptEntry("5,4,x,150");
    scriptEntry("6,4,r,7");
    scriptEntry("9,0,c,1,3,4");
    scriptDoneEditing();
    script({keyEvent(SDLK_y), textEvent("edited"), keyEvent(SDLK_RETURN)});
    ASSERT_EQ(edit(), 0);
    EXPECT_STREQ(name, "edited");
    EXPECT_EQ(gNumberOfUnit[1], 2);
    EXPECT_EQ(gNumberOfUnit[2], 1);
    EXPECT_EQ(gMap[5][4], 150);
    EXPECT_EQ(gMap[6][4], 7);
    EXPECT_EQ(gMap[7][9], 0);  // the board was cleared first
    const BoardSnapshot saved = takeBoardSnapshot();

    emptyBoard();
    char loadName[kNameBufferSize] = "edited";
    ASSERT_EQ(loadStatusMatrix(0, loadName), 0);
    EXPECT_TRUE(takeBoardSnapshot() == saved);
}

}  // namespace
