// Fast paths of the text built-ins for compiled scripts: typed arguments, the
// text as a C string (copied before drawing, so the caller's text may be any
// block), the same layout and drawing as the built-in of the same name.
#pragma once

#include <cstdint>

void ZQVTL_draw_set_font(int32_t font);
void ZQVTL_draw_set_halign(int32_t align);
void ZQVTL_draw_set_valign(int32_t align);
void ZQVTL_draw_text(float x, float y, const char* text);
void ZQVTL_draw_text_transformed(float x, float y, const char* text, float xscale, float yscale, float angle);
void ZQVTL_draw_text_color(float x, float y, const char* text, int32_t c1, int32_t c2, int32_t c3, int32_t c4,
                           float alpha);
void ZQVTL_draw_text_transformed_color(float x, float y, const char* text, float xscale, float yscale,
                                       float angle, int32_t c1, int32_t c2, int32_t c3, int32_t c4,
                                       float alpha);
void ZQVTL_draw_text_ext_color(float x, float y, const char* text, int32_t separation, int32_t width,
                               int32_t c1, int32_t c2, int32_t c3, int32_t c4, float alpha);
void ZQVTL_draw_text_ext_transformed_color(float x, float y, const char* text, int32_t separation,
                                           int32_t width, float xscale, float yscale, float angle, int32_t c1,
                                           int32_t c2, int32_t c3, int32_t c4, float alpha);
