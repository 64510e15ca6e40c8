// Makes the demo installation that run.sh starts the wizard on.
// Usage: zr_make_demo <demo folder> <sql folder>
#include "app/DemoInstall.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: zr_make_demo <demo folder> <sql folder>\n");
        return 2;
    }
    try {
        MakeDemoInstallation(argv[1], argv[2]);
        std::printf("demo installation made in %s\n", argv[1]);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zr_make_demo: %s\n", e.what());
        return 1;
    }
}
