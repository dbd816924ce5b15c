// Draws the game's desktop icon from its own tile atlas: a Cavalry of player 1 on a ground hex, with the
// atlas's cyan made transparent, as square PNG files of the usual icon sizes, and all of them in one Windows
// icon file, qorda.ico; or, when sizes are given, the PNG files of those sizes alone (the browser's page asks
// for sizes that a Windows icon cannot hold).
// usage: icongen <tiles.png> <output directory> [size...]
#include <SDL.h>
#include <SDL_image.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kCell[2] = {60, 52};
constexpr int kGroundCell[2] = {0, 0};
constexpr int kUnitCell[2] = {6, 16};
constexpr int kSizes[] = {16, 32, 48, 64, 128, 256};
constexpr int kMaxSize = 1024;

// Copies one atlas cell onto the square icon picture, centred vertically, cyan left out.
void copyCell(SDL_Surface* atlas, const int cell[2], SDL_Surface* icon) {
    const Uint32 cyan = SDL_MapRGB(atlas->format, 0, 255, 255);
    const int top = (icon->h - kCell[1]) / 2;
    for (int y = 0; y < kCell[1]; ++y) {
        for (int x = 0; x < kCell[0]; ++x) {
            const auto* row =
                static_cast<const Uint32*>(atlas->pixels) + (cell[1] * kCell[1] + y) * atlas->pitch / 4;
            const Uint32 pixel = row[cell[0] * kCell[0] + x];
            if ((pixel & 0x00FFFFFF) == (cyan & 0x00FFFFFF)) continue;
            static_cast<Uint32*>(icon->pixels)[(top + y) * icon->pitch / 4 + x] = pixel | 0xFF000000;
        }
    }
}

std::string iconPath(const char* directory, int size) {
    return std::string(directory) + "/qorda-" + std::to_string(size) + ".png";
}

bool readFile(const std::string& path, std::vector<unsigned char>& bytes) {
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    unsigned char block[4096];
    size_t count = 0;
    while ((count = fread(block, 1, sizeof block, file)) > 0) bytes.insert(bytes.end(), block, block + count);
    const bool read = ferror(file) == 0;
    fclose(file);
    return read;
}

void putLittleEndian(std::vector<unsigned char>& bytes, unsigned value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// The Windows icon: a directory of the sizes, each picture stored as the PNG file written for it (which
// Windows reads since Vista). A size of 256 is written as 0 in the directory's byte.
bool writeWindowsIcon(const char* directory) {
    constexpr int kCount = sizeof kSizes / sizeof kSizes[0];
    constexpr unsigned kHeaderSize = 6;
    constexpr unsigned kEntrySize = 16;
    std::vector<unsigned char> header;
    std::vector<unsigned char> pictures;
    putLittleEndian(header, 0, 2);
    putLittleEndian(header, 1, 2);  // an icon, not a cursor
    putLittleEndian(header, kCount, 2);
    for (int size : kSizes) {
        std::vector<unsigned char> png;
        if (!readFile(iconPath(directory, size), png)) return false;
        header.push_back(static_cast<unsigned char>(size % 256));
        header.push_back(static_cast<unsigned char>(size % 256));
        putLittleEndian(header, 0, 2);   // no palette
        putLittleEndian(header, 1, 2);   // planes
        putLittleEndian(header, 32, 2);  // bits per pixel
        putLittleEndian(header, static_cast<unsigned>(png.size()), 4);
        putLittleEndian(header, kHeaderSize + kCount * kEntrySize + static_cast<unsigned>(pictures.size()),
                        4);
        pictures.insert(pictures.end(), png.begin(), png.end());
    }
    const std::string path = std::string(directory) + "/qorda.ico";
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = fwrite(header.data(), 1, header.size(), file) == header.size() &&
                         fwrite(pictures.data(), 1, pictures.size(), file) == pictures.size();
    return fclose(file) == 0 && written;
}

// The sizes asked for on the command line, or the usual ones when none is.
bool readSizes(int count, char* arguments[], std::vector<int>& sizes) {
    if (count == 0) {
        sizes.assign(std::begin(kSizes), std::end(kSizes));
        return true;
    }
    for (int i = 0; i < count; ++i) {
        const char* end = arguments[i] + strlen(arguments[i]);
        int size = 0;
        const auto [stop, error] = std::from_chars(arguments[i], end, size);
        if (error != std::errc() || stop != end || size <= 0 || size > kMaxSize) return false;
        sizes.push_back(size);
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::vector<int> sizes;
    if (argc < 3 || !readSizes(argc - 3, argv + 3, sizes)) {
        fprintf(stderr, "usage: icongen <tiles.png> <output directory> [size...]\n");
        return 2;
    }
    const bool usualSizes = argc == 3;
    SDL_Surface* loaded = IMG_Load(argv[1]);
    if (loaded == nullptr) {
        fprintf(stderr, "icongen: cannot load %s: %s\n", argv[1], IMG_GetError());
        return 1;
    }
    SDL_Surface* atlas = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormat(0, kCell[0], kCell[0], 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_FillRect(icon, nullptr, 0);  // fully transparent
    copyCell(atlas, kGroundCell, icon);
    copyCell(atlas, kUnitCell, icon);
    int status = 0;
    for (int size : sizes) {
        SDL_Surface* scaled = SDL_CreateRGBSurfaceWithFormat(0, size, size, 32, SDL_PIXELFORMAT_ARGB8888);
        SDL_SoftStretchLinear(icon, nullptr, scaled, nullptr);
        const std::string path = iconPath(argv[2], size);
        if (IMG_SavePNG(scaled, path.c_str()) != 0) {
            fprintf(stderr, "icongen: cannot write %s: %s\n", path.c_str(), IMG_GetError());
            status = 1;
        }
        SDL_FreeSurface(scaled);
    }
    SDL_FreeSurface(icon);
    SDL_FreeSurface(atlas);
    if (status == 0 && usualSizes && !writeWindowsIcon(argv[2])) {
        fprintf(stderr, "icongen: cannot write %s/qorda.ico\n", argv[2]);
        status = 1;
    }
    return status;
}
