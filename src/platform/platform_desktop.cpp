// What the desktops share, on POSIX systems and on Windows: SDL's own wait, maps that are files as soon as
// they are written, and an audio output that runs from start-up on.
#include "platform/platform.h"

void waitForEvent(int milliseconds) {
    SDL_WaitEventTimeout(nullptr, milliseconds);
}

void keepSavedMaps() {}

void matchUnderway(bool) {}

void windowClosed() {}

void startAudioOutput(SDL_AudioDeviceID device) {
    SDL_PauseAudioDevice(device, 0);
}

void soundQueued(SDL_AudioDeviceID) {}
