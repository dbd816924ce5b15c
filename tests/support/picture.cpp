#include "support/picture.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include "render/board_drawing.h"
#include "render/text.h"

std::vector<Uint32> readPicture(SDL_Rect area) {
    std::vector<Uint32> pixels(static_cast<size_t>(area.w * area.h));
    if (SDL_RenderReadPixels(gRenderer, &area, SDL_PIXELFORMAT_ARGB8888, pixels.data(), area.w * 4) != 0) {
        ADD_FAILURE() << "cannot read the picture back: " << SDL_GetError();
    }
    for (Uint32& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

Uint32 pixelAt(int x, int y) {
    return readPicture({x, y, 1, 1})[0];
}

int cellMismatches(const char* atlasFile, Uint32 transparentRgb, SDL_Rect source, int x, int y) {
    SDL_Surface* loaded = IMG_Load(atlasFile);
    if (loaded == nullptr) {
        ADD_FAILURE() << "cannot load " << atlasFile;
        return -1;
    }
    SDL_Surface* atlas = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    const std::vector<Uint32> picture = readPicture({x, y, source.w, source.h});
    int mismatches = 0;
    for (int dy = 0; dy < source.h; ++dy) {
        for (int dx = 0; dx < source.w; ++dx) {
            const auto* row =
                static_cast<const Uint32*>(atlas->pixels) + (source.y + dy) * (atlas->pitch / 4);
            const Uint32 expected = row[source.x + dx] & 0xFFFFFF;
            if (expected == transparentRgb) continue;
            if (picture[static_cast<size_t>(dy * source.w + dx)] != expected) ++mismatches;
        }
    }
    SDL_FreeSurface(atlas);
    return mismatches;
}

void fillPicture(Uint8 red, Uint8 green, Uint8 blue) {
    SDL_BlendMode mode;
    SDL_GetRenderDrawBlendMode(gRenderer, &mode);
    SDL_SetRenderDrawBlendMode(gRenderer, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(gRenderer, red, green, blue, 255);
    fillPictureArea({0, 0, kWindowWidth, kWindowHeight});
    SDL_SetRenderDrawColor(gRenderer, 0, 0, 0, 255);
    SDL_SetRenderDrawBlendMode(gRenderer, mode);
}

bool cursorDrawnAt(int row, int column, int player) {
    constexpr Uint32 kTilesTransparent = 0x00FFFF;
    const SDL_Rect cursor = {kHexWidth * (player - 1), kHexHeight * kMarkRow, kHexWidth, kHexHeight};
    return cellMismatches("tiles.png", kTilesTransparent, cursor, hexOriginX(column),
                          hexOriginY(row, column)) == 0;
}

SDL_Rect infoLineArea() {
    return {0, kInfoLineY, kWindowWidth, kWindowHeight - kInfoLineY};
}

bool infoLineReads(const std::string& text) {
    const std::vector<Uint32> shown = readPicture(infoLineArea());
    writeInfoLine(text.c_str());
    return shown == readPicture(infoLineArea());
}

bool infoLineIsBlank() {
    for (Uint32 pixel : readPicture(infoLineArea())) {
        if (pixel != 0) return false;
    }
    return true;
}
