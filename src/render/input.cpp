#include "render/input.h"

#include "platform/platform.h"
#include "render/text.h"
#include "render/window.h"
#include "state/hex.h"

int gWaitPercent = 100;
void (*gBeforePoll)() = nullptr;

namespace {

int scaledMilliseconds(int milliseconds) {
    return milliseconds * gWaitPercent / 100;
}

struct DirectionKeys {
    int direction;
    SDL_Keycode letter;
    SDL_Keycode navigation;
    SDL_Keycode keypad;
    SDL_Keycode topRowDigit;
};

constexpr DirectionKeys kDirectionKeys[] = {
    {kUpLeft, SDLK_f, SDLK_INSERT, SDLK_KP_4, SDLK_4},
    {kUp, SDLK_g, SDLK_HOME, SDLK_KP_5, SDLK_5},
    {kUpRight, SDLK_h, SDLK_PAGEUP, SDLK_KP_6, SDLK_6},
    {kDownLeft, SDLK_c, SDLK_DELETE, SDLK_KP_1, SDLK_1},
    {kDown, SDLK_v, SDLK_END, SDLK_KP_2, SDLK_2},
    {kDownRight, SDLK_b, SDLK_PAGEDOWN, SDLK_KP_3, SDLK_3},
};

bool isReturnKey(SDL_Keycode key) {
    return key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_RETURN2;
}

void appendTypedBytes(const char* text, char* buffer, int capacity, int& count) {
    for (; *text != 0 && count < capacity - 1; ++text) {
        buffer[count++] = *text;
        buffer[count] = 0;
        renderCharacter(gTextX, gTextY, *text);
        gTextX += kGlyphSize;
    }
}

void eraseLastByte(char* buffer, int& count) {
    buffer[--count] = 0;
    gTextX -= kGlyphSize;
    hideCharacter(gTextX, gTextY);
}

}  // namespace

void waitMilliseconds(int milliseconds) {
    const int scaled = scaledMilliseconds(milliseconds);
    if (scaled > 0) SDL_Delay(static_cast<Uint32>(scaled));
}

void presentAndWait() {
    presentPicture();
    // Waking at the first event answers a key at once; the event stays queued for the caller.
    const int scaled = scaledMilliseconds(kPollMilliseconds);
    if (scaled > 0) waitForEvent(scaled);
    if (gBeforePoll != nullptr) gBeforePoll();
}

bool pollEvent(SDL_Event& event) {
    while (SDL_PollEvent(&event)) {
        if (!handleWindowEvent(event)) return true;
    }
    return false;
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

bool isEnterKey(SDL_Keycode key) {
    return key == SDLK_RETURN || key == SDLK_SPACE || key == SDLK_KP_ENTER || key == SDLK_RETURN2 ||
           key == SDLK_KP_SPACE;
}

bool isEscapeKey(SDL_Keycode key) {
    return key == SDLK_ESCAPE || key == SDLK_BACKSPACE || key == SDLK_KP_BACKSPACE;
}

int directionOfKey(SDL_Keycode key, bool topRowDigits) {
    for (const DirectionKeys& keys : kDirectionKeys) {
        if (key == keys.letter || key == keys.navigation || key == keys.keypad ||
            (topRowDigits && key == keys.topRowDigit)) {
            return keys.direction;
        }
    }
    return kNoDirection;
}

int readTypedText(char* buffer, int capacity, int& count) {
    SDL_StartTextInput();
    bool finished = false;
    while (!finished) {
        presentAndWait();
        // A Return finishes the text only once the whole pass is read: what was typed behind it in the
        // same pass still belongs to this text, as it would have been taken before stopping text input.
        SDL_Event event;
        while (pollEvent(event)) {
            if (event.type == SDL_QUIT) {
                SDL_StopTextInput();
                return kWindowClosed;
            }
            if (event.type == SDL_TEXTINPUT) {
                appendTypedBytes(event.text.text, buffer, capacity, count);
            } else if (event.type == SDL_KEYDOWN && isReturnKey(event.key.keysym.sym)) {
                finished = true;
            } else if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_BACKSPACE && count > 0) {
                eraseLastByte(buffer, count);
            }
        }
    }
    SDL_StopTextInput();
    return 0;
}
