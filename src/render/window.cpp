#include "render/window.h"

#include <SDL_image.h>

#include <cstdio>

SDL_Window* gWindow = nullptr;
SDL_Renderer* gRenderer = nullptr;
SDL_Texture* gTextureTiles = nullptr;
SDL_Texture* gTextureFont = nullptr;
SDL_Texture* gCanvas = nullptr;
int gWaitPercent = 100;
void (*gBeforePoll)() = nullptr;

namespace {

// Set by every drawing into the picture and by the window system's requests; cleared by a present.
bool gPresentDue = false;

// Window events after which the window no longer shows the picture, or shows it at another size: the
// window was uncovered, shown again or resized, or the renderer lost its targets.
bool windowNeedsPicture(const SDL_Event& event) {
    if (event.type == SDL_RENDER_TARGETS_RESET || event.type == SDL_RENDER_DEVICE_RESET) return true;
    if (event.type != SDL_WINDOWEVENT) return false;
    switch (event.window.event) {
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_RESIZED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_RESTORED:
            return true;
        default:
            return false;
    }
}

int scaledMilliseconds(int milliseconds) {
    return milliseconds * gWaitPercent / 100;
}

// Makes the canvas that holds the picture between presents and points the renderer at it.
int makeCanvas() {
    gCanvas = SDL_CreateTexture(gRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, kWindowWidth,
                                kWindowHeight);
    if (gCanvas == nullptr || SDL_SetRenderTarget(gRenderer, gCanvas) != 0) {
        printf("Renderer could not be created! SDL Error: %s\n", SDL_GetError());
        return 1;
    }
    SDL_SetTextureBlendMode(gCanvas, SDL_BLENDMODE_NONE);
    clearPicture();
    return 0;
}

// Makes a texture from a loaded atlas with the given colour made transparent, and frees the surface.
SDL_Texture* textureFromAtlas(SDL_Surface* surface, const char* fileName, Uint8 red, Uint8 green,
                              Uint8 blue) {
    SDL_SetColorKey(surface, SDL_TRUE, SDL_MapRGB(surface->format, red, green, blue));
    SDL_Texture* texture = SDL_CreateTextureFromSurface(gRenderer, surface);
    if (texture == nullptr)
        printf("Unable to create texture from %s! SDL Error: %s\n", fileName, SDL_GetError());
    SDL_FreeSurface(surface);
    return texture;
}

}  // namespace

int init() {
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        printf("SDL could not initialize! SDL Error: %s\n", SDL_GetError());
        return 1;
    }
    if (!SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "1"))
        printf("Warning: Linear texture filtering not enabled!");
    gWindow = SDL_CreateWindow("Qorda", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, kWindowWidth,
                               kWindowHeight, SDL_WINDOW_SHOWN);
    if (gWindow == nullptr) {
        printf("Window could not be created! SDL Error: %s\n", SDL_GetError());
        return 1;
    }
    gRenderer = SDL_CreateRenderer(gWindow, -1, SDL_RENDERER_ACCELERATED);
    if (gRenderer == nullptr) {
        printf("Renderer could not be created! SDL Error: %s\n", SDL_GetError());
        return 1;
    }
    SDL_SetRenderDrawColor(gRenderer, 0, 0, 0, 255);
    if (makeCanvas() != 0) return 1;
    if ((IMG_Init(IMG_INIT_PNG) & IMG_INIT_PNG) == 0) {
        printf("SDL_image could not initialize! SDL_image Error: %s\n", IMG_GetError());
        return 1;
    }
    return 0;
}

int loadTiles() {
    SDL_Surface* surface = IMG_Load("tiles.png");
    if (surface == nullptr) {
        printf("Unable to load image %s! SDL_image Error: %s\n", "tiles.png", IMG_GetError());
    } else {
        gTextureTiles = textureFromAtlas(surface, "tiles.png", 0, 255, 255);
    }
    if (gTextureTiles == nullptr) {
        printf("Failed to load texture image!\n");
        return 1;
    }
    return 0;
}

int loadFont() {
    SDL_Surface* surface = SDL_LoadBMP_RW(SDL_RWFromFile("font.bmp", "rb"), 1);
    if (surface == nullptr) {
        printf("Unable to load image %s! SDL Error: %s\n", "font.bmp", SDL_GetError());
        return 1;
    }
    gTextureFont = textureFromAtlas(surface, "font.bmp", 0, 0, 0);
    if (gTextureFont == nullptr) {
        printf("Failed to load texture image!\n");
        return 1;
    }
    return 0;
}

void close() {
    // SDL_Destroy* accept null, so a partial start-up is released as safely as a full one.
    SDL_DestroyTexture(gTextureTiles);
    gTextureTiles = nullptr;
    SDL_DestroyTexture(gTextureFont);
    gTextureFont = nullptr;
    SDL_DestroyTexture(gCanvas);
    gCanvas = nullptr;
    SDL_DestroyRenderer(gRenderer);
    gRenderer = nullptr;
    SDL_DestroyWindow(gWindow);
    gWindow = nullptr;
    IMG_Quit();
    SDL_Quit();
}

void copyToPicture(SDL_Texture* atlas, const SDL_Rect& source, const SDL_Rect& destination) {
    SDL_RenderCopy(gRenderer, atlas, &source, &destination);
    gPresentDue = true;
}

void fillPictureArea(const SDL_Rect& area) {
    SDL_RenderFillRect(gRenderer, &area);
    gPresentDue = true;
}

void clearPicture() {
    SDL_SetRenderDrawColor(gRenderer, 0, 0, 0, 255);
    SDL_RenderClear(gRenderer);
    gPresentDue = true;
}

void presentPicture() {
    if (!gPresentDue) return;
    SDL_SetRenderTarget(gRenderer, nullptr);
    SDL_RenderCopy(gRenderer, gCanvas, nullptr, nullptr);
    SDL_RenderPresent(gRenderer);
    SDL_SetRenderTarget(gRenderer, gCanvas);
    gPresentDue = false;
}

bool presentIsDue() {
    return gPresentDue;
}

void waitMilliseconds(int milliseconds) {
    const int scaled = scaledMilliseconds(milliseconds);
    if (scaled > 0) SDL_Delay(static_cast<Uint32>(scaled));
}

void presentAndWait() {
    presentPicture();
    // Waking at the first event answers a key at once; the event stays queued for the caller.
    const int scaled = scaledMilliseconds(kPollMilliseconds);
    if (scaled > 0) SDL_WaitEventTimeout(nullptr, scaled);
    if (gBeforePoll != nullptr) gBeforePoll();
}

bool pollEvent(SDL_Event& event) {
    if (!SDL_PollEvent(&event)) return false;
    if (windowNeedsPicture(event)) gPresentDue = true;
    return true;
}

Polled pollKey(SDL_Keycode& key) {
    SDL_Event event;
    while (pollEvent(event)) {
        if (event.type == SDL_QUIT) return Polled::kQuit;
        if (event.type == SDL_KEYDOWN) {
            key = event.key.keysym.sym;
            return Polled::kKey;
        }
    }
    return Polled::kNothing;
}
