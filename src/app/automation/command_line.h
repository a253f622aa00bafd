// The program's command line.
#pragma once

#include <string>

#include "app/options.h"

namespace tessaron::app {

struct CommandLine {
    Options options;
    bool ok = true;
    std::string error;  // for a bad command line (exit status 2)
    // --help (or -h) anywhere: print the usage and end with status 0.
    bool help = false;
};

CommandLine ParseCommandLine(int argc, char** argv);

// What `tessaron --help` prints.
std::string Usage();

}  // namespace tessaron::app
