#include "state/map_file.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "flow/map_prompt.h"
#include "render/text.h"
#include "state/board.h"
#include "support/board_invariants.h"
#include "support/game_test.h"

namespace fs = std::filesystem;

namespace {

struct Unit {
    int row, column;
    char type;
    int owner, actionPoint, healthPoint;
    bool operator==(const Unit&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Unit& unit) {
    return out << "(" << unit.row << "," << unit.column << "," << unit.type << "," << unit.owner << ","
               << unit.actionPoint << "," << unit.healthPoint << ")";
}

std::vector<Unit> unitsOnBoard() {
    std::vector<Unit> units;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            if (gUnitOwner[row][column] == 0) continue;
            units.push_back({row, column, gUnitType[row][column], gUnitOwner[row][column],
                             gUnitActionPoint[row][column], gUnitHealthPoint[row][column]});
        }
    }
    return units;
}

void parse(const std::string& text) {
    parseStatusMatrix(text.data(), text.size());
}

// The tile block of an all-ground board as the game writes it.
std::string groundTileBlock() {
    std::string line;
    for (int column = 0; column < kBoardColumns; ++column) line += "0,";
    std::string block;
    for (int row = 0; row < kBoardRows; ++row) block += line + "\n";
    return block;
}

// A board with every tile number 0 to 255 across two boards (offset 0 and 86), units of every kind
// and owner with action and health points at both ends of their ranges, some on rocks.
void setVariedBoard(int tileOffset) {
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            gMap[row][column] = static_cast<std::uint8_t>(tileOffset + row * kBoardColumns + column);
        }
    }
    const Unit units[] = {{0, 0, 'a', 1, 0, 1},   {0, 16, 's', 2, 99, 99}, {4, 7, 'c', 1, 7, 5},
                          {9, 16, 'c', 2, 10, 5}, {9, 0, 's', 1, 99, 1},   {5, 8, 'a', 2, 0, 99}};
    for (const Unit& u : units) addUnit(u.row, u.column, u.type, u.owner, u.actionPoint, u.healthPoint, 0, 0);
}

// What a save must keep of every file under the working directory: type, permissions, owner, names and
// link.
std::string filesThere() {
    std::string listing;
    FILE* find = popen("find . -mindepth 1 -printf '%p %M %U:%G %n %l\\n' | sort", "r");
    for (int c; find != nullptr && (c = std::fgetc(find)) != EOF;) listing += static_cast<char>(c);
    if (find != nullptr) pclose(find);
    return listing;
}

class MapFileTest : public GameTest {
   protected:
    // Saves through the prompt, typing name and Return; buffer holds the suggestion.
    int saveTyped(const char* typed, char buffer[kNameBufferSize]) {
        script({textEvent(typed), keyEvent(SDLK_RETURN)});
        return saveStatusMatrix(buffer);
    }
    int saveAs(const char* typed) {
        char buffer[kNameBufferSize] = "suggestion";
        return saveTyped(typed, buffer);
    }
    int load(const char* name) {
        char buffer[kNameBufferSize] = {};
        std::strcpy(buffer, name);
        return loadStatusMatrix(0, buffer);
    }
};

TEST_F(MapFileTest, VariedBoardsSurviveSaveAndLoad) {
    for (int tileOffset : {0, 86}) {
        emptyBoard();
        setVariedBoard(tileOffset);
        const BoardSnapshot saved = takeBoardSnapshot();
        ASSERT_EQ(saveAs("varied"), 0);
        setVariedBoard(tileOffset + 1);
        addUnit(3, 3, 'a', 1, 5, 5, 0, 0);
        ASSERT_EQ(load("varied"), 0);
        EXPECT_TRUE(takeBoardSnapshot() == saved) << "tile offset " << tileOffset;
    }
}

