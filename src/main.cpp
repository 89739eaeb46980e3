// corvane: the game on the runtime. Until the start-up sequence exists it
// prints its banner and usage.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    std::printf("corvane - a 2D action game\n");
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-help") == 0 || std::strcmp(argv[i], "--help") == 0) {
            std::printf("usage: corvane [-game <file>]\n");
            return 0;
        }
    }
    std::printf("usage: corvane [-game <file>]\n");
    return 0;
}
