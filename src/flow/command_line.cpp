#include "flow/command_line.h"

#include <cstdio>
#include <cstring>

#include "ai/opponent.h"
#include "platform/platform.h"
#include "state/map_file.h"

namespace {

constexpr const char* kHelp =
    "Usage: qorda [--opponent standard|strong|program:COMMAND] [--map NAME]\n"
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
    "  --map NAME       start on the map NAME (the file NAME.txt) instead of map01, as \"Load map\"\n"
    "                   would load it\n"
    "  -h, --help       this text\n";

constexpr const char* kOpponentOption = "--opponent";
constexpr const char* kMapOption = "--map";

int wrongCommandLine(const char* what, const char* name) {
    std::fprintf(stderr, "qorda: %s '%s' (try qorda --help)\n", what, name);
    return kWrongCommandLine;
}

// The value of "OPTION=VALUE", or nullptr when the argument is not written so.
const char* joinedValue(const char* argument, const char* option) {
    const size_t length = std::strlen(option);
    if (std::strncmp(argument, option, length) != 0 || argument[length] != '=') return nullptr;
    return argument + length + 1;
}

// The value of option at argv[i], joined to it or the next argument (i then moves on to it), or nullptr
// when argv[i] is another option. missing is set when the option has no value.
const char* valueOfOption(const char* option, int argc, char* argv[], int& i, bool& missing) {
    const char* value = joinedValue(argv[i], option);
    if (value != nullptr || std::strcmp(argv[i], option) != 0) return value;
    missing = i + 1 == argc;
    return missing ? nullptr : argv[++i];
}

int chooseOpponent(const char* name) {
    if (!aiOpponentOfName(name, gAiOpponent, gAiProgramCommand)) {
        return wrongCommandLine("unknown opponent", name);
    }
    const char* why = gAiOpponent == kAiProgram ? whyProgramsCannotStart() : nullptr;
    if (why != nullptr) return wrongCommandLine(why, name);
    return kStartTheGame;
}

// A map is named as it would be typed after "Load map": any text that fits a name.
int chooseStartMap(const char* name) {
    if (name[0] == 0 || std::strlen(name) > kMaxNameLength) {
        return wrongCommandLine("unusable map name", name);
    }
    gStartMapName = name;
    return kStartTheGame;
}

}  // namespace

const char* gStartMapName = nullptr;

int readCommandLine(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "-h") == 0 || std::strcmp(argument, "--help") == 0) {
            std::fputs(kHelp, stdout);
            return 0;
        }
        bool missing = false;
        int status = kStartTheGame;
        if (const char* opponent = valueOfOption(kOpponentOption, argc, argv, i, missing)) {
            status = chooseOpponent(opponent);
        } else if (const char* map = valueOfOption(kMapOption, argc, argv, i, missing)) {
            status = chooseStartMap(map);
        } else {
            status = wrongCommandLine(missing ? "missing value after" : "unknown option", argument);
        }
        if (status != kStartTheGame) return status;
    }
    return kStartTheGame;
}
