// corvane-wad: writes game data files with the data-file writer.
//   corvane-wad sample OUT    a minimal valid data file (header and strings)
//   corvane-wad paths OUT     the minimal file with a path chunk: straight,
//                             smooth, closed and empty entries (the path
//                             fuzz target's seed)
//   corvane-wad code OUT      the minimal file with scripts, global code,
//                             code entries with reference chains, variables
//                             and functions in the newer layout
//   corvane-wad oldcode OUT   the same in the older layout (header version 14)
//   corvane-wad objects OUT   the code file with object types (parents,
//                             inherited, key and collision events, physics)
//                             and timelines (the game-file fuzz target's seed)
//   corvane-wad rooms OUT     the minimal file with a room order and a room
//                             chunk: rooms with views, backgrounds, stored
//                             instances and tiles, and an empty number
//   corvane-wad layers OUT    the rooms file with a room whose layer list
//                             holds every layer type: background, instances,
//                             tiles and sprites, a tilemap and an unknown one
//   corvane-wad seeds DIR     every fuzz target's starting inputs, in
//                             DIR/<target>/ (the fuzz build writes them)
//   corvane-wad game MANIFEST OUT
//                             the game's own data file from its manifest
//                             (assets/game.manifest) and the art and sounds
//                             beside it, bound to the game's compiled code
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "background_chunk.h"
#include "code_chunks.h"
#include "core/memory_manager.h"
#include "debug_info_file.h"
#include "font_chunk.h"
#include "game/game_code.h"
#include "game_data_writer.h"
#include "game_manifest.h"
#include "header_chunk.h"
#include "object_chunk.h"
#include "options_chunk.h"
#include "path_chunk.h"
#include "render/image_decode.h"
#include "room_chunk.h"
#include "sprite_chunk.h"
#include "texture_chunks.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: corvane-wad sample OUT\n       corvane-wad paths OUT\n"
                         "       corvane-wad code OUT\n       corvane-wad oldcode OUT\n"
                         "       corvane-wad objects OUT\n       corvane-wad rooms OUT\n"
                         "       corvane-wad layers OUT\n       corvane-wad seeds DIR\n"
                         "       corvane-wad game MANIFEST OUT\n");
    return 2;
}

void AddPaths(wad::GameDataWriter& writer) {
    wad::PathFields straight;
    straight.name = "path_straight";
    straight.points = {{0, 0, 100}, {100, 0, 50}, {100, 80, 150}};
    wad::PathFields smooth;
    smooth.name = "path_smooth";
    smooth.kind = 1;
    smooth.closed = 1;
    smooth.precision = 8;
    smooth.points = {{0, 0, 100}, {200, 0, 100}, {200, 200, 100}, {0, 200, 100}};
    wad::PathFields odd;
    odd.name = "path_odd";
    odd.kind = 7;
    odd.precision = 20;
    odd.points = {{5, 5, 0}};
    wad::WritePaths(writer, {straight, std::nullopt, smooth, odd});
}

// Two scripts and global code; one code entry refers to "a" and "b" and
// calls "fuzz_fn" (the names the game-file fuzz target's compiled record and
// built-ins know), the other is older-layout bytecode with comparisons and
// operands of every size.
void AddCode(wad::GameDataWriter& writer, wad::CodeLayout layout) {
    wad::ScriptFields first;
    first.name = "scr_first";
    first.codeIndex = 0;
    wad::ScriptFields second;
    second.name = "scr_second";
    second.codeIndex = 1;
    wad::WriteScripts(writer, {first, std::nullopt, second});
    wad::WriteGlobalScripts(writer, {2});
    wad::CodeFields code;
    code.layout = layout;
    code.entries.push_back(
        {"vtl_Script_scr_first",
         {0x45050000, 0xA0000000, 0xC5050000, 0x20000000, 0x45050000, 0xA0000000, 0xD9020000, 0},
         2,
         1,
         0});
    code.entries.push_back({"vtl_Script_scr_second",
                            {0x53000000, 0x10000000, 0x40000000, 0, 0, 0x41030000, 1, 2, 0x1F000000},
                            0,
                            0,
                            0});
    code.references = {{wad::ReferenceKind::Variable, "a", 0, 0, std::nullopt},
                       {wad::ReferenceKind::Variable, "b", 0, 2, std::nullopt},
                       {wad::ReferenceKind::Variable, "a", 0, 4, std::nullopt},
                       {wad::ReferenceKind::Function, "fuzz_fn", 0, 6, std::nullopt}};
    wad::WriteCode(writer, code);
    wad::VariablesFields variables;
    variables.layout = layout;
    variables.globals = 2;
    variables.instances = 2;
    variables.variables = {
        {"a", -1, 0, std::nullopt}, {"b", -5, 1, std::nullopt}, {"arguments", -6, -6, std::nullopt}};
    wad::WriteVariables(writer, variables, &code);
    wad::FunctionsFields functions;
    functions.layout = layout;
    functions.functions = {{"fuzz_fn", std::nullopt}, {"scr_second", std::nullopt}};
    functions.locals = {{"vtl_Script_scr_first", {"i", "j"}}};
    wad::WriteFunctions(writer, functions, &code);
}

