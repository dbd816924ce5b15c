#include "indexed_png.h"

#include <SDL_image.h>

#include <algorithm>
#include <cstddef>
#include <unordered_map>
#include <vector>

namespace {

constexpr int kPaletteSize = 256;

// One colour of the picture (red, green, blue) and how many pixels have it.
struct Colour {
    int channel[3];
    long long pixels;
};

// A box of the median cut: a run [begin, end) of the colour list, with the channel it spreads most along.
struct Box {
    std::size_t begin;
    std::size_t end;
    int widestChannel;
    int range;
    long long pixels;
};

Uint32 rgbOf(const Uint32* row, int x) {
    return row[x] & 0xFFFFFF;
}

std::vector<Colour> countColours(SDL_Surface* picture) {
    std::unordered_map<Uint32, long long> counts;
    for (int y = 0; y < picture->h; ++y) {
        const auto* row =
            reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(picture->pixels) + y * picture->pitch);
        for (int x = 0; x < picture->w; ++x) ++counts[rgbOf(row, x)];
    }
    std::vector<Colour> colours;
    colours.reserve(counts.size());
    for (const auto& [rgb, pixels] : counts) {
        colours.push_back(
            {{static_cast<int>(rgb >> 16), static_cast<int>((rgb >> 8) & 0xFF), static_cast<int>(rgb & 0xFF)},
             pixels});
    }
    return colours;
}

Box describeBox(const std::vector<Colour>& colours, std::size_t begin, std::size_t end) {
    int low[3] = {255, 255, 255};
    int high[3] = {0, 0, 0};
    long long pixels = 0;
    for (std::size_t i = begin; i < end; ++i) {
        for (int c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], colours[i].channel[c]);
            high[c] = std::max(high[c], colours[i].channel[c]);
        }
        pixels += colours[i].pixels;
    }
    Box box = {begin, end, 0, high[0] - low[0], pixels};
    for (int c = 1; c < 3; ++c) {
        if (high[c] - low[c] > box.range) {
            box.widestChannel = c;
            box.range = high[c] - low[c];
        }
    }
    return box;
}

// Splits a box at the median pixel along its widest channel; both halves keep at least one colour.
void splitBox(std::vector<Colour>& colours, const Box& box, Box& lower, Box& upper) {
    const int c = box.widestChannel;
    std::sort(colours.begin() + static_cast<std::ptrdiff_t>(box.begin),
              colours.begin() + static_cast<std::ptrdiff_t>(box.end),
              [c](const Colour& a, const Colour& b) { return a.channel[c] < b.channel[c]; });
    std::size_t cut = box.begin + 1;
    long long below = colours[box.begin].pixels;
    while (cut < box.end - 1 && below * 2 < box.pixels) below += colours[cut++].pixels;
    lower = describeBox(colours, box.begin, cut);
    upper = describeBox(colours, cut, box.end);
}

// Median cut: keeps splitting the box whose pixels spread the most (pixel count times widest range), so
// that large areas get fine shades while small, distinct marks (text, highlights) keep their own box.
std::vector<Box> cutIntoBoxes(std::vector<Colour>& colours) {
    std::vector<Box> boxes = {describeBox(colours, 0, colours.size())};
    while (static_cast<int>(boxes.size()) < kPaletteSize) {
        std::size_t widest = boxes.size();
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].end - boxes[i].begin < 2) continue;
            if (widest == boxes.size() ||
                boxes[i].pixels * boxes[i].range > boxes[widest].pixels * boxes[widest].range) {
                widest = i;
            }
        }
        if (widest == boxes.size()) break;
        Box lower, upper;
        splitBox(colours, boxes[widest], lower, upper);
        boxes[widest] = lower;
        boxes.push_back(upper);
    }
    return boxes;
}

SDL_Color meanColour(const std::vector<Colour>& colours, const Box& box) {
    long long sum[3] = {0, 0, 0};
    for (std::size_t i = box.begin; i < box.end; ++i) {
        for (int c = 0; c < 3; ++c) sum[c] += colours[i].channel[c] * colours[i].pixels;
    }
    const auto mean = [&](int c) { return static_cast<Uint8>((sum[c] + box.pixels / 2) / box.pixels); };
    return {mean(0), mean(1), mean(2), 255};
}

Uint8 nearestEntry(const std::vector<SDL_Color>& palette, Uint32 rgb) {
    const int red = static_cast<int>(rgb >> 16), green = static_cast<int>((rgb >> 8) & 0xFF),
              blue = static_cast<int>(rgb & 0xFF);
    int best = 0;
    int bestDistance = 1 << 30;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int dr = palette[i].r - red, dg = palette[i].g - green, db = palette[i].b - blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
        }
    }
    return static_cast<Uint8>(best);
}

}  // namespace

int saveIndexedPng(SDL_Surface* picture, const char* path) {
    std::vector<Colour> colours = countColours(picture);
    std::vector<SDL_Color> palette;
    for (const Box& box : cutIntoBoxes(colours)) palette.push_back(meanColour(colours, box));

    SDL_Surface* indexed =
        SDL_CreateRGBSurfaceWithFormat(0, picture->w, picture->h, 8, SDL_PIXELFORMAT_INDEX8);
    if (indexed == nullptr) return -1;
    SDL_SetPaletteColors(indexed->format->palette, palette.data(), 0, static_cast<int>(palette.size()));
    std::unordered_map<Uint32, Uint8> entryOf;
    for (int y = 0; y < picture->h; ++y) {
        const auto* source =
            reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(picture->pixels) + y * picture->pitch);
        Uint8* target = static_cast<Uint8*>(indexed->pixels) + y * indexed->pitch;
        for (int x = 0; x < picture->w; ++x) {
            const Uint32 rgb = rgbOf(source, x);
            auto found = entryOf.find(rgb);
            if (found == entryOf.end()) found = entryOf.emplace(rgb, nearestEntry(palette, rgb)).first;
            target[x] = found->second;
        }
    }
    const int result = IMG_SavePNG(indexed, path);
    SDL_FreeSurface(indexed);
    return result;
}
