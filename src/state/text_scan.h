// Reading numbers and characters out of text that comes from outside (map files, typed editor entries)
// with defined behaviour on any bytes: no wrapping, no undefined behaviour, and no limit on the length of
// a file, which is read through a fixed buffer a piece at a time.
#pragma once

#include <cstddef>
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

// Reads a decimal int as "%d" does: white space, an optional sign, then digits. Fails (and leaves the
// cursor where the failure was found) when there are no digits or the number does not fit in an int.
bool scanInt(TextCursor& text, int& value);
// Takes the next character, white space included, as "%c" does.
bool scanCharacter(TextCursor& text, char& character);
// Takes the expected character when it comes next; white space before it does not match.
bool matchCharacter(TextCursor& text, char expected);
