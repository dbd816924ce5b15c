// The desktop's side of render/platform.h: SDL's own wait, files in the working directory, and an audio
// output that runs from start-up on.
#include "render/platform.h"

void waitForEvent(int milliseconds) {
    SDL_WaitEventTimeout(nullptr, milliseconds);
}

void keepSavedMaps() {}

void windowClosed() {}

void startAudioOutput(SDL_AudioDeviceID device) {
    SDL_PauseAudioDevice(device, 0);
}

void soundQueued(SDL_AudioDeviceID) {}
