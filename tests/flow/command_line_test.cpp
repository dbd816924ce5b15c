#include "flow/command_line.h"

#include <cstdio>
#include <string>
#include <vector>

#include "ai/opponent.h"
#include "flow/program.h"
#include "platform/platform.h"
#include "state/map_file.h"
#include "support/game_test.h"

namespace {

class CommandLineTest : public DataDirectoryTest {
   protected:
    void TearDown() override {
        gAiOpponent = kAiStandard;
        gStartMapName = nullptr;
        DataDirectoryTest::TearDown();
    }
};

// argv as the program gets it: its name, then the arguments.
struct Arguments {
    std::vector<std::string> words;
    std::vector<char*> pointers;
    Arguments(std::initializer_list<const char*> arguments) : words{"qorda"} {
        words.insert(words.end(), arguments.begin(), arguments.end());
    }
    int count() const { return static_cast<int>(words.size()); }
    char** argv() {
        pointers.clear();
        for (std::string& word : words) pointers.push_back(word.data());
        pointers.push_back(nullptr);
        return pointers.data();
    }
};

// What the program wrote on standard error while it ran.
template <typename Run>
std::string standardErrorOf(Run run) {
    std::fflush(stderr);
    ::testing::internal::CaptureStderr();
    run();
    std::fflush(stderr);
    return ::testing::internal::GetCapturedStderr();
}

TEST_F(CommandLineTest, TheOpponentIsChosenOnTheCommandLine) {
    struct {
        Arguments arguments;
        AiOpponent opponent;
    } cases[] = {
        {Arguments{}, kAiStandard},
        {Arguments{"--opponent", "strong"}, kAiStrong},
        {Arguments{"--opponent=strong"}, kAiStrong},
        {Arguments{"--opponent", "strong", "--opponent", "standard"}, kAiStandard},
        {Arguments{"--opponent", "program:./walk.py"}, kAiProgram},
    };
    for (auto& c : cases) {
        gAiOpponent = kAiStandard;
        // A build that starts no programs refuses them on the command line.
        if (c.opponent == kAiProgram && whyProgramsCannotStart() != nullptr) {
            EXPECT_EQ(readCommandLine(c.arguments.count(), c.arguments.argv()), kWrongCommandLine);
            continue;
        }
        EXPECT_EQ(readCommandLine(c.arguments.count(), c.arguments.argv()), kStartTheGame);
        EXPECT_EQ(gAiOpponent, c.opponent) << c.arguments.count();
    }
}

TEST_F(CommandLineTest, TheMapToStartOnIsNamedOnTheCommandLine) {
    for (Arguments arguments :
         {Arguments{"--map", "other"}, Arguments{"--map=other", "--opponent", "strong"}}) {
        EXPECT_EQ(readCommandLine(arguments.count(), arguments.argv()), kStartTheGame);
        EXPECT_STREQ(gStartMapName, "other");
    }
}

// A wrong line is named in one line on standard error and ends the program with 2 before SDL starts.
TEST_F(CommandLineTest, AWrongOptionOrOpponentIsNamedAndNothingStarts) {
    struct {
        Arguments arguments;
        const char* named;
    } cases[] = {
        {Arguments{"--bogus"}, "--bogus"},
        {Arguments{"--opponent", "clever"}, "clever"},
        {Arguments{"--opponent=Strong"}, "Strong"},
        {Arguments{"--opponent"}, "--opponent"},
        {Arguments{"--opponent", "strong", "map01"}, "map01"},
        {Arguments{"--opponent", "program:"}, "program:"},
        {Arguments{"--map"}, "--map"},
        {Arguments{"--map="}, "''"},
        {Arguments{"--map", std::string(kMaxNameLength + 1, 'm').c_str()}, "mmm"},
    };
    for (auto& c : cases) {
        int status = -1;
        const std::string error =
            standardErrorOf([&] { status = SDL_main(c.arguments.count(), c.arguments.argv()); });
        EXPECT_EQ(status, kWrongCommandLine) << c.named;
        EXPECT_NE(error.find(c.named), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), error.size() - 1) << error;
        EXPECT_EQ(SDL_WasInit(0), 0u) << c.named;
    }
}

TEST_F(CommandLineTest, HelpListsTheOptionsAndStartsNothing) {
    for (const char* help : {"-h", "--help"}) {
        Arguments arguments{"--opponent", "strong", help};
        startCapturingStdout();
        EXPECT_EQ(SDL_main(arguments.count(), arguments.argv()), 0);
        const std::string shown = capturedStdout();
        EXPECT_NE(shown.find("--opponent"), std::string::npos) << shown;
        EXPECT_EQ(SDL_WasInit(0), 0u);
    }
}

}  // namespace
