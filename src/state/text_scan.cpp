#include "state/text_scan.h"

#include <algorithm>
#include <climits>

namespace {

char peekCharacter(const TextCursor& text) {
    return *text.next;
}

// Steps past the character at hand, which must be there.
void advance(TextCursor& text) {
    if (*text.next == '\n') ++text.line;
    ++text.next;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

TextCursor textCursorOver(const char* text, std::size_t length) {
    return {text, text + length, nullptr, nullptr, 0, 1};
}

TextCursor textCursorOverFile(std::FILE* file, char* buffer, std::size_t capacity) {
    return {buffer, buffer, file, buffer, capacity, 1};
}

bool atTextEnd(TextCursor& text) {
    if (text.next < text.end) return false;
    if (text.file == nullptr) return true;
    const std::size_t read = std::fread(text.buffer, 1, text.capacity, text.file);
    text.next = text.buffer;
    text.end = text.buffer + read;
    return read == 0;
}

bool isWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

void skipWhiteSpace(TextCursor& text) {
    while (!atTextEnd(text) && isWhiteSpace(peekCharacter(text))) advance(text);
}

bool scanNumber(TextCursor& text, Number& number) {
    skipWhiteSpace(text);
    bool negative = false;
    if (!atTextEnd(text) && (peekCharacter(text) == '+' || peekCharacter(text) == '-')) {
        negative = peekCharacter(text) == '-';
        advance(text);
    }
    if (atTextEnd(text) || !isDigit(peekCharacter(text))) return false;
    // The magnitude stops growing once it is beyond int's range on either side; the low bits and the
    // digits shown go on to the end.
    constexpr long long kBeyondInt = static_cast<long long>(INT_MAX) + 2;
    long long magnitude = 0;
    int lowBits = 0;
    char digits[kShownDigits];
    int shownDigits = 0;
    bool cut = false;
    while (!atTextEnd(text) && isDigit(peekCharacter(text))) {
        const int digit = peekCharacter(text) - '0';
        magnitude = std::min(magnitude * 10 + digit, kBeyondInt);
        lowBits = (lowBits * 10 + digit) % 256;
        const bool leadingZero = magnitude == 0;
        if (!leadingZero && shownDigits == kShownDigits) cut = true;
        if (!leadingZero && !cut) digits[shownDigits++] = peekCharacter(text);
        advance(text);
    }
    negative = negative && magnitude != 0;
    const long long largest = negative ? static_cast<long long>(INT_MAX) + 1 : INT_MAX;
    number.fits = magnitude <= largest;
    number.value = static_cast<int>(negative ? -std::min(magnitude, largest) : std::min(magnitude, largest));
    number.lowBits = static_cast<std::uint8_t>(negative ? (256 - lowBits) % 256 : lowBits);
    if (shownDigits == 0) digits[shownDigits++] = '0';
    std::snprintf(number.shown, sizeof number.shown, "%s%.*s%s", negative ? "-" : "", shownDigits, digits,
                  cut ? "..." : "");
    return true;
}

bool scanInt(TextCursor& text, int& value) {
    Number number;
    if (!scanNumber(text, number) || !number.fits) return false;
    value = number.value;
    return true;
}

bool scanCharacter(TextCursor& text, char& character) {
    if (atTextEnd(text)) return false;
    character = peekCharacter(text);
    advance(text);
    return true;
}

bool matchCharacter(TextCursor& text, char expected) {
    if (atTextEnd(text) || peekCharacter(text) != expected) return false;
    advance(text);
    return true;
}
