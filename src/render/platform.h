// What differs between the desktop and the browser, and nothing else: how the game waits for the player,
// how the maps it saves are kept, and when its audio output runs. platform_desktop.cpp is the desktop's
// side, platform_web.cpp the browser's; a build has one of them.
#pragma once

#include <SDL.h>

// Waits until an event arrives or milliseconds have passed, whichever comes first; the event stays queued.
// In the browser, where every event ends the wait at once, the time is a longer bound of its own.
void waitForEvent(int milliseconds);

// Makes the maps saved since the last call outlast the program. On the desktop they are files already; the
// browser keeps them in its own storage and returns once they are stored there.
void keepSavedMaps();

// The game's window is gone, at the end of the program. The browser's page then says that the game has
// ended, as a closed window does on the desktop.
void windowClosed();

// The game's audio output is open, and the game has just queued a sound on it. A browser's output costs
// processor while it runs, even in silence, so there it runs only while a sound plays.
void startAudioOutput(SDL_AudioDeviceID device);
void soundQueued(SDL_AudioDeviceID device);
