// Draws the game's desktop icon from its own tile atlas: a Cavalry of player 1 on a ground hex, with the
// atlas's cyan made transparent, as square PNG files of the usual icon sizes.
// usage: icongen <tiles.png> <output directory>
#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kCell[2] = {60, 52};
constexpr int kGroundCell[2] = {0, 0};
constexpr int kUnitCell[2] = {6, 16};
constexpr int kSizes[] = {16, 32, 48, 64, 128, 256};

// Copies one atlas cell onto the square icon picture, centred vertically, cyan left out.
void copyCell(SDL_Surface* atlas, const int cell[2], SDL_Surface* icon) {
    const Uint32 cyan = SDL_MapRGB(atlas->format, 0, 255, 255);
    const int top = (icon->h - kCell[1]) / 2;
    for (int y = 0; y < kCell[1]; ++y) {
        for (int x = 0; x < kCell[0]; ++x) {
            const auto* row =
                static_cast<const Uint32*>(atlas->pixels) + (cell[1] * kCell[1] + y) * atlas->pitch / 4;
            const Uint32 pixel = row[cell[0] * kCell[0] + x];
            if ((pixel & 0x00FFFFFF) == (cyan & 0x00FFFFFF)) continue;
            static_cast<Uint32*>(icon->pixels)[(top + y) * icon->pitch / 4 + x] = pixel | 0xFF000000;
        }
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        fprintf(stderr, "usage: icongen <tiles.png> <output directory>\n");
        return 2;
    }
    SDL_Surface* loaded = IMG_Load(argv[1]);
    if (loaded == nullptr) {
        fprintf(stderr, "icongen: cannot load %s: %s\n", argv[1], IMG_GetError());
        return 1;
    }
    SDL_Surface* atlas = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormat(0, kCell[0], kCell[0], 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_FillRect(icon, nullptr, 0);  // fully transparent
    copyCell(atlas, kGroundCell, icon);
    copyCell(atlas, kUnitCell, icon);
    int status = 0;
    for (int size : kSizes) {
        SDL_Surface* scaled = SDL_CreateRGBSurfaceWithFormat(0, size, size, 32, SDL_PIXELFORMAT_ARGB8888);
        SDL_SoftStretchLinear(icon, nullptr, scaled, nullptr);
        const std::string path = std::string(argv[2]) + "/qorda-" + std::to_string(size) + ".png";
        if (IMG_SavePNG(scaled, path.c_str()) != 0) {
            fprintf(stderr, "icongen: cannot write %s: %s\n", path.c_str(), IMG_GetError());
            status = 1;
        }
        SDL_FreeSurface(scaled);
    }
    SDL_FreeSurface(icon);
    SDL_FreeSurface(atlas);
    return status;
}