// Three generations of parents with Create in each and Step in the eldest;
// a type colliding with the middle one and with a wall; key events above
// 128; a physics body; an empty slot. Two timelines, one slot empty between.
void AddObjects(wad::GameDataWriter& writer, uint8_t version) {
    auto object = [](const char* name, int32_t parent, std::vector<std::vector<wad::EventFields>> events) {
        wad::ObjectFields o;
        o.name = name;
        o.parent = parent;
        o.events = std::move(events);
        return o;
    };
    wad::ObjectFields body = object("obj_body", -1, {{{0, 2}}});
    body.physics = 1;
    body.shape = 1;
    body.points = {{0, 0}, {16, 0}, {16, 16}};
    wad::WriteObjects(writer,
                      {object("obj_grand", -1, {{{0, 2}}, {}, {}, {{0, 2}}}),
                       object("obj_parent", 0, {{{0, 2}}}),
                       object("obj_child", 1, {{{0, 2}}, {}, {}, {{1, 2}}}),
                       object("obj_hit", -1, {{}, {}, {}, {}, {{1, 2}, {5, 2}}, {{200, 2}}, {}, {{10, 2}}}),
                       std::nullopt, object("obj_wall", -1, {}), body},
                      version);
    wad::TimeLineFields timeline;
    timeline.name = "tl_intro";
    timeline.moments = {{0, 2}, {30, 2}, {60, std::nullopt}};
    wad::TimeLineFields bare;
    bare.name = "tl_bare";
    wad::WriteTimeLines(writer, {timeline, std::nullopt, bare});
}

void AddRooms(wad::GameDataWriter& writer) {
    wad::RoomFields first;
    first.name = "room_first";
    first.caption = "First";
    first.flags = 0x00010001;
    wad::RoomViewFields view;
    view.visible = 1;
    first.views = std::vector<wad::RoomViewFields>{view};
    first.backgrounds = std::vector<wad::RoomBackgroundFields>{wad::RoomBackgroundFields{}};
    wad::RoomInstanceFields a, skipped, b;
    a.id = 100001;
    a.code = 0;
    skipped.object = -1;
    skipped.id = 100002;
    b.id = 100003;
    b.x = 32;
    b.colour = 0x80FFFFFF;
    first.instances = std::vector<wad::RoomInstanceFields>{a, skipped, b};
    wad::RoomTileFields tile;
    tile.id = 10000001;
    first.tiles = std::vector<wad::RoomTileFields>{tile};
    wad::RoomFields second;
    second.name = "room_second";
    second.flags = 0x00000004;
    second.physics = 1;
    wad::WriteRooms(writer, {first, std::nullopt, second});
}

