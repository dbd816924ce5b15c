// SDL's start-up glue calls SDL_main on the platforms that need it; on the others this is the glue.
#include "flow/program.h"

int main(int argc, char* argv[]) {
    return SDL_main(argc, argv);
}
