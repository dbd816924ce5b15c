// Which computer plays against the player: the standard one, which acts one unit at a time, or the strong
// one, which plans its whole turn. The game's command line chooses it once, for every match against the
// computer; the map makers' tool chooses one for each side of a duel.
#pragma once

enum AiOpponent : int {
    kAiStandard = 0,
    kAiStrong = 1,
};
extern AiOpponent gAiOpponent;

// The opponent that a command line names: "standard" or "strong". False for any other name.
bool aiOpponentOfName(const char* name, AiOpponent& opponent);

// Plays the whole turn of player as the given opponent: 0 when it is over, the winner code as soon as an
// attack won the match.
int aiPerformOpponentTurn(AiOpponent opponent, int player);
