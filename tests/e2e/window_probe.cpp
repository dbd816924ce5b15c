// Looks at the real game's window through the X server, as a player's eyes would.
//
//   window_probe picture WINDOW
//     prints a hash of the window's pixels and how many of them are not black
//   window_probe layout WINDOW
//     prints the window's size, the box of its pixels that are not black (x, y, width, height), and the
//     largest whole multiple k (up to 4) for which that box is made of k x k blocks of one colour each
//   window_probe cpu PID SECONDS
//     prints the processor time that process PID takes over the next SECONDS, in percent of one core
//   window_probe latency WINDOW KEYS
//     presses KEYS cursor keys in a match (down and up in turn, each moving the board cursor), each at a
//     random moment of the game's wait, and prints the median, 90th percentile and worst time from the
//     key sent with XTEST to the first picture read back that shows the change
//
// Exit status: 0 done, 1 a key changed nothing within a second, 2 bad usage or no X display.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string_view>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The hexes of the board cursor's first two positions, (0, 0) and (1, 0): x 0 to 59, y 0 to 103 of the
// picture, at the top left of a window at its opening size, which is a whole multiple of the picture.
constexpr int kCursorAreaWidth = 60;
constexpr int kCursorAreaHeight = 104;
constexpr double kGiveUpSeconds = 1.0;

// The pixels of an area of the window, as the X server holds them now.
std::vector<std::uint32_t> readArea(Display* display, Window window, int width, int height) {
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    std::vector<std::uint32_t> pixels;
    if (image == nullptr) return pixels;
    pixels.reserve(static_cast<size_t>(width * height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y)));
    }
    XDestroyImage(image);
    return pixels;
}

int printPicture(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return 2;
    const std::vector<std::uint32_t> pixels = readArea(display, window, attributes.width, attributes.height);
    std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
    long lit = 0;
    for (std::uint32_t pixel : pixels) {
        hash = (hash ^ (pixel & 0xFFFFFFu)) * 1099511628211ull;
        if ((pixel & 0xFFFFFFu) != 0) ++lit;
    }
    std::printf("%016llx %ld\n", static_cast<unsigned long long>(hash), lit);
    return pixels.empty() ? 2 : 0;
}

bool madeOfBlocks(const std::vector<std::uint32_t>& pixels, int width, const int box[4], int k) {
    if (box[2] % k != 0 || box[3] % k != 0) return false;
    for (int y = 0; y < box[3]; ++y) {
        for (int x = 0; x < box[2]; ++x) {
            const auto at = [&](int dx, int dy) {
                return pixels[static_cast<size_t>((box[1] + dy) * width + box[0] + dx)];
            };
            if (at(x, y) != at(x - x % k, y - y % k)) return false;
        }
    }
    return true;
}

int printLayout(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return 2;
    const int width = attributes.width, height = attributes.height;
    std::vector<std::uint32_t> pixels = readArea(display, window, width, height);
    if (pixels.empty()) return 2;
    int left = width, top = height, right = 0, bottom = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint32_t& pixel = pixels[static_cast<size_t>(y * width + x)];
            pixel &= 0xFFFFFFu;
            if (pixel == 0) continue;
            left = std::min(left, x);
            top = std::min(top, y);
            right = std::max(right, x + 1);
            bottom = std::max(bottom, y + 1);
        }
    }
    const int box[4] = {left, top, std::max(right - left, 0), std::max(bottom - top, 0)};
    int scale = 4;
    while (scale > 1 && !madeOfBlocks(pixels, width, box, scale)) --scale;
    std::printf("%d %d %d %d %d %d %d\n", width, height, box[0], box[1], box[2], box[3], scale);
    return 0;
}

void pressKey(Display* display, KeySym symbol) {
    const KeyCode code = XKeysymToKeycode(display, symbol);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XFlush(display);
}

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const size_t index = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[index];
}

double secondsOf(clockid_t clock) {
    timespec now;
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The process's own processor time (all its threads, user and system) over a span of wall time.
int printProcessorUse(pid_t process, double seconds) {
    clockid_t processor;
    if (clock_getcpuclockid(process, &processor) != 0) return 2;
    const double wallStart = secondsOf(CLOCK_MONOTONIC);
    const double processorStart = secondsOf(processor);
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double used = secondsOf(processor) - processorStart;
    std::printf("%.2f\n", 100.0 * used / (secondsOf(CLOCK_MONOTONIC) - wallStart));
    return 0;
}

int measureLatency(Display* display, Window window, int keys) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return 2;
    const int scale = std::max(attributes.width / 780, 1);
    const int areaWidth = scale * kCursorAreaWidth;
    const int areaHeight = scale * kCursorAreaHeight;
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> pause(20, 120);  // milliseconds: anywhere in the game's wait
    std::vector<double> latencies;
    for (int i = 0; i < keys; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
        const std::vector<std::uint32_t> before = readArea(display, window, areaWidth, areaHeight);
        const Clock::time_point sent = Clock::now();
        pressKey(display, i % 2 == 0 ? XK_v : XK_g);  // the board cursor down, then up again
        for (;;) {
            const double seconds = std::chrono::duration<double>(Clock::now() - sent).count();
            if (readArea(display, window, areaWidth, areaHeight) != before) {
                latencies.push_back(seconds * 1000.0);
                break;
            }
            if (seconds > kGiveUpSeconds) {
                std::printf("key %d changed nothing within %.0f s\n", i + 1, kGiveUpSeconds);
                return 1;
            }
        }
    }
    std::printf("key to picture over %d keys: median %.2f ms, 90th percentile %.2f ms, worst %.2f ms\n", keys,
                percentile(latencies, 0.5), percentile(latencies, 0.9),
                *std::max_element(latencies.begin(), latencies.end()));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: window_probe picture|layout WINDOW | cpu PID SECONDS | latency WINDOW KEYS\n");
        return 2;
    }
    const std::string_view mode = argv[1];
    if (mode == "cpu" && argc == 4) return printProcessorUse(std::atoi(argv[2]), std::atof(argv[3]));
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "window_probe: no X display\n");
        return 2;
    }
    const Window window = std::strtoul(argv[2], nullptr, 0);
    int status = 2;
    if (mode == "picture") {
        status = printPicture(display, window);
    } else if (mode == "layout") {
        status = printLayout(display, window);
    } else if (mode == "latency" && argc == 4) {
        status = measureLatency(display, window, std::atoi(argv[3]));
    }
    XCloseDisplay(display);
    return status;
}
