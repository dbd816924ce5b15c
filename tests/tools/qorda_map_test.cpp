// qorda-map run as a map maker runs it: check on small map texts, render against the game's own
// drawing, a duel worked out by hand, and duels' records carried out again through the rules.
#include <SDL_image.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "render/board_drawing.h"
#include "render/window.h"
#include "rules/rules.h"
#include "state/board.h"
#include "state/map_file.h"
#include "support/game_test.h"
#include "support/hex_distance.h"

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int status;
    std::string output;
};

// errors: the output holds what the tool wrote on standard error too.
ToolRun runTool(const std::string& arguments, bool errors = false) {
    const std::string command =
        std::string(QORDA_MAP_PATH) + " " + arguments + (errors ? " 2>&1" : " 2>/dev/null");
    ToolRun run = {-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char chunk[4096];
    while (const size_t read = std::fread(chunk, 1, sizeof chunk, pipe)) run.output.append(chunk, read);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// Ten rows of ground, with rocks (tile 200) at 3,3.
std::string tileBlock() {
    std::string block;
    for (int row = 0; row < 10; ++row) {
        for (int column = 0; column < 17; ++column) block += row == 3 && column == 3 ? "200," : "0,";
        block += "\n";
    }
    return block;
}

// The line numbers of the FILE:LINE: reports, in order.
std::vector<int> reportedLines(const std::string& output) {
    std::vector<int> lines;
    const std::regex report("map\\.txt:([0-9]+): .*");
    std::istringstream stream(output);
    std::smatch match;
    for (std::string line; std::getline(stream, line);) {
        if (std::regex_match(line, match, report)) lines.push_back(std::stoi(match[1]));
    }
    return lines;
}

class QordaMapTest : public GameTest {};

// What carrying out a record through the rules came to: the winner code of a winning attack, else 0; the
// turns that ended or were won; and the first line that the rules or the hex rules refused, if any.
struct Replay {
    int result = 0;
    int turns = 0;
    std::string refused;
};

// Carries out a record on the board in memory. A step must lead to a neighbour and an attack reach its
// target (an Archer's two hexes away, the others' next to it): the rules leave those tests to callers.
Replay replayRecord(const std::string& record) {
    Replay replay;
    std::istringstream lines(record);
    for (std::string line; std::getline(lines, line) && replay.refused.empty();) {
        int row, column, toRow, toColumn, player;
        const char* text = line.c_str();
        bool carriedOut = false;
        if (line.empty() || line[0] == '#') {
            carriedOut = true;
        } else if (std::sscanf(text, "move %d,%d %d,%d", &row, &column, &toRow, &toColumn) == 4) {
            carriedOut = hexDistance(row, column, toRow, toColumn) == 1 &&
                         moveUnit(row, column, toRow, toColumn, false) == kMoved;
        } else if (std::sscanf(text, "attack %d,%d %d,%d", &row, &column, &toRow, &toColumn) == 4) {
            const int reach = gUnitType[row][column] == 'a' ? 2 : 1;
            const bool enemy = gUnitOwner[toRow][toColumn] + gUnitOwner[row][column] == 3;
            script({keyEvent(SDLK_SPACE)});  // for the victory notice
            const int result = enemy && hexDistance(row, column, toRow, toColumn) == reach
                                   ? attackUnit(row, column, toRow, toColumn, false)
                                   : kTooFewActionPointsToAttack;
            clearScript();
            carriedOut = result == kAttackMade || isWinnerCode(result);
            if (isWinnerCode(result)) {
                replay.result = result;
                ++replay.turns;
            }
        } else if (std::sscanf(text, "end %d", &player) == 1) {
            addEndOfTurnActionPoint(player);
            ++replay.turns;
            carriedOut = true;
        }
        if (!carriedOut) replay.refused = line;
    }
    return replay;
}

// Compares a duel's report (result line, then each side's units left) with the board in memory.
void expectBoardAsReported(const std::string& report, const Replay& replay) {
    std::smatch match;
    const std::regex won(": player ([12]) wins after ([0-9]+) turns");
    const std::regex none(": no winner after ([0-9]+) turns");
    if (std::regex_search(report, match, won)) {
        EXPECT_EQ(replay.result, 10 + std::stoi(match[1]));
        EXPECT_EQ(replay.turns, std::stoi(match[2]));
    } else {
        ASSERT_TRUE(std::regex_search(report, match, none)) << report;
        EXPECT_EQ(replay.result, 0);
        EXPECT_EQ(replay.turns, std::stoi(match[1]));
    }
    const std::regex unit("(Archer|Cavalry|Shield) at ([0-9]+),([0-9]+) \\(A ([0-9]+), H ([0-9]+)\\)");
    int units = 0;
    for (auto found = std::sregex_iterator(report.begin(), report.end(), unit);
         found != std::sregex_iterator(); ++found, ++units) {
        const int row = std::stoi((*found)[2]), column = std::stoi((*found)[3]);
        EXPECT_EQ(gUnitType[row][column], std::tolower((*found)[1].str()[0])) << found->str();
        EXPECT_EQ(gUnitActionPoint[row][column], std::stoi((*found)[4])) << found->str();
        EXPECT_EQ(gUnitHealthPoint[row][column], std::stoi((*found)[5])) << found->str();
    }
    EXPECT_EQ(units, gNumberOfUnit[1] + gNumberOfUnit[2]);
}

TEST_F(QordaMapTest, CheckReportsWhatTheGameReadsOtherwiseByLine) {
    const std::string units = "0,0,c,1,7,5\n9,16,s,2,10,8\n";  // lines 11 and 12
    struct Case {
        std::string text;
        std::vector<int> lines;
        int status;
    };
    const Case cases[] = {
        {tileBlock() + units, {}, 0},
        {tileBlock() + units + "\n\n", {}, 0},                 // blank lines at the end are nothing
        {"0,0,256," + tileBlock().substr(6) + units, {1}, 1},  // a tile out of range
        {"0,0,x," + tileBlock().substr(6) + units, {1}, 1},    // a tile that cannot be read
        {tileBlock().substr(0, 40), {2}, 1},                   // the file ends in the tile block
        {tileBlock() + units + "3,3,a,1,7,2\n", {13}, 1},      // on the rocks
        {tileBlock() + units + "0,0,a,1,7,2\n", {13}, 1},      // replaces line 11's unit
        {tileBlock() + units + "10,0,a,1,7,2\n0,1,A,1,7,2\n0,1,a,3,7,2\n0,1,a,1,100,2\n0,1,a,1,7,0\n",
         {13, 14, 15, 16, 17},
         1},  // refused by the board, five ways
        {tileBlock() + units + "0,1,a,1,7\n\n1,1,c,1,7,5\n1,2,c,1,7,5\n", {13}, 1},  // the block ends early
        {tileBlock() + "0,0,c,1,7,5\n", {}, 1},                                      // player 2 has no units
        // Numbers beyond int: the tile keeps its low bits and the unit line is skipped; reading goes on.
        {"0,0,-99999999999999999999," + tileBlock().substr(6) + units + "0,0,a,1,7,2\n", {1, 13}, 1},
        {tileBlock() + units + "0,1,a,1,7,99999999999999999999\n0,0,a,1,7,2\n", {13, 14}, 1},
    };
    for (const Case& c : cases) {
        writeFile("map.txt", c.text);
        const ToolRun run = runTool("check map.txt");
        EXPECT_EQ(run.status, c.status) << c.text << run.output;
        EXPECT_EQ(reportedLines(run.output), c.lines) << c.text << run.output;
    }
    EXPECT_EQ(runTool("check map.txt missing.txt").status, 2);
}

TEST_F(QordaMapTest, RenderDrawsTheBoardAsTheGameDoes) {
    const ToolRun run = runTool("render map01.txt -o drawn.png --data " + std::string(QORDA_DATA_DIR));
    ASSERT_EQ(run.status, 0);
    SDL_Surface* loaded = IMG_Load("drawn.png");
    ASSERT_NE(loaded, nullptr);
    SDL_Surface* drawn = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    ASSERT_TRUE(loadMapFile("map01.txt"));
    clearPicture();
    renderMap();
    const std::vector<Uint32> picture = readPicture();
    int mismatches = 0;
    for (int y = 0; y < kWindowHeight; ++y) {
        const auto* row =
            reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(drawn->pixels) + y * drawn->pitch);
        for (int x = 0; x < kWindowWidth; ++x) {
            mismatches += (row[x] & 0xFFFFFF) != picture[static_cast<size_t>(y * kWindowWidth + x)];
        }
    }
    SDL_FreeSurface(drawn);
    EXPECT_EQ(mismatches, 0);
}

// Player 1's Cavalry has no action points for its first turn; player 2's Cavalry beside it has three,
// one attack's worth, and the Cavalry of player 1 has one health point.
TEST_F(QordaMapTest, DuelPlaysBothSidesTurnByTurn) {
    writeFile("duel.txt", tileBlock() + "0,0,c,1,0,1\n1,0,c,2,3,1\n");
    const ToolRun run = runTool("duel duel.txt");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output,
              "duel.txt: player 2 wins after 2 turns\n"
              "player 1: 0 units left\n"
              "player 2: 1 unit left: Cavalry at 1,0 (A 0, H 1)\n"
              "tally: standard: 1 win, 1 loss, 0 without a winner\n");
    const std::string shortDuel = runTool("duel duel.txt --turns 1").output;
    EXPECT_EQ(shortDuel.substr(0, shortDuel.find('\n')), "duel.txt: no winner after 1 turns");
}

