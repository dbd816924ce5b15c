#include "render/window.h"

#include <SDL_image.h>

#include <algorithm>
#include <cstdio>

#include "platform/platform.h"

SDL_Window* gWindow = nullptr;
SDL_Renderer* gRenderer = nullptr;
SDL_Texture* gTextureTiles = nullptr;
SDL_Texture* gTextureFont = nullptr;
SDL_Texture* gCanvas = nullptr;
bool gKeepPictureCopy = false;

namespace {

// Set by every drawing into the picture and by the window system's requests; cleared by a present.
bool gPresentDue = false;
// Counts the drawings into the picture; see pictureDrawings.
unsigned gPictureDrawings = 0;

void notePictureDrawn() {
    gPresentDue = true;
    ++gPictureDrawings;
}

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

// The picture scaled up by a whole multiple, for the smooth scaling to a size between two multiples.
SDL_Texture* gSharpened = nullptr;
int gSharpenedScale = 0;

// The picture as last shown, for renderers that lose their targets' pixels (see gKeepPictureCopy).
Uint32 gPictureCopy[kWindowWidth * kWindowHeight];
bool gPictureCopied = false;
constexpr int kPicturePitch = kWindowWidth * static_cast<int>(sizeof(Uint32));

// The window opens at the largest whole multiple of the picture that fits within this share of the
// usable area of the display.
constexpr int kOpeningSharePercent = 90;

int openingScale() {
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return 1;
    const int scale = std::min(usable.w * kOpeningSharePercent / 100 / kWindowWidth,
                               usable.h * kOpeningSharePercent / 100 / kWindowHeight);
    return std::max(scale, 1);
}

// Where the picture goes in the window's output, and how it is scaled there.
struct Placement {
    SDL_Rect area;   // in output pixels, centred
    int sharpScale;  // above 1: first scaled up by this whole multiple, nearest-neighbour
    bool smooth;     // the last copy to area is filtered, not nearest-neighbour
};

SDL_Rect centred(int outputWidth, int outputHeight, int width, int height) {
    return {(outputWidth - width) / 2, (outputHeight - height) / 2, width, height};
}

// The largest whole multiple that fits, crisp. When that leaves more than a quarter of both the width and
// the height unused, or when not even the picture itself fits, the picture fills the output's width or
// height in its own proportions: sharpened to the next whole multiple, then smoothly scaled to fit.
Placement placePicture(int outputWidth, int outputHeight) {
    const int whole = std::min(outputWidth / kWindowWidth, outputHeight / kWindowHeight);
    const int wholeWidth = whole * kWindowWidth;
    const int wholeHeight = whole * kWindowHeight;
    const bool mostlyUnused =
        4 * (outputWidth - wholeWidth) > outputWidth && 4 * (outputHeight - wholeHeight) > outputHeight;
    if (whole >= 1 && !mostlyUnused) {
        return {centred(outputWidth, outputHeight, wholeWidth, wholeHeight), 1, false};
    }
    int width = outputWidth;
    int height = outputHeight;
    if (outputWidth * kWindowHeight > outputHeight * kWindowWidth) {
        width = outputHeight * kWindowWidth / kWindowHeight;
    } else {
        height = outputWidth * kWindowHeight / kWindowWidth;
    }
    return {centred(outputWidth, outputHeight, width, height), whole + 1, true};
}

// The canvas scaled up by a whole multiple into a target kept for the purpose; null when it cannot be made.
SDL_Texture* sharpenedPicture(int scale) {
    if (scale != gSharpenedScale) {
        SDL_DestroyTexture(gSharpened);
        gSharpened = SDL_CreateTexture(gRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                       scale * kWindowWidth, scale * kWindowHeight);
        gSharpenedScale = gSharpened != nullptr ? scale : 0;
        if (gSharpened == nullptr) return nullptr;
        SDL_SetTextureBlendMode(gSharpened, SDL_BLENDMODE_NONE);
    }
    SDL_SetRenderTarget(gRenderer, gSharpened);
    SDL_SetTextureScaleMode(gCanvas, SDL_ScaleModeNearest);
    SDL_RenderCopy(gRenderer, gCanvas, nullptr, nullptr);
    SDL_SetRenderTarget(gRenderer, nullptr);
    return gSharpened;
}

// Black around the picture, whatever colour the game's drawing left set.
void clearOutput() {
    Uint8 red, green, blue, alpha;
    SDL_GetRenderDrawColor(gRenderer, &red, &green, &blue, &alpha);
    SDL_SetRenderDrawColor(gRenderer, 0, 0, 0, 255);
    SDL_RenderClear(gRenderer);
    SDL_SetRenderDrawColor(gRenderer, red, green, blue, alpha);
}

// Copies the canvas to the window's output as placePicture says.
void showCanvas() {
    int width = 0, height = 0;
    SDL_GetRendererOutputSize(gRenderer, &width, &height);
    const Placement placement = placePicture(width, height);
    if (placement.area.w != width || placement.area.h != height) clearOutput();
    SDL_Texture* source = gCanvas;
    if (placement.sharpScale > 1) {
        if (SDL_Texture* sharpened = sharpenedPicture(placement.sharpScale)) source = sharpened;
    }
    SDL_SetTextureScaleMode(source, placement.smooth ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    SDL_RenderCopy(gRenderer, source, nullptr, &placement.area);
}

// A renderer that lost its targets' pixels gets the picture back from the copy taken at the last present.
void restorePicture() {
    if (gPictureCopied) SDL_UpdateTexture(gCanvas, nullptr, gPictureCopy, kPicturePitch);
}

void copyPicture() {
    gPictureCopied =
        SDL_RenderReadPixels(gRenderer, nullptr, SDL_PIXELFORMAT_ARGB8888, gPictureCopy, kPicturePitch) == 0;
}

bool isAltKey(SDL_Keycode key) {
    return key == SDLK_LALT || key == SDLK_RALT;
}

// F11 and Alt+Enter switch between the window and the whole screen.
bool isFullscreenKey(const SDL_Keysym& keysym) {
    return keysym.sym == SDLK_F11 ||
           ((keysym.sym == SDLK_RETURN || keysym.sym == SDLK_KP_ENTER) && (keysym.mod & KMOD_ALT) != 0);
}

void toggleFullscreen() {
    const bool fullscreen = (SDL_GetWindowFlags(gWindow) & SDL_WINDOW_FULLSCREEN) != 0;
    SDL_SetWindowFullscreen(gWindow, fullscreen ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    gPresentDue = true;
}

// Makes the canvas that holds the picture between presents and points the renderer at it.
int makeCanvas() {
    gCanvas = SDL_CreateTexture(gRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, kWindowWidth,
                                kWindowHeight);
    if (gCanvas == nullptr || SDL_SetRenderTarget(gRenderer, gCanvas) != 0) {
        printf("Canvas could not be created! SDL Error: %s\n", SDL_GetError());
        return kStartUpFailed;
    }
    SDL_SetTextureBlendMode(gCanvas, SDL_BLENDMODE_NONE);
    clearPicture();
    return kStartedUp;
}

// Makes a texture from a loaded atlas with the given colour made transparent, and frees the surface.
SDL_Texture* textureFromAtlas(SDL_Surface* surface, const char* fileName, Uint8 red, Uint8 green,
                              Uint8 blue) {
    SDL_SetColorKey(surface, SDL_TRUE, SDL_MapRGB(surface->format, red, green, blue));
    SDL_Texture* texture = SDL_CreateTextureFromSurface(gRenderer, surface);
    if (texture == nullptr) {
        printf("Unable to create texture from %s! SDL Error: %s\n", fileName, SDL_GetError());
    } else {
        // The atlases are only ever copied pixel for pixel, which a filtering renderer (WebGL, some
        // graphics drivers) may blend with the neighbouring pixels unless the copy is nearest-neighbour.
        SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    }
    SDL_FreeSurface(surface);
    return texture;
}

// Where there is no display, SDL falls back to a video driver that shows nothing, and the game would wait
// for keys that never come. Only a driver asked for by name (as the tests and tools ask for the dummy one)
// may show nothing. False, with SDL's error saying why and SDL shut down again, when there is no display.
bool hasDisplay() {
    const char* driver = SDL_GetCurrentVideoDriver();
    const bool invisible = SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0;
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (!invisible || (asked != nullptr && *asked != 0)) return true;
    SDL_Quit();
    const char* display = SDL_getenv("DISPLAY");
    if (display != nullptr && *display != 0) {
        SDL_SetError("Cannot open the display \"%s\"", display);
    } else {
        SDL_SetError("No display to open the window on: DISPLAY is not set");
    }
    return false;
}

}  // namespace

int init() {
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || !hasDisplay()) {
        printf("SDL could not initialize! SDL Error: %s\n", SDL_GetError());
        return kStartUpFailed;
    }
    if (!SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "1"))
        printf("Warning: Linear texture filtering not enabled!");
    const int scale = openingScale();
    gWindow = SDL_CreateWindow("Qorda", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                               scale * kWindowWidth, scale * kWindowHeight,
                               SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (gWindow == nullptr) {
        printf("Window could not be created! SDL Error: %s\n", SDL_GetError());
        return kStartUpFailed;
    }
    gRenderer = SDL_CreateRenderer(gWindow, -1, SDL_RENDERER_ACCELERATED);
    if (gRenderer == nullptr) {
        printf("Renderer could not be created! SDL Error: %s\n", SDL_GetError());
        return kStartUpFailed;
    }
    SDL_SetRenderDrawColor(gRenderer, 0, 0, 0, 255);
    SDL_RendererInfo info;
    gKeepPictureCopy = SDL_GetRendererInfo(gRenderer, &info) == 0 && SDL_strcmp(info.name, "direct3d") == 0;
    if (makeCanvas() != kStartedUp) return kStartUpFailed;
    if ((IMG_Init(IMG_INIT_PNG) & IMG_INIT_PNG) == 0) {
        printf("SDL_image could not initialize! SDL_image Error: %s\n", IMG_GetError());
        return kStartUpFailed;
    }
    return kStartedUp;
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
        return kStartUpFailed;
    }
    return kStartedUp;
}

