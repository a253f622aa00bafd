#include "app/game_folders.h"

#include <cstdlib>
#include <random>
#include <system_error>
#include <vector>

#if !defined(_WIN32)
#include <pwd.h>
#include <unistd.h>
#endif

namespace tessaron::app {

namespace fs = std::filesystem;

namespace {

// The level and preset folders, as the game names them.
constexpr const char* kDataFolders[] = {"LEVEL", "LEVEL\\Werte"};

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

std::string HomeFromUserDatabase() {
#if defined(_WIN32)
    return {};
#else
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr) {
        return {};
    }
    return found->pw_dir;
#endif
}

bool IsDirectory(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

// Copies a shipped file to its place in the player's folder through a temporary file beside
// it, so that an interrupted copy never leaves a truncated level under the real name. A file
// that appeared there meanwhile is kept.
bool CopyShippedFile(const fs::path& source, const fs::path& target) {
    std::random_device random;
    const fs::path temporary = target.parent_path() / ("." + target.filename().string() + "." +
                                                       std::to_string(random()) + ".tmp");
    std::error_code error;
    if (!fs::copy_file(source, temporary, fs::copy_options::none, error) || error) {
        fs::remove(temporary, error);
        return false;
    }
    if (!fs::exists(target, error)) {
        fs::rename(temporary, target, error);
        if (error) {
            fs::remove(temporary, error);
            return false;
        }
        return true;
    }
    fs::remove(temporary, error);
    return true;
}

}  // namespace

UserFolders UserFoldersFromEnvironment() {
    UserFolders user;
    user.xdgDataHome = Environment("XDG_DATA_HOME");
    user.home = Environment("HOME");
    if (user.home.empty()) {
        user.home = HomeFromUserDatabase();
    }
    return user;
}

fs::path UserDataFolder(const UserFolders& user) {
    // A relative $XDG_DATA_HOME is invalid and is ignored.
    const fs::path xdg(user.xdgDataHome);
    if (!user.xdgDataHome.empty() && xdg.is_absolute()) {
        return xdg / "tessaron";
    }
    if (!user.home.empty()) {
        return fs::path(user.home) / ".local" / "share" / "tessaron";
    }
    return {};
}

FolderChoice ChooseFolders(const fs::path& givenDir, const fs::path& programFolder,
                           const UserFolders& user) {
    if (!givenDir.empty()) {
        return FolderChoice{FolderLayout::Given, givenDir, givenDir};
    }
    const fs::path shared = programFolder.parent_path() / "share" / "tessaron";
    const bool picturesBeside =
        IsDirectory(runtime::GameFolder(programFolder).ResolveExisting(runtime::FixedPath("BMP")));
    if (!picturesBeside && IsDirectory(shared / "BMP")) {
        return FolderChoice{FolderLayout::Installed, UserDataFolder(user), shared};
    }
    return FolderChoice{FolderLayout::Portable, programFolder, programFolder};
}

fs::path PrepareDataFolder(const FolderChoice& choice) {
    if (choice.layout != FolderLayout::Installed) {
        return {};
    }
    if (choice.data.empty()) {
        // Without a home there is no folder to make; the message names the one looked for.
        return fs::path("$HOME") / ".local" / "share" / "tessaron";
    }
    const runtime::GameFolder player(choice.data);
    const runtime::GameFolder shipped(choice.shared);
    for (const char* fixed : kDataFolders) {
        const std::string folder = runtime::FixedPath(fixed);
        const fs::path made = player.ResolveExisting(folder);
        std::error_code error;
        fs::create_directories(made, error);
        if (!IsDirectory(made)) {
            return made;
        }
        fs::directory_iterator it(shipped.ResolveExisting(folder), error);
        for (; !error && it != fs::directory_iterator(); it.increment(error)) {
            std::error_code typeError;
            if (!it->is_regular_file(typeError)) {
                continue;
            }
            const std::string name = it->path().filename().string();
            const fs::path target = player.ResolveExisting((fs::path(folder) / name).string());
            if (fs::exists(target, typeError)) {
                continue;  // the player's own file, whatever it holds
            }
            if (!CopyShippedFile(it->path(), target)) {
                return target;
            }
        }
    }
    return {};
}

}  // namespace tessaron::app
