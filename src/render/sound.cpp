#include "render/sound.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "platform/platform.h"

namespace {

constexpr int kSampleRate = 48000;
constexpr int kSoundSamples = kSampleRate * 150 / 1000;  // 150 ms
constexpr int kFadeSamples = kSampleRate * 4 / 1000;     // 4 ms at each end, so that it does not click
constexpr double kVolume = 0.4;                          // of full scale

// A falling tone, from about 220 Hz down towards 70 Hz, dying away: a thud rather than a beep. Its second
// and third harmonics carry it on small speakers, which hardly sound below 150 Hz.
constexpr double kLowestFrequency = 70.0;
constexpr double kFrequencyDrop = 150.0;
constexpr double kFrequencyDropSeconds = 0.04;
constexpr double kDecaySeconds = 0.06;
constexpr double kSecondHarmonic = 0.5;
constexpr double kThirdHarmonic = 0.25;

Sint16 gUnitFall[kSoundSamples];
// SDL keeps this much of its queue's buffers when the queue is cleared (two packets of 8 KiB).
constexpr size_t kQueueKeptBytes = 16 * 1024;
static_assert(sizeof gUnitFall <= kQueueKeptBytes, "the sound must fit the buffers that SDL keeps");
SDL_AudioDeviceID gDevice = 0;

void makeUnitFall() {
    double phase = 0.0;
    for (int i = 0; i < kSoundSamples; ++i) {
        const double seconds = static_cast<double>(i) / kSampleRate;
        const double frequency =
            kLowestFrequency + kFrequencyDrop * std::exp(-seconds / kFrequencyDropSeconds);
        phase += 2.0 * std::numbers::pi * frequency / kSampleRate;
        const double fade = std::min({1.0, static_cast<double>(i) / kFadeSamples,
                                      static_cast<double>(kSoundSamples - 1 - i) / kFadeSamples});
        const double level = kVolume * fade * std::exp(-seconds / kDecaySeconds);
        const double wave = (std::sin(phase) + kSecondHarmonic * std::sin(2.0 * phase) +
                             kThirdHarmonic * std::sin(3.0 * phase)) /
                            (1.0 + kSecondHarmonic + kThirdHarmonic);
        gUnitFall[i] = static_cast<Sint16>(std::lround(32767.0 * level * wave));
    }
}

void reportSilence() {
    std::fprintf(stderr, "Qorda: playing without sound: %s\n", SDL_GetError());
}

// The default output, or 0; SDL's error says why not.
SDL_AudioDeviceID openOutput() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
    SDL_AudioSpec wanted = {};
    wanted.freq = kSampleRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = 1024;
    // SDL converts to whatever the output takes.
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (device == 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return device;
}

}  // namespace

void openSound() {
    // The audio libraries under SDL write their own diagnostics to standard error while they look for an
    // output (ALSA prints a dozen lines on a machine without a sound card); the game says what it needs to
    // in one line of its own.
    const int standardError = silenceStream(stderr);
    gDevice = openOutput();
    restoreStream(stderr, standardError);
    if (gDevice == 0) {
        reportSilence();
        return;
    }
    // Queuing the sound's length of silence (the buffer is still all zeros) and clearing it again leaves
    // SDL's queue with the buffers that the sound needs, so that no unit's fall has to allocate them.
    SDL_QueueAudio(gDevice, gUnitFall, sizeof gUnitFall);
    SDL_ClearQueuedAudio(gDevice);
    makeUnitFall();
    startAudioOutput(gDevice);
}

void playUnitFallSound() {
    if (gDevice == 0) return;
    SDL_QueueAudio(gDevice, gUnitFall, sizeof gUnitFall);
    soundQueued(gDevice);
}

void closeSound() {
    if (gDevice == 0) return;
    SDL_CloseAudioDevice(gDevice);
    gDevice = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}
