// The picture as the player sees it, read back from the renderer, and checks of what parts of it show.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

#include "render/window.h"

// The pixels of an area of the picture, row by row, as 0xRRGGBB. The canvas is shown without blending,
// so its alpha is no part of what the player sees.
std::vector<Uint32> readPicture(SDL_Rect area = {0, 0, kWindowWidth, kWindowHeight});
Uint32 pixelAt(int x, int y);
// Counts the pixels of an atlas cell that were not copied unchanged to (x, y). Pixels of the atlas's
// transparent colour are not compared.
int cellMismatches(const char* atlasFile, Uint32 transparentRgb, SDL_Rect source, int x, int y);
// Fills the whole picture with one colour.
void fillPicture(Uint8 red, Uint8 green, Uint8 blue);

// Whether the board cursor of the player's colour is drawn on the hex.
bool cursorDrawnAt(int row, int column, int player);

// The info line: the rows below the board where the prompts are written.
SDL_Rect infoLineArea();
// Whether the info line reads text, written from its start. The check rewrites the info line.
bool infoLineReads(const std::string& text);
bool infoLineIsBlank();
