// Saving a picture as a PNG with a palette of at most 256 colours, so that the screenshots committed with
// the documentation stay small.
#pragma once

#include <SDL.h>

// Saves an ARGB8888 picture as an indexed PNG. A picture with 256 colours or fewer keeps them exactly;
// a richer one is reduced by median cut, each pixel taking the nearest colour of the palette.
// 0 saved; otherwise the SDL error is set.
int saveIndexedPng(SDL_Surface* picture, const char* path);