// A room of record format 2 with one layer of each type; its instances
// layer lists the stored instance, an id without one, and -1.
wad::RoomFields LayeredRoom() {
    wad::RoomFields room;
    room.name = "room_layers";
    room.flags = 0x00020000;
    wad::RoomInstanceFields stored;
    stored.id = 100010;
    room.instances = std::vector<wad::RoomInstanceFields>{stored};
    wad::RoomLayerFields back;
    back.name = "Background";
    back.id = 1;
    back.type = 1;
    back.depth = 1000;
    back.bgSprite = 0;
    back.bgColour = 0x80FFFFFF;
    wad::RoomLayerFields instances;
    instances.name = "Instances";
    instances.id = 2;
    instances.type = 2;
    instances.instances = {100010, 424242, -1};
    wad::RoomLayerFields assets;
    assets.name = "Assets";
    assets.id = 3;
    assets.type = 3;
    assets.depth = 100;
    wad::RoomTileFields tile;
    tile.width = 32;
    assets.tiles = std::vector<wad::RoomTileFields>{tile, tile};
    wad::RoomLayerSpriteFields sprite;
    sprite.name = "sprite_a";
    assets.sprites = std::vector<wad::RoomLayerSpriteFields>{sprite};
    wad::RoomLayerFields tilemap;
    tilemap.name = "Tiles";
    tilemap.id = 4;
    tilemap.type = 4;
    tilemap.depth = 100;
    tilemap.mapWidth = 4;
    tilemap.mapHeight = 2;
    tilemap.cells = {0, 1, 2, 3, 0x10000001, 0x20000002, 0x40000003, 7};
    wad::RoomLayerFields odd;
    odd.id = 5;
    odd.type = 9;
    odd.depth = -100;
    room.layers = std::vector<wad::RoomLayerFields>{back, instances, assets, tilemap, odd};
    return room;
}

enum class Extra { None, Paths, Code, OldCode, Objects, Rooms, Layers };

wad::GameDataWriter Sample(Extra extra) {
    wad::GameDataWriter writer;
    wad::HeaderFields header;
    header.windowWidth = 640;
    header.windowHeight = 360;
    if (extra == Extra::Code || extra == Extra::Objects) header.version = 15;
    if (extra == Extra::Rooms) header.roomOrder = {0, 2};
    if (extra == Extra::Layers) header.roomOrder = {0, 1};
    wad::WriteHeader(writer, header);
    if (extra == Extra::Paths) AddPaths(writer);
    if (extra == Extra::Code) AddCode(writer, wad::CodeLayout::Newer);
    if (extra == Extra::OldCode) AddCode(writer, wad::CodeLayout::Older);
    if (extra == Extra::Objects) {
        AddCode(writer, wad::CodeLayout::Newer);
        AddObjects(writer, header.version);
    }
    if (extra == Extra::Rooms) AddRooms(writer);
    if (extra == Extra::Layers) {
        wad::RoomFields plain;
        plain.name = "room_plain";
        wad::WriteRooms(writer, {plain, LayeredRoom()});
    }
    return writer;
}

bool Write(const wad::GameDataWriter& writer, const std::string& path) {
    std::string error;
    if (writer.WriteFile(path, &error)) return true;
    std::fprintf(stderr, "corvane-wad: %s\n", error.c_str());
    return false;
}

int WriteSample(const char* path, Extra extra) {
    return Write(Sample(extra), path) ? 0 : 1;
}

// ---------------------------------------------------------------------------
// Fuzz seeds: a few sound inputs per target, from which the fuzzer mutates.

// Options in the newer layout with named constants and three languages; the
// older layout; a newer layout of an unknown version with an empty language
// table.
wad::GameDataWriter OptionsFile(int kind) {
    wad::GameDataWriter writer;
    wad::HeaderFields header;
    wad::WriteHeader(writer, header);
    wad::OptionFields options;
    if (kind == 0) {
        options.fullscreen = true;
        options.constants = {{"@@SleepMargin", "4"}, {"@@DrawColour", "0x1F"}, {"VersionMajor", "2"}};
    } else if (kind == 1) {
        options.newLayout = false;
        options.constants = {{"A", "1"}};
    } else {
        options.version = 9;
        options.constants = {{"Servus", "1"}};
    }
    wad::WriteOptions(writer, options);
    wad::LanguageFields languages;
    if (kind == 0) {
        languages.ids = {"hello", "bye"};
        languages.languages = {{"en", "US", {"Hello", "Bye"}},
                               {"en", "", {"Hullo", "Cheerio"}},
                               {"fr", "FR", {"Salut", "Adieu"}}};
    }
    if (kind != 1) wad::WriteLanguages(writer, languages);
    return writer;
}

