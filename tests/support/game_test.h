// Test support shared by every test program: the game started in SDL's dummy video driver with the
// software renderer, in a temporary working directory holding copies of the game's data files; scripted
// input; and, through support/picture.h, the picture read back.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "render/input.h"
#include "support/picture.h"

// A fresh empty directory, /tmp/qorda-<purpose>-XXXXXX. Throws when none can be made.
std::filesystem::path makeTemporaryDirectory(const char* purpose);
// Sets an environment variable for this process and what it starts; a null value removes it.
void setEnvironment(const char* name, const char* value);
// Makes a temporary directory with copies of the game's data files, for tests that start the game
// themselves (through SDL_main) instead of using GameTest.
std::filesystem::path makeDataDirectory();
void emptyBoard();

// Each test runs in a fresh temporary directory holding tiles.png, font.bmp and the maps of data/, with
// an empty board and no script, nothing started: for tests that run the whole program. A fixture that
// skips in its SetUp before calling this one's is still torn down cleanly.
class DataDirectoryTest : public ::testing::Test {
   protected:
    void SetUp() override;
    // Also puts back the scripted input as what every polling pass is fed.
    void TearDown() override;
    void writeFile(const std::string& name, const std::string& content);
    std::string readFile(const std::string& name);

    std::filesystem::path workDirectory;
    std::filesystem::path previousDirectory;
};

// A data directory as above, with the window open, both atlases loaded and an empty board.
class GameTest : public DataDirectoryTest {
   protected:
    void SetUp() override;
    void TearDown() override;
};

// Scripted input. Each scripted event is pushed on its own polling pass (one key per pass, as a player
// types); script the events of one pass together with scriptTogether. When the script runs dry, every
// pass gets a quit event so that every loop ends.
SDL_Event keyEvent(SDL_Keycode key);
SDL_Event textEvent(const char* text);  // up to 31 bytes
SDL_Event quitEvent();
void script(std::initializer_list<SDL_Event> events);
void scriptTogether(std::initializer_list<SDL_Event> events);
void scriptTogether(const std::vector<SDL_Event>& events);
void scriptKeys(std::initializer_list<SDL_Keycode> keys);
void clearScript();
int scriptedPassesLeft();
int dryPolls();             // passes that found the script empty since it was last cleared
void feedScriptedEvents();  // installed as gBeforePoll by the test main

// A session of steps, one per polling pass, for tests that look at the game between passes: a step above
// 0 is a key, pushed here; 0 is a pass without input; a step below 0 is the test's own, returned for it
// to do. Past the last step every pass gets a quit event (and 0 is returned).
SDL_Keycode takeSessionStep(const SDL_Keycode* steps, size_t count, size_t& next);

// What the window shows: the software renderer presents into the window's surface. paintOverWindow
// covers that surface with a colour of its own, so that windowPaintedOver tells whether a present came.
void paintOverWindow();
bool windowPaintedOver();

// A number set in the environment, for the length of a soak or storm run and its seed; the fallback where
// the variable is unset or empty.
long environmentNumber(const char* name, long fallback);

// Standard output capture around code that prints with printf.
void startCapturingStdout();
std::string capturedStdout();
