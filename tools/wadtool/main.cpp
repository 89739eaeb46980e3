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
#include <cstdio>
#include <cstring>
#include <string>

#include "code_chunks.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "object_chunk.h"
#include "path_chunk.h"
#include "room_chunk.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: corvane-wad sample OUT\n       corvane-wad paths OUT\n"
                         "       corvane-wad code OUT\n       corvane-wad oldcode OUT\n"
                         "       corvane-wad objects OUT\n       corvane-wad rooms OUT\n"
                         "       corvane-wad layers OUT\n");
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
        {"gml_Script_scr_first",
         {0x45050000, 0xA0000000, 0xC5050000, 0x20000000, 0x45050000, 0xA0000000, 0xD9020000, 0},
         2,
         1,
         0});
    code.entries.push_back({"gml_Script_scr_second",
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
    functions.locals = {{"gml_Script_scr_first", {"i", "j"}}};
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

int WriteSample(const char* path, Extra extra) {
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
    std::string error;
    if (!writer.WriteFile(path, &error)) {
        std::fprintf(stderr, "corvane-wad: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "sample") == 0) return WriteSample(argv[2], Extra::None);
    if (argc == 3 && std::strcmp(argv[1], "paths") == 0) return WriteSample(argv[2], Extra::Paths);
    if (argc == 3 && std::strcmp(argv[1], "code") == 0) return WriteSample(argv[2], Extra::Code);
    if (argc == 3 && std::strcmp(argv[1], "oldcode") == 0) return WriteSample(argv[2], Extra::OldCode);
    if (argc == 3 && std::strcmp(argv[1], "objects") == 0) return WriteSample(argv[2], Extra::Objects);
    if (argc == 3 && std::strcmp(argv[1], "rooms") == 0) return WriteSample(argv[2], Extra::Rooms);
    if (argc == 3 && std::strcmp(argv[1], "layers") == 0) return WriteSample(argv[2], Extra::Layers);
    return Usage();
}
