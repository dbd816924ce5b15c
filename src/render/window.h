// The game's one window, its renderer, the two image atlases, and the one place where the game shows
// its picture and waits.
//
// Drawing is incremental: everything is painted into a canvas texture that keeps the picture between
// presents, whatever the renderer does with its back buffer; presentPicture copies it to the window.
#pragma once

#include <SDL.h>

constexpr int kWindowWidth = 780;
constexpr int kWindowHeight = 598;
constexpr int kPollMilliseconds = 50;

extern SDL_Window* gWindow;
extern SDL_Renderer* gRenderer;
extern SDL_Texture* gTextureTiles;
extern SDL_Texture* gTextureFont;
extern SDL_Texture* gCanvas;  // the picture; the renderer's target between presents

int init();
int loadTiles();
int loadFont();
void close();

// Shows the picture in the window.
void presentPicture();

// The one place where the game sleeps. gWaitPercent scales every wait; the game leaves it at 100 and
// tests lower it.
extern int gWaitPercent;
void waitMilliseconds(int milliseconds);

// The shape of every polling loop: show the picture, wait one polling interval; the caller then takes
// every queued event. Tests feed scripted input through gBeforePoll, which the game leaves null.
extern void (*gBeforePoll)();
void presentAndWait();

// What a polling loop takes from the queue: a key pressed (named by its key code), a request to close the
// window, or nothing more in this pass. Other events are dropped.
enum class Polled { kNothing, kQuit, kKey };
Polled pollKey(SDL_Keycode& key);

// Clears the whole picture to opaque black, whatever colour the last drawing left set.
void clearPicture();
