#include "runtime/host_files.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <limits>
#include <random>
#include <system_error>

#if defined(_WIN32)
#include <io.h>
#include <process.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tessaron::runtime::host_files {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTemporarySuffix = ".tessaron-tmp";
// The temporary name carries the start of the target's name, for whoever looks into the folder,
// but never so much of it that the name grows beyond what a folder takes.
constexpr std::size_t kNameStartBytes = 64;
// As many links as the system itself follows before it gives up.
constexpr int kMostLinks = 40;
constexpr int kNameAttempts = 100;

constexpr const char* kNotRegular = "keine gewöhnliche Datei";

int ProcessId() {
#if defined(_WIN32)
    return _getpid();
#else
    return static_cast<int>(::getpid());
#endif
}

// Sixteen hexadecimal digits nobody can foresee.
std::string UnforeseeableDigits() {
    static std::random_device device;
    const std::uint64_t bits = (std::uint64_t{device()} << 32) | device();
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string digits(16, '0');
    for (int i = 0; i < 16; ++i) {
        digits[static_cast<std::size_t>(i)] = kDigits[(bits >> (4 * i)) & 0xF];
    }
    return digits;
}

// ".Anfang.TXT.4711-0123456789abcdef.tessaron-tmp": hidden, named after its target, its run
// and a random part.
fs::path TemporaryName(const fs::path& target) {
    std::string start = target.filename().string().substr(0, kNameStartBytes);
    std::string name = "." + start + "." + std::to_string(ProcessId()) + "-" +
                       UnforeseeableDigits() + std::string(kTemporarySuffix);
    return target.parent_path() / name;
}

// The file a chain of symbolic links ends at (the path itself when it is no link). Empty, with
// error set, when the chain cannot be read or is too long.
fs::path FollowLinks(const fs::path& path, int& error) {
    fs::path current = path;
    for (int links = 0;; ++links) {
        std::error_code status;
        if (!fs::is_symlink(current, status)) {
            return current;
        }
        if (links == kMostLinks) {
            error = ELOOP;
            return {};
        }
        const fs::path next = fs::read_symlink(current, status);
        if (status) {
            error = status.value();
            return {};
        }
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
}

// The run that made a temporary file, from its name; 0 when the name does not say.
long OwnerOf(std::string_view name) {
    name.remove_suffix(kTemporarySuffix.size());
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        return 0;
    }
    const std::string_view tag = name.substr(dot + 1);
    long owner = 0;
    const auto [end, error] = std::from_chars(tag.data(), tag.data() + tag.size(), owner);
    if (error != std::errc() || end == tag.data() || end == tag.data() + tag.size() ||
        *end != '-') {
        return 0;
    }
    return owner;
}

#if !defined(_WIN32)
// The name the system keeps for the program a process runs ("tessaron"); false when it cannot
// be read.
bool ProgramName(const std::string& process, std::string& name) {
    std::FILE* file = std::fopen(("/proc/" + process + "/comm").c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    char text[64] = {};
    const std::size_t got = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    name.assign(text, got);
    while (!name.empty() && (name.back() == '\n' || name.back() == '\0')) {
        name.pop_back();
    }
    return !name.empty();
}
#endif

// True while the process that made a temporary file may still be writing it: it is this
// process, or a process of that number runs this program or one of its tools (their names
// begin with "tessaron"). Where the system does not say which program a process runs, any
// process of that number keeps the file.
bool StillRunning(long owner) {
    if (owner <= 0 || owner > std::numeric_limits<int>::max()) {
        return false;
    }
    if (owner == ProcessId()) {
        return true;
    }
#if defined(_WIN32)
    return false;
#else
    if (::kill(static_cast<pid_t>(owner), 0) != 0 && errno != EPERM) {
        return false;
    }
    std::string theirs;
    if (!ProgramName(std::to_string(owner), theirs)) {
        std::error_code error;
        // A system that keeps no such names cannot tell; one that does has no such process now.
        return !fs::is_directory("/proc/self", error);
    }
    std::string ours;
    return theirs.starts_with("tessaron") || (ProgramName("self", ours) && theirs == ours);
#endif
}

#if !defined(_WIN32)
// Flushes a folder's entries to the disk, so that a rename in it survives a power cut: 0, or the
// system's error number. Some file systems cannot flush folders, and a folder that may be
// written but not read cannot be opened to flush it; the rename has happened all the same.
int SyncFolder(const fs::path& folder) {
    const fs::path path = folder.empty() ? fs::path(".") : folder;
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        return 0;
    }
    int error = 0;
    if (::fsync(descriptor) != 0 && errno != EINVAL && errno != ENOTSUP) {
        error = errno;
    }
    if (::close(descriptor) != 0 && error == 0) {
        error = errno;
    }
    return error;
}

