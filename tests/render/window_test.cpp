#include "render/window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "flow/program.h"
#include "render/board_drawing.h"
#include "render/input.h"
#include "render/text.h"
#include "support/game_test.h"

namespace fs = std::filesystem;

namespace {

// Sets an environment variable for the life of the object, then restores the previous value.
class ScopedEnvironment {
   public:
    // A null value unsets the variable.
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        const char* previous = std::getenv(name);
        hadPrevious_ = previous != nullptr;
        if (hadPrevious_) previous_ = previous;
        setEnvironment(name, value);
    }
    ~ScopedEnvironment() { setEnvironment(name_, hadPrevious_ ? previous_.c_str() : nullptr); }

   private:
    const char* name_;
    bool hadPrevious_;
    std::string previous_;
};

void expectNothingLeftOpen() {
    EXPECT_EQ(gTextureTiles, nullptr);
    EXPECT_EQ(gTextureFont, nullptr);
    EXPECT_EQ(gRenderer, nullptr);
    EXPECT_EQ(gWindow, nullptr);
    EXPECT_EQ(SDL_WasInit(0), 0u);
}

// Each test runs in an empty temporary working directory, with nothing started.
class StartUpTest : public ::testing::Test {
   protected:
    void SetUp() override {
        directory = makeTemporaryDirectory("startup");
        previousDirectory = fs::current_path();
        fs::current_path(directory);
    }
    void TearDown() override {
        close();
        fs::current_path(previousDirectory);
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }
    void writeFile(const char* name, const std::string& content) {
        std::ofstream(directory / name, std::ios::binary) << content;
    }
    void copyDataFile(const char* name) { fs::copy_file(fs::path(QORDA_DATA_DIR) / name, directory / name); }

    fs::path directory;
    fs::path previousDirectory;
};

TEST_F(StartUpTest, InitMakesTheWindowSilently) {
    startCapturingStdout();
    const int result = init();
    EXPECT_EQ(capturedStdout(), "");
    ASSERT_EQ(result, 0);
    ASSERT_NE(gWindow, nullptr);
    ASSERT_NE(gRenderer, nullptr);
    int width = 0, height = 0;
    SDL_GetWindowSize(gWindow, &width, &height);
    EXPECT_EQ(width, 780);
    EXPECT_EQ(height, 598);
    EXPECT_STREQ(SDL_GetWindowTitle(gWindow), "Qorda");
    // Whole-window clears paint in the draw colour, which must be opaque black.
    Uint8 red, green, blue, alpha;
    SDL_GetRenderDrawColor(gRenderer, &red, &green, &blue, &alpha);
    EXPECT_EQ(red + green + blue, 0);
    EXPECT_EQ(alpha, 255);
}

TEST_F(StartUpTest, TheWindowOpensAtTheLargestWholeMultipleThatFitsTheScreen) {
    struct Case {
        const char* usableBounds;
        int width, height;
    };
    for (const Case& c : {Case{"0,0,1920,1050", 780, 598}, Case{"0,0,2560,1400", 1560, 1196},
                          Case{"0,0,3840,2160", 2340, 1794}, Case{"0,0,640,480", 780, 598}}) {
        const ScopedEnvironment usable("SDL_DISPLAY_USABLE_BOUNDS", c.usableBounds);
        ASSERT_EQ(init(), 0);
        int width = 0, height = 0;
        SDL_GetWindowSize(gWindow, &width, &height);
        EXPECT_EQ(width, c.width) << c.usableBounds;
        EXPECT_EQ(height, c.height) << c.usableBounds;
        EXPECT_NE(SDL_GetWindowFlags(gWindow) & SDL_WINDOW_RESIZABLE, 0u);
        close();
    }
}

TEST_F(StartUpTest, ARefusedFilteringHintIsOnlyAWarning) {
    // A filtering choice in the environment overrides the game's hint.
    const ScopedEnvironment quality("SDL_RENDER_SCALE_QUALITY", "0");
    startCapturingStdout();
    const int result = init();
    EXPECT_EQ(capturedStdout(), "Warning: Linear texture filtering not enabled!");
    EXPECT_EQ(result, 0);
}

