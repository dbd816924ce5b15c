#include "render/text.h"

#include "render/texts.h"
#include "render/window.h"

int gTextX = 0;
int gTextY = 0;

namespace {

constexpr int kGlyphsPerRow = 16;

// The characters of the font atlas in cell order (16 per row); the digits come first, so a digit's cell
// is its value.
constexpr char kGlyphOrder[] =
    "0123456789ABCDEF"
    "GHIJKLMNOPQRSTUV"
    "WXYZabcdefghijkl"
    "mnopqrstuvwxyz.:"
    ",;|/\\'\"?!+-*=()_";

// The atlas cell of each byte, or -1 when the byte has no glyph.
struct GlyphCells {
    int cell[256];
    constexpr GlyphCells() : cell() {
        for (int& c : cell) c = -1;
        for (int index = 0; kGlyphOrder[index] != 0; ++index) {
            cell[static_cast<unsigned char>(kGlyphOrder[index])] = index;
        }
    }
};
constexpr GlyphCells kGlyphCells;

void paintGlyph(int x, int y, int cell) {
    const SDL_Rect source = {kGlyphSize * (cell % kGlyphsPerRow), kGlyphSize * (cell / kGlyphsPerRow),
                             kGlyphSize, kGlyphSize};
    const SDL_Rect destination = {x, y, kGlyphSize, kGlyphSize};
    copyToPicture(gTextureFont, source, destination);
}

void fillBlack(const SDL_Rect& area) {
    SDL_SetRenderDrawColor(gRenderer, 0, 0, 0, 255);
    fillPictureArea(area);
}

}  // namespace

int renderDigit(int x, int y, int digit) {
    if (digit < 0 || digit > 9) return kNoGlyph;
    paintGlyph(x, y, digit);
    return kGlyphPainted;
}

int renderCharacter(int x, int y, int character) {
    const unsigned char code = static_cast<unsigned char>(character);
    if (code == ' ') return kGlyphPainted;
    if (code == '\n') return kLineFeed;
    const int cell = kGlyphCells.cell[code];
    if (cell < 0) return kNoGlyph;
    paintGlyph(x, y, cell);
    return kGlyphPainted;
}

void hideCharacter(int x, int y) {
    fillBlack({x, y, kGlyphSize, kGlyphSize});
}

int renderText(int lineStart, const char* text) {
    for (;; ++text) {
        if (*text == '\n') {
            gTextX = lineStart;
            gTextY += kGlyphSize;
            continue;
        }
        if (renderCharacter(gTextX, gTextY, *text) == kNoGlyph) return kNoGlyph;
        gTextX += kGlyphSize;
        if (gTextX + kGlyphSize - 1 > kWindowWidth) {
            gTextX = lineStart;
            gTextY += kGlyphSize;
        }
    }
}

void hideRenderedInfoText() {
    fillBlack({kInfoLineX, kInfoLineY, kWindowWidth, kWindowHeight});
}

void startInfoLine() {
    hideRenderedInfoText();
    gTextX = kInfoLineX;
    gTextY = kInfoLineY;
}

void writeInfoLine(const char* text) {
    startInfoLine();
    renderText(kInfoLineX, text);
}

void writePlayerPrefix(int player) {
    startInfoLine();
    renderText(kInfoLineX, kPlayerPrefix);
    gTextX += kGlyphSize;
    renderDigit(gTextX, gTextY, player);
    gTextX += kGlyphSize;
}
