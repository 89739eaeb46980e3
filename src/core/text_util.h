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

// `atoi` without its undefined behaviour: leading blanks, an optional sign and
// decimal digits; anything else ends the number (no digits give 0), and values
// beyond the 32-bit range saturate. A null text gives 0.
int TextToInt(const char* text);