TEST_F(StartUpTest, FailuresOfInitAreReported) {
    struct Case {
        const char* what;
        const char* variable;
        const char* value;
        const char* message;
        bool windowMade;
    };
    const Case cases[] = {
        {"no video driver", "SDL_VIDEODRIVER", "none-such", "SDL could not initialize! SDL Error: ", false},
        // The software renderer is the only one that the dummy driver can run, and it must be asked for.
        {"no renderer", "SDL_RENDER_DRIVER", "none-such", "Renderer could not be created! SDL Error: ", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ScopedEnvironment failing(c.variable, c.value);
        startCapturingStdout();
        const int result = init();
        const std::string error = SDL_GetError();
        EXPECT_EQ(capturedStdout(), c.message + error + "\n");
        EXPECT_EQ(result, 1);
        EXPECT_EQ(gWindow != nullptr, c.windowMade);
        EXPECT_EQ(gRenderer, nullptr);
        close();
        expectNothingLeftOpen();
    }
}

TEST_F(StartUpTest, WithoutADisplayTheStartUpFailsAndSaysWhichDisplay) {
    bool opensXDisplays = false;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i)
        opensXDisplays |= SDL_strcmp(SDL_GetVideoDriver(i), "x11") == 0;
    if (!opensXDisplays) GTEST_SKIP() << "this build's SDL opens no X display";
    // No driver is asked for, as when a player starts the game: SDL would fall back to one that shows
    // nothing.
    const ScopedEnvironment anyDriver("SDL_VIDEODRIVER", nullptr);
    const ScopedEnvironment noWayland("WAYLAND_DISPLAY", nullptr);
    struct Case {
        const char* display;
        const char* named;  // what the reason names
    };
    const Case cases[] = {{nullptr, "DISPLAY"}, {":97", "\":97\""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.named);
        const ScopedEnvironment display("DISPLAY", c.display);
        startCapturingStdout();
        const int result = init();
        const std::string error = SDL_GetError();
        EXPECT_EQ(capturedStdout(), "SDL could not initialize! SDL Error: " + error + "\n");
        EXPECT_NE(error.find(c.named), std::string::npos) << error;
        EXPECT_EQ(result, 1);
        EXPECT_EQ(gWindow, nullptr);
        close();
        expectNothingLeftOpen();
    }
}

TEST_F(StartUpTest, CloseReleasesAPartialStartUp) {
    close();  // nothing started at all
    expectNothingLeftOpen();
    ASSERT_EQ(init(), 0);
    close();  // window and renderer, no atlases
    expectNothingLeftOpen();
    close();  // and again
    expectNothingLeftOpen();
    copyDataFile("tiles.png");
    ASSERT_EQ(init(), 0);
    ASSERT_EQ(loadTiles(), 0);
    ASSERT_NE(gTextureTiles, nullptr);
    close();  // the tile atlas but no font
    expectNothingLeftOpen();
    ASSERT_EQ(init(), 0);  // and SDL starts again afterwards
}

TEST_F(StartUpTest, LoadsReportMissingAndBrokenAtlases) {
    struct Case {
        const char* what;
        const char* brokenContent;  // null: the file is missing
    };
    const Case cases[] = {{"missing files", nullptr}, {"files that are no images", "not an image\n"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.brokenContent != nullptr) {
            writeFile("tiles.png", c.brokenContent);
            writeFile("font.bmp", c.brokenContent);
        }
        ASSERT_EQ(init(), 0);

        startCapturingStdout();
        EXPECT_EQ(loadTiles(), 1);
        std::string error = SDL_GetError();
        EXPECT_EQ(capturedStdout(), "Unable to load image tiles.png! SDL_image Error: " + error +
                                        "\nFailed to load texture image!\n");
        EXPECT_EQ(gTextureTiles, nullptr);

        startCapturingStdout();
        EXPECT_EQ(loadFont(), 1);
        error = SDL_GetError();
        // Unlike the tile atlas, the font says nothing more.
        EXPECT_EQ(capturedStdout(), "Unable to load image font.bmp! SDL Error: " + error + "\n");
        EXPECT_EQ(gTextureFont, nullptr);
        close();
    }
}

