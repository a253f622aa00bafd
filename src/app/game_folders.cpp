#include "app/game_folders.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "runtime/file_writer.h"

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

std::string Reason(int error) {
    return std::generic_category().message(error);
}

// Copies a shipped file to its place in the player's folder. Empty when it is there, or when a
// file of the player's took the name first; otherwise why it could not be copied.
std::string CopyShippedFile(const fs::path& source, const fs::path& target) {
    std::FILE* in = std::fopen(source.string().c_str(), "rb");
    if (in == nullptr) {
        return Reason(errno);
    }
    runtime::FileWriter out;
    std::string problem;
    if (out.Open(target, runtime::WriteMode::NeverReplace)) {
        std::vector<char> piece(std::size_t{1} << 16);
        for (;;) {
            const std::size_t got = std::fread(piece.data(), 1, piece.size(), in);
            if (got > 0 && !out.Write(piece.data(), got)) {
                break;
            }
            if (got < piece.size()) {
                if (std::ferror(in)) {
                    problem = Reason(errno != 0 ? errno : EIO);
                }
                break;
            }
        }
        if (problem.empty() && out.Problem().empty() && out.Commit()) {
            std::fclose(in);
            return {};
        }
    }
    std::fclose(in);
    out.Discard();
    std::error_code error;
    if (fs::symlink_status(target, error).type() != fs::file_type::not_found) {
        return {};  // the player's own file came first
    }
    return problem.empty() ? out.Problem() : problem;
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

DataFolderReport PrepareDataFolder(const FolderChoice& choice) {
    DataFolderReport report;
    if (choice.layout != FolderLayout::Installed) {
        return report;
    }
    if (choice.data.empty()) {
        // Without a home there is no folder to make; the message names the one looked for.
        report.folder = fs::path("$HOME") / ".local" / "share" / "tessaron";
        report.reason = "HOME is not set";
        return report;
    }
    const runtime::GameFolder player(choice.data);
    const runtime::GameFolder shipped(choice.shared);
    for (const char* fixed : kDataFolders) {
        const std::string folder = runtime::FixedPath(fixed);
        const fs::path made = player.ResolveExisting(folder);
        std::error_code error;
        fs::create_directories(made, error);
        if (!IsDirectory(made)) {
            report.folder = made;
            // Something other than a folder may have the name already.
            report.reason = error && !fs::exists(made) ? error.message() : Reason(ENOTDIR);
            return report;
        }
        fs::directory_iterator it(shipped.ResolveExisting(folder), error);
        for (; !error && it != fs::directory_iterator(); it.increment(error)) {
            std::error_code typeError;
            if (!it->is_regular_file(typeError)) {
                continue;
            }
            const std::string name = it->path().filename().string();
            const fs::path target = player.ResolveExisting((fs::path(folder) / name).string());
            if (fs::exists(fs::symlink_status(target, typeError))) {
                continue;  // the player's own file, whatever it holds
            }
            if (const std::string why = CopyShippedFile(it->path(), target); !why.empty()) {
                report.uncopied.push_back(target.string() + ": " + why);
            }
        }
    }
    std::sort(report.uncopied.begin(), report.uncopied.end());
    return report;
}

}  // namespace tessaron::app
