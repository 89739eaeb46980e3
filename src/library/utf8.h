// UTF-8 character routines: decoding and encoding single characters (16-bit
// codes, the basic multilingual plane), counting characters and finding the
// last of two characters. They classify bytes by their top bits only and
// never read past a string's terminating zero.
#pragma once

#include <cstdint>

// The code at *cursor; the cursor moves past the character (onto the
// terminator when the character is cut short by it, the missing bytes
// counting as 0). Lead 0x00-0x7F: one byte; 0x80-0x9F and 0xC0-0xDF: two;
// 0xA0-0xBF and 0xE0-0xFF: three (a four-byte sequence reads as a three-byte
// character and a stray byte).
uint16_t utf8_extract_char(const char** cursor);
uint16_t utf8_get_char(const char* text);
// Writes the encoding of `code` at *cursor and moves the cursor past it; a
// code of 0 writes the terminating zero byte.
void utf8_add_char(char** cursor, uint16_t code);
// 1 for codes up to 0x7F, 2 up to 0x7FF, else 3.
int utf8_char_size(uint16_t code);
// The number of characters before the terminating zero byte.
int utf8_strlen(const char* text);
// The last position whose character equals c1 or c2 (each a signed 8-bit
// character widened, so only characters below 0x80 match; 0 matches the
// terminator), scanning backwards from the end; null when there is none.
const char* utf8_strrchr(const char* text, char c1, char c2);
