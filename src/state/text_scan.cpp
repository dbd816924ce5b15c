#include "state/text_scan.h"

#include <climits>

bool isWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

void skipWhiteSpace(const char*& text, const char* end) {
    while (text < end && isWhiteSpace(*text)) ++text;
}

bool scanInt(const char*& text, const char* end, int& value) {
    skipWhiteSpace(text, end);
    bool negative = false;
    if (text < end && (*text == '+' || *text == '-')) {
        negative = *text == '-';
        ++text;
    }
    if (text >= end || *text < '0' || *text > '9') return false;
    long long magnitude = 0;
    while (text < end && *text >= '0' && *text <= '9') {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) return false;
        ++text;
    }
    if (!negative && magnitude > INT_MAX) return false;
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}