TEST_F(MapFileTest, SavedTextIsTheGameFormat) {
    gMap[5][4] = 150;
    addUnit(0, 16, 's', 2, 10, 8, 0, 0);
    addUnit(2, 3, 'c', 1, 7, 5, 0, 0);
    addUnit(0, 1, 'a', 1, 0, 99, 0, 0);
    ASSERT_EQ(saveAs("format"), 0);
    std::string expected = groundTileBlock();
    expected.replace(5 * 35 + 4 * 2, 2, "150,");
    expected += "0,1,a,1,0,99\n0,16,s,2,10,8\n2,3,c,1,7,5\n";
    EXPECT_EQ(readFile("format.txt"), expected);
}

TEST_F(MapFileTest, EmptyBoardIsTenLinesAndLoadsWithNoUnits) {
    ASSERT_EQ(saveAs("empty"), 0);
    EXPECT_EQ(readFile("empty.txt"), groundTileBlock());
    addUnit(1, 1, 'a', 1, 5, 5, 0, 0);
    addUnit(2, 2, 'a', 2, 5, 5, 0, 0);
    ASSERT_EQ(load("empty"), 0);
    EXPECT_TRUE(unitsOnBoard().empty());
    EXPECT_EQ(gNumberOfUnit[1], 0);
    EXPECT_EQ(gNumberOfUnit[2], 0);
}

TEST(MapFileReader, UnitBlockIsReadAsLenientlyAsTheGameAllows) {
    struct Case {
        const char* what;
        std::string units;
        std::vector<Unit> expected;
    };
    const Case cases[] = {
        {"upper-case kind skipped", "1,1,A,1,5,5\n2,2,a,1,5,5\n", {{2, 2, 'a', 1, 5, 5}}},
        {"five fields end the block", "0,0,c,2,3,4\n1,1,a,1,5\n2,2,a,1,5,5\n", {{0, 0, 'c', 2, 3, 4}}},
        {"same hex twice keeps the second", "3,3,a,1,5,5\n3,3,s,2,9,9\n", {{3, 3, 's', 2, 9, 9}}},
        {"refused lines skipped",
         "0,0,a,3,5,5\n0,1,a,1,100,5\n0,2,a,1,5,0\n9,17,a,1,5,5\n-1,0,a,1,5,5\n0,3,a,1,-1,5\n0,4,c,2,0,1\n",
         {{0, 4, 'c', 2, 0, 1}}},
        {"white space before numbers", "  4,\t5,s, 1,\n7,  8   \n\n", {{4, 5, 's', 1, 7, 8}}},
        {"a blank kind is refused, reading goes on", "0,0, ,1,5,5\n0,1,a,1,5,5\n", {{0, 1, 'a', 1, 5, 5}}},
        {"the kind must follow its comma", "0,0, a,1,5,5\n0,1,a,1,5,5\n", {}},
        {"white space before a comma ends the block", "0 ,1,a,1,5,5\n0,2,a,1,5,5\n", {}},
        {"last line without a line break", "6,6,c,2,10,5", {{6, 6, 'c', 2, 10, 5}}},
        {"a row beyond int is refused, reading goes on",
         "2147483648,0,a,1,5,5\n1,1,a,1,5,5\n",
         {{1, 1, 'a', 1, 5, 5}}},
        {"action points never wrap", "0,0,a,1,4294967301,5\n1,1,a,1,5,5\n", {{1, 1, 'a', 1, 5, 5}}},
        {"health points never wrap", "1,1,a,1,5,5\n0,0,a,1,5,4294967297\n", {{1, 1, 'a', 1, 5, 5}}},
        {"any field beyond int is refused",
         "0,-99999999999999999999,a,1,5,5\n0,0,a,-4294967295,5,5\n0,3,a,1,5,123456789012345678901234567890\n"
         "1,1,a,1,5,5\n",
         {{1, 1, 'a', 1, 5, 5}}},
        {"sign and leading zeros", "+0,-0,a,+001,0007,05\n", {{0, 0, 'a', 1, 7, 5}}},
    };
    for (const Case& c : cases) {
        parse(groundTileBlock() + c.units);
        EXPECT_EQ(unitsOnBoard(), c.expected) << c.what;
        EXPECT_EQ(boardInvariantViolation(), "") << c.what;
    }
}

