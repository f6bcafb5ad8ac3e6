#include <cstdio>

#include "RomBuilder.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_demo_rom OUTPUT.gba\n");
        return 2;
    }
    RomBuilder builder(DemoLayout());
    if (!builder.WriteTo(argv[1])) {
        std::fprintf(stderr, "make_demo_rom: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
