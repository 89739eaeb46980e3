// The room chunk ("ROOM"): a count, one file offset per room number (0 for a
// number without a room), and the room records with their background, view,
// instance and tile lists.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game_data_writer.h"

namespace wad {

struct RoomBackgroundFields {
    int32_t visible = 0, foreground = 0, index = -1, x = 0, y = 0;
    int32_t htiled = 1, vtiled = 1, hspeed = 0, vspeed = 0, stretch = 0;
};

struct RoomViewFields {
    int32_t visible = 0;
    int32_t xview = 0, yview = 0, wview = 640, hview = 480;
    int32_t xport = 0, yport = 0, wport = 640, hport = 480;
    int32_t hborder = 32, vborder = 32, hspeed = -1, vspeed = -1, follow = -1;
};

struct RoomInstanceFields {
    int32_t x = 0, y = 0, object = 0, id = 0;
    int32_t code = -1;
    float xscale = 1.0f, yscale = 1.0f;
    uint32_t colour = 0xFFFFFFFF;
    float angle = 0.0f;
    int32_t preCreateCode = -1;
};

struct RoomTileFields {
    int32_t x = 0, y = 0, background = 0, left = 0, top = 0, width = 16, height = 16, depth = 0, id = 0;
    float xscale = 1.0f, yscale = 1.0f;
    uint32_t colour = 0xFFFFFFFF;
};

// One layer sprite of an asset layer.
struct RoomLayerSpriteFields {
    std::optional<std::string> name;
    int32_t sprite = 0, x = 0, y = 0;
    float xscale = 1.0f, yscale = 1.0f;
    uint32_t colour = 0xFFFFFFFF;
    float imageSpeed = 1.0f;
    int32_t speedType = 0;
    float imageIndex = 0.0f, angle = 0.0f;
};

// One layer record: the common part, then the part of its type (1
// background, 2 instances, 3 assets, 4 tilemap; any other writes nothing
// more). Only the fields of the written type are used. A tilemap's width and
// height are written as given, whatever the number of cells, so that damaged
// sizes can be made.
struct RoomLayerFields {
    std::optional<std::string> name;
    int32_t id = 0, type = 2, depth = 0;
    float xoffset = 0.0f, yoffset = 0.0f, hspeed = 0.0f, vspeed = 0.0f;
    int32_t visible = 1;
    // type 1
    int32_t bgVisible = 1, bgForeground = 0, bgSprite = -1, bgHtiled = 0, bgVtiled = 0, bgStretch = 0;
    uint32_t bgColour = 0xFFFFFFFF;
    float bgImageIndex = 0.0f, bgImageSpeed = 1.0f;
    int32_t bgSpeedType = 0;
    // type 2
    std::vector<int32_t> instances;
    // type 3 (a list left out writes offset 0)
    std::optional<std::vector<RoomTileFields>> tiles;
    std::optional<std::vector<RoomLayerSpriteFields>> sprites;
    // type 4
    int32_t tileset = 0, mapWidth = 0, mapHeight = 0;
    std::vector<uint32_t> cells;
};

// One room record of 92 bytes, then its lists. A list left out writes offset 0.
struct RoomFields {
    std::optional<std::string> name = std::string("room");
    std::optional<std::string> caption;
    int32_t width = 640, height = 480, speed = 30;
    int32_t persistent = 0;
    int32_t colour = 0xC0C0C0;
    int32_t showColour = 1;
    int32_t code = -1;
    uint32_t flags = 0; // bit 0 views, 1 clear view background, 2 do not clear; 16-31 record format
    std::optional<std::vector<RoomBackgroundFields>> backgrounds = std::vector<RoomBackgroundFields>{};
    std::optional<std::vector<RoomViewFields>> views = std::vector<RoomViewFields>{};
    std::optional<std::vector<RoomInstanceFields>> instances = std::vector<RoomInstanceFields>{};
    std::optional<std::vector<RoomTileFields>> tiles = std::vector<RoomTileFields>{};
    int32_t physics = 0;
    float gravityX = 0.0f, gravityY = 10.0f, pixToMeters = 0.1f;
    // The layer list at offset 88, read when the record format (flags bits
    // 16-31) is 2 or more. Left out: offset 0.
    std::optional<std::vector<RoomLayerFields>> layers;
};

// Appends the chunk; records are labelled "<labelPrefix>.<number>...".
Chunk& WriteRooms(GameDataWriter& writer, const std::vector<std::optional<RoomFields>>& rooms,
                  const std::string& labelPrefix = "ROOM");

} // namespace wad