// Line records for two code entries (one without), names of two instances and
// the source of one script.
wad::GameDataWriter DebugFile() {
    wad::GameDataWriter writer;
    wad::DebugInfoFields fields;
    fields.words = {std::vector<uint32_t>{0, 4, 8, 12}, std::nullopt, std::vector<uint32_t>{}};
    fields.instanceNames = {"inst_first", std::nullopt, "inst_third"};
    fields.scriptTexts = {"x = 1;\ny = x * 2;", std::nullopt};
    wad::WriteDebugInfo(writer, fields);
    return writer;
}

// Input playback: one record per step, 3034 bytes each (see the record
// layout beside the playback reader). Offsets of the fields written here.
constexpr size_t kRecordSize = 3034, kString = 2, kLastKey = 2052, kKeyDown = 2060, kKeyReleased = 2316,
                 kKeyPressed = 2572, kCurrentButton = 2868, kButtonDown = 2908, kWheelUp = 2998,
                 kMouseX = 3026;

std::vector<uint8_t> PlaybackFile() {
    std::vector<uint8_t> file(3 * kRecordSize + 100, 0); // the last record cut short
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    // Record 1: nothing held. Record 2: "A" typed and held, button 1 down,
    // the wheel turned, the pointer moved. Record 3: "A" released.
    uint8_t* second = file.data() + kRecordSize;
    second[0] = 'A';
    second[kString] = 'A';
    put32(kRecordSize + kLastKey, 65);
    second[kKeyDown + 65] = 1;
    second[kKeyPressed + 65] = 1;
    put32(kRecordSize + kCurrentButton, 1);
    second[kButtonDown] = 1;
    second[kWheelUp] = 1;
    put32(kRecordSize + kMouseX, 320);
    put32(kRecordSize + kMouseX + 4, 200);
    uint8_t* third = file.data() + 2 * kRecordSize;
    third[kString] = 'A';
    put32(2 * kRecordSize + kLastKey, 65);
    third[kKeyReleased + 65] = 1;
    return file;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f != nullptr) ok = std::fclose(f) == 0 && ok;
    if (!ok) std::fprintf(stderr, "corvane-wad: cannot write %s\n", path.c_str());
    return ok;
}

// Texture pages: two PNG pages in the newer layout with trimmed entries, an
// empty slot and named images; the older layout with a raw page; an entry
// whose page index names no page.
std::vector<uint8_t> SeedPng(int width, int height) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0xFF000000u | static_cast<uint32_t>(i * 0x0A1B2C);
    uint8_t* out = nullptr;
    size_t length = 0;
    if (!PNG_EncodeRGBA(pixels.data(), width, height, &out, &length)) return {};
    std::vector<uint8_t> png(out, out + length);
    ZQ_Free(out);
    return png;
}

wad::GameDataWriter TexturePagesFile(int kind) {
    wad::GameDataWriter writer;
    wad::HeaderFields header;
    if (kind == 1) header.editorMajor = 1;
    wad::WriteHeader(writer, header);
    auto entry = [](int16_t x, int16_t y, int16_t w, int16_t h, int16_t page) {
        wad::PageEntryFields e;
        e.x = x, e.y = y, e.width = w, e.height = h, e.page = page;
        e.xOffset = 1, e.yOffset = 2, e.cropWidth = w, e.cropHeight = h;
        e.untrimmedWidth = static_cast<int16_t>(w + 2), e.untrimmedHeight = static_cast<int16_t>(h + 3);
        return e;
    };
    wad::TexturePagesFields pages;
    if (kind == 1) {
        pages.newerLayout = false;
        std::vector<uint8_t> raw = {'R', 'A', 'W', ' ', 4, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0};
        raw.resize(raw.size() + 4 * 2 * 4, 0x7F);
        pages.pages = {wad::TexturePageFields{0, 0, raw}};
        pages.entries = {entry(0, 0, 4, 2, 0), entry(1, 1, 2, 1, 0)};
    } else {
        pages.pages = {wad::TexturePageFields{1, 0, SeedPng(8, 8)},
                       wad::TexturePageFields{0, 3, SeedPng(4, 2)}};
        pages.entries = {entry(0, 0, 4, 4, 0), entry(4, 4, 4, 4, 0), std::nullopt,
                         entry(0, 0, 4, 2, kind == 2 ? 2 : 1)};
    }
    wad::WriteTexturePages(writer, pages);
    if (kind == 0)
        wad::WriteEmbeddedImages(writer,
                                 {{"bullet", wad::PageEntryLabel("TPAG", 1)}, {"spark", std::nullopt}});
    return writer;
}

