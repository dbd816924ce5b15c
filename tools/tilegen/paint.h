// Pixel painting for the tile atlas: one 60 x 52 hex cell at a time, with a seeded random source and
// value noise, so that the same program always draws the same atlas.
#pragma once

#include <cstdint>

#include "render/board_drawing.h"

struct Rgb {
    int red;
    int green;
    int blue;
};

Rgb mix(Rgb from, Rgb to, double amount);
Rgb shade(Rgb colour, double factor);  // factor 1 keeps the colour, below 1 darkens, above 1 lightens

// A small deterministic random source (xorshift); the same seed gives the same sequence everywhere.
struct Random {
    std::uint32_t state;
};
Random seededRandom(std::uint32_t seed);
std::uint32_t nextRandom(Random& random);
double randomUnit(Random& random);  // 0 <= value < 1
double randomBetween(Random& random, double low, double high);
int randomInt(Random& random, int low, int high);  // low..high inclusive

// A random value in 0..1 for one pixel, the same every time for the same pixel and seed.
double pixelNoise(int x, int y, std::uint32_t seed);

// Smooth value noise in 0..1 with lattice spacing `scale` pixels; the seed picks an independent field.
double valueNoise(double x, double y, double scale, std::uint32_t seed);

// Whether a pixel of a 60 x 52 cell lies on the hexagon that every hex is drawn on (the same pixels
// as the target highlight).
bool isInsideHex(int x, int y);
// How many pixel steps a pixel of the hexagon lies inside its edge: 0 on the edge itself, -1 outside.
int hexEdgeDepth(int x, int y);

// One atlas cell being painted. Unpainted pixels stay transparent.
struct Cell {
    Rgb colour[kHexHeight][kHexWidth];
    bool painted[kHexHeight][kHexWidth];
};

void clearCell(Cell& cell);
void paintPixel(Cell& cell, int x, int y, Rgb colour);
bool isPainted(const Cell& cell, int x, int y);
Rgb pixelOf(const Cell& cell, int x, int y);
// Darkens or lightens an already painted pixel; unpainted pixels stay transparent.
void shadePixel(Cell& cell, int x, int y, double factor);

// Filled shapes, tested at pixel centres.
bool isInsideEllipse(double x, double y, double centreX, double centreY, double radiusX, double radiusY);
bool isInsidePolygon(double x, double y, const double* points, int pointCount);
double distanceToSegment(double x, double y, double fromX, double fromY, double toX, double toY);

void fillEllipse(Cell& cell, double centreX, double centreY, double radiusX, double radiusY, Rgb colour);
void fillPolygon(Cell& cell, const double* points, int pointCount, Rgb colour);
void drawLine(Cell& cell, double fromX, double fromY, double toX, double toY, double width, Rgb colour);

// Paints `colour` on every unpainted pixel that touches a painted one (8 neighbours): the dark outline
// that makes a sprite read on any ground.
void outlineCell(Cell& cell, Rgb colour);
// Copies the painted pixels of `top` over `bottom`.
void paintOver(Cell& bottom, const Cell& top);
