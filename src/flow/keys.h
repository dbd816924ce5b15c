// The key groups of a match. Unit control and the targeting ring use the same groups as the cursor mode,
// without the top-row digits.
#pragma once

#include <SDL.h>

bool isEnterKey(SDL_Keycode key);
bool isEscapeKey(SDL_Keycode key);

// The direction (keypad digit numbering, see state/hex.h) that a key names, or kNoDirection.
// The top-row digits 1 to 6 count only where topRowDigits is true (the match's cursor mode).
int directionOfKey(SDL_Keycode key, bool topRowDigits);