// Backgrounds over a page entry: a tileset of two tiles animated over three
// frames, a version-1 record, an empty index and one without a page entry;
// kind 1 writes them as old-generation data, where tileset fields are not read.
wad::GameDataWriter BackgroundsFile(int kind) {
    wad::GameDataWriter writer;
    wad::HeaderFields header;
    if (kind == 1) header.editorMajor = 1;
    wad::WriteHeader(writer, header);
    wad::PageEntryFields e;
    e.width = e.height = e.cropWidth = e.cropHeight = e.untrimmedWidth = e.untrimmedHeight = 8;
    wad::TexturePagesFields pages;
    pages.pages = {wad::TexturePageFields{0, 0, SeedPng(8, 8)}};
    pages.entries = {e};
    wad::WriteTexturePages(writer, pages);
    wad::BackgroundFields tileset;
    tileset.name = "bg_tiles";
    tileset.entryLabel = wad::PageEntryLabel("TPAG", 0);
    tileset.tileWidth = tileset.tileHeight = 4;
    tileset.columns = 2;
    tileset.framesPerTile = 3;
    tileset.tileCount = 2;
    tileset.frameTime = 100000;
    tileset.tiles = {0, 0, 0, 1, 2, 3};
    wad::BackgroundFields plain;
    plain.name = "bg_plain";
    plain.transparent = 1;
    plain.entryLabel = wad::PageEntryLabel("TPAG", 0);
    plain.version = 1;
    wad::BackgroundFields bare;
    bare.name = "bg_bare";
    wad::WriteBackgrounds(writer, {tileset, plain, std::nullopt, bare});
    return writer;
}

// Fonts over one page entry: glyphs with kerning, an empty slot, a scaled
// font without an entry; the second seed with a code page of its own.
wad::GameDataWriter FontsFile(int kind) {
    wad::GameDataWriter writer;
    wad::WriteHeader(writer, wad::HeaderFields{});
    wad::TexturePagesFields pages;
    pages.pages = {wad::TexturePageFields{0, 0, SeedPng(16, 8)}};
    wad::PageEntryFields e;
    e.width = e.cropWidth = e.untrimmedWidth = 16;
    e.height = e.cropHeight = e.untrimmedHeight = 8;
    pages.entries = {e};
    wad::WriteTexturePages(writer, pages);
    wad::FontFields a;
    a.range = 32 | 1u << 16 | 2u << 24;
    a.entryLabel = wad::PageEntryLabel("TPAG", 0);
    a.glyphs = {
        {32, 0, 0, 0, 8, 4, 0, {}}, {'A', 0, 0, 8, 8, 9, 0, {{'V', -2}}}, {'V', 8, 0, 8, 8, 9, -1, {}}};
    wad::FontFields b;
    b.name = "fnt_scaled";
    b.scaleX = 2.0f;
    b.glyphs = {{0x25AF, 0, 0, 4, 4, 5, 0, {}}};
    std::array<int16_t, 256> page = wad::Latin1CodePage();
    if (kind == 1) page[0x80] = static_cast<int16_t>(0x20AC);
    wad::WriteFonts(writer, {a, std::nullopt, b}, page);
    return writer;
}