int loadFont() {
    SDL_Surface* surface = SDL_LoadBMP_RW(SDL_RWFromFile("font.bmp", "rb"), 1);
    if (surface == nullptr) {
        printf("Unable to load image %s! SDL Error: %s\n", "font.bmp", SDL_GetError());
        return kStartUpFailed;
    }
    gTextureFont = textureFromAtlas(surface, "font.bmp", 0, 0, 0);
    if (gTextureFont == nullptr) {
        printf("Failed to load texture image!\n");
        return kStartUpFailed;
    }
    return kStartedUp;
}

void close() {
    // SDL_Destroy* accept null, so a partial start-up is released as safely as a full one.
    SDL_DestroyTexture(gTextureTiles);
    gTextureTiles = nullptr;
    SDL_DestroyTexture(gTextureFont);
    gTextureFont = nullptr;
    SDL_DestroyTexture(gCanvas);
    gCanvas = nullptr;
    SDL_DestroyTexture(gSharpened);
    gSharpened = nullptr;
    gSharpenedScale = 0;
    gPictureCopied = false;
    SDL_DestroyRenderer(gRenderer);
    gRenderer = nullptr;
    SDL_DestroyWindow(gWindow);
    gWindow = nullptr;
    IMG_Quit();
    SDL_Quit();
    windowClosed();
}

