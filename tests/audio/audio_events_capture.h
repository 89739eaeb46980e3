// Reads the sound system's posted asynchronous results without running the
// step: each pending entry's subtype and map, as texts by key.
#pragma once

#include <map>
#include <string>
#include <vector>

struct PostedEvent {
    int subtype = 0;
    std::map<std::string, std::string> values; // numbers as "%g"
};

// Every pending entry in posting order; the list is emptied afterwards.
std::vector<PostedEvent> TakePostedEvents();
// The map's entries as texts ("%g" for numbers); empty for no map.
std::map<std::string, std::string> MapValues(int map);
