// The marks and units of row 16. Player 1 is blue and player 2 red; every sprite has a dark outline so
// that it reads on any ground, and stays in the middle of the hex (about x 18..41 beside the points) so
// that the action points on the left and the health points on the right stay legible.
#include "tile_art.h"

namespace {

constexpr Rgb kOutline = {18, 18, 26};
constexpr Rgb kSkin = {232, 190, 150};
constexpr Rgb kWood = {138, 88, 44};
constexpr Rgb kSteel = {176, 182, 192};
constexpr Rgb kHorse = {150, 98, 56};
constexpr Rgb kHorseLight = {196, 160, 124};
constexpr Rgb kHorseDark = {84, 52, 30};

struct Palette {
    Rgb dark;
    Rgb base;
    Rgb light;
    Rgb pale;
};

Palette playerPalette(int player) {
    if (player == 1) return {{24, 46, 120}, {42, 92, 210}, {98, 150, 246}, {190, 214, 255}};
    return {{112, 20, 20}, {200, 40, 36}, {246, 104, 88}, {255, 196, 182}};
}

// The centre of the hexagon.
constexpr double kCentreX = 29.5;
constexpr double kCentreY = 25.5;

// Paints `colour` over painted pixels of the cell whose x lies left of `edge`: a simple light from the left.
void lightLeftSide(Cell& cell, const double* points, int pointCount, double edge, Rgb colour) {
    for (int y = 0; y < kHexHeight; ++y) {
        for (int x = 0; x < kHexWidth; ++x) {
            if (x + 0.5 < edge && isInsidePolygon(x + 0.5, y + 0.5, points, pointCount))
                paintPixel(cell, x, y, colour);
        }
    }
}

// The round stand under every unit, in the player's colour, so that the side reads even from the base.
void paintStand(Cell& cell, const Palette& palette) {
    fillEllipse(cell, kCentreX, 44.5, 12.5, 4.0, palette.dark);
    fillEllipse(cell, kCentreX, 43.5, 11.5, 3.0, palette.base);
    fillEllipse(cell, kCentreX - 3, 42.8, 5.0, 1.2, palette.light);
}

void finishSprite(Cell& cell, Cell& sprite) {
    outlineCell(sprite, kOutline);
    paintOver(cell, sprite);
}

}  // namespace

void drawCursor(Cell& cell, int player) {
    clearCell(cell);
    const Palette palette = playerPalette(player);
    const int centreX = 29, centreY = 25, reach = 10;
    for (int offset = -reach; offset <= reach; ++offset) {
        for (int width = -1; width <= 1; ++width) {
            const Rgb colour = width == -1 ? palette.light : palette.base;
            paintPixel(cell, centreX + offset, centreY + width, colour);
            paintPixel(cell, centreX + width, centreY + offset, colour);
        }
    }
    outlineCell(cell, kOutline);
}

void drawSelectionHexagon(Cell& cell, int player) {
    clearCell(cell);
    const Palette palette = playerPalette(player);
    for (int y = 0; y < kHexHeight; ++y) {
        for (int x = 0; x < kHexWidth; ++x) {
            const int depth = hexEdgeDepth(x, y);
            if (depth == 0 || depth == 4) paintPixel(cell, x, y, kOutline);
            if (depth == 1) paintPixel(cell, x, y, palette.light);
            if (depth == 2 || depth == 3) paintPixel(cell, x, y, palette.base);
        }
    }
}

void drawArcher(Cell& cell, int player) {
    clearCell(cell);
    const Palette palette = playerPalette(player);
    paintStand(cell, palette);
    Cell sprite;
    clearCell(sprite);
    // Legs, tunic, head and hood.
    drawLine(sprite, 26.5, 33, 25.5, 41, 2.6, kHorseDark);
    drawLine(sprite, 32.5, 33, 33.5, 41, 2.6, kHorseDark);
    const double tunic[] = {23, 18, 34, 18, 36.5, 35, 21.5, 35};
    fillPolygon(sprite, tunic, 4, palette.base);
    lightLeftSide(sprite, tunic, 4, 26.5, palette.light);
    drawLine(sprite, 22, 30.5, 36, 30.5, 1.2, kHorseDark);
    fillEllipse(sprite, 28.5, 12.5, 4.6, 5.0, palette.dark);
    fillEllipse(sprite, 29.3, 13.5, 3.0, 3.4, kSkin);
    // The bow, held out in front, with its string and a nocked arrow.
    for (int y = 0; y < kHexHeight; ++y) {
        for (int x = 0; x < kHexWidth; ++x) {
            const double dx = x + 0.5 - 22.0, dy = y + 0.5 - 24.0;
            const double distance = dx * dx + dy * dy;
            if (dx > 0 && dy > -17 && dy < 17 && distance > 15.0 * 15.0 && distance < 17.4 * 17.4) {
                paintPixel(sprite, x, y, dy > -2 && dy < 2 ? kHorseDark : kWood);
            }
        }
    }
    drawLine(sprite, 30.5, 8.5, 30.5, 39.5, 1.0, {226, 222, 206});
    drawLine(sprite, 33, 21.5, 38.5, 23.5, 2.2, kSkin);
    drawLine(sprite, 27, 24.5, 39, 24.5, 1.0, kWood);
    const double head[] = {37.5, 22.5, 41, 24.5, 37.5, 26.5};
    fillPolygon(sprite, head, 3, kSteel);
    finishSprite(cell, sprite);
}

