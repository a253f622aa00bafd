// How the program was asked to run, from its command line.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace tessaron::app {

struct Options {
    // The game folder; empty means the folder of the program.
    std::filesystem::path gameDir;
    // A scripted run without a display: input from the script, no pacing.
    bool headless = false;
    std::filesystem::path script;
    std::int64_t passes = 0;
    std::optional<std::uint32_t> seed;
    std::filesystem::path trace;
    std::filesystem::path state;
    std::filesystem::path screenshot;
    std::filesystem::path windowShot;
    // False when nobody will see a frame (a scripted run that asks for no picture): passes then
    // skip drawing but change the state exactly as drawing would.
    bool drawFrames = true;
    // With drawFrames, only the passes whose frame may be kept draw (a scripted run that keeps
    // the last frame): the last pass, and any pass the next one may not draw over. The others
    // change the state as drawing would.
    bool drawOnlyKeptFrames = false;
    // An interactive run written out as a script.
    std::filesystem::path record;

    // The automatic player: the level to finish, the script the winning run goes to, how long
    // to search, and where to draw the cells the ball reached.
    std::string solve;
    std::filesystem::path replay;
    std::int64_t seconds = 60;
    std::filesystem::path reach;
};

}  // namespace tessaron::app
