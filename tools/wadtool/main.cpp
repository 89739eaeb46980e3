// corvane-wad: writes game data files with the data-file writer.
//   corvane-wad sample OUT    a minimal valid data file (header and strings)
#include <cstdio>
#include <cstring>
#include <string>

#include "game_data_writer.h"
#include "header_chunk.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: corvane-wad sample OUT\n");
    return 2;
}

int WriteSample(const char* path) {
    wad::GameDataWriter writer;
    wad::HeaderFields header;
    header.windowWidth = 640;
    header.windowHeight = 360;
    wad::WriteHeader(writer, header);
    std::string error;
    if (!writer.WriteFile(path, &error)) {
        std::fprintf(stderr, "corvane-wad: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "sample") == 0) return WriteSample(argv[2]);
    return Usage();
}
