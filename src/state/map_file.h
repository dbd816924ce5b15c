// Map files: the whole board as text, "<name>.txt" in the working directory.
#pragma once

#include <cstddef>

// The size of every map-name buffer: a name of up to 257 characters, ".txt" and the terminator.
constexpr int kNameBufferSize = 262;

void clearStatusMatrix();
// 0 loaded; 1 the window was closed during the prompt; 2 the file could not be opened.
int loadStatusMatrix(int prompt, char name[kNameBufferSize]);
// 0 written; 1 the window was closed during the prompt; 2 the file could not be written.
int saveStatusMatrix(char name[kNameBufferSize]);

// Clears the board and fills it from the text of a map file, length bytes of any content, as leniently as
// a load reads a file: malformed content ends the reading and is never reported. Nothing is drawn.
void parseStatusMatrix(const char* text, std::size_t length);
