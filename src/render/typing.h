// Text that the player types into the window (map names, editor entries), drawn at the text cursor.
#pragma once

// Reads typed text into buffer, which holds count bytes already, until Return, keypad Enter or Return2
// (result 0) or a quit event (result 1). Each typed byte is appended and drawn at the text cursor, which
// moves 8 pixels right; bytes that do not fit (capacity - 1 bytes and the terminator) are ignored.
// Backspace takes the last byte off the buffer and blanks its cell. The buffer stays terminated.
// SDL text input runs during the call.
int readTypedText(char* buffer, int capacity, int& count);
