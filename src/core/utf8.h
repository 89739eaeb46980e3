// UTF-8 string routines. Characters are 16-bit codes (the basic multilingual
// plane); a byte is classified by its top bits alone and the bytes after it
// are trusted, so malformed text decodes to some code. A sequence cut short by
// the terminating zero byte counts as one character, decodes with the missing
// bytes as 0 and ends the string: no routine reads past the terminator.
#pragma once

#include <cstdint>

// The code at *cursor; the cursor moves past the character (onto the
// terminator when the character is cut short by it).
uint16_t utf8_extract_char(const char** cursor);
uint16_t utf8_extract_char(char** cursor);
uint16_t utf8_get_char(const char* text);
// Writes the encoding of `code` at *cursor and moves the cursor past it.
void utf8_add_char(char** cursor, uint16_t code);
// 1, 2 or 3: the bytes `code` takes.
int utf8_char_size(uint16_t code);

// Characters before the terminating zero byte.
int utf8_strlen(const char* text);
void utf8_strcpy(char* destination, const char* source);
// 0 when equal, else code(a) - code(b) at the first differing character.
int utf8_strcmp(const char* a, const char* b);
// As utf8_strcmp with A-Z folded to a-z; the difference is of the codes as they stand.
int utf8_stricmp(const char* a, const char* b);
// Compares at most n characters; a negative n compares the first codes only.
int utf8_strncmp(const char* a, const char* b, int n);
// Where the needle first matches in the haystack, or null. An empty needle
// matches at the start of a non-empty haystack; an empty haystack never matches.
const char* utf8_strstr(const char* haystack, const char* needle);
// The last character equal to c1 or c2 (ASCII only; 0 finds the terminator), or null.
const char* utf8_strrchr(const char* text, char c1, char c2);
