// The program's runs as the command line asks for them: a scripted headless run with its
// outputs, and an interactive run that may be recorded as a script.
#pragma once

#include <cstdint>

#include "app/options.h"

namespace tessaron::app {

// The seed of a headless run whose command line and script name none, so that such runs are
// reproducible too.
inline constexpr std::uint32_t kDefaultScriptSeed = 1;

// Reads the script, starts the program with the script's answers and seed, runs the passes and
// writes the trace, state and pictures. The exit status: 0 done, 2 a bad script or output file,
// 3 a modal window found no action left; the start-up's own status when it failed.
int RunScripted(const Options& options, int& argc, char** argv);

// The ordinary interactive run; with Options::record, written to that file as a script, and with
// Options::trace, traced.
int RunInteractive(const Options& options, int& argc, char** argv);

}  // namespace tessaron::app
