// qorda-map run as a map maker runs it: check on small map texts, render against the game's own
// drawing, and a duel worked out by hand.
#include <SDL_image.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "render/board_drawing.h"
#include "render/window.h"
#include "state/map_file.h"
#include "support/game_test.h"

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int status;
    std::string output;
};

ToolRun runTool(const std::string& arguments) {
    const std::string command = std::string(QORDA_MAP_PATH) + " " + arguments + " 2>/dev/null";
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
              "player 2: 1 unit left: Cavalry at 1,0 (A 0, H 1)\n");
    const std::string shortDuel = runTool("duel duel.txt --turns 1").output;
    EXPECT_EQ(shortDuel.substr(0, shortDuel.find('\n')), "duel.txt: no winner after 1 turns");
}

}  // namespace
