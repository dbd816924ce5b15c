// Checks that a generator reproduces a committed image: runs the generator with the output path appended to
// its arguments, then compares the decoded pixels of the generated and the committed image.
//
//   image_check COMMITTED_IMAGE OUTPUT_IMAGE GENERATOR [GENERATOR_ARGUMENTS...]
//
// Exit status 0 when every pixel matches; otherwise 1, after saying what differs.
#include <SDL.h>
#include <SDL_image.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

bool runGenerator(int argc, char* argv[], const char* outputImage) {
    std::vector<char*> command(argv + 3, argv + argc);
    command.push_back(const_cast<char*>(outputImage));
    command.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        execv(command[0], command.data());
        perror(command[0]);
        _exit(127);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

SDL_Surface* loadPixels(const char* file) {
    SDL_Surface* loaded = IMG_Load(file);
    if (loaded == nullptr) {
        fprintf(stderr, "cannot load %s: %s\n", file, IMG_GetError());
        return nullptr;
    }
    SDL_Surface* pixels = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    return pixels;
}

Uint32 pixelOf(const SDL_Surface* surface, int x, int y) {
    return static_cast<const Uint32*>(surface->pixels)[y * (surface->pitch / 4) + x];
}

int countDifferences(const SDL_Surface* committed, const SDL_Surface* generated) {
    int differences = 0;
    for (int y = 0; y < committed->h; ++y) {
        for (int x = 0; x < committed->w; ++x) {
            const Uint32 expected = pixelOf(committed, x, y);
            const Uint32 actual = pixelOf(generated, x, y);
            if (expected == actual) continue;
            if (differences == 0) {
                fprintf(stderr, "first difference at (%d, %d): committed %08X, generated %08X\n", x, y,
                        static_cast<unsigned>(expected), static_cast<unsigned>(actual));
            }
            ++differences;
        }
    }
    return differences;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 4) {
        fprintf(stderr, "usage: image_check COMMITTED_IMAGE OUTPUT_IMAGE GENERATOR [ARGUMENTS...]\n");
        return 2;
    }
    const char* committedImage = argv[1];
    const char* outputImage = argv[2];
    std::error_code ignored;
    std::filesystem::remove(outputImage, ignored);  // a stale image from an earlier run must not pass
    if (!runGenerator(argc, argv, outputImage)) {
        fprintf(stderr, "the generator %s failed\n", argv[3]);
        return 1;
    }
    SDL_Surface* committed = loadPixels(committedImage);
    SDL_Surface* generated = loadPixels(outputImage);
    int result = 1;
    if (committed != nullptr && generated != nullptr) {
        if (committed->w != generated->w || committed->h != generated->h) {
            fprintf(stderr, "sizes differ: committed %dx%d, generated %dx%d\n", committed->w, committed->h,
                    generated->w, generated->h);
        } else {
            const int differences = countDifferences(committed, generated);
            if (differences == 0) {
                printf("%s: all %d pixels match\n", committedImage, committed->w * committed->h);
                result = 0;
            } else {
                fprintf(stderr, "%d pixels of %s differ from the generated image\n", differences,
                        committedImage);
            }
        }
    }
    SDL_FreeSurface(committed);
    SDL_FreeSurface(generated);
    return result;
}