void drawCavalry(Cell& cell, int player) {
    clearCell(cell);
    const Palette palette = playerPalette(player);
    paintStand(cell, palette);
    Cell sprite;
    clearCell(sprite);
    // The horse, facing right with its head held high above the health points: tail, legs, body, neck
    // and head, with a dark mane and a light muzzle.
    drawLine(sprite, 19.5, 33.5, 15, 42, 2.8, kHorseDark);
    drawLine(sprite, 21.5, 36, 20.5, 44, 2.4, kHorseDark);
    drawLine(sprite, 25.5, 37, 25.5, 44.5, 2.4, kHorse);
    drawLine(sprite, 34, 37, 34.5, 44.5, 2.4, kHorse);
    drawLine(sprite, 38, 36, 39.5, 44, 2.4, kHorseDark);
    fillEllipse(sprite, 29.5, 33.5, 11.0, 5.5, kHorse);
    fillEllipse(sprite, 28, 35, 8.0, 2.5, kHorseDark);  // the belly in shade
    const double neck[] = {33, 31, 35, 15, 39.5, 9, 40.5, 29};
    fillPolygon(sprite, neck, 4, kHorse);
    const double head[] = {37, 6, 41, 3.5, 47.5, 10.5, 46.5, 14, 40.5, 13.5};
    fillPolygon(sprite, head, 5, kHorse);
    drawLine(sprite, 45, 11.5, 46.5, 13, 1.8, kHorseLight);  // muzzle
    paintPixel(sprite, 41, 7, kOutline);                     // eye
    drawLine(sprite, 36.5, 8, 34, 27, 1.8, kHorseDark);      // mane
    drawLine(sprite, 39.5, 4.5, 38.5, 1.5, 1.6, kHorse);     // ear
    // The rider in the player's colour on a saddle cloth, with a lance and pennant.
    const double cloth[] = {22, 28, 33, 28, 33.5, 36, 22.5, 36};
    fillPolygon(sprite, cloth, 4, palette.base);
    drawLine(sprite, 22.5, 35.5, 33.5, 35.5, 1.2, palette.pale);
    drawLine(sprite, 22, 41, 34, 2.5, 1.4, kSteel);
    const double pennant[] = {33.5, 3, 40.5, 5, 33.5, 8.5};
    fillPolygon(sprite, pennant, 3, palette.light);
    const double body[] = {23.5, 16, 29.5, 16, 31, 28.5, 22.5, 28.5};
    fillPolygon(sprite, body, 4, palette.base);
    lightLeftSide(sprite, body, 4, 25.5, palette.light);
    drawLine(sprite, 28, 28, 29.5, 34.5, 2.4, palette.dark);
    fillEllipse(sprite, 26.5, 11.5, 3.4, 3.6, kSkin);
    const double helmet[] = {22.5, 11.5, 26.5, 6, 30.5, 11.5};
    fillPolygon(sprite, helmet, 3, kSteel);
    finishSprite(cell, sprite);
}

void drawShield(Cell& cell, int player) {
    clearCell(cell);
    const Palette palette = playerPalette(player);
    paintStand(cell, palette);
    Cell sprite;
    clearCell(sprite);
    // A soldier behind the shield: helmet above it, a spear beside it, feet below.
    drawLine(sprite, 40.5, 2.5, 40.5, 42, 1.6, kWood);
    const double spearHead[] = {38.5, 6, 40.5, 0.5, 42.5, 6};
    fillPolygon(sprite, spearHead, 3, kSteel);
    fillEllipse(sprite, 29.5, 9.5, 5.5, 5.5, kSteel);
    drawLine(sprite, 24, 10.5, 35, 10.5, 1.4, {120, 126, 136});
    drawLine(sprite, 29.5, 3.5, 29.5, 1.5, 2.2, palette.light);
    drawLine(sprite, 25.5, 38, 25.5, 42, 2.6, kHorseDark);
    drawLine(sprite, 33.5, 38, 33.5, 42, 2.6, kHorseDark);
    // The shield itself: a steel rim around the player's colour, a lighter left half and a cross.
    const double rim[] = {19, 13, 39.5, 13, 39.5, 26, 35.5, 35, 29.5, 41, 23.5, 35, 19, 26};
    fillPolygon(sprite, rim, 7, kSteel);
    const double face[] = {21, 15, 37.5, 15, 37.5, 25.5, 34, 33.5, 29.5, 38.5, 25, 33.5, 21, 25.5};
    fillPolygon(sprite, face, 7, palette.base);
    lightLeftSide(sprite, face, 7, 29.5, palette.light);
    drawLine(sprite, 29.5, 16.5, 29.5, 35, 2.6, palette.pale);
    drawLine(sprite, 23, 22.5, 36, 22.5, 2.6, palette.pale);
    finishSprite(cell, sprite);
}
