// The program's entry: an interactive run in the game folder (the program's own folder, or the
// one given with --dir).
#include <cstring>
#include <iostream>

#include "app/options.h"
#include "app/program.h"

int main(int argc, char** argv) {
    tessaron::app::Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dir") == 0 && i + 1 < argc) {
            options.gameDir = argv[++i];
        } else if (std::strcmp(argv[i], "--dir") == 0) {
            std::cerr << "--dir needs a folder\n";
            return 2;
        }
    }
    tessaron::app::Program program(options, {});
    if (const int status = program.StartUp(argc, argv); status != 0) {
        return status;
    }
    return program.RunLoop();
}
