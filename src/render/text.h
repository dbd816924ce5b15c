// Text in the window with the 8 x 8 bitmap font, the shared text cursor, and the info line under the board.
#pragma once

constexpr int kGlyphSize = 8;
constexpr int kInfoLineX = 2;
constexpr int kInfoLineY = 547;

// The window position of the cell where the next character goes. Every writer positions it first.
extern int gTextX;
extern int gTextY;

// 0 painted; 1 not a digit, nothing painted.
int renderDigit(int x, int y, int digit);
// 0 painted (or a space); 2 line feed; 1 no glyph. Only the low byte of character counts.
int renderCharacter(int x, int y, int character);
void hideCharacter(int x, int y);
// Writes text at the text cursor, wrapping at the window's right edge; stops at the first byte without
// a glyph (the terminating zero included). Always returns 1.
int renderText(int lineStart, const char* text);
void hideRenderedInfoText();

// Blanks the info line and puts the text cursor at its start.
void startInfoLine();
// Blanks the info line and writes text there.
void writeInfoLine(const char* text);
// Blanks the info line and writes the player prefix "Player", a blank cell and the player's digit,
// leaving the text cursor right after the digit.
void writePlayerPrefix(int player);
