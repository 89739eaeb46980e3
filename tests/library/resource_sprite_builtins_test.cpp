// The sprite and background resource built-ins through the function table,
// on a headless Mesa context: queries of missing resources, settings, a
// sprite duplicated from a data-file sprite (its frames read back from the
// page), saves that round-trip through PNG files in the save area, strips,
// and the texture prefetch and flush requests with their messages.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "builtin_call.h"
#include "core/error.h"
#include "core/header_globals.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "core/run_state.h"
#include "error_capture.h"
#include "game_data_writer.h"
#include "gl_device_fixture.h"
#include "header_chunk.h"
#include "quad_page.h"
#include "render/bitmap32.h"
#include "render/image_decode.h"
#include "resource_fixture.h"
#include "room/room.h"
#include "sprite_chunk.h"
#include "sprites/background.h"
#include "sprites/background_table.h"
#include "sprites/sprite_table.h"
#include "temp_path.h"
#include "texture_chunks.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/instances/instance.h"
#include "world/instances/sprite_services.h"
#include "world/objects/object_type.h"

namespace {

// Bytes red, green, blue, alpha of pixel (x, y) of a w-wide image.
uint32_t RGBA(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    return uint32_t{r} | uint32_t{g} << 8 | uint32_t{b} << 16 | uint32_t{a} << 24;
}

class SpriteBuiltins : public ResourceFixture<GLDeviceTest> {
protected:
    // A save area of this test's own.
    void SetUp() override {
        GLDeviceTest::SetUp();
        m_root = TestTempPath("resources");
        std::filesystem::create_directories(m_root);
        LoadSave_SetGameName((m_root + "/game.ios").c_str());
        LoadSave_SetWorkingDirectory((m_root + "/").c_str());
    }
    void TearDown() override {
        Sprite_Init();
        Background_Init();
        LoadSave_SetGameName(nullptr);
        LoadSave_SetWorkingDirectory(nullptr);
        std::filesystem::remove_all(m_root);
        aborterror = false;
        New_Room = ROOM_NONE;
        GLDeviceTest::TearDown();
    }

    // A sprite of `frames` w × h frames side by side; pixel (x, y) of frame
    // f is RGBA(x, y, f, 255) (frame f's top left pixel is red-free).
    static int MakeSprite(int w, int h, int frames) {
        std::vector<uint32_t> pixels(static_cast<size_t>(w * frames * h));
        for (int f = 0; f < frames; ++f)
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    pixels[static_cast<size_t>(y * w * frames + f * w + x)] =
                        RGBA(static_cast<uint8_t>(x * 10), static_cast<uint8_t>(y * 10),
                             static_cast<uint8_t>(f * 100), 255);
        return Sprite_Add_BIN(reinterpret_cast<const uint8_t*>(pixels.data()), w * frames, h, frames, false,
                              false, 0, 0);
    }

    // A PNG in the save area decoded to RGBA words; empty when unreadable.
    static std::vector<uint32_t> ReadSaved(const char* name, int* w, int* h) {
        int length = 0;
        char* file = LoadSave::ReadSaveFile(name, &length);
        std::vector<uint32_t> out;
        if (file == nullptr) return out;
        uint8_t* pixels = ReadPNGFile(file, length, w, h, false);
        if (pixels != nullptr) {
            out.resize(static_cast<size_t>(*w) * static_cast<size_t>(*h));
            std::memcpy(out.data(), pixels, out.size() * 4);
        }
        FreePNGFile();
        MemoryManager::Free(file);
        return out;
    }

