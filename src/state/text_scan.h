// Reading numbers and characters out of text that comes from outside (map files, typed editor entries)
// with defined behaviour on any bytes: no wrapping, no undefined behaviour, and no limit on the length of
// a file, which is read through a fixed buffer a piece at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Where the reading is: the bytes at hand, and the file that more bytes come from (null for text that is
// all in memory). line counts the line breaks passed, from 1.
struct TextCursor {
    const char* next;
    const char* end;
    std::FILE* file;
    char* buffer;  // what the file is read into, capacity bytes
    std::size_t capacity;
    int line;
};

TextCursor textCursorOver(const char* text, std::size_t length);
TextCursor textCursorOverFile(std::FILE* file, char* buffer, std::size_t capacity);

// True when there is no more text: the bytes at hand are used up and the file has no more (or failed).
bool atTextEnd(TextCursor& text);

bool isWhiteSpace(char c);
void skipWhiteSpace(TextCursor& text);

// A decimal number of any length as outside text writes it.
constexpr int kShownDigits = 20;  // the most digits a number is shown with; longer ones end in "..."
struct Number {
    int value;  // the number, or the end of int's range on its side when it does not fit
    bool fits;  // in an int
    // The low 8 bits: the exact number modulo 256, from 0 to 255, however long the number is. For a
    // negative number these are the bits that two's complement keeps, as for a small one (-1 is 255).
    std::uint8_t lowBits;
    char shown[1 + kShownDigits + 3 + 1];  // as a report quotes it: no "+", no leading zeros
};
// Reads a decimal number as "%d" does, of any length: white space, an optional sign, then digits. Fails
// (and leaves the cursor where the failure was found) only when there are no digits.
bool scanNumber(TextCursor& text, Number& number);
// The same for a number that must fit in an int: one that does not is a failure too.
bool scanInt(TextCursor& text, int& value);
// Takes the next character, white space included, as "%c" does.
bool scanCharacter(TextCursor& text, char& character);
// Takes the expected character when it comes next; white space before it does not match.
bool matchCharacter(TextCursor& text, char expected);
