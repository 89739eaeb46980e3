#include "sprites/font_table.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/console.h"
#include "core/game_image.h"
#include "core/utf8.h"
#include "sprites/font.h"
#include "sprites/font_cache.h"
#include "sprites/font_sprite_services.h"

FT_Library g_FreeTypeLibrary = nullptr;

namespace {

constexpr size_t kCodePageBytes = 512;

struct Slot {
    std::unique_ptr<CFontVT> font;
    std::string name;
};

std::vector<Slot> s_slots;
int16_t s_codePage[256];
bool s_haveCodePage = false;

int Append(std::unique_ptr<CFontVT> font) {
    const int index = static_cast<int>(s_slots.size());
    char name[256];
    std::snprintf(name, sizeof name, "__newfont%d", index);
    s_slots.push_back({std::move(font), name});
    return index;
}

bool Put(int index, std::unique_ptr<CFontVT> font) {
    if (index < 0 || index >= static_cast<int>(s_slots.size())) return false;
    s_slots[static_cast<size_t>(index)].font = std::move(font);
    return true;
}

// The UTF-8 text of the characters a sprite's frames stand for: `first` + i
// for each frame, through the code page or as they stand.
std::string SpriteCharacters(int sprite, int first, bool codePage) {
    SpriteFontSource source;
    std::string text;
    if (!SpriteFont_Source(sprite, &source)) return text;
    char buffer[4];
    for (int i = 0; i < source.frameCount; ++i) {
        const int64_t c = static_cast<int64_t>(first) + i;
        uint16_t code;
        if (codePage) {
            if (c < 0 || c > 255) break; // past the code page: no further characters
            code = Font_CodePage(static_cast<int>(c));
        } else {
            code = static_cast<uint16_t>(c);
        }
        char* cursor = buffer;
        utf8_add_char(&cursor, code);
        text.append(buffer, cursor);
    }
    return text;
}

} // namespace

uint16_t Font_CodePage(int byte) {
    if (byte < 0 || byte > 255) return 0;
    return s_haveCodePage ? static_cast<uint16_t>(s_codePage[byte]) : static_cast<uint16_t>(byte);
}

void Font_Init() {
    if (g_FreeTypeLibrary == nullptr && FT_Init_FreeType(&g_FreeTypeLibrary) != 0) {
        dbg_csol->Output("Error while initialising FreeType %d\n", 1);
        g_FreeTypeLibrary = nullptr;
    }
    s_slots.clear();
    s_haveCodePage = false;
}

void Font_Load(ImageReader& chunk) {
    if (chunk.ChunkEnd() - chunk.ChunkStart() < kCodePageBytes)
        chunk.Fail("the chunk is shorter than its 512-byte code page");
    const uint32_t count = chunk.Count(4);
    std::vector<Slot> slots(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = chunk.U32();
        if (offset == 0) continue;
        ImageReader record = chunk.At(offset);
        const char* name = chunk.String(record.Peek<uint32_t>(offset));
        auto font = std::make_unique<CFontVT>();
        CFontVT::LoadFromChunk(font.get(), record);
        slots[i] = {std::move(font), name != nullptr ? name : ""};
    }
    const size_t at = chunk.ChunkEnd() - kCodePageBytes;
    std::memcpy(s_codePage, chunk.Span(at, kCodePageBytes), kCodePageBytes);
    s_haveCodePage = true;
    s_slots = std::move(slots);
}

int Font_Number() {
    return static_cast<int>(s_slots.size());
}

bool Font_Exists(int index) {
    return Font_Data(index) != nullptr;
}

const char* Font_Name(int index) {
    return Font_Exists(index) ? s_slots[static_cast<size_t>(index)].name.c_str() : "<undefined>";
}

int Font_Find(const char* name) {
    if (name == nullptr) return -1;
    for (size_t i = 0; i < s_slots.size(); ++i)
        if (s_slots[i].font && s_slots[i].name == name) return static_cast<int>(i);
    return -1;
}

CFontVT* Font_Data(int index) {
    if (index < 0 || index >= static_cast<int>(s_slots.size())) return nullptr;
    return s_slots[static_cast<size_t>(index)].font.get();
}

int Font_Add(const char* path, int size, bool bold, bool italic, int first, int last) {
    return Append(std::make_unique<CFontVT>(path, size, bold, italic, first, last));
}

int Font_AddSprite(int sprite, int first, bool proportional, int separation) {
    return Font_AddSpriteExt(sprite, SpriteCharacters(sprite, first, true).c_str(), proportional, separation);
}

int Font_AddSpriteExt(int sprite, const char* characters, bool proportional, int separation) {
    return Append(std::make_unique<CFontVT>(sprite, characters, proportional, separation));
}

bool Font_Replace(int index, const char* path, int size, bool bold, bool italic, int first, int last) {
    if (index < 0 || index >= Font_Number()) return false;
    return Put(index, std::make_unique<CFontVT>(path, size, bold, italic, first, last));
}

bool Font_ReplaceSprite(int index, int sprite, int first, bool proportional, int separation) {
    if (index < 0 || index >= Font_Number()) return false;
    return Font_ReplaceSpriteExt(index, sprite, SpriteCharacters(sprite, first, false).c_str(), proportional,
                                 separation);
}

bool Font_ReplaceSpriteExt(int index, int sprite, const char* characters, bool proportional, int separation) {
    if (index < 0 || index >= Font_Number()) return false;
    return Put(index, std::make_unique<CFontVT>(sprite, characters, proportional, separation));
}

bool Font_Delete(int index) {
    if (!Font_Exists(index)) return false;
    Slot& slot = s_slots[static_cast<size_t>(index)];
    slot.font.reset();
    slot.name.clear();
    return true;
}

void Font_InitTextures() {
    for (Slot& slot : s_slots)
        if (slot.font) slot.font->InitTexture();
}

void Font_FreeTextures() {
    for (Slot& slot : s_slots)
        if (slot.font) slot.font->FreeTexture();
}

void FINALIZE_Font_Main() {
    Font_Reset();
    if (g_FreeTypeLibrary != nullptr) FT_Done_FreeType(g_FreeTypeLibrary);
    g_FreeTypeLibrary = nullptr;
}

void Font_Reset() {
    s_slots.clear();
    s_haveCodePage = false;
    g_nFontTextureSize = 1024;
    g_FontAntialias = true;
}
