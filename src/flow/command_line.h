// The game's command line: which computer plays against the player, the map to start on, and the help. It is
// read before anything else starts, so that a wrong line opens no window.
#pragma once

// What readCommandLine returns when the game is to start; any other value is the exit status of a
// program that has already said what it had to (the help, or what was wrong).
constexpr int kStartTheGame = -1;

// Sets the computer opponent from --opponent and the map to start on from --map; prints the help for -h or
// --help; names an unknown option or value in one line on standard error and returns kWrongCommandLine.
constexpr int kWrongCommandLine = 2;
int readCommandLine(int argc, char* argv[]);

// The map named by --map, pointing into the command line; nullptr when the game starts on its default map.
extern const char* gStartMapName;
