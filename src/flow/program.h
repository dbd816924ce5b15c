// The program: start-up, the main menu and shut-down. SDL_main is the game's main function; its exit status
// is 0 once the game has started (a wrong command line ends it with 2 before anything starts).
#pragma once

#include <SDL.h>

extern "C" int SDL_main(int argc, char* argv[]);