// Every kind of side, won duels and one cut short: the same duel writes the same record, and the record,
// carried out from the map through the rules, leaves the board and the winner that the duel reported.
TEST_F(QordaMapTest, ARecordIsTheSameEveryTimeAndReplaysToTheDuelsResult) {
    const char* const duels[] = {
        "map01.txt --player1 strong",
        "HelpMap.txt --player2 strong --player1 standard",
        "map01.txt --player2 strong --turns 9",
        "HelpMap.txt --player1 pass --player2 strong",
    };
    for (const char* duel : duels) {
        SCOPED_TRACE(duel);
        const ToolRun first = runTool(std::string("duel ") + duel + " --record first.rec");
        const ToolRun second = runTool(std::string("duel ") + duel + " --record second.rec");
        ASSERT_EQ(first.status, 0);
        EXPECT_EQ(second.output, first.output);
        const std::string record = readFile("first.rec");
        const std::string again = readFile("second.rec");
        EXPECT_EQ(again.substr(again.find('\n')), record.substr(record.find('\n')));
        EXPECT_EQ(record.substr(0, record.find('\n')),
                  std::string("# ") + QORDA_MAP_PATH + " duel " + duel + " --record first.rec");

        ASSERT_TRUE(loadMapFile(std::string(duel).substr(0, std::string(duel).find(' ')).c_str()));
        startCapturingStdout();  // the beeps of destroyed units
        const Replay replay = replayRecord(record);
        capturedStdout();
        EXPECT_EQ(replay.refused, "");
        expectBoardAsReported(first.output, replay);
    }
}

TEST_F(QordaMapTest, AWrongDuelOptionIsNamed) {
    const char* const wrong[][2] = {
        {"--player1 clever", "clever"},
        {"--player3 strong", "--player3"},
        {"--record", "--record"},
        {"--turns 0", "--turns"},
        {"--record no/such/dir/x.rec", "no/such/dir/x.rec"},
    };
    for (const auto& [options, named] : wrong) {
        const ToolRun run = runTool(std::string("duel map01.txt ") + options, true);
        EXPECT_EQ(run.status, 2) << options;
        EXPECT_NE(run.output.find(named), std::string::npos) << options << ": " << run.output;
    }
}

}  // namespace