TEST(MapFileReader, TileNumbersKeepTheirLowEightBits) {
    // Commas are optional and the tiles need not be broken into lines. The numbers beyond int keep the
    // low 8 bits of their exact value (worked out apart from the game), and reading goes on.
    std::string text =
        "256 300, -1,2147483647,-2147483648,\t129 128 2147483648,-2147483649,99999999999999999999,"
        "-99999999999999999999,+0012345678901234567890123,-12345678901234567890123,";
    for (int item = 13; item < kBoardHexes; ++item) text += " 7";
    parse(text + "\n0,6,a,1,5,5\n");
    const int expected[] = {0, 44, 255, 255, 0, 129, 0, 0, 255, 255, 1, 203, 53};
    for (int column = 0; column < 13; ++column) EXPECT_EQ(gMap[0][column], expected[column]) << column;
    EXPECT_EQ(gMap[9][16], 7);
    EXPECT_EQ(gMap[0][6], 0) << "a unit placed on rocks turns them into ground";
    EXPECT_EQ(unitsOnBoard(), std::vector<Unit>({{0, 6, 'a', 1, 5, 5}}));
}

TEST(MapFileReader, UnreadableTileEndsTheWholeRead) {
    for (const char* bad : {"x", "-,", "+x", ","}) {
        std::string text;
        for (int item = 0; item < kBoardHexes; ++item) text += item == 3 * kBoardColumns + 5 ? bad : "7,";
        parse(text + "\n1,1,a,1,5,5\n");
        for (int item = 0; item < kBoardHexes; ++item) {
            ASSERT_EQ(gMap[item / kBoardColumns][item % kBoardColumns], item < 3 * kBoardColumns + 5 ? 7 : 0)
                << "bad tile \"" << bad << "\", hex " << item;
        }
        EXPECT_TRUE(unitsOnBoard().empty()) << bad;
    }
}

TEST_F(MapFileTest, CarriageReturnLineBreaksLoadAlike) {
    setVariedBoard(40);
    ASSERT_EQ(saveAs("plain"), 0);
    const BoardSnapshot saved = takeBoardSnapshot();
    std::string crlf;
    for (char c : readFile("plain.txt")) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    writeFile("crlf.txt", crlf);
    emptyBoard();
    ASSERT_EQ(load("crlf"), 0);
    EXPECT_TRUE(takeBoardSnapshot() == saved);
}

TEST_F(MapFileTest, FailedLoadLeavesBoardAndNameAndSaysSo) {
    fs::create_directory(workDirectory / "folder.txt");
    addUnit(1, 1, 'c', 2, 5, 5, 0, 0);
    gMap[2][2] = 200;
    const BoardSnapshot before = takeBoardSnapshot();
    for (const char* name : {"missing", "folder"}) {
        char buffer[kNameBufferSize] = {};
        std::strcpy(buffer, name);
        startCapturingStdout();
        EXPECT_EQ(loadStatusMatrix(0, buffer), 2);
        EXPECT_EQ(capturedStdout(), std::string("\nError opening file ") + name + ".txt");
        EXPECT_STREQ(buffer, name);
    }
    char buffer[kNameBufferSize] = "map01";
    script({textEvent("nothere"), keyEvent(SDLK_RETURN)});
    startCapturingStdout();
    EXPECT_EQ(loadStatusMatrix(1, buffer), 2);
    EXPECT_EQ(capturedStdout(), "\nError opening file nothere.txt");
    EXPECT_STREQ(buffer, "map01");
    EXPECT_TRUE(takeBoardSnapshot() == before);
}

