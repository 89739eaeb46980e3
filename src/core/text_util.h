// Small text helpers: integer to text in any base, and case changes in place.
#pragma once

// Writes value in `base` (2 to 36; any other base gives an empty text) with
// lower-case digits and a leading "-" for negative values. `buffer` needs 34
// bytes for base 2. Returns buffer.
char* zqitoa(int value, char* buffer, int base);
inline char* _itoa(int value, char* buffer, int base) {
    return zqitoa(value, buffer, base);
}

// Change every letter in place by the C library's character classes; return text.
char* strlwr(char* text);
char* strupr(char* text);
