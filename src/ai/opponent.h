// Who plays a side besides a person: the standard computer, which acts one unit at a time, the strong one,
// which plans its whole turn, or a player program (ai/player_program.h). The game's command line chooses
// it once, for every match against the computer; the map makers' tool chooses one for each side of a duel.
// Each plays a turn the same way; only a program has to be started before its first turn and stopped.
#pragma once

enum AiOpponent : int {
    kAiStandard = 0,
    kAiStrong = 1,
    kAiProgram = 2,
};
// The side that the computer plays in the game.
constexpr int kComputerPlayer = 2;
extern AiOpponent gAiOpponent;
// The command of the program that plays against the player in the game, when gAiOpponent is kAiProgram.
extern const char* gAiProgramCommand;

// The opponent that a command line names: "standard", "strong" or "program:COMMAND", whose command then
// points into name. False for any other name, and for a program without a command.
bool aiOpponentOfName(const char* name, AiOpponent& opponent, const char*& command);

// Readies the opponent for a duel or match on player's side: a program is started, the strong computer
// forgets the last match. False when it cannot
// be; playerProgramFault says why.
bool aiStartOpponent(AiOpponent opponent, int player, const char* command);
void aiStopOpponent(AiOpponent opponent, int player);

// Plays the whole turn of player as the given opponent: 0 when it is over, the winner code as soon as an
// attack won the match, kProgramForfeit when a program lost its side. turn counts the turns of the duel or
// match from 1, each side's turn as one; a program is told it.
int aiPerformOpponentTurn(AiOpponent opponent, int player, int turn = 0);
