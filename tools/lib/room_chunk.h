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

// One room record of 92 bytes (88 for format versions up to 5 when
// `physicsWords` is false), then its lists. A list left out writes offset 0.
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
};

// Appends the chunk; records are labelled "<labelPrefix>.<number>...".
Chunk& WriteRooms(GameDataWriter& writer, const std::vector<std::optional<RoomFields>>& rooms,
                  const std::string& labelPrefix = "ROOM");

} // namespace wad
