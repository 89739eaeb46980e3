// corvane-wad: writes game data files with the data-file writer.
//   corvane-wad sample OUT    a minimal valid data file (header and strings)
//   corvane-wad paths OUT     the minimal file with a path chunk: straight,
//                             smooth, closed and empty entries (the path
//                             fuzz target's seed)
#include <cstdio>
#include <cstring>
#include <string>

#include "game_data_writer.h"
#include "header_chunk.h"
#include "path_chunk.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: corvane-wad sample OUT\n       corvane-wad paths OUT\n");
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

int WriteSample(const char* path, bool withPaths) {
    wad::GameDataWriter writer;
    wad::HeaderFields header;
    header.windowWidth = 640;
    header.windowHeight = 360;
    wad::WriteHeader(writer, header);
    if (withPaths) AddPaths(writer);
    std::string error;
    if (!writer.WriteFile(path, &error)) {
        std::fprintf(stderr, "corvane-wad: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "sample") == 0) return WriteSample(argv[2], false);
    if (argc == 3 && std::strcmp(argv[1], "paths") == 0) return WriteSample(argv[2], true);
    return Usage();
}