// Files of any size are read through the game's fixed buffer, as leniently as small ones.
TEST_F(MapFileTest, LargeFilesLoadLikeSmallOnes) {
    const std::string spaces(1 << 20, ' ');
    std::string rocks = groundTileBlock();
    std::replace(rocks.begin(), rocks.end(), '0', '9');  // tile 9 everywhere
    struct Case {
        std::string text;
        int firstTile;
        int lastTile;
        std::vector<Unit> units;
    };
    const Case cases[] = {
        {rocks + spaces + "4,4,s,1,7,8\n" + spaces, 9, 9, {{4, 4, 's', 1, 7, 8}}},
        {rocks + std::string(3 << 20, '\n') + "2,2,c,2,5,5\n", 9, 9, {{2, 2, 'c', 2, 5, 5}}},
        {std::string(1 << 20, '0') + "5," + rocks, 5, 9, {}},  // leading zeros, then one tile too many
        {std::string(1 << 20, '7') + "," + rocks + "4,4,s,1,7,8\n",
         113,
         9,
         {}},  // a number of a million digits keeps its low 8 bits; then one tile too many
    };
    for (const Case& c : cases) {
        writeFile("large.txt", c.text);
        char buffer[kNameBufferSize] = "map01";
        std::strcpy(buffer, "large");
        EXPECT_EQ(loadStatusMatrix(0, buffer), 0);
        EXPECT_STREQ(buffer, "large");
        EXPECT_EQ(gMap[0][0], c.firstTile);
        EXPECT_EQ(gMap[9][16], c.lastTile);
        EXPECT_EQ(unitsOnBoard(), c.units);
    }
}