    std::string m_root;
};

TEST_F(SpriteBuiltins, MissingSpritesAndBackgroundsAnswerFixedValues) {
    const ZQRValue missing(40.0);
    for (const char* name :
         {"sprite_get_number", "sprite_get_width", "sprite_get_xoffset", "sprite_get_bbox_left",
          "sprite_get_bbox_mode", "sprite_get_transparent", "sprite_get_precise", "sprite_get_smooth",
          "background_get_width", "background_get_transparent", "background_get_preload"})
        EXPECT_EQ(Num(name, {missing}), -1) << name;
    EXPECT_EQ(Num("sprite_exists", {missing}), 0);
    EXPECT_EQ(Num("background_exists", {missing}), 0);
    EXPECT_EQ(Text(CallBuiltin("sprite_get_name", {missing})), "<undefined>");
    EXPECT_EQ(Text(CallBuiltin("background_name", {missing})), "<undefined>");
    EXPECT_EQ(Num("sprite_get_speed", {missing}), -1);
    EXPECT_NE(std::string(console.Text()).find("Sprite id 40 not found\n"), std::string::npos);
    EXPECT_EQ(Num("sprite_delete", {missing}), -1);
    EXPECT_EQ(Num("sprite_duplicate", {missing}), -1);
    EXPECT_EQ(Num("sprite_replace", {missing, ZQRValue("a.png"), N(1), N(0), N(0), N(0), N(0)}), -1);
    CallBuiltin("sprite_set_offset", {missing, N(1), N(1)});
    EXPECT_EQ(errors.Shown().size(), 0u);

    EXPECT_EQ(Num("background_duplicate", {missing}), -1);
    EXPECT_EQ(TakeError(), "Trying to duplicate non-existing background.");
    EXPECT_EQ(Num("background_delete", {missing}), 0);
    EXPECT_EQ(TakeError(), "Trying to delete non-existing background.");
    EXPECT_EQ(Num("background_replace", {missing, ZQRValue("a.png"), N(0), N(0)}), 0);
    EXPECT_EQ(TakeError(), "Trying to replace non-existing background.");
    CallBuiltin("sprite_assign", {missing, N(0)});
    EXPECT_EQ(TakeError(), "Cannot assign to or from non-existing sprite");
    CallBuiltin("sprite_merge", {N(0), missing});
    EXPECT_EQ(TakeError(), "Cannot merge to or from non-existing sprite");
}

TEST_F(SpriteBuiltins, SettingsAndKindChecks) {
    const int s = MakeSprite(4, 4, 2);
    ASSERT_GE(s, 0);
    const ZQRValue id(static_cast<double>(s));
    EXPECT_EQ(Num("sprite_get_number", {id}), 2);
    EXPECT_EQ(Num("sprite_get_width", {id}), 4);
    CallBuiltin("sprite_set_offset", {id, N(2), N(3)});
    EXPECT_EQ(Num("sprite_get_xoffset", {id}), 2);
    EXPECT_EQ(Num("sprite_get_yoffset", {id}), 3);
    CallBuiltin("sprite_set_bbox_mode", {id, N(SPRITE_BBOX_MANUAL)});
    CallBuiltin("sprite_set_bbox", {id, N(1), N(0), N(2), N(3)});
    EXPECT_EQ(Num("sprite_get_bbox_mode", {id}), SPRITE_BBOX_MANUAL);
    EXPECT_EQ(Num("sprite_get_bbox_right", {id}), 2);
    EXPECT_EQ(Num("sprite_get_bbox_bottom", {id}), 3);
    CallBuiltin("sprite_set_precise", {id, N(1)});
    EXPECT_EQ(Num("sprite_get_precise", {id}), 1);
    CallBuiltin("sprite_set_precise", {id, N(0)});
    EXPECT_EQ(Num("sprite_get_precise", {id}), 0);
    CallBuiltin("sprite_set_speed", {id, N(12.5), N(1)});
    EXPECT_EQ(Num("sprite_get_speed", {id}), 12.5);
    EXPECT_EQ(Num("sprite_get_speed_type", {id}), 1);
    EXPECT_EQ(errors.Shown().size(), 0u);

    // A vector sprite is refused where only bitmaps make sense.
    auto vector = std::make_unique<CSprite>();
    vector->m_kind = SPRITE_KIND_VECTOR;
    vector->m_numb = 1;
    const ZQRValue v(static_cast<double>(Sprite_AddRecord(std::move(vector), "spr_vector")));
    CallBuiltin("sprite_set_precise", {v, N(1)});
    EXPECT_EQ(
        TakeError(),
        "sprite_set_precise: can't set precise collision on vector sprite with no collision masks generated");
    CallBuiltin("sprite_assign", {id, v});
    EXPECT_EQ(TakeError(),
              "sprite_assign: not supported for vector sprites - source sprite is a vector sprite");
    CallBuiltin("sprite_merge", {v, id});
    EXPECT_EQ(TakeError(),
              "sprite_merge: not supported for vector sprites - destination sprite is a vector sprite");
    EXPECT_EQ(CallBuiltin("sprite_duplicate", {v}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(TakeError(), "sprite_duplicate: not supported for vector sprites");
    CallBuiltin("sprite_collision_mask", {v, N(0), N(0), N(0), N(0), N(0), N(0), N(0), N(0)});
    EXPECT_EQ(TakeError(), "sprite_collision_mask: not supported for vector sprites");

    // Merge appends the source's frames; assign copies.
    const int other = MakeSprite(4, 4, 3);
    CallBuiltin("sprite_merge", {id, N(other)});
    EXPECT_EQ(Num("sprite_get_number", {id}), 5);
    CallBuiltin("sprite_assign", {N(other), id});
    EXPECT_EQ(Num("sprite_get_number", {N(other)}), 5);
    EXPECT_EQ(Num("sprite_delete", {N(other)}), 1);
    EXPECT_EQ(Num("sprite_exists", {N(other)}), 0);
    EXPECT_EQ(errors.Shown().size(), 0u);
}

TEST_F(SpriteBuiltins, SettersMarkTheInstancesShowingTheSprite) {
    const int s = MakeSprite(4, 4, 1);
    const int other = MakeSprite(4, 4, 1);
    ASSERT_EQ(Object_Add(), 0);
    auto room = std::make_unique<CRoom>();
    Run_Room = room.get();
    CInstance* shows = room->AddInstance(0, 0, 0);
    CInstance* elsewhere = room->AddInstance(0, 0, 0);
    shows->SetSpriteIndex(s);
    elsewhere->SetSpriteIndex(other);
    for (const char* name :
         {"sprite_set_precise", "sprite_set_offset", "sprite_set_bbox_mode", "sprite_set_bbox"}) {
        shows->m_bboxDirty = elsewhere->m_bboxDirty = false;
        CallBuiltin(name, {N(s), N(1), N(1), N(2), N(2)});
        EXPECT_TRUE(shows->m_bboxDirty) << name;
        EXPECT_FALSE(elsewhere->m_bboxDirty) << name;
    }
    EXPECT_EQ(Num("sprite_get_precise", {N(s)}), 1);
    Run_Room = nullptr;
    room.reset();
    Object_Init();
}

// Arguments no script should pass leave the sprite usable and read nothing
// outside its frames.
TEST_F(SpriteBuiltins, AbsurdMaskAndBoxArgumentsAreSafe) {
    const int s = MakeSprite(4, 4, 2);
    const ZQRValue id(static_cast<double>(s));
    struct Case {
        double separate, mode, left, top, right, bottom, kind, tolerance;
    };
    for (const Case& c : {Case{1, 2, -1000, -1000, 1e6, 1e6, 0, 0}, Case{0, 9, 3, 3, 0, 0, 99, -5},
                          Case{1, -1, 2, 2, 2, 2, 2, 255}, Case{0, 2, 1e12, -1e12, NAN, 0, 3, 1e9}}) {
        CallBuiltin("sprite_collision_mask", {id, N(c.separate), N(c.mode), N(c.left), N(c.top), N(c.right),
                                              N(c.bottom), N(c.kind), N(c.tolerance)});
        EXPECT_EQ(Num("sprite_get_number", {id}), 2);
        EXPECT_EQ(Num("sprite_get_precise", {id}), 1);
    }
    CallBuiltin("sprite_set_bbox", {id, N(3), N(3), N(-7), N(1e9)});
    CallBuiltin("sprite_set_bbox_mode", {id, N(-3)});
    CallBuiltin("sprite_save", {id, N(-1), ZQRValue("saved.png")});
    CallBuiltin("sprite_set_alpha_from_sprite", {id, id});
    EXPECT_EQ(Num("sprite_get_width", {id}), 4);
}

// A 4 × 4 page whose bottom-right 2 × 2 block is the one frame of a 4 × 4
// data-file sprite (trimmed one pixel each side).
TEST_F(SpriteBuiltins, DuplicateOfADataFileSpriteOwnsItsFrames) {
    const wad::TexturePagesFields f = TrimmedQuadPages();
    wad::SpriteFields s;
    s.name = "spr_data";
    s.width = s.height = 4;
    s.right = s.bottom = 3;
    s.pageEntries = {wad::PageEntryLabel("TPAG", 0)};
    wad::GameDataWriter w;
    wad::WriteHeader(w, wad::HeaderFields{});
    wad::WriteTexturePages(w, f);
    wad::WriteSprites(w, {s});
    std::vector<uint8_t> image = w.Build();
    Header_Reset();
    ASSERT_TRUE(GetResolution(image.data(), image.size()) && LoadGameData(image.data(), image.size()))
        << GameData_LastError();
    ASSERT_TRUE(Sprite_Exists(0));
    ASSERT_TRUE(Sprite_Data(0)->UsesDataFileFrames());

    // Saving needs frame bitmaps, which a data-file sprite does not have.
    CallBuiltin("sprite_save", {N(0), N(0), ZQRValue("saved.png")});
    EXPECT_NE(std::string(console.Text()).find("sprite_save() failed - no bitmap data available\n"),
              std::string::npos);

    const int copy = static_cast<int>(Num("sprite_duplicate", {N(0)}));
    ASSERT_TRUE(Sprite_Exists(copy));
    EXPECT_NE(copy, 0);
    const CSprite* dup = Sprite_Data(copy);
    EXPECT_FALSE(dup->UsesDataFileFrames());
    EXPECT_EQ(Num("sprite_get_number", {N(copy)}), 1);
    EXPECT_EQ(Num("sprite_get_width", {N(copy)}), 4);
    ASSERT_EQ(dup->m_bitmaps.size(), 1u);
    ASSERT_NE(dup->m_bitmaps[0], nullptr);

    // The copy saves: its frame is the untrimmed 4 × 4 image, the stored
    // block at the entry's offset (1, 1).
    CallBuiltin("sprite_save", {N(copy), N(0), ZQRValue("saved.png")});
    int width = 0, height = 0;
    const std::vector<uint32_t> saved = ReadSaved("saved.png", &width, &height);
    ASSERT_EQ(width, 4);
    ASSERT_EQ(height, 4);
    EXPECT_EQ(saved[1 * 4 + 1], RGBA(255, 0, 0, 255));
    EXPECT_EQ(saved[1 * 4 + 2], RGBA(0, 255, 0, 255));
    EXPECT_EQ(saved[2 * 4 + 1], RGBA(0, 0, 255, 255));
    EXPECT_EQ(saved[2 * 4 + 2], RGBA(255, 255, 255, 255));
    EXPECT_EQ(saved[0] >> 24, 0u) << "the trimmed border is transparent";
    EXPECT_EQ(errors.Shown().size(), 0u);
}

TEST_F(SpriteBuiltins, SaveRoundTripsAndRefusesBadPaths) {
    const int s = MakeSprite(3, 2, 2);
    ASSERT_GE(s, 0);
    CallBuiltin("sprite_save", {N(s), N(1), ZQRValue("saved.png")});
    int w = 0, h = 0;
    std::vector<uint32_t> saved = ReadSaved("saved.png", &w, &h);
    ASSERT_EQ(w, 3);
    ASSERT_EQ(h, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(saved[static_cast<size_t>(y * 3 + x)],
                      RGBA(static_cast<uint8_t>(x * 10), static_cast<uint8_t>(y * 10), 100, 255))
                << x << "," << y;

    // A path outside the save area and a frame without bitmap write nothing.
    CallBuiltin("sprite_save", {N(s), N(0), ZQRValue("../escape.png")});
    EXPECT_NE(std::string(console.Text()).find("sprite_save() failed - cannot write ../escape.png\n"),
              std::string::npos);
    CallBuiltin("sprite_save", {N(s), N(9), ZQRValue("saved.png")});
    EXPECT_NE(std::string(console.Text()).find("no bitmap data available"), std::string::npos);
    saved = ReadSaved("saved.png", &w, &h);
    EXPECT_EQ(w, 3) << "the earlier file is intact";
    EXPECT_EQ(errors.Shown().size(), 0u);
}

TEST_F(SpriteBuiltins, StripPutsFramesSideBySide) {
    const int s = MakeSprite(16, 8, 3);
    ASSERT_GE(s, 0);
    CallBuiltin("sprite_save_strip", {N(s), ZQRValue("strip.png")});
    int w = 0, h = 0;
    const std::vector<uint32_t> strip = ReadSaved("strip.png", &w, &h);
    ASSERT_EQ(w, 48);
    ASSERT_EQ(h, 8);
    EXPECT_EQ(strip[16], RGBA(0, 0, 100, 255)) << "frame 1 starts at x = 16";
    EXPECT_EQ(strip[7 * 48 + 47], RGBA(150, 70, 200, 255));
    CallBuiltin("sprite_save_strip", {N(77), ZQRValue("strip.png")});
    EXPECT_EQ(errors.Shown().size(), 0u);
}

TEST_F(SpriteBuiltins, BackgroundsMadeSavedAndCopied) {
    const double before = Background_Number();
    const int g =
        static_cast<int>(Num("background_create_gradient", {N(5), N(3), N(0x0000FF), N(0xFF0000), N(0)}));
    EXPECT_EQ(Background_Number(), before + 1) << "exactly one background";
    EXPECT_EQ(Num("background_get_width", {N(g)}), 5);
    EXPECT_EQ(Num("background_get_height", {N(g)}), 3);
    const int c = static_cast<int>(Num("background_create_colour", {N(2), N(2), N(0x00FF00)}));
    CallBuiltin("background_save", {N(c), ZQRValue("bg.png")});
    int w = 0, h = 0;
    const std::vector<uint32_t> saved = ReadSaved("bg.png", &w, &h);
    ASSERT_EQ(w, 2);
    EXPECT_EQ(saved[3], RGBA(0, 255, 0, 255));

    CallBuiltin("background_save", {N(99), ZQRValue("bg.png")});
    EXPECT_EQ(TakeError(), "Trying to save non-existing background bitmap.");
    CallBuiltin("background_save", {N(c), ZQRValue("")});
    EXPECT_EQ(TakeError(), "Trying to save non-existing background bitmap.");
    // Sizes no image may have are refused instead of allocated.
    EXPECT_EQ(Num("background_create_color", {N(1e6), N(1e6), N(0)}), -1);
    EXPECT_EQ(TakeError(), "Invalid background dimensions");

    const int copy = static_cast<int>(Num("background_duplicate", {N(c)}));
    EXPECT_EQ(Num("background_get_width", {N(copy)}), 2);
    CallBuiltin("background_assign", {N(copy), N(g)});
    EXPECT_EQ(Num("background_get_width", {N(copy)}), 5);
    CallBuiltin("background_assign", {N(copy), N(99)});
    EXPECT_EQ(TakeError(), "Error assigning a background.");
    EXPECT_EQ(Num("background_delete", {N(copy)}), 1);
    EXPECT_EQ(errors.Shown().size(), 0u);
}

TEST_F(SpriteBuiltins, GrabsKeepTheirColoursAndEmptyGrabsAddNoFrame) {
    const int s = MakeSprite(4, 4, 1);
    CallBuiltin("sprite_add_from_screen", {N(s), N(100), N(100), N(4), N(4), N(0), N(0)});
    EXPECT_EQ(Num("sprite_get_number", {N(s)}), 1);
    const int fromSurface = static_cast<int>(
        Num("sprite_create_from_surface", {N(55), N(0), N(0), N(4), N(4), N(0), N(0), N(0), N(0)}));
    EXPECT_TRUE(Sprite_Exists(fromSurface)) << "kept, empty";
    EXPECT_EQ(Num("sprite_get_number", {N(fromSurface)}), 0);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const int fromScreen =
        static_cast<int>(Num("sprite_create_from_screen", {N(0), N(0), N(8), N(8), N(0), N(0), N(0), N(0)}));
    EXPECT_EQ(Num("sprite_get_number", {N(fromScreen)}), 1);
    EXPECT_EQ(Num("sprite_get_width", {N(fromScreen)}), 8);
    ASSERT_EQ(Sprite_Data(fromScreen)->m_bitmaps.size(), 1u);
    EXPECT_EQ(Sprite_Data(fromScreen)->m_bitmaps[0]->Pixels()[0], 0xFFFF0000u) << "red, as the screen shows";
    EXPECT_EQ(errors.Shown().size(), 0u);
}

TEST_F(SpriteBuiltins, PrefetchAndFlushMessages) {
    const int bitmap = MakeSprite(4, 4, 1);
    auto vector = std::make_unique<CSprite>();
    vector->m_kind = SPRITE_KIND_VECTOR;
    const int v = Sprite_AddRecord(std::move(vector), "spr_vector");
    EXPECT_EQ(Num("sprite_prefetch", {N(50)}), 0);
    EXPECT_EQ(Num("sprite_prefetch", {N(v)}), -1);
    EXPECT_EQ(Num("sprite_flush", {N(bitmap)}), 0);
    EXPECT_EQ(Num("background_prefetch", {N(50)}), 0);
    std::string text = console.Text();
    EXPECT_NE(text.find("sprite_prefetch: Sprite id 50 not found\n"), std::string::npos);
    EXPECT_NE(text.find("sprite_prefetch: not supported for vector sprites (sprite id " + std::to_string(v) +
                        ")\n"),
              std::string::npos);
    EXPECT_NE(text.find("background_prefetch: Background id 50 not found\n"), std::string::npos);

    // [missing, vector, bitmap]: the vector entry ends the call.
    ZQRValue list = CallBuiltin("array_create", {N(3)});
    ZQRValue entries[3] = {N(60), N(v), N(bitmap)};
    for (int i = 0; i < 3; ++i) SET_RValue_Array(&list, &entries[i], i);
    EXPECT_EQ(Num("sprite_flush_multi", {list}), -1);
    text = console.Text();
    const size_t notFound = text.find("sprite_flush_multi: Sprite id 60 not found\n");
    const size_t vectorLine = text.find("sprite_flush_multi: not supported for vector sprites");
    EXPECT_NE(notFound, std::string::npos);
    EXPECT_NE(vectorLine, std::string::npos);
    EXPECT_LT(notFound, vectorLine);

    ZQRValue mixed = CallBuiltin("array_create", {N(2)});
    ZQRValue text0("x");
    SET_RValue_Array(&mixed, &text0, 0);
    EXPECT_EQ(Num("background_flush_multi", {mixed}), 0);
    EXPECT_NE(std::string(console.Text()).find("background_flush_multi: array entry 0 has wrong type\n"),
              std::string::npos);
    EXPECT_EQ(Num("background_prefetch_multi", {N(3)}), -1);
    EXPECT_NE(std::string(console.Text())
                  .find("background_prefetch_multi: parameter should be array of sprite indices\n"),
              std::string::npos);
}

} // namespace
