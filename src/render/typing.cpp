#include "render/typing.h"

#include <SDL.h>

#include "render/text.h"
#include "render/window.h"

namespace {

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

int readTypedText(char* buffer, int capacity, int& count) {
    SDL_StartTextInput();
    for (;;) {
        presentAndWait();
        SDL_Event event;
        while (pollEvent(event)) {
            if (event.type == SDL_QUIT) {
                SDL_StopTextInput();
                return 1;
            }
            if (event.type == SDL_TEXTINPUT) {
                appendTypedBytes(event.text.text, buffer, capacity, count);
            } else if (event.type == SDL_KEYDOWN && isReturnKey(event.key.keysym.sym)) {
                // The rest of the queue belongs to whoever reads next.
                SDL_StopTextInput();
                return 0;
            } else if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_BACKSPACE && count > 0) {
                eraseLastByte(buffer, count);
            }
        }
    }
}