TEST_F(MapFileTest, EmptyNameOpensDotTxt) {
    writeFile(".txt", groundTileBlock() + "4,4,s,1,7,8\n");
    char buffer[kNameBufferSize] = "map01";
    script({keyEvent(SDLK_RETURN)});
    EXPECT_EQ(loadStatusMatrix(1, buffer), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(unitsOnBoard(), std::vector<Unit>({{4, 4, 's', 1, 7, 8}}));
}

TEST_F(MapFileTest, LoadPromptTakesTheTypedName) {
    writeFile("ab.txt", groundTileBlock() + "8,0,a,1,7,2\n");
    gTextX = 2;
    gTextY = 0;
    SDL_Event early = textEvent("zz");
    SDL_PushEvent(&early);  // typed before the prompt appeared: dropped
    script({keyEvent(SDLK_BACKSPACE), textEvent("abc"), keyEvent(SDLK_BACKSPACE), keyEvent(SDLK_KP_ENTER)});
    char buffer[kNameBufferSize] = "map01";
    EXPECT_EQ(loadStatusMatrix(1, buffer), 0);
    EXPECT_STREQ(buffer, "ab");
    EXPECT_EQ(unitsOnBoard(), std::vector<Unit>({{8, 0, 'a', 1, 7, 2}}));
    // The prompt starts a line below the cursor; the typed name follows it on the same line.
    const int promptLength = static_cast<int>(
        std::strlen("Enter map file name without the \".txt\" extension (like \"map01\"): "));
    EXPECT_EQ(cellMismatches("font.bmp", 0x000000, {14 * kGlyphSize, 0, kGlyphSize, kGlyphSize}, 2, 8), 0);
    EXPECT_EQ(gTextY, 8);
    EXPECT_EQ(gTextX, 2 + kGlyphSize * (promptLength + 2));
}

TEST_F(MapFileTest, ThePassThatFinishesANameIsReadToItsEnd) {
    writeFile("map02.txt", groundTileBlock() + "8,0,a,1,7,2\n");
    struct Case {
        const char* what;
        bool saving;
        std::vector<SDL_Event> pass;  // all queued together
        int result;
        const char* name;  // the buffer afterwards
    };
    const Case cases[] = {
        {"Backspace behind Return",
         false,
         {textEvent("map02x"), keyEvent(SDLK_RETURN), keyEvent(SDLK_BACKSPACE)},
         0,
         "map02"},
        {"text behind Return", true, {textEvent("ab"), keyEvent(SDLK_RETURN), textEvent("c")}, 0, "abc"},
        {"a second Return", true, {textEvent("de"), keyEvent(SDLK_RETURN), keyEvent(SDLK_KP_ENTER)}, 0, "de"},
        {"quit behind Return", false, {textEvent("map02"), keyEvent(SDLK_RETURN), quitEvent()}, 1, "map01"},
    };
    for (const Case& c : cases) {
        clearScript();
        scriptTogether(c.pass);
        char buffer[kNameBufferSize] = "map01";
        EXPECT_EQ(c.saving ? saveStatusMatrix(buffer) : loadStatusMatrix(1, buffer), c.result) << c.what;
        EXPECT_STREQ(buffer, c.name) << c.what;
    }
    EXPECT_TRUE(fs::exists(workDirectory / "abc.txt"));
}

TEST_F(MapFileTest, SavePromptShowsTheSuggestionAndTakesTheTypedName) {
    gTextX = kInfoLineX;
    gTextY = kInfoLineY;
    script({textEvent("abc"), keyEvent(SDLK_BACKSPACE), keyEvent(SDLK_RETURN2)});
    char buffer[kNameBufferSize] = "map01";
    EXPECT_EQ(saveStatusMatrix(buffer), 0);
    EXPECT_STREQ(buffer, "ab");
    EXPECT_EQ(readFile("ab.txt"), groundTileBlock());
    const int startLength =
        static_cast<int>(std::strlen("Enter save file name without the \".txt\" extension (like \""));
    const SDL_Rect glyphM = {0, 3 * kGlyphSize, kGlyphSize, kGlyphSize};
    EXPECT_EQ(cellMismatches("font.bmp", 0x000000, glyphM, kInfoLineX + kGlyphSize * startLength, kInfoLineY),
              0);
    EXPECT_EQ(gTextX, kInfoLineX + kGlyphSize * (startLength + 5 + 4 + 2));
}

TEST_F(MapFileTest, ClosingTheWindowDuringThePromptChangesNothing) {
    addUnit(1, 1, 'c', 2, 5, 5, 0, 0);
    writeFile("ab.txt", groundTileBlock());
    const BoardSnapshot before = takeBoardSnapshot();
    char buffer[kNameBufferSize] = "map01";
    script({textEvent("ab"), quitEvent()});
    EXPECT_EQ(loadStatusMatrix(1, buffer), 1);
    script({textEvent("cd"), quitEvent()});
    EXPECT_EQ(saveStatusMatrix(buffer), 1);
    EXPECT_STREQ(buffer, "map01");
    EXPECT_TRUE(takeBoardSnapshot() == before);
    EXPECT_FALSE(fs::exists(workDirectory / "cd.txt"));
}

TEST_F(MapFileTest, TypedNameIsCutToWhatFitsWithTheExtension) {
    const std::string chunk(30, 'n');
    for (int saving = 0; saving < 2; ++saving) {
        for (int typed = 0; typed < 10; ++typed) script({textEvent(chunk.c_str())});
        script({keyEvent(SDLK_RETURN)});
        char buffer[kNameBufferSize] = "map01";
        startCapturingStdout();
        // 257 characters and ".txt" make a file name too long for the file system.
        EXPECT_EQ(saving ? saveStatusMatrix(buffer) : loadStatusMatrix(1, buffer), 2);
        EXPECT_EQ(capturedStdout(), "\nError opening file " + std::string(257, 'n') + ".txt");
        EXPECT_STREQ(buffer, "map01");
    }
}

// A new map file gets the usual permissions; an old one is replaced whole.
TEST_F(MapFileTest, SaveReplacesTheOldFileWithTheUsualPermissions) {
    writeFile("old.txt", std::string(5000, 'x'));
    const mode_t previousMask = umask(022);
    addUnit(9, 16, 'a', 2, 10, 2, 0, 0);
    const int created = saveAs("new");
    const std::string filesBefore = filesThere();
    const int replaced = saveAs("old");
    umask(previousMask);
    ASSERT_EQ(created, 0);
    ASSERT_EQ(replaced, 0);
    EXPECT_EQ(readFile("old.txt"), groundTileBlock() + "9,16,a,2,10,2\n");
    EXPECT_EQ(
        fs::status(workDirectory / "new.txt").permissions(),
        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(filesThere(), filesBefore);
}

TEST_F(MapFileTest, SaveThatCannotCreateOrReplaceFailsCleanly) {
    fs::create_directory(workDirectory / "folder.txt");
    const auto filesBefore = filesThere();
    for (const char* name : {"nodir/map", "folder"}) {
        char buffer[kNameBufferSize] = "map01";
        startCapturingStdout();
        EXPECT_EQ(saveTyped(name, buffer), 2);
        EXPECT_EQ(capturedStdout(), std::string("\nError opening file ") + name + ".txt");
        EXPECT_STREQ(buffer, "map01");
    }
    EXPECT_FALSE(fs::exists(workDirectory / "nodir"));
    EXPECT_TRUE(fs::is_directory(workDirectory / "folder.txt"));
    EXPECT_EQ(filesThere(), filesBefore);
}

TEST_F(MapFileTest, SaveWhoseWritesFailKeepsTheOldFile) {
    writeFile("big.txt", "old map");
    writeFile("child_stdout", "");
    const auto filesBefore = filesThere();
    setVariedBoard(0);
    script({textEvent("big"), keyEvent(SDLK_RETURN)});
    std::fflush(stdout);
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        // The message goes to a file of its own, small enough for the limit.
        if (std::freopen("child_stdout", "w", stdout) == nullptr) _exit(100);
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit = {64, 64};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(101);
        char buffer[kNameBufferSize] = "map01";
        const int result = saveStatusMatrix(buffer);
        std::fflush(stdout);
        _exit(result == 2 && std::strcmp(buffer, "map01") == 0 ? 0 : 10 + result);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readFile("child_stdout"), "\nError opening file big.txt");
    EXPECT_EQ(readFile("big.txt"), "old map");
    EXPECT_EQ(filesThere(), filesBefore);
}

// A save onto what is there: shell commands make it, with "old" in every file; then the map of that name
// is saved. The files written hold the map; when there are none, the save fails as a plain write would.
struct SaveCase {
    const char* what;
    std::string prepare;
    std::string name;
    std::vector<std::string> written;
};
constexpr int kNoUnprivilegedUser = 100;

// Saves in a child process, as user when one is given; its standard output is the parent's.
int saveInChild(const std::string& name, const passwd* user) {
    const pid_t child = fork();
    if (child == 0) {
        const bool becameUser = user == nullptr || (setgroups(0, nullptr) == 0 && setgid(user->pw_gid) == 0 &&
                                                    setuid(user->pw_uid) == 0 && geteuid() != 0);
        _exit(becameUser ? saveMapByName(name.c_str()) : kNoUnprivilegedUser);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Each case in a fresh directory: a save keeps what every file is, and a failed one its content too.
void saveEach(const std::vector<SaveCase>& cases, const passwd* user) {
    addUnit(4, 7, 'c', 1, 7, 5, 0, 0);
    const std::string map = mapFileText();
    for (const SaveCase& c : cases) {
        fs::create_directory("saves");
        fs::current_path("saves");
        ASSERT_EQ(std::system(c.prepare.c_str()), 0) << c.what;
        if (user != nullptr) {
            ASSERT_EQ(chown(".", user->pw_uid, user->pw_gid), 0);
        }
        const std::string before = filesThere();
        startCapturingStdout();
        const int result = saveInChild(c.name, user);
        const std::string output = capturedStdout();
        if (result == kNoUnprivilegedUser) GTEST_SKIP() << "no unprivileged user can be had";
        EXPECT_EQ(result, c.written.empty() ? 2 : 0) << c.what;
        EXPECT_EQ(output, c.written.empty() ? "\nError opening file " + c.name + ".txt" : "") << c.what;
        EXPECT_EQ(filesThere(), before) << c.what;
        const auto content = [](const std::string& file) {
            std::ifstream in(file);
            return std::string(std::istreambuf_iterator<char>(in), {});
        };
        for (const std::string& file : c.written) EXPECT_EQ(content(file), map) << c.what << ": " << file;
        if (c.written.empty() && fs::exists(c.name + ".txt")) {
            EXPECT_EQ(content(c.name + ".txt"), "old") << c.what;
        }
        fs::current_path("..");
        ASSERT_EQ(std::system("chmod -R u+rwx saves && rm -r saves"), 0);
    }
}

// A save writes the file that a plain write would write, and keeps what that file is.
TEST_F(MapFileTest, SaveWritesTheFileThatIsThereAndKeepsWhatItIs) {
    const std::string longest(251, 'n'), longer(245, 'n');
    saveEach({{"through links, each from its own directory",
               "mkdir maps && printf old > maps/real.txt && ln -s real.txt maps/next.txt && ln -s "
               "maps/next.txt a.txt",
               "a",
               {"maps/real.txt"}},
              {"permission bits", "printf old > odd.txt && chmod 604 odd.txt", "odd", {"odd.txt"}},
              {"another user's file (as root)",
               "printf old > theirs.txt && (chown nobody: theirs.txt 2>/dev/null || true)",
               "theirs",
               {"theirs.txt"}},
              {"both names of a file",
               "printf old > one.txt && ln one.txt two.txt",
               "one",
               {"one.txt", "two.txt"}},
              {"the longest name", "printf old > " + longest + ".txt", longest, {longest + ".txt"}},
              {"a long name", "printf old > " + longer + ".txt", longer, {longer + ".txt"}}},
             nullptr);
}

// Where a plain write would fail, the save fails and changes nothing; where the directory takes no new
// file, the file itself is still written.
TEST_F(MapFileTest, SaveAsAnUnprivilegedUserWritesWhereAPlainWriteWould) {
    const passwd* user = geteuid() == 0 ? getpwnam("nobody") : nullptr;
    if (geteuid() == 0 && user == nullptr) GTEST_SKIP() << "no unprivileged user can be had";
    fs::permissions(workDirectory, fs::perms::others_exec, fs::perm_options::add);
    saveEach({{"a file that may not be written", "printf old > ro.txt && chmod 444 ro.txt", "ro", {}},
              {"a link to it", "printf old > ro.txt && chmod 444 ro.txt && ln -s ro.txt a.txt", "a", {}},
              {"a directory that takes no new file",
               "mkdir shut && printf old > shut/rw.txt && chmod 666 shut/rw.txt && chmod 555 shut",
               "shut/rw",
               {"shut/rw.txt"}},
              {"no file, in a directory that takes none", "mkdir shut && chmod 555 shut", "shut/new", {}}},
             user);
}

// Hex distance through cube coordinates of the odd-column-lower layout.
int distance(int rowA, int columnA, int rowB, int columnB) {
    const int zA = rowA - (columnA - (columnA & 1)) / 2, zB = rowB - (columnB - (columnB & 1)) / 2;
    const int dx = columnA - columnB, dz = zA - zB;
    return (std::abs(dx) + std::abs(dz) + std::abs(dx + dz)) / 2;
}

int recommendedHealth(char type) {
    return type == 'a' ? 2 : type == 'c' ? 5 : 8;
}

TEST_F(MapFileTest, GameMapsAreInTheWrittenFormat) {
    for (const char* name : {"map01", "HelpMap"}) {
        ASSERT_EQ(load(name), 0) << name;
        EXPECT_EQ(boardInvariantViolation(), "") << name;
        ASSERT_EQ(saveAs("resaved"), 0);
        EXPECT_EQ(readFile("resaved.txt"), readFile(std::string(name) + ".txt")) << name;
    }
}

// The default map: player 1 on the left, player 2 mirrored on the right with the same units, the
// editor's recommended points, rocks placed alike on both halves, and room to manoeuvre first.
TEST_F(MapFileTest, DefaultMapIsABalancedMirroredBattle) {
    ASSERT_EQ(load("map01"), 0);
    int obstacles = 0;
    std::set<char> kinds;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            const int mirror = kBoardColumns - 1 - column;
            obstacles += isObstacle(row, column);
            EXPECT_EQ(isObstacle(row, column), isObstacle(row, mirror)) << row << "," << column;
            if (gUnitOwner[row][column] != 1) continue;
            const char type = gUnitType[row][column];
            kinds.insert(type);
            EXPECT_LT(column, kBoardColumns / 2);
            EXPECT_EQ(gUnitOwner[row][mirror], 2) << row << "," << mirror;
            EXPECT_EQ(gUnitType[row][mirror], type) << row << "," << mirror;
            EXPECT_EQ(gUnitActionPoint[row][column], 7);
            EXPECT_EQ(gUnitActionPoint[row][mirror], 10);
            EXPECT_EQ(gUnitHealthPoint[row][column], recommendedHealth(type));
            EXPECT_EQ(gUnitHealthPoint[row][mirror], recommendedHealth(type));
        }
    }
    EXPECT_EQ(gNumberOfUnit[1], gNumberOfUnit[2]);
    EXPECT_EQ(kinds.size(), 3u);
    EXPECT_GE(obstacles, 8);
    const std::vector<Unit> units = unitsOnBoard();
    int closest = kBoardColumns;
    for (const Unit& a : units) {
        for (const Unit& b : units) {
            if (a.owner != b.owner) closest = std::min(closest, distance(a.row, a.column, b.row, b.column));
        }
    }
    EXPECT_GE(closest, 10) << "no unit can reach an enemy in the first turns";
}

// The help match starts its cursor at (7, 0) above a player-1 Archer, under a help text that covers
// rows 0 to 5.
TEST_F(MapFileTest, HelpMapSuitsTheHelpText) {
    ASSERT_EQ(load("HelpMap"), 0);
    EXPECT_EQ(gUnitType[8][0], 'a');
    EXPECT_EQ(gUnitOwner[8][0], 1);
    EXPECT_EQ(gUnitOwner[7][0], 0);
    EXPECT_FALSE(isObstacle(7, 0));
    std::set<std::pair<int, char>> kinds;
    bool enemyInRange = false;
    for (const Unit& unit : unitsOnBoard()) {
        kinds.insert({unit.owner, unit.type});
        enemyInRange = enemyInRange || (unit.owner == 2 && distance(8, 0, unit.row, unit.column) <= 2);
        EXPECT_GE(unit.row, 6) << unit;
    }
    EXPECT_EQ(kinds.size(), 6u) << "every kind for both players";
    EXPECT_TRUE(enemyInRange);
    int obstacles = 0;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            EXPECT_TRUE(row >= 6 || !isObstacle(row, column)) << row << "," << column;
            obstacles += isObstacle(row, column);
        }
    }
    EXPECT_GE(obstacles, 1);
}

