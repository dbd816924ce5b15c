#include "state/text_scan.h"

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

bool scanInt(TextCursor& text, int& value) {
    skipWhiteSpace(text);
    bool negative = false;
    if (!atTextEnd(text) && (peekCharacter(text) == '+' || peekCharacter(text) == '-')) {
        negative = peekCharacter(text) == '-';
        advance(text);
    }
    if (atTextEnd(text) || !isDigit(peekCharacter(text))) return false;
    long long magnitude = 0;
    while (!atTextEnd(text) && isDigit(peekCharacter(text))) {
        magnitude = magnitude * 10 + (peekCharacter(text) - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) return false;
        advance(text);
    }
    if (!negative && magnitude > INT_MAX) return false;
    value = static_cast<int>(negative ? -magnitude : magnitude);
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
