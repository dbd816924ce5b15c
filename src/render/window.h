// The game's one window, its renderer, the two image atlases, and the one place where the game shows
// its picture.
//
// Drawing is incremental: everything is painted into a canvas texture that keeps the picture between
// presents, whatever the renderer does with its back buffer; presentPicture copies it to the window.
// Presenting costs real work in a real window, so it happens only when it is due: when the picture
// changed since it was last shown, or when the window system lost what it showed.
#pragma once

#include <SDL.h>

// The picture's size. The window opens at a whole multiple of it and can be resized or made fullscreen;
// presentPicture scales the picture to whatever the window holds.
constexpr int kWindowWidth = 780;
constexpr int kWindowHeight = 598;

extern SDL_Window* gWindow;
extern SDL_Renderer* gRenderer;
extern SDL_Texture* gTextureTiles;
extern SDL_Texture* gTextureFont;
extern SDL_Texture* gCanvas;  // the picture; the renderer's target between presents
// Set for renderers whose targets lose their pixels when the window is resized (Direct3D 9): a copy of
// the picture is taken at each present and put back when the renderer reports its targets reset.
extern bool gKeepPictureCopy;

// What the start-up operations return; each failure is printed on standard output first.
constexpr int kStartedUp = 0;
constexpr int kStartUpFailed = 1;
int init();
int loadTiles();
int loadFont();
void close();

// Every drawing into the picture goes through these, so that the window knows when the picture changed.
void copyToPicture(SDL_Texture* atlas, const SDL_Rect& source, const SDL_Rect& destination);
void fillPictureArea(const SDL_Rect& area);  // in the current draw colour and blend mode
// Clears the whole picture to opaque black, whatever colour the last drawing left set.
void clearPicture();

// Shows the picture in the window if a present is due.
void presentPicture();
// Whether the next present will show something: true from the first drawing (or the window system's
// request) after a present until the next present.
bool presentIsDue();
// A count that changes with every drawing into the picture, presented or not: comparing two readings
// tells whether anything was painted in between, for what must stay on top of the picture.
unsigned pictureDrawings();

// The window's part of every event that the game reads (see render/input.h): notes whether the window
// system needs the picture shown again, and handles the window's own keys (F11 and Alt+Enter toggle
// fullscreen; Alt is theirs too). True when the event was the window's own and the game must not see it.
bool handleWindowEvent(const SDL_Event& event);

// The picture read back into a new surface (ARGB8888) that the caller frees, for the tools that save it;
// null when it cannot be read, with SDL's error saying why.
SDL_Surface* pictureAsSurface();