// Without a renderer (the map makers' tool plays whole matches with no window) nothing is drawn or shown.
void copyToPicture(SDL_Texture* atlas, const SDL_Rect& source, const SDL_Rect& destination) {
    if (gRenderer == nullptr) return;
    SDL_RenderCopy(gRenderer, atlas, &source, &destination);
    notePictureDrawn();
}

void fillPictureArea(const SDL_Rect& area) {
    if (gRenderer == nullptr) return;
    SDL_RenderFillRect(gRenderer, &area);
    notePictureDrawn();
}

void clearPicture() {
    if (gRenderer == nullptr) return;
    SDL_SetRenderDrawColor(gRenderer, 0, 0, 0, 255);
    SDL_RenderClear(gRenderer);
    notePictureDrawn();
}

void presentPicture() {
    if (!gPresentDue || gRenderer == nullptr) return;
    if (gKeepPictureCopy) copyPicture();
    SDL_SetRenderTarget(gRenderer, nullptr);
    showCanvas();
    SDL_RenderPresent(gRenderer);
    SDL_SetRenderTarget(gRenderer, gCanvas);
    gPresentDue = false;
}

bool presentIsDue() {
    return gPresentDue;
}

unsigned pictureDrawings() {
    return gPictureDrawings;
}

bool handleWindowEvent(const SDL_Event& event) {
    if (event.type == SDL_RENDER_TARGETS_RESET) restorePicture();
    if (windowNeedsPicture(event)) gPresentDue = true;
    if (event.type != SDL_KEYDOWN) return false;
    // Alt is the window's modifier: it never counts as a key of the game either.
    if (isAltKey(event.key.keysym.sym)) return true;
    if (!isFullscreenKey(event.key.keysym)) return false;
    toggleFullscreen();
    return true;
}

SDL_Surface* pictureAsSurface() {
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, kWindowWidth, kWindowHeight, 32, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr) return nullptr;
    if (SDL_RenderReadPixels(gRenderer, nullptr, SDL_PIXELFORMAT_ARGB8888, surface->pixels, surface->pitch) ==
        0) {
        return surface;
    }
    SDL_FreeSurface(surface);
    return nullptr;
}
