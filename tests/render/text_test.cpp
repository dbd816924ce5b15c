#include "render/text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "render/window.h"
#include "support/game_test.h"

namespace {

// The font atlas's cells in order, 16 to a row: the characters that have glyphs.
constexpr char kAtlasOrder[] =
    "0123456789ABCDEF"
    "GHIJKLMNOPQRSTUV"
    "WXYZabcdefghijkl"
    "mnopqrstuvwxyz.:"
    ",;|/\\'\"?!+-*=()_";
constexpr int kGlyphCount = 80;

constexpr Uint32 kBlack = 0x000000;
// A background that no glyph pixel has, so painted glyph pixels stand out from it.
constexpr Uint8 kGroundRed = 40, kGroundGreen = 120, kGroundBlue = 60;
constexpr Uint32 kGround = 0x28783C;

SDL_Rect cellOf(int index) {
    return {8 * (index % 16), 8 * (index / 16), 8, 8};
}

int cellIndexOf(char character) {
    const char* found = std::strchr(kAtlasOrder, character);
    return found == nullptr ? -1 : static_cast<int>(found - kAtlasOrder);
}

// The pixels of an 8 x 8 area of the picture that differ from the background colour.
int paintedPixels(int x, int y) {
    int painted = 0;
    for (int dy = 0; dy < 8; ++dy) {
        for (int dx = 0; dx < 8; ++dx) painted += pixelAt(x + dx, y + dy) != kGround;
    }
    return painted;
}

// The number of light and transparent pixels of an atlas cell.
struct CellPixels {
    int transparent = 0;
    int opaque = 0;
};
CellPixels countCellPixels(SDL_Rect cell) {
    CellPixels counts;
    SDL_Surface* loaded = SDL_LoadBMP("font.bmp");
    SDL_Surface* atlas = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    for (int y = cell.y; y < cell.y + cell.h; ++y) {
        for (int x = cell.x; x < cell.x + cell.w; ++x) {
            const Uint32 pixel =
                static_cast<const Uint32*>(atlas->pixels)[y * atlas->pitch / 4 + x] & 0xFFFFFF;
            (pixel == kBlack ? counts.transparent : counts.opaque) += 1;
        }
    }
    SDL_FreeSurface(atlas);
    return counts;
}

class TextTest : public GameTest {
   protected:
    void SetUp() override {
        GameTest::SetUp();
        fillPicture(kGroundRed, kGroundGreen, kGroundBlue);
    }
    // The cell at (x, y) shows exactly the atlas cell over the ground: every glyph pixel, nothing else.
    void expectCellAt(SDL_Rect source, int x, int y) {
        EXPECT_EQ(cellMismatches("font.bmp", kBlack, source, x, y), 0);
        EXPECT_EQ(paintedPixels(x, y), countCellPixels(source).opaque);
    }
    void expectGlyphAt(char character, int x, int y) {
        SCOPED_TRACE(std::string("glyph '") + character + "' at " + std::to_string(x) + ", " +
                     std::to_string(y));
        const int index = cellIndexOf(character);
        ASSERT_GE(index, 0);
        expectCellAt(cellOf(index), x, y);
    }
};

TEST_F(TextTest, EachCharacterCopiesItsOwnAtlasCell) {
    for (int index = 0; index < kGlyphCount; ++index) {
        const char character = kAtlasOrder[index];
        SCOPED_TRACE(std::string("character '") + character + "'");
        fillPicture(kGroundRed, kGroundGreen, kGroundBlue);
        EXPECT_EQ(renderCharacter(100, 200, character), 0);
        expectCellAt(cellOf(index), 100, 200);
        // The check tells cells apart: the next cell's glyph is not what was painted.
        EXPECT_GT(cellMismatches("font.bmp", kBlack, cellOf((index + 1) % kGlyphCount), 100, 200), 0);
    }
}

TEST_F(TextTest, GlyphCellsOfTheAtlasLayout) {
    struct Case {
        char character;
        SDL_Rect source;
    };
    const Case cases[] = {{'A', {80, 0, 8, 8}}, {'_', {120, 32, 8, 8}}, {'.', {112, 24, 8, 8}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("character '") + c.character + "'");
        fillPicture(kGroundRed, kGroundGreen, kGroundBlue);
        EXPECT_EQ(renderCharacter(300, 40, c.character), 0);
        expectCellAt(c.source, 300, 40);
    }
}

TEST_F(TextTest, BlackGlyphPixelsLetTheGroundShow) {
    const CellPixels cell = countCellPixels({80, 0, 8, 8});
    ASSERT_GT(cell.opaque, 0);
    ASSERT_GT(cell.transparent, 0);
    renderCharacter(64, 64, 'A');
    EXPECT_EQ(64 - paintedPixels(64, 64), cell.transparent);
}

TEST_F(TextTest, StatusOfEveryByte) {
    for (int code = 0; code < 256; ++code) {
        SCOPED_TRACE("code " + std::to_string(code));
        const bool hasGlyph = code != 0 && std::strchr(kAtlasOrder, code) != nullptr;
        const int expected = hasGlyph || code == ' ' ? 0 : code == '\n' ? 2 : 1;
        EXPECT_EQ(renderCharacter(16, 16, code), expected);
        if (hasGlyph) {
            EXPECT_GT(paintedPixels(16, 16), 0);
            fillPicture(kGroundRed, kGroundGreen, kGroundBlue);
        } else {
            EXPECT_EQ(paintedPixels(16, 16), 0);
        }
    }
}

TEST_F(TextTest, OnlyTheLowByteOfTheCharacterCounts) {
    EXPECT_EQ(renderCharacter(16, 16, 256 + 'A'), 0);
    expectGlyphAt('A', 16, 16);
    EXPECT_EQ(renderCharacter(16, 16, 256 + '#'), 1);
    EXPECT_EQ(renderCharacter(16, 16, 256 + '\n'), 2);
}

TEST_F(TextTest, DigitsPaintTheirGlyphs) {
    for (int digit = 0; digit <= 9; ++digit) {
        fillPicture(kGroundRed, kGroundGreen, kGroundBlue);
        EXPECT_EQ(renderDigit(40, 40, digit), 0);
        expectGlyphAt(static_cast<char>('0' + digit), 40, 40);
    }
}

TEST_F(TextTest, NumbersOutsideZeroToNineAreNotDigits) {
    for (int notADigit : {10, -1, 11, 100, -10}) {
        SCOPED_TRACE(notADigit);
        EXPECT_EQ(renderDigit(40, 40, notADigit), 1);
        EXPECT_EQ(paintedPixels(40, 40), 0);
    }
}

TEST_F(TextTest, TextMovesTheCursor) {
    struct Case {
        const char* what;
        int startX, startY, lineStart;
        std::string text;
        int endX, endY;
    };
    const Case cases[] = {
        {"a word on the info line", 2, 547, 2, "Player", 50, 547},
        {"a character without a glyph ends the text", 2, 547, 2, "ab#cd", 18, 547},
        {"empty text", 40, 100, 2, "", 40, 100},
        {"a full line wraps", 2, 100, 2, std::string(97, 'x'), 2, 108},
        {"the 98th character starts the next line", 2, 100, 2, std::string(98, 'x'), 10, 108},
        {"a line feed after a full line leaves an empty line", 2, 100, 2, std::string(97, 'x') + "\n", 2,
         116},
        {"a line feed alone", 40, 0, 2, "\n", 2, 8},
        // From x 5 the 97th cell starts at x 773: its last column, x 780, is the first outside the window,
        // which is still allowed.
        {"a cell reaching one pixel past the edge", 5, 100, 5, std::string(96, 'x'), 773, 100},
        {"a cell beyond that wraps", 5, 100, 5, std::string(97, 'x'), 5, 108},
        {"a line feed returns to the line start", 300, 20, 100, "ab\ncd", 116, 28},
        {"a space advances", 2, 547, 2, "a b", 26, 547},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gTextX = c.startX;
        gTextY = c.startY;
        EXPECT_EQ(renderText(c.lineStart, c.text.c_str()), 1);
        EXPECT_EQ(gTextX, c.endX);
        EXPECT_EQ(gTextY, c.endY);
    }
}

TEST_F(TextTest, TextPaintsEachCharacterInItsCell) {
    gTextX = 2;
    gTextY = 547;
    renderText(2, "Player");
    const char* word = "Player";
    for (int index = 0; index < 6; ++index) expectGlyphAt(word[index], 2 + 8 * index, 547);
}

TEST_F(TextTest, NothingAfterACharacterWithoutAGlyphIsPainted) {
    gTextX = 2;
    gTextY = 547;
    renderText(2, "ab#cd");
    expectGlyphAt('a', 2, 547);
    expectGlyphAt('b', 10, 547);
    for (int x = 18; x < 42; x += 8) EXPECT_EQ(paintedPixels(x, 547), 0) << "cell at x " << x;
}

TEST_F(TextTest, EmptyTextAndLineFeedsPaintNothing) {
    const std::vector<Uint32> before = readPicture();
    gTextX = 40;
    gTextY = 0;
    renderText(2, "");
    renderText(2, "\n\n");
    EXPECT_EQ(readPicture(), before);
}

TEST_F(TextTest, WrappedTextContinuesAtTheLineStart) {
    gTextX = 2;
    gTextY = 100;
    renderText(2, (std::string(96, 'x') + "AB").c_str());
    expectGlyphAt('A', 770, 100);
    expectGlyphAt('B', 2, 108);
}

TEST_F(TextTest, HideCharacterBlanksOneCell) {
    renderCharacter(100, 100, 'W');
    hideCharacter(100, 100);
    for (int dy = 0; dy < 8; ++dy) {
        for (int dx = 0; dx < 8; ++dx) EXPECT_EQ(pixelAt(100 + dx, 100 + dy), kBlack);
    }
    EXPECT_EQ(pixelAt(99, 100), kGround);
    EXPECT_EQ(pixelAt(108, 100), kGround);
    EXPECT_EQ(pixelAt(100, 99), kGround);
    EXPECT_EQ(pixelAt(100, 108), kGround);
}

TEST_F(TextTest, HidingTheInfoLineBlanksOnlyTheInfoLine) {
    gTextX = 2;
    gTextY = 539;
    renderText(2, "Above\nOn the info line");
    const std::vector<Uint32> before = readPicture();
    hideRenderedInfoText();
    const std::vector<Uint32> after = readPicture();
    int changedAbove = 0, notBlanked = 0, changedAtLeft = 0;
    for (int y = 0; y < kWindowHeight; ++y) {
        for (int x = 0; x < kWindowWidth; ++x) {
            const size_t at = static_cast<size_t>(y * kWindowWidth + x);
            if (y < kInfoLineY) {
                changedAbove += after[at] != before[at];
            } else if (x < kInfoLineX) {
                changedAtLeft += after[at] != before[at];
            } else {
                notBlanked += after[at] != kBlack;
            }
        }
    }
    EXPECT_EQ(changedAbove, 0);
    EXPECT_EQ(notBlanked, 0);
    EXPECT_EQ(changedAtLeft, 0);
}

// The target highlight leaves a translucent draw colour and alpha blending behind; blanking must still
// paint opaque black.
TEST_F(TextTest, BlankingIsOpaqueAfterATranslucentHighlight) {
    SDL_SetRenderDrawBlendMode(gRenderer, SDL_BLENDMODE_BLEND);
    SDL_SetRenderDrawColor(gRenderer, 255, 0, 0, 96);
    hideCharacter(100, 100);
    EXPECT_EQ(pixelAt(103, 103), kBlack);
    SDL_SetRenderDrawColor(gRenderer, 255, 0, 0, 96);
    hideRenderedInfoText();
    EXPECT_EQ(pixelAt(400, 570), kBlack);
    Uint8 red, green, blue, alpha;
    SDL_GetRenderDrawColor(gRenderer, &red, &green, &blue, &alpha);
    EXPECT_EQ(red + green + blue, 0);
    EXPECT_EQ(alpha, 255);
}

}  // namespace