TEST_F(StartUpTest, ProgramEndsWhenItsStartUpFails) {
    // SDL's text for a failure, then what follows it.
    const char* const kError = "[^\n]+\n";
    struct Case {
        const char* what;
        bool tilesPresent;
        const char* videoDriver;
        std::string output;
    };
    const Case cases[] = {
        {"no atlases", false, "dummy",
         std::string("Unable to load image tiles\\.png! SDL_image Error: ") + kError +
             "Failed to load texture image!\nFailed to load media!\n"},
        {"no font", true, "dummy",
         std::string("Unable to load image font\\.bmp! SDL Error: ") + kError + "Failed to load media!\n"},
        {"no video", true, "none-such",
         std::string("SDL could not initialize! SDL Error: ") + kError + "Failed to initialize!\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::error_code ignored;
        fs::remove(directory / "tiles.png", ignored);
        if (c.tilesPresent) copyDataFile("tiles.png");
        const ScopedEnvironment video("SDL_VIDEODRIVER", c.videoDriver);
        char name[] = "qorda";
        char* arguments[] = {name, nullptr};
        startCapturingStdout();
        const int status = SDL_main(1, arguments);
        const std::string output = capturedStdout();
        EXPECT_EQ(status, 0);
        EXPECT_TRUE(std::regex_match(output, std::regex(c.output))) << output;
        expectNothingLeftOpen();
    }
}

class WindowTest : public GameTest {};

TEST_F(WindowTest, AtlasesHaveTheirLayoutSizes) {
    int width = 0, height = 0;
    SDL_QueryTexture(gTextureTiles, nullptr, nullptr, &width, &height);
    EXPECT_EQ(width, 960);
    EXPECT_EQ(height, 884);
    SDL_QueryTexture(gTextureFont, nullptr, nullptr, &width, &height);
    EXPECT_EQ(width, 128);
    EXPECT_EQ(height, 40);
}

TEST_F(WindowTest, ThePictureSurvivesPresents) {
    fillPicture(90, 140, 60);
    gTextX = 2;
    gTextY = 0;
    renderText(2, "Drawing is incremental.");
    hideCharacter(40, 40);
    const std::vector<Uint32> painted = readPicture();
    presentPicture();
    presentPicture();
    EXPECT_EQ(readPicture(), painted);

    // Painting after a present adds to the picture instead of starting a new one.
    renderText(2, " More.");
    presentAndWait();
    const std::vector<Uint32> added = readPicture();
    EXPECT_NE(added, painted);
    presentPicture();
    EXPECT_EQ(readPicture(), added);
    EXPECT_EQ(pixelAt(40, 40), 0x000000u);
    EXPECT_EQ(pixelAt(0, 100), 0x5A8C3Cu);
}

SDL_Event windowEvent(SDL_WindowEventID id) {
    SDL_Event event = {};
    event.type = SDL_WINDOWEVENT;
    event.window.event = static_cast<Uint8>(id);
    return event;
}

SDL_Event eventOfType(SDL_EventType type) {
    SDL_Event event = {};
    event.type = type;
    return event;
}

// The window is shown the picture again only when the picture changed since the last present, through
// any of the ways of drawing, or when the window system lost what the window showed.
TEST_F(WindowTest, APresentComesOnlyAfterDrawingOrWhenTheWindowAsks) {
    struct Case {
        const char* what;
        void (*draw)();
        SDL_Event event;
        bool presented;
    };
    const Case cases[] = {
        {"nothing", [] {}, eventOfType(SDL_FIRSTEVENT), false},
        {"a glyph", [] { renderCharacter(2, 2, 'Q'); }, eventOfType(SDL_FIRSTEVENT), true},
        {"a blanked cell", [] { hideCharacter(2, 2); }, eventOfType(SDL_FIRSTEVENT), true},
        {"a hex", [] { renderTile(4, 4); }, eventOfType(SDL_FIRSTEVENT), true},
        {"a target highlight", [] { renderRangeTarget(4, 4); }, eventOfType(SDL_FIRSTEVENT), true},
        {"a cleared picture", clearPicture, eventOfType(SDL_FIRSTEVENT), true},
        {"exposed", [] {}, windowEvent(SDL_WINDOWEVENT_EXPOSED), true},
        {"shown", [] {}, windowEvent(SDL_WINDOWEVENT_SHOWN), true},
        {"resized", [] {}, windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED), true},
        {"restored", [] {}, windowEvent(SDL_WINDOWEVENT_RESTORED), true},
        {"render targets reset", [] {}, eventOfType(SDL_RENDER_TARGETS_RESET), true},
        {"render device reset", [] {}, eventOfType(SDL_RENDER_DEVICE_RESET), true},
        {"focus gained", [] {}, windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED), false},
        {"moved", [] {}, windowEvent(SDL_WINDOWEVENT_MOVED), false},
        {"a key", [] {}, keyEvent(SDLK_b), false},
        {"mouse motion", [] {}, eventOfType(SDL_MOUSEMOTION), false},
    };
    SDL_Event event;
    for (const Case& c : cases) {
        while (pollEvent(event)) continue;  // what the window system said when the window opened
        presentPicture();
        paintOverWindow();
        c.draw();
        if (c.event.type != SDL_FIRSTEVENT) SDL_PushEvent(const_cast<SDL_Event*>(&c.event));
        while (pollEvent(event)) continue;
        EXPECT_EQ(presentIsDue(), c.presented) << c.what;
        presentPicture();
        EXPECT_EQ(windowPaintedOver(), !c.presented) << c.what;
    }
}

