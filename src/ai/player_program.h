// A player program: any program that plays a side, through the words of a record. At the start of each of
// its side's turns it reads "turn P N", the board as a map file holds it and "go"; it answers with one
// action a line ("move R,C R,C", "attack R,C R,C") and "end" (or "end P"). Each action is carried out as it
// is read, through the rules, as a person's key or the computer would; a line that is no action, an
// action that the rules refuse, a turn not ended in time or a program that ends loses the program its
// side. One process plays a whole duel or match.
#pragma once

// The result of a program's turn that is neither 0 nor a winner code: the program lost its side.
constexpr int kProgramForfeit = -2;

// How long a program may take for its turn, from the moment its position was written.
extern int gProgramTurnMilliseconds;

// Starts command for player's side (1 or 2). False when it cannot be started; the reason is then in
// playerProgramFault(player).
bool startPlayerProgram(int player, const char* command);

// Plays player's turn number `turn` (each side's turn counts as one, from 1) through the program: 0 when
// the program ended its turn, the winner code (or kWindowClosed in the game) as soon as one of its
// attacks won, kProgramForfeit when it lost its side.
int playPlayerProgramTurn(int player, int turn);

// Why the program lost its side, as a duel prints it after "player P loses: ".
const char* playerProgramFault(int player);

// Closes its standard input, waits up to 2 s for it to end, then ends its whole process group.
void stopPlayerProgram(int player);
