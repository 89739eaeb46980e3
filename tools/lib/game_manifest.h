// The game's own data file: the manifest in assets/ (sprites, sounds, the
// path, objects, rooms and the code-entry order, as readable text) read into
// fields, and the whole data file written from it with the writer. The build
// runs it through `corvane-wad game`; tests load the same file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "game_data_writer.h"

struct SCompiledFunction;

namespace wad {

struct ManifestSprite {
    std::string name, file;
    int32_t frames = 1, xorigin = 0, yorigin = 0;
    float speed = 15.0f; // frames per second
};
struct ManifestSound {
    std::string name, file;
};
struct ManifestPathPoint {
    float x, y, speed;
};
struct ManifestPath {
    std::string name;
    bool smooth = false, closed = false;
    int32_t precision = 4;
    std::vector<ManifestPathPoint> points;
};
struct ManifestObject {
    std::string name, parent, sprite, guid;
    int32_t depth = 0;
    bool visible = true;
};
struct ManifestPlacement { // an instance (object) or a layer sprite (sprite)
    std::string what;
    int32_t x = 0, y = 0;
};
struct ManifestLayer {
    std::string name;
    bool instances = true; // else an asset layer of sprites
    int32_t depth = 0;
    std::vector<ManifestPlacement> items;
};
struct ManifestRoom {
    std::string name;
    int32_t width = 640, height = 360, speed = 60;
    uint32_t colour = 0;
    std::vector<ManifestLayer> layers;
};

struct GameManifest {
    std::string name = "corvane";
    int32_t windowWidth = 1280, windowHeight = 720;
    std::vector<ManifestSprite> sprites;
    std::vector<ManifestSound> sounds;
    std::vector<ManifestPath> paths;
    std::vector<ManifestObject> objects;
    std::vector<ManifestRoom> rooms;
    std::vector<std::string> code; // compiled function names in code-entry order
};

// Reads the manifest text; std::runtime_error names the line of any fault.
GameManifest ParseGameManifest(const std::string& text);
GameManifest ReadGameManifest(const std::filesystem::path& file);

// Writes the data file: header (resizable window), options (the newer sound
// system), texture page, sprites, sounds, the path, scripts, objects with
// the events their compiled functions name, and the rooms. `compiled` are
// the game's compiled functions in code-entry order: the manifest's code
// list must name exactly them. Art and sound files are read from `assets`.
// std::runtime_error on any fault.
GameDataWriter BuildGameData(const GameManifest& manifest, const std::filesystem::path& assets,
                             const SCompiledFunction* compiled, int compiledCount);

} // namespace wad
