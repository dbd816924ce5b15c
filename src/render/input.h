// What the player does: the game's one seam with SDL's event queue. Every polling loop waits, takes
// keys and typed text, and learns of a closed window here; tests feed their input through the same seam.
#pragma once

#include <SDL.h>

// What an interactive operation returns when the window was closed during it.
constexpr int kWindowClosed = 1;

constexpr int kPollMilliseconds = 50;

// The one place where the game sleeps. gWaitPercent scales every wait; the game leaves it at 100 and
// tests lower it.
extern int gWaitPercent;
void waitMilliseconds(int milliseconds);

// The shape of every polling loop: show the picture if a present is due, wait until an event arrives or
// one polling interval has passed; the caller then takes every queued event. Tests feed scripted input
// through gBeforePoll, which the game leaves null.
extern void (*gBeforePoll)();
void presentAndWait();

// Takes the next queued event, as SDL_PollEvent does, after the window has had its part of it (see
// handleWindowEvent): the window's own keys are never returned. Every read of the queue goes through here.
bool pollEvent(SDL_Event& event);

// What a polling loop takes from the queue: a key pressed (named by its key code), a request to close the
// window, or nothing more in this pass. Other events are dropped.
enum class Polled { kNothing, kQuit, kKey };
Polled pollKey(SDL_Keycode& key);

// The key groups of a match. Unit control and the targeting ring use the same groups as the cursor mode,
// without the top-row digits.
bool isEnterKey(SDL_Keycode key);
bool isEscapeKey(SDL_Keycode key);
// The direction (keypad digit numbering, see state/hex.h) that a key names, or kNoDirection.
// The top-row digits 1 to 6 count only where topRowDigits is true (the match's cursor mode).
int directionOfKey(SDL_Keycode key, bool topRowDigits);

// Text that the player types into the window (map names, editor entries), drawn at the text cursor.
// Reads typed text into buffer, which holds count bytes already, until a polling pass that held Return,
// keypad Enter or Return2 (result 0; the events behind the Return in that pass are taken too) or a quit
// event (kWindowClosed, at once). Each typed byte is appended and drawn at the text cursor,
// which moves 8 pixels right; bytes that do not fit (capacity - 1 bytes and the terminator) are ignored.
// Backspace takes the last byte off the buffer and blanks its cell. The buffer stays terminated.
// SDL text input runs during the call.
int readTypedText(char* buffer, int capacity, int& count);
