#include "flow/program.h"

#include <cstdio>

#include "flow/command_line.h"
#include "flow/main_menu.h"
#include "platform/platform.h"
#include "render/sound.h"
#include "render/window.h"

extern "C" int SDL_main(int argc, char* argv[]) {
    attachToTerminal();
    if (const int status = readCommandLine(argc, argv); status != kStartTheGame) return status;
    enterGameFolder();
    // Every message is written at once, so standard output needs no buffer: none is taken mid-match when the
    // first unit is destroyed and the beep goes out.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (init() != kStartedUp) {
        std::printf("Failed to initialize!\n");
    } else if (loadTiles() != kStartedUp || loadFont() != kStartedUp) {
        std::printf("Failed to load media!\n");
    } else {
        openSound();
        runMainMenu(gStartMapName);
        closeSound();
    }
    close();
    std::fflush(stdout);
    return 0;
}
