// What the end-to-end tests share: a private copy of the game folder per test and process, the
// program run as a command, and a file read whole.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#if defined(__unix__)
#include <sys/wait.h>
#endif

namespace tessaron::e2e {

inline std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs a shell command and gives its exit status (128 + the signal when a signal ended it).
inline int RunCommand(const std::string& command) {
    const int raw = std::system(command.c_str());
#if defined(__unix__)
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
#else
    return raw;
#endif
}

// A new folder in the temporary folder, named `stem` and a random number so that tests of other
// processes and checkouts running side by side never share it, holding copies of the game's
// pictures, sound and levels but no save point: a stale Diskette.txt from another run would be
// where spikes send the ball.
inline std::filesystem::path CopyOfGameFolder(const std::string& stem) {
    namespace fs = std::filesystem;
    const fs::path root =
        fs::temp_directory_path() / (stem + "-" + std::to_string(std::random_device{}()));
    fs::remove_all(root);
    fs::create_directories(root);
    const fs::path game(TESSARON_GAME_DIR);
    for (const char* folder : {"BMP", "WAV", "LEVEL"}) {
        fs::copy(game / folder, root / folder, fs::copy_options::recursive);
    }
    return root;
}

}  // namespace tessaron::e2e
