#include "flow/command_line.h"

#include <cstdio>
#include <cstring>

#include "ai/opponent.h"

namespace {

constexpr const char* kHelp =
    "Usage: qorda [--opponent standard|strong]\n"
    "\n"
    "Qorda: turn-based tactics on a board of hexagons, played with the keyboard in a window.\n"
    "\n"
    "  --opponent KIND  the computer that plays against you in every match against the computer:\n"
    "                   standard (the default), or strong, which plans its whole turn\n"
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
        if (!aiOpponentOfName(value, gAiOpponent)) return wrongCommandLine("unknown opponent", value);
    }
    return kStartTheGame;
}
