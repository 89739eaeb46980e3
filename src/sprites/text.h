// Text: a UTF-8 text split into lines ("#" breaks in legacy data, wrapping
// at a width) and measured or drawn with the current font and alignment.
// Every glyph of a text goes into the one batch on its font's texture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CFontVT;

// The lines of a laid-out text: 16-bit codes, each line zero-terminated.
struct TStringList {
    std::vector<uint16_t> buffer;
    std::vector<uint32_t> starts; // where each line begins in buffer
    int Count() const { return static_cast<int>(starts.size()); }
    const uint16_t* Line(int i) const { return buffer.data() + starts[static_cast<size_t>(i)]; }
};

// A negative width never wraps. Advances come from `font` (none: 0).
void Split_TextBlock(const char* text, int width, TStringList& list, const CFontVT* font);

void GR_Text_Set_Font(int font);
int GR_Text_Get_Font();
// 1 and 2 are kept, anything else is 0.
void GR_Text_Set_HAlign(int align);
void GR_Text_Set_VAlign(int align);
int GR_Text_Get_HAlign();
int GR_Text_Get_VAlign();
// The current font when it exists, else the default font (made if needed).
CFontVT* GR_Text_SetFont();
void GR_Text_ResetToDefault();

int GR_Text_Width(const char* text, int separation, int width);
int GR_Text_Height(const char* text, int separation, int width);
// Colours are script colours 0xBBGGRR; alpha 0..1; angles in degrees.
void GR_Text_Draw(float x, float y, const char* text, int separation, int width);
void GR_Text_Draw_Transformed(float x, float y, const char* text, int separation, int width, float xscale,
                              float yscale, float angle);
void GR_Text_Draw_Color(float x, float y, const char* text, int separation, int width, uint32_t c1,
                        uint32_t c2, uint32_t c3, uint32_t c4, float alpha);
void GR_Text_Draw_Transformed_Color(float x, float y, const char* text, int separation, int width,
                                    float xscale, float yscale, float angle, uint32_t c1, uint32_t c2,
                                    uint32_t c3, uint32_t c4, float alpha);

void Text_ResetDefaults();
void FINALIZE_Graphics_Text();
// Back to the start state (tests): the default font deleted.
void Text_Reset();
