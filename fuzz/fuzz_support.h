// What the fuzz targets share: the game started headless once per process, checks that stop the run at
// the first broken rule (libFuzzer then saves the input as a crash), and input fed to the game's own
// polling loops one pass at a time.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <string>
#include <vector>

// Starts the game in SDL's dummy video driver with the software renderer, in a temporary copy of the
// game's data files, with both atlases loaded and waits that take no time. Ends the process on failure.
void startHeadlessGame();
// The content of a file of the game's data directory.
std::string readDataFile(const char* name);

// Prints what was expected and the detail, and aborts, when condition is false.
void require(bool condition, const char* what, const std::string& detail = "");
// Aborts at the first broken board invariant, saying after what.
void requireSoundBoard(const char* after);

// Events for the polling loops: the events of one pass are pushed together on one polling pass; when the
// passes run out, every pass gets a quit event so that every loop ends. feedQueuedPass is the polling
// hook; a target may install its own hook that calls it.
SDL_Event keyDown(SDL_Keycode key);
// Text input of up to 31 bytes (what one SDL text event holds); a zero byte ends it.
SDL_Event typedText(const char* bytes, std::size_t length);
void queuePass(std::vector<SDL_Event> events);
int queuedPasses();
void clearQueuedPasses();
void feedQueuedPass();