// The window's output after a present, as 0xRRGGBB pixels, and its size.
std::vector<Uint32> shownPicture(int& width, int& height) {
    SDL_Surface* shown = SDL_ConvertSurfaceFormat(SDL_GetWindowSurface(gWindow), SDL_PIXELFORMAT_ARGB8888, 0);
    width = shown->w;
    height = shown->h;
    std::vector<Uint32> pixels(static_cast<size_t>(width * height));
    for (int y = 0; y < height; ++y) {
        const auto* row =
            reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(shown->pixels) + y * shown->pitch);
        for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y * width + x)] = row[x] & 0xFFFFFF;
    }
    SDL_FreeSurface(shown);
    return pixels;
}

// Resizes the window and shows the picture (a board with text, nothing black at its edges) in it.
std::vector<Uint32> showInWindowOfSize(int width, int height, int& shownWidth, int& shownHeight) {
    SDL_SetWindowSize(gWindow, width, height);
    SDL_Event event;
    while (pollEvent(event)) continue;
    presentPicture();
    return shownPicture(shownWidth, shownHeight);
}

void drawTestPicture() {
    fillPicture(90, 140, 60);
    renderMap();
    gTextX = kInfoLineX;
    gTextY = kInfoLineY;
    renderText(kInfoLineX, "Scaled, not redrawn.");
}

// A whole multiple that fits is shown crisp: every pixel of the picture becomes a k x k block, centred,
// with black around it.
TEST_F(WindowTest, WholeMultiplesShowThePicturePixelForPixelCentredOnBlack) {
    drawTestPicture();
    const std::vector<Uint32> picture = readPicture();
    struct Case {
        int width, height, scale;
    };
    for (const Case& c : {Case{780, 598, 1}, Case{1560, 1196, 2}, Case{2340, 1794, 3}, Case{1700, 1300, 2}}) {
        int width = 0, height = 0;
        const std::vector<Uint32> shown = showInWindowOfSize(c.width, c.height, width, height);
        ASSERT_EQ(width, c.width);
        const int left = (c.width - c.scale * kWindowWidth) / 2;
        const int top = (c.height - c.scale * kWindowHeight) / 2;
        int mismatches = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const int px = (x - left) / c.scale, py = (y - top) / c.scale;
                const bool inside = x >= left && y >= top && px < kWindowWidth && py < kWindowHeight;
                const Uint32 expected = inside ? picture[static_cast<size_t>(py * kWindowWidth + px)] : 0;
                if (shown[static_cast<size_t>(y * width + x)] != expected) ++mismatches;
            }
        }
        EXPECT_EQ(mismatches, 0) << c.width << " x " << c.height;
    }
}

