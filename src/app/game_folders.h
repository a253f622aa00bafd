// Where a run keeps its files. A portable copy (pictures in BMP/ beside the program) keeps
// everything in its own folder. An installed copy reads its pictures, sound and shipped levels
// from ../share/tessaron/ beside the program, never writes there, and keeps the player's levels,
// presets and save point in the user's data folder. A folder named on the command line wins.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "runtime/files.h"

namespace tessaron::app {

enum class FolderLayout {
    Given,      // --dir DIR: everything in DIR
    Portable,   // everything in the program's own folder
    Installed,  // pictures and sound shared, levels and saves in the user's data folder
};

struct FolderChoice {
    FolderLayout layout = FolderLayout::Portable;
    // Levels (LEVEL/), presets (LEVEL/Werte/) and the save point (Diskette.txt).
    std::filesystem::path data;
    // Pictures (BMP/) and sound (WAV/); for an installed copy also the shipped LEVEL/.
    std::filesystem::path shared;

    runtime::GameFolder Folder() const { return runtime::GameFolder(data, shared); }
};

// The parts of the environment that name the user's data folder. Tests give their own.
struct UserFolders {
    std::string xdgDataHome;  // $XDG_DATA_HOME; used only when it is an absolute path
    std::string home;         // $HOME, else the home in the user database
};

UserFolders UserFoldersFromEnvironment();

// The user's data folder for the game: $XDG_DATA_HOME/tessaron, else ~/.local/share/tessaron.
// Empty when neither is known.
std::filesystem::path UserDataFolder(const UserFolders& user);

// Chooses the folders of a run from the folder given on the command line (empty for none) and
// the program's own folder.
FolderChoice ChooseFolders(const std::filesystem::path& givenDir,
                           const std::filesystem::path& programFolder, const UserFolders& user);

// What making the data folder ready did not manage.
struct DataFolderReport {
    // A folder that could not be made, and why: without it no level can be kept.
    std::filesystem::path folder;
    std::string reason;
    // Shipped levels and presets that could not be copied in, as "file: reason".
    std::vector<std::string> uncopied;

    bool Ready() const { return folder.empty(); }
};

// Makes an installed copy's data folder ready: LEVEL/ and LEVEL/Werte/ exist, and every shipped
// level and preset that the player has no file of (by that name, in any letter case) is copied
// in through the file writer: flushed to the disk before it takes its name, which it never takes
// from a file that appeared meanwhile. A file the player has is never touched. A file that cannot
// be copied is listed and the others are still copied. Nothing is done for the other layouts.
DataFolderReport PrepareDataFolder(const FolderChoice& choice);

}  // namespace tessaron::app
