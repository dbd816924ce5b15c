// Developer tool: draws the tile atlas and writes it as a PNG. The art is procedural and seeded, so the
// committed data/tiles.png is exactly what this program writes.
//
// Usage: tilegen <out.png>
#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>

#include "tile_art.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        fprintf(stderr, "Usage: tilegen <out.png>\n");
        return 2;
    }
    SDL_Surface* atlas = drawTileAtlas();
    if (atlas == nullptr) {
        fprintf(stderr, "tilegen: cannot make the atlas surface: %s\n", SDL_GetError());
        return 1;
    }
    const int saved = IMG_SavePNG(atlas, argv[1]);
    SDL_FreeSurface(atlas);
    if (saved != 0) {
        fprintf(stderr, "tilegen: cannot write %s: %s\n", argv[1], IMG_GetError());
        return 1;
    }
    return 0;
}