// Sprites of every form, all of the new generation: a short record with a
// mask per frame and one with a shared mask, an extended bitmap record, a
// vector and a skeleton record, and an empty index.
wad::GameDataWriter SpriteFile() {
    wad::GameDataWriter writer;
    wad::SpriteFields shortForm;
    shortForm.width = 9;
    shortForm.height = 3;
    shortForm.right = 8;
    shortForm.bottom = 2;
    shortForm.xorigin = 4;
    shortForm.pageEntries = {"", ""};
    std::vector<uint8_t> mask(27, 0);
    for (size_t i = 0; i < mask.size(); i += 2) mask[i] = 1;
    shortForm.masks = {mask, std::vector<uint8_t>(27, 1)};
    wad::SpriteFields shared = shortForm;
    shared.masks.resize(1);
    wad::SpriteFields extended = shortForm;
    extended.extended = extended.newGeneration = true;
    extended.speed = 4.0f;
    extended.speedType = 1;
    wad::SpriteFields vector = shortForm;
    vector.extended = vector.newGeneration = true;
    vector.kind = 1;
    vector.vectorData = {1, 2, 3, 4};
    wad::SpriteFields skeleton = shortForm;
    skeleton.extended = skeleton.newGeneration = true;
    skeleton.kind = 2;
    skeleton.skeletonJson = "{}";
    skeleton.skeletonAtlas = "a";
    wad::WriteSprites(writer, {shortForm, shared, std::nullopt, extended, vector, skeleton});
    return writer;
}

std::string Words(std::initializer_list<uint32_t> words) {
    std::string out;
    for (uint32_t w : words)
        for (int i = 0; i < 4; ++i) out += static_cast<char>(w >> (8 * i));
    return out;
}

// A sprite stream of the 800 form: origin, one 2 × 2 bitmap, a shared mask.
std::string SpriteStream() {
    return Words(
        {800, 1, 1, 1, 800, 2, 2, 16, 0xFF000000u, 0, 0, 0x80FFFFFFu, 0, 800, 2, 2, 0, 0, 0, 0, 1, 0, 0, 1});
}

// BMPs: 2 × 2 with a colour table of 256 entries, and 3 × 3 at 24 bits.
std::string Bmp(int width, int height, int bits, const std::string& table, const std::string& rows) {
    std::string header = "BM" + Words({static_cast<uint32_t>(54 + table.size() + rows.size()), 0,
                                       static_cast<uint32_t>(54 + table.size()), 40,
                                       static_cast<uint32_t>(width), static_cast<uint32_t>(height)});
    header += Words({1u | static_cast<uint32_t>(bits) << 16, 0, 0, 0, 0, 0, 0});
    return header + table + rows;
}

