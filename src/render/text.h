// Text in the window with the 8 x 8 bitmap font, the shared text cursor, and the info line under the board.
#pragma once

constexpr int kGlyphSize = 8;
constexpr int kInfoLineX = 2;
constexpr int kInfoLineY = 547;

// The window position of the cell where the next character goes. Every writer positions it first.
extern int gTextX;
extern int gTextY;

// What painting a character returns: painted (a space too, which paints nothing), no glyph (nothing
// painted), or a line feed (nothing painted; renderText starts a new line).
enum GlyphResult : int {
    kGlyphPainted = 0,
    kNoGlyph = 1,
    kLineFeed = 2,
};

// kGlyphPainted, or kNoGlyph for a value outside 0 to 9.
int renderDigit(int x, int y, int digit);
// Only the low byte of character counts.
int renderCharacter(int x, int y, int character);
void hideCharacter(int x, int y);
// Writes text at the text cursor, wrapping at the window's right edge; stops at the first byte without
// a glyph (the terminating zero included), so it always returns kNoGlyph, and no caller needs its result.
int renderText(int lineStart, const char* text);
void hideRenderedInfoText();

// Blanks the info line and puts the text cursor at its start.
void startInfoLine();
// Blanks the info line and writes text there.
void writeInfoLine(const char* text);
// Blanks the info line and writes the player prefix "Player", a blank cell and the player's digit,
// leaving the text cursor right after the digit.
void writePlayerPrefix(int player);
