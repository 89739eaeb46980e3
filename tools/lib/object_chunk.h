// The object chunk ("OBJT") and the timeline chunk ("TMLN"): object type
// records with their event tables, timelines with their moments, and the
// handler data and action records both lead to.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "game_data_writer.h"

namespace wad {

// One event handler: its subtype, and the code index its action record
// holds at byte 32 (none: handler data without an action record).
struct EventFields {
    int32_t subtype = 0;
    std::optional<int32_t> codeIndex = 0;
};

// One object record. Version 6 and later add the physics block; version 9
// and later friction, awake and kinematic before the shape points.
struct ObjectFields {
    std::optional<std::string> name; // none: name offset 0
    uint32_t spriteWord = 0xFFFFFFFFu;
    uint32_t visible = 1;
    uint32_t solid = 0;
    int32_t depth = 0;
    uint32_t persistent = 0;
    int32_t parent = -1;
    int32_t mask = -1;
    uint32_t physics = 0;
    uint32_t sensor = 0;
    int32_t shape = 0;
    float density = 0.5f;
    float restitution = 0.1f;
    int32_t group = 0;
    float linearDamping = 0.1f;
    float angularDamping = 0.1f;
    float friction = 0.2f;
    uint32_t awake = 1;
    uint32_t kinematic = 0;
    std::vector<std::pair<float, float>> points;
    // Event lists by event type from 0; the record's type count is the
    // vector's size (or `typeCount` when given, for damaged files).
    std::vector<std::vector<EventFields>> events;
    std::optional<uint32_t> typeCount;
};

// Appends "OBJT": a count, one file offset per slot (0 for an empty slot),
// then each record followed by its event lists, event records and action
// records, labelled "<labelPrefix>.<index>...". `version` is the header's
// format version.
Chunk& WriteObjects(GameDataWriter& writer, const std::vector<std::optional<ObjectFields>>& objects,
                    uint8_t version, const std::string& labelPrefix = "OBJT");

struct MomentFields {
    int32_t step = 0;
    std::optional<int32_t> codeIndex = 0; // none: no handler data (offset 0)
};

struct TimeLineFields {
    std::optional<std::string> name; // none: name offset 0
    std::vector<MomentFields> moments;
};

// Appends "TMLN": a count, one file offset per slot (0 for an empty slot),
// then each record {name, moment count, {step, handler data offset}...}
// followed by its handler data {1, action record offset} and action records.
Chunk& WriteTimeLines(GameDataWriter& writer, const std::vector<std::optional<TimeLineFields>>& timelines,
                      const std::string& labelPrefix = "TMLN");

} // namespace wad
