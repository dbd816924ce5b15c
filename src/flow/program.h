// The program: start-up, the main menu and shut-down. SDL_main is the game's main function; its exit status
// is always 0.
#pragma once

#include <SDL.h>

extern "C" int SDL_main(int argc, char* argv[]);