// Gives the temporary file the target's name only where nothing has that name: 0, or the
// system's error number ("File exists" when something has it).
int RenameWithoutReplacing(const fs::path& from, const fs::path& to) {
#if defined(__linux__) && defined(RENAME_NOREPLACE)
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        return errno;
    }
#endif
    // Where the file system has no such rename: a second name, which is never made over an
    // existing one, then the temporary name goes (a leftover name is removed at a later start).
    if (::link(from.c_str(), to.c_str()) != 0) {
        return errno;
    }
    ::unlink(from.c_str());
    return 0;
}

// Opens the target itself for writing, emptied, when it is a regular file or there is none.
bool OpenInPlace(const fs::path& target, Temporary& temporary, std::string& problem) {
    // A FIFO is opened without waiting for a reader, and a device is never emptied: both are
    // refused once the open file shows what it is.
    const int descriptor =
        ::open(target.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        problem = errno == ENXIO ? std::string(kNotRegular) : Reason(errno);
        return false;
    }
    struct stat status {};
    int error = 0;
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (::fstat(descriptor, &status) != 0) {
        error = errno;
    } else if (!S_ISREG(status.st_mode)) {
        problem = kNotRegular;
        ::close(descriptor);
        return false;
    } else if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0 ||
               ::ftruncate(descriptor, 0) != 0) {
        error = errno;
    }
    if (error == 0) {
        temporary.file = ::fdopen(descriptor, "wb");
        error = temporary.file == nullptr ? errno : 0;
    }
    if (error != 0) {
        problem = Reason(error);
        ::close(descriptor);
        return false;
    }
    temporary.path = target;
    temporary.target = target;
    return true;
}
#endif

}  // namespace

std::string Reason(int error) {
    return std::generic_category().message(error);
}

bool OpenTemporary(const fs::path& target, WriteMode mode, Temporary& temporary,
                   std::string& problem) {
    temporary = Temporary{};
    temporary.mode = mode;
    if (target.filename().empty()) {
        problem = Reason(EISDIR);
        return false;
    }
#if !defined(_WIN32)
    if (mode == WriteMode::InPlace) {
        return OpenInPlace(target, temporary, problem);
    }
#endif
    // A file that must never replace anything takes the name itself, never what a link there
    // names.
    fs::path file = target;
    if (mode != WriteMode::NeverReplace) {
        int error = 0;
        file = FollowLinks(target, error);
        if (error != 0) {
            problem = Reason(error);
            return false;
        }
        if (file.filename().empty()) {
            problem = Reason(EISDIR);
            return false;
        }
    }
#if defined(_WIN32)
    std::error_code status;
    if (fs::is_directory(file, status)) {
        problem = Reason(EISDIR);
        return false;
    }
    if (fs::exists(file, status) && !fs::is_regular_file(file, status)) {
        problem = kNotRegular;
        return false;
    }
    if (mode == WriteMode::NeverReplace && fs::exists(file, status)) {
        problem = Reason(EEXIST);
        return false;
    }
    if (mode == WriteMode::InPlace) {
        temporary.file = _wfopen(file.c_str(), L"wb");
        if (temporary.file == nullptr) {
            problem = Reason(errno);
            return false;
        }
        temporary.path = file;
        temporary.target = file;
        return true;
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary.path = TemporaryName(file);
        temporary.file = _wfopen(temporary.path.c_str(), L"w+bx");
        if (temporary.file != nullptr || errno != EEXIST) {
            break;
        }
    }
    if (temporary.file == nullptr) {
        problem = Reason(errno);
        return false;
    }
#else
    struct stat existing {};
    const bool replaces = (mode == WriteMode::NeverReplace ? ::lstat(file.c_str(), &existing)
                                                           : ::stat(file.c_str(), &existing)) == 0;
    if (!replaces && errno != ENOENT) {
        problem = Reason(errno);
        return false;
    }
    if (replaces) {
        if (mode == WriteMode::NeverReplace) {
            problem = Reason(EEXIST);
            return false;
        }
        if (S_ISDIR(existing.st_mode)) {
            problem = Reason(EISDIR);
            return false;
        }
        if (!S_ISREG(existing.st_mode)) {
            problem = kNotRegular;
            return false;
        }
        // A file its owner made read-only stays as it is, whoever saves.
        if ((existing.st_mode & S_IWUSR) == 0 || ::access(file.c_str(), W_OK) != 0) {
            problem = Reason(EACCES);
            return false;
        }
    }
    int descriptor = -1;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary.path = TemporaryName(file);
        descriptor = ::open(temporary.path.c_str(),
                            O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST) {
            break;
        }
    }
    if (descriptor < 0) {
        problem = Reason(errno);
        return false;
    }
    // The replaced file's permissions and, where the system lets us, its owner.
    int error = 0;
    if (replaces) {
        if (::fchmod(descriptor, existing.st_mode & 07777) != 0) {
            error = errno;
        } else if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) {
            [[maybe_unused]] const int kept =
                ::fchown(descriptor, existing.st_uid, existing.st_gid);
        }
    }
    if (error == 0) {
        temporary.file = ::fdopen(descriptor, "w+b");
        error = temporary.file == nullptr ? errno : 0;
    }
    if (error != 0) {
        problem = Reason(error);
        ::close(descriptor);
        ::unlink(temporary.path.c_str());
        temporary.file = nullptr;
        return false;
    }
