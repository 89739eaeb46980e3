// The resource built-ins: queries and edits of sprites, backgrounds, sounds,
// fonts, scripts, paths, timelines, object types and room templates, and the
// two lookups across every kind. Each family keeps a table of its rows by
// script name (a name and its long twin both point at one handler); the
// registration (library/resource_registration.cpp) puts them into the
// function table in the fixed order of their ids.
#pragma once

#include <span>

#include "library/library_builtins.h"

// Which data generation a registration row belongs to.
enum class ResourceGeneration { Both, NewOnly, OlderOnly };

// One row of the registration order.
struct ResourceOrderRow {
    const char* name;
    int argc;
    ResourceGeneration generation = ResourceGeneration::Both;
};

// The families' tables.
std::span<const LibraryBuiltinRow> SpriteResourceBuiltins(); // sprites and backgrounds
std::span<const LibraryBuiltinRow> SoundResourceBuiltins();  // sounds, fonts and scripts
std::span<const LibraryBuiltinRow> PathResourceBuiltins();   // paths and timelines
std::span<const LibraryBuiltinRow> ObjectResourceBuiltins(); // objects and rooms
std::span<const LibraryBuiltinRow> AssetResourceBuiltins();  // lookups and the do-nothing rows

// Every row of the order, both generations' rows included (205 rows:
// new-generation data registers 202 of them, older data 198).
std::span<const ResourceOrderRow> ResourceFunctions_Order();

// Registers the rows of the data generation g_isNimbar names (declared for
// the start-up in world/run/startup_services.h as well).
void InitResourceFunctions();

// The direct entry of compiled code; it does nothing.
void ZQVTL_sprite_set_cache_size(int sprite, int size);
