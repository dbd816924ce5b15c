// The game's one sound: a short low thud when a unit falls, made by the game at start-up and played
// through SDL's audio output. Without an audio output the game is silent and otherwise the same.
#pragma once

// Opens the default audio output and makes the sound. When there is no output to open, says so in one
// line on standard error and leaves the game silent.
void openSound();
// Queues the sound; nothing when the game is silent. Allocates nothing.
void playUnitFallSound();
void closeSound();