#endif
    temporary.target = file;
    return true;
}

bool Commit(Temporary& temporary, std::string& problem) {
    int error = 0;
    errno = 0;
    if (std::fflush(temporary.file) != 0 || std::ferror(temporary.file)) {
        error = errno != 0 ? errno : EIO;
    }
#if defined(_WIN32)
    if (error == 0 && _commit(_fileno(temporary.file)) != 0) {
        error = errno;
    }
#else
    if (error == 0 && ::fsync(::fileno(temporary.file)) != 0) {
        error = errno;
    }
#endif
    if (std::fclose(temporary.file) != 0 && error == 0) {
        error = errno != 0 ? errno : EIO;
    }
    temporary.file = nullptr;
    if (temporary.mode == WriteMode::InPlace) {
        if (error != 0) {
            problem = Reason(error);
        }
        return error == 0;
    }
    if (error == 0) {
#if defined(_WIN32)
        if (temporary.mode == WriteMode::NeverReplace) {
            // This rename never replaces an existing file.
            error = _wrename(temporary.path.c_str(), temporary.target.c_str()) == 0 ? 0 : errno;
        } else {
            std::error_code renamed;
            fs::rename(temporary.path, temporary.target, renamed);
            error = renamed.value();
        }
#else
        if (temporary.mode == WriteMode::NeverReplace) {
            error = RenameWithoutReplacing(temporary.path, temporary.target);
        } else if (::rename(temporary.path.c_str(), temporary.target.c_str()) != 0) {
            error = errno;
        }
#endif
    }
    if (error != 0) {
        problem = Reason(error);
        std::error_code ignored;
        fs::remove(temporary.path, ignored);
        return false;
    }
#if !defined(_WIN32)
    if (const int synced = SyncFolder(temporary.target.parent_path()); synced != 0) {
        problem = Reason(synced);
        return false;
    }
#endif
    return true;
}

void Discard(Temporary& temporary) {
    if (temporary.file != nullptr) {
        std::fclose(temporary.file);
        temporary.file = nullptr;
    }
    if (temporary.mode != WriteMode::InPlace) {
        std::error_code ignored;
        fs::remove(temporary.path, ignored);
    }
}

bool IsTemporaryName(std::string_view name) {
    return name.size() > kTemporarySuffix.size() + 1 && name.front() == '.' &&
           name.ends_with(kTemporarySuffix);
}

void RemoveLeftovers(const fs::path& folder) {
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) {
        return;
    }
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) {
            return;
        }
        const std::string name = it->path().filename().string();
        if (IsTemporaryName(name) && !StillRunning(OwnerOf(name))) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

std::FILE* OpenRegularFile(const fs::path& path, std::string& problem, std::int64_t* size) {
#if defined(_WIN32)
    std::error_code status;
    if (!fs::is_regular_file(path, status)) {
        problem = status ? Reason(status.value()) : kNotRegular;
        return nullptr;
    }
    std::FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) {
        problem = Reason(errno);
        return nullptr;
    }
    if (size != nullptr) {
        *size = static_cast<std::int64_t>(fs::file_size(path, status));
    }
    return file;
#else
    // Opening a FIFO without O_NONBLOCK would wait for a writer; with it, the check below
    // refuses the FIFO at once.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        problem = Reason(errno);
        return nullptr;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        problem = S_ISDIR(status.st_mode) ? Reason(EISDIR) : std::string(kNotRegular);
        ::close(descriptor);
        return nullptr;
    }
    std::FILE* file = ::fdopen(descriptor, "rb");
    if (file == nullptr) {
        problem = Reason(errno);
        ::close(descriptor);
        return nullptr;
    }
    if (size != nullptr) {
        *size = static_cast<std::int64_t>(status.st_size);
    }
    return file;
#endif
}

}  // namespace tessaron::runtime::host_files
