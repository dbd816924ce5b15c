// The game's one window, its renderer, the two image atlases, and the one place where the game shows
// its picture and waits.
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
constexpr int kPollMilliseconds = 50;

extern SDL_Window* gWindow;
extern SDL_Renderer* gRenderer;
extern SDL_Texture* gTextureTiles;
extern SDL_Texture* gTextureFont;
extern SDL_Texture* gCanvas;  // the picture; the renderer's target between presents
// Set for renderers whose targets lose their pixels when the window is resized (Direct3D 9): a copy of
// the picture is taken at each present and put back when the renderer reports its targets reset.
extern bool gKeepPictureCopy;

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

// The one place where the game sleeps. gWaitPercent scales every wait; the game leaves it at 100 and
// tests lower it.
extern int gWaitPercent;
void waitMilliseconds(int milliseconds);

// The shape of every polling loop: show the picture if a present is due, wait until an event arrives or
// one polling interval has passed; the caller then takes every queued event. Tests feed scripted input
// through gBeforePoll, which the game leaves null.
extern void (*gBeforePoll)();
void presentAndWait();

// Takes the next queued event, as SDL_PollEvent does, and notes whether the window system needs the
// picture shown again. The window's own keys (F11 and Alt+Enter toggle fullscreen; Alt) are handled here
// and never returned. Every read of the queue goes through here.
bool pollEvent(SDL_Event& event);

// What a polling loop takes from the queue: a key pressed (named by its key code), a request to close the
// window, or nothing more in this pass. Other events are dropped.
enum class Polled { kNothing, kQuit, kKey };
Polled pollKey(SDL_Keycode& key);
