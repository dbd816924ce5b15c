// Builds the game's font atlas (font.bmp) from the glyph drawings in glyphs.txt.
//
//   fontgen GLYPHS_TXT OUTPUT_BMP
//
// glyphs.txt holds the 80 glyphs in atlas cell order, 16 cells per atlas row. Each glyph is a line
// "glyph <label>" followed by 8 rows of 8 pixels: '.' empty (black, the atlas's transparent colour),
// '#' the light glyph colour, 'o' the dark shadow that keeps the glyph readable over board tiles.
// Lines starting with ';' and empty lines are ignored. Any other shape of input is refused.
#include <SDL.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "render/text.h"

namespace {

constexpr int kGlyphCount = 80;
constexpr int kGlyphsPerRow = 16;
constexpr int kAtlasWidth = kGlyphsPerRow * kGlyphSize;
constexpr int kAtlasHeight = kGlyphCount / kGlyphsPerRow * kGlyphSize;
constexpr char kLabelPrefix[] = "glyph ";

// Neither colour may be pure black: black is transparent in the game.
constexpr SDL_Color kLight = {255, 255, 255, 255};
constexpr SDL_Color kShadow = {32, 32, 32, 255};

struct Glyph {
    std::string label;
    std::vector<std::string> rows;
};

struct Reader {
    const char* fileName;
    int lineNumber = 0;
    std::string error;

    bool fail(const std::string& message) {
        if (error.empty()) error = std::string(fileName) + ":" + std::to_string(lineNumber) + ": " + message;
        return false;
    }
};

bool isPixelRow(const std::string& line) {
    return line.find_first_not_of(".#o") == std::string::npos;
}

bool readGlyphs(std::istream& input, Reader& reader, std::vector<Glyph>& glyphs) {
    std::set<std::string> labels;
    std::string line;
    while (std::getline(input, line)) {
        ++reader.lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line.rfind(kLabelPrefix, 0) == 0) {
            if (!glyphs.empty() && glyphs.back().rows.size() != kGlyphSize) {
                return reader.fail("glyph \"" + glyphs.back().label + "\" has " +
                                   std::to_string(glyphs.back().rows.size()) + " rows instead of 8");
            }
            const std::string label = line.substr(sizeof kLabelPrefix - 1);
            if (label.empty()) return reader.fail("glyph without a label");
            if (!labels.insert(label).second) return reader.fail("glyph \"" + label + "\" appears twice");
            glyphs.push_back({label, {}});
            continue;
        }
        if (glyphs.empty()) return reader.fail("pixel row before the first \"glyph\" line");
        Glyph& glyph = glyphs.back();
        if (!isPixelRow(line)) return reader.fail("only '.', '#' and 'o' may draw a glyph");
        if (line.size() != kGlyphSize) {
            return reader.fail("row of " + std::to_string(line.size()) + " pixels instead of 8");
        }
        if (glyph.rows.size() == kGlyphSize)
            return reader.fail("glyph \"" + glyph.label + "\" has more than 8 rows");
        glyph.rows.push_back(line);
    }
    if (!glyphs.empty() && glyphs.back().rows.size() != kGlyphSize) {
        return reader.fail("glyph \"" + glyphs.back().label + "\" has " +
                           std::to_string(glyphs.back().rows.size()) + " rows instead of 8");
    }
    if (glyphs.size() != kGlyphCount) {
        return reader.fail(std::to_string(glyphs.size()) + " glyphs instead of " +
                           std::to_string(kGlyphCount));
    }
    for (const Glyph& glyph : glyphs) {
        bool visible = false;
        for (const std::string& row : glyph.rows) visible = visible || row.find('#') != std::string::npos;
        if (!visible) return reader.fail("glyph \"" + glyph.label + "\" has no light pixel");
    }
    return true;
}

void paintGlyph(SDL_Surface* atlas, int cell, const Glyph& glyph) {
    const Uint32 light = SDL_MapRGB(atlas->format, kLight.r, kLight.g, kLight.b);
    const Uint32 shadow = SDL_MapRGB(atlas->format, kShadow.r, kShadow.g, kShadow.b);
    const int left = cell % kGlyphsPerRow * kGlyphSize;
    const int top = cell / kGlyphsPerRow * kGlyphSize;
    for (int y = 0; y < kGlyphSize; ++y) {
        auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(atlas->pixels) + (top + y) * atlas->pitch);
        for (int x = 0; x < kGlyphSize; ++x) {
            const char pixel = glyph.rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
            if (pixel == '#') row[left + x] = light;
            if (pixel == 'o') row[left + x] = shadow;
        }
    }
}

int writeAtlas(const std::vector<Glyph>& glyphs, const char* outputFile) {
    SDL_Surface* atlas =
        SDL_CreateRGBSurfaceWithFormat(0, kAtlasWidth, kAtlasHeight, 32, SDL_PIXELFORMAT_RGB888);
    if (atlas == nullptr) {
        fprintf(stderr, "fontgen: cannot make the atlas: %s\n", SDL_GetError());
        return 1;
    }
    SDL_FillRect(atlas, nullptr, SDL_MapRGB(atlas->format, 0, 0, 0));
    for (int cell = 0; cell < kGlyphCount; ++cell) paintGlyph(atlas, cell, glyphs[static_cast<size_t>(cell)]);
    const int saved = SDL_SaveBMP(atlas, outputFile);
    SDL_FreeSurface(atlas);
    if (saved != 0) {
        fprintf(stderr, "fontgen: cannot write %s: %s\n", outputFile, SDL_GetError());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        fprintf(stderr, "usage: fontgen GLYPHS_TXT OUTPUT_BMP\n");
        return 2;
    }
    std::ifstream input(argv[1]);
    if (!input) {
        fprintf(stderr, "fontgen: cannot read %s\n", argv[1]);
        return 1;
    }
    Reader reader{argv[1], 0, ""};
    std::vector<Glyph> glyphs;
    if (!readGlyphs(input, reader, glyphs)) {
        fprintf(stderr, "fontgen: %s\n", reader.error.c_str());
        return 1;
    }
    return writeAtlas(glyphs, argv[2]);
}
