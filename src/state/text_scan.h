// Reading numbers out of text that comes from outside (map files, typed editor entries) with defined
// behaviour on any bytes: no wrapping, no undefined behaviour.
#pragma once

bool isWhiteSpace(char c);
void skipWhiteSpace(const char*& text, const char* end);

// Reads a decimal int as "%d" does: white space, an optional sign, then digits. Fails (and leaves text
// where the failure was found) when there are no digits or the number does not fit in an int.
bool scanInt(const char*& text, const char* end, int& value);