// Between whole multiples with much unused, and below the picture's own size, the picture fills the
// window's width or height in its own proportions, centred.
TEST_F(WindowTest, TheFilledPictureKeepsItsProportionsAndIsCentred) {
    drawTestPicture();
    struct Case {
        int width, height;
        SDL_Rect area;
    };
    for (const Case& c : {Case{1920, 1080, {256, 0, 1408, 1080}}, Case{1200, 1200, {0, 140, 1200, 920}},
                          Case{390, 299, {0, 0, 390, 299}}, Case{500, 300, {54, 0, 391, 300}}}) {
        int width = 0, height = 0;
        const std::vector<Uint32> shown = showInWindowOfSize(c.width, c.height, width, height);
        SDL_Rect lit = {width, height, 0, 0};  // the bounding box of the pixels that are not black
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (shown[static_cast<size_t>(y * width + x)] == 0) continue;
                lit.x = std::min(lit.x, x);
                lit.y = std::min(lit.y, y);
                lit.w = std::max(lit.w, x + 1);
                lit.h = std::max(lit.h, y + 1);
            }
        }
        EXPECT_EQ(lit.x, c.area.x) << c.width << " x " << c.height;
        EXPECT_EQ(lit.y, c.area.y) << c.width << " x " << c.height;
        EXPECT_EQ(lit.w - lit.x, c.area.w) << c.width << " x " << c.height;
        EXPECT_EQ(lit.h - lit.y, c.area.h) << c.width << " x " << c.height;
    }
}

// F11, Alt+Enter and Alt are the window's: no loop ever sees them, and a typed name does not end there.
TEST_F(WindowTest, FullscreenKeysNeverReachTheGame) {
    auto withAlt = [](SDL_Keycode key) {
        SDL_Event event = keyEvent(key);
        event.key.keysym.mod = KMOD_LALT;
        return event;
    };
    struct Case {
        SDL_Event event;
        bool fullscreen;  // after the event
    };
    for (Case c : {Case{keyEvent(SDLK_F11), true}, Case{keyEvent(SDLK_LALT), true},
                   Case{withAlt(SDLK_RETURN), false}, Case{keyEvent(SDLK_RALT), false},
                   Case{withAlt(SDLK_KP_ENTER), true}, Case{keyEvent(SDLK_F11), false}}) {
        SDL_PushEvent(&c.event);
        SDL_Keycode key = 0;
        EXPECT_EQ(pollKey(key), Polled::kNothing) << SDL_GetKeyName(c.event.key.keysym.sym);
        EXPECT_EQ((SDL_GetWindowFlags(gWindow) & SDL_WINDOW_FULLSCREEN) != 0, c.fullscreen);
    }

    script(
        {textEvent("ab"), withAlt(SDLK_RETURN), textEvent("c"), keyEvent(SDLK_F11), keyEvent(SDLK_RETURN)});
    char name[8] = {};
    int count = 0;
    EXPECT_EQ(readTypedText(name, sizeof name, count), 0);
    EXPECT_STREQ(name, "abc");
}

// Renderers whose targets lose their pixels when the window is resized get the picture back from the
// copy taken at the last present.
TEST_F(WindowTest, APictureLostWithTheRenderTargetsIsPutBack) {
    gKeepPictureCopy = true;
    drawTestPicture();
    const std::vector<Uint32> painted = readPicture();
    presentPicture();
    fillPicture(0, 0, 0);  // what the reset leaves
    SDL_Event reset = eventOfType(SDL_RENDER_TARGETS_RESET);
    SDL_PushEvent(&reset);
    while (pollEvent(reset)) continue;
    gKeepPictureCopy = false;
    EXPECT_EQ(readPicture(), painted);
}

}  // namespace