// Random bytes, map-like token soup and mutated real map files must all load into a sound board.
TEST_F(MapFileTest, AnyTextLoadsIntoASoundBoard) {
    std::vector<std::string> maps;
    for (int offset : {0, 86, 200}) {
        emptyBoard();
        setVariedBoard(offset);
        ASSERT_EQ(saveAs("seed"), 0);
        maps.push_back(readFile("seed.txt"));
    }
    const char* tokens[] = {"0",
                            "7",
                            "99",
                            "100",
                            "-1",
                            "255",
                            "256",
                            "2147483647",
                            "2147483648",
                            "-2147483649",
                            ",",
                            ",",
                            ",",
                            " ",
                            "\n",
                            "\r\n",
                            "\t",
                            "a",
                            "c",
                            "s",
                            "A",
                            "x",
                            "+",
                            "-",
                            "1,1,a,1,5,5\n",
                            "0,0,s,2,99,99\n",
                            "5,5,c,1,0,1"};
    std::mt19937 generator(20160116);
    auto below = [&](std::size_t n) { return static_cast<std::size_t>(generator() % n); };
    for (int input = 0; input < 4000; ++input) {
        std::string text;
        if (input % 3 == 0) {
            text.resize(below(800));
            for (char& c : text) c = static_cast<char>(generator());
        } else if (input % 3 == 1) {
            for (std::size_t count = below(400); count > 0; --count) text += tokens[below(std::size(tokens))];
        } else {
            text = maps[below(maps.size())];
            for (std::size_t edits = 1 + below(8); edits > 0; --edits) {
                const std::size_t at = below(text.size() + 1);
                switch (below(3)) {
                    case 0:
                        if (at < text.size()) text[at] = static_cast<char>(generator());
                        break;
                    case 1:
                        text.insert(at, tokens[below(std::size(tokens))]);
                        break;
                    default:
                        text.erase(at, below(20));
                        break;
                }
            }
        }
        parse(text);
        ASSERT_EQ(boardInvariantViolation(), "") << "input " << input << ": " << testing::PrintToString(text);
    }
}

}  // namespace
