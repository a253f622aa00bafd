// The program's command line.
#pragma once

#include <string>

#include "app/options.h"

namespace tessaron::app {

struct CommandLine {
    Options options;
    bool ok = true;
    std::string error;  // for a bad command line (exit status 2)
};

CommandLine ParseCommandLine(int argc, char** argv);

}  // namespace tessaron::app