int WriteSeeds(const std::string& dir) {
    namespace fs = std::filesystem;
    std::error_code error;
    for (const char* target : {"fuzz_game_file", "fuzz_path_chunk", "fuzz_options_chunk", "fuzz_debug_info",
                               "fuzz_ini_file", "fuzz_input_playback", "fuzz_utf8", "fuzz_texture_chunks",
                               "fuzz_background_chunk", "fuzz_font_chunk", "fuzz_sprite_chunk", "fuzz_bmp"}) {
        fs::create_directories(fs::path(dir) / target, error);
        if (error) {
            std::fprintf(stderr, "corvane-wad: cannot create %s/%s\n", dir.c_str(), target);
            return 1;
        }
    }
    const std::string game = dir + "/fuzz_game_file/";
    const std::vector<uint8_t> playback = PlaybackFile();
    const bool ok =
        Write(Sample(Extra::None), game + "sample.ios") && Write(Sample(Extra::Code), game + "code.ios") &&
        Write(Sample(Extra::OldCode), game + "oldcode.ios") &&
        Write(Sample(Extra::Objects), game + "objects.ios") &&
        Write(Sample(Extra::Rooms), game + "rooms.ios") &&
        Write(Sample(Extra::Layers), game + "layers.ios") &&
        Write(Sample(Extra::Paths), dir + "/fuzz_path_chunk/paths.ios") &&
        Write(OptionsFile(0), dir + "/fuzz_options_chunk/new_layout_and_languages.ios") &&
        Write(OptionsFile(1), dir + "/fuzz_options_chunk/old_layout.ios") &&
        Write(OptionsFile(2), dir + "/fuzz_options_chunk/unknown_version_empty_languages.ios") &&
        Write(DebugFile(), dir + "/fuzz_debug_info/lines_names_texts.zqdebug") &&
        Write(TexturePagesFile(0), dir + "/fuzz_texture_chunks/png_pages_and_names.ios") &&
        Write(TexturePagesFile(1), dir + "/fuzz_texture_chunks/older_raw_page.ios") &&
        Write(TexturePagesFile(2), dir + "/fuzz_texture_chunks/entry_without_page.ios") &&
        Write(BackgroundsFile(0), dir + "/fuzz_background_chunk/tileset_and_plain.ios") &&
        Write(BackgroundsFile(1), dir + "/fuzz_background_chunk/old_generation.ios") &&
        Write(FontsFile(0), dir + "/fuzz_font_chunk/fonts_and_empty_slot.ios") &&
        Write(FontsFile(1), dir + "/fuzz_font_chunk/own_code_page.ios") &&
        WriteBytes(dir + "/fuzz_ini_file/options.ini",
                   "\xEF\xBB\xBF; the game's settings\n[Mac]\nDisplayName = \"corvane\" ; shown\n"
                   "Copyright='(c) us'\nMajorVersion=2\nOrientLandscape=True\nOrientPortrait=0\n"
                   "Debug=1\nTrace = 0 # off\n\n[Windows]\nkey\n= 1\nempty =\nsame=1\nsame=2\n") &&
        WriteBytes(dir + "/fuzz_ini_file/unterminated.ini", "[Mac]\r\nMinorVersion=7\r\n[Other") &&
        WriteBytes(dir + "/fuzz_input_playback/three_steps.rec",
                   std::string(playback.begin(), playback.end())) &&
        WriteBytes(dir + "/fuzz_utf8/mixed.txt", "h\xC3\xA9llo w\xC3\xB6rld #\\#") &&
        WriteBytes(dir + "/fuzz_utf8/cut_short.txt", "\xF0\x9F\x98\x80\xE2\x82") &&
        Write(SpriteFile(), dir + "/fuzz_sprite_chunk/sprites.ios") &&
        WriteBytes(dir + "/fuzz_sprite_chunk/stream800.bin", SpriteStream()) &&
        WriteBytes(dir + "/fuzz_bmp/paletted.bmp",
                   Bmp(2, 2, 8, std::string(1024, '\x07'), std::string("\x00\xC8\xFF\x01", 4))) &&
        WriteBytes(dir + "/fuzz_bmp/rgb24.bmp", Bmp(3, 3, 24, "", std::string(27, '\x5A')));
    return ok ? 0 : 1;
}

} // namespace

// The game's data file: its manifest, the art and sounds beside it, and the
// compiled code's entry order, which the manifest must repeat.
int WriteGame(const char* manifest, const char* out) {
    try {
        const std::filesystem::path file = manifest;
        const wad::GameManifest m = wad::ReadGameManifest(file);
        return Write(wad::BuildGameData(m, file.parent_path(), g_VTLFuncs, GAME_CODE_ENTRIES), out) ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "corvane-wad: %s\n", e.what());
        return 1;
    }
}

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "sample") == 0) return WriteSample(argv[2], Extra::None);
    if (argc == 3 && std::strcmp(argv[1], "paths") == 0) return WriteSample(argv[2], Extra::Paths);
    if (argc == 3 && std::strcmp(argv[1], "code") == 0) return WriteSample(argv[2], Extra::Code);
    if (argc == 3 && std::strcmp(argv[1], "oldcode") == 0) return WriteSample(argv[2], Extra::OldCode);
    if (argc == 3 && std::strcmp(argv[1], "objects") == 0) return WriteSample(argv[2], Extra::Objects);
    if (argc == 3 && std::strcmp(argv[1], "rooms") == 0) return WriteSample(argv[2], Extra::Rooms);
    if (argc == 3 && std::strcmp(argv[1], "layers") == 0) return WriteSample(argv[2], Extra::Layers);
    if (argc == 3 && std::strcmp(argv[1], "seeds") == 0) return WriteSeeds(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "game") == 0) return WriteGame(argv[2], argv[3]);
    return Usage();
}
