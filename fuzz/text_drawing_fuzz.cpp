// Text drawing of arbitrary bytes: renderText, renderCharacter and renderDigit from any cursor position,
// and typed text (readTypedText) into a buffer of any capacity, against a model of the bitmap font: 80
// characters have glyphs, the space and the line feed are understood, every other byte has no glyph.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "render/input.h"
#include "render/text.h"
#include "render/window.h"
#include "state/map_file.h"

namespace {

constexpr char kGlyphs[] =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz.:,;|/\\'\"?!+-*=()_";
constexpr int kLineHeight = 8;
constexpr int kCharacterChecks = 64;
constexpr std::size_t kHeaderBytes = 2;
constexpr char kBackspaceByte = 8;

struct Cursor {
    int x;
    int y;
    bool operator==(const Cursor&) const = default;
};

std::string describe(const Cursor& cursor) {
    return "(" + std::to_string(cursor.x) + ", " + std::to_string(cursor.y) + ")";
}

// renderCharacter's status for a byte: 0 painted (or a space), 2 line feed, 1 no glyph.
int characterStatus(unsigned char code) {
    if (code == ' ') return 0;
    if (code == '\n') return 2;
    return code != 0 && std::strchr(kGlyphs, code) != nullptr ? 0 : 1;
}

// Where renderText leaves the cursor: every character moves it one cell, a line feed or the right edge
// starts a new line, and the first byte without a glyph ends the text.
Cursor cursorAfterText(Cursor cursor, int lineStart, const char* text) {
    for (;; ++text) {
        if (*text == '\n') {
            cursor = {lineStart, cursor.y + kLineHeight};
            continue;
        }
        if (characterStatus(static_cast<unsigned char>(*text)) == 1) return cursor;
        cursor.x += kGlyphSize;
        if (cursor.x + 7 > kWindowWidth) cursor = {lineStart, cursor.y + kLineHeight};
    }
}

void checkDrawing(Cursor start, const std::string& text) {
    gTextX = start.x;
    gTextY = start.y;
    require(renderText(start.x, text.c_str()) == 1, "renderText's result 1");
    const Cursor expected = cursorAfterText(start, start.x, text.c_str());
    require(Cursor{gTextX, gTextY} == expected, "the text cursor after renderText",
            "at " + describe({gTextX, gTextY}) + " instead of " + describe(expected));

    for (std::size_t index = 0; index < text.size() && index < kCharacterChecks; ++index) {
        const unsigned char code = static_cast<unsigned char>(text[index]);
        const int x = start.x + kGlyphSize * static_cast<int>(index);
        require(renderCharacter(x, start.y, code) == characterStatus(code), "renderCharacter's status",
                "for byte " + std::to_string(code));
        const int digit = static_cast<signed char>(code);
        require(renderDigit(x, start.y, digit) == (digit >= 0 && digit <= 9 ? 0 : 1), "renderDigit's status",
                "for " + std::to_string(digit));
        hideCharacter(x, start.y);
    }
}

// Types the bytes into a buffer of exactly capacity bytes, in one polling pass: byte 8 is the Backspace
// key, every other run of up to 31 bytes one text event (a zero byte ends an event's text), then Return.
void checkTyping(Cursor start, int capacity, const std::string& bytes) {
    std::vector<SDL_Event> events;
    std::string expected;
    for (std::size_t at = 0; at < bytes.size();) {
        if (bytes[at] == kBackspaceByte) {
            events.push_back(keyDown(SDLK_BACKSPACE));
            if (!expected.empty()) expected.pop_back();
            ++at;
            continue;
        }
        std::size_t length = 0;
        while (at + length < bytes.size() && bytes[at + length] != kBackspaceByte && length < 31) ++length;
        events.push_back(typedText(bytes.data() + at, length));
        for (std::size_t index = 0; index < length && bytes[at + index] != 0; ++index) {
            if (static_cast<int>(expected.size()) < capacity - 1) expected += bytes[at + index];
        }
        at += length;
    }
    events.push_back(keyDown(SDLK_RETURN));
    clearQueuedPasses();
    queuePass(events);

    std::vector<char> buffer(static_cast<std::size_t>(capacity), 0);
    int count = 0;
    gTextX = start.x;
    gTextY = start.y;
    require(readTypedText(buffer.data(), capacity, count) == 0, "typing that ends with Return");
    require(count == static_cast<int>(expected.size()) &&
                std::memcmp(buffer.data(), expected.data(), expected.size()) == 0 &&
                buffer[expected.size()] == 0,
            "the typed bytes, cut to the capacity, in a terminated buffer",
            std::to_string(count) + " bytes typed, " + std::to_string(expected.size()) + " expected");
    const Cursor moved = {start.x + kGlyphSize * count, start.y};
    require(Cursor{gTextX, gTextY} == moved, "the text cursor one cell further per typed byte",
            "at " + describe({gTextX, gTextY}) + " instead of " + describe(moved));
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startHeadlessGame();
    const std::string defaultMap = readDataFile("map01.txt");
    parseStatusMatrix(defaultMap.data(), defaultMap.size());
    return 0;
}

// The first two bytes place the cursor, anywhere from far left of the window to beyond its right edge
// and from above it to near its bottom, and choose the typing buffer's capacity; the rest is the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kHeaderBytes) return 0;
    const Cursor start = {data[0] * 4 - 98, data[1] * 3 - 20};
    const int capacity = 1 + data[1] % 300;
    const std::string text(reinterpret_cast<const char*>(data) + kHeaderBytes, size - kHeaderBytes);
    checkDrawing(start, text);
    checkTyping(start, capacity, text);
    requireSoundBoard("drawing text");
    return 0;
}
