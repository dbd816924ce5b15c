#include "flow/command_line.h"

#include <cstdio>
#include <cstring>

#include "ai/opponent.h"
#include "platform/platform.h"

namespace {

constexpr const char* kHelp =
    "Usage: qorda [--opponent standard|strong|program:COMMAND]\n"
    "\n"
    "Qorda: turn-based tactics on a board of hexagons, played with the keyboard in a window.\n"
    "\n"
    "  --opponent KIND  who plays player 2 in every match against the computer: standard (the\n"
    "                   default); strong, which plans its whole turn; or program:COMMAND, a program\n"
    "                   of your own, run through /bin/sh -c for each match. At the start of each of\n"
    "                   its turns it reads \"turn 2 N\", the board as a map file holds it, and \"go\";\n"
    "                   it answers one action a line: \"move R,C R,C\" (one step), \"attack R,C R,C\"\n"
    "                   (attacker, target), and \"end\". A wrong line, an action the rules refuse, a\n"
    "                   turn not ended within 10 seconds or a program that ends make its side pass for\n"
    "                   the rest of the match; the reason goes to standard error. See man qorda.\n"
    "  -h, --help       this text\n";

constexpr const char* kOpponentOption = "--opponent";

int wrongCommandLine(const char* what, const char* name) {
    std::fprintf(stderr, "qorda: %s '%s' (try qorda --help)\n", what, name);
    return kWrongCommandLine;
}

// The value of "--opponent=KIND", or nullptr when the argument is not written so.
const char* joinedValue(const char* argument) {
    const size_t length = std::strlen(kOpponentOption);
    if (std::strncmp(argument, kOpponentOption, length) != 0 || argument[length] != '=') return nullptr;
    return argument + length + 1;
}

}  // namespace

int readCommandLine(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "-h") == 0 || std::strcmp(argument, "--help") == 0) {
            std::fputs(kHelp, stdout);
            return 0;
        }
        const char* value = joinedValue(argument);
        if (value == nullptr && std::strcmp(argument, kOpponentOption) == 0) {
            if (i + 1 == argc) return wrongCommandLine("missing opponent after", kOpponentOption);
            value = argv[++i];
        }
        if (value == nullptr) return wrongCommandLine("unknown option", argument);
        if (!aiOpponentOfName(value, gAiOpponent, gAiProgramCommand)) {
            return wrongCommandLine("unknown opponent", value);
        }
        const char* why = gAiOpponent == kAiProgram ? whyProgramsCannotStart() : nullptr;
        if (why != nullptr) return wrongCommandLine(why, value);
    }
    return kStartTheGame;
}
