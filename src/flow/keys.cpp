#include "flow/keys.h"

#include "state/hex.h"

namespace {

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

}  // namespace

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
