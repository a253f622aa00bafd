#include "runtime/host_files.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <random>
#include <system_error>

#if defined(_WIN32)
#include <io.h>
#include <process.h>
#else
#include <fcntl.h>
#include <signal.h>
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

bool StillRunning(long owner) {
    if (owner <= 0) {
        return false;
    }
#if defined(_WIN32)
    return owner == ProcessId();
#else
    return ::kill(static_cast<pid_t>(owner), 0) == 0 || errno == EPERM;
#endif
}

#if !defined(_WIN32)
// Flushes a folder's entries to the disk, so that a rename in it survives a power cut. Some
// file systems cannot flush folders; the rename has happened all the same.
void SyncFolder(const fs::path& folder) {
    const fs::path path = folder.empty() ? fs::path(".") : folder;
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}
#endif

}  // namespace

std::string Reason(int error) {
    return std::generic_category().message(error);
}

bool OpenTemporary(const fs::path& target, Temporary& temporary, std::string& problem) {
    temporary = Temporary{};
    int error = 0;
    const fs::path file = FollowLinks(target, error);
    if (error != 0) {
        problem = Reason(error);
        return false;
    }
    if (file.filename().empty()) {
        problem = Reason(EISDIR);
        return false;
    }
#if defined(_WIN32)
    std::error_code status;
    if (fs::is_directory(file, status)) {
        problem = Reason(EISDIR);
        return false;
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
    const bool replaces = ::stat(file.c_str(), &existing) == 0;
    if (!replaces && errno != ENOENT) {
        problem = Reason(errno);
        return false;
    }
    if (replaces) {
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
    if (replaces) {
        // The replaced file's permissions and, where the system lets us, its owner.
        ::fchmod(descriptor, existing.st_mode & 07777);
        if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) {
            [[maybe_unused]] const int kept =
                ::fchown(descriptor, existing.st_uid, existing.st_gid);
        }
    }
    temporary.file = ::fdopen(descriptor, "w+b");
    if (temporary.file == nullptr) {
        problem = Reason(errno);
        ::close(descriptor);
        ::unlink(temporary.path.c_str());
        return false;
    }
#endif
    temporary.target = file;
    return true;
}

bool Commit(Temporary& temporary, std::string& problem) {
    int error = 0;
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
        error = errno;
    }
    temporary.file = nullptr;
    if (error == 0) {
        std::error_code renamed;
        fs::rename(temporary.path, temporary.target, renamed);
        error = renamed.value();
    }
    if (error != 0) {
        problem = Reason(error);
        std::error_code ignored;
        fs::remove(temporary.path, ignored);
        return false;
    }
#if !defined(_WIN32)
    SyncFolder(temporary.target.parent_path());
#endif
    return true;
}

void Discard(Temporary& temporary) {
    if (temporary.file != nullptr) {
        std::fclose(temporary.file);
        temporary.file = nullptr;
    }
    std::error_code ignored;
    fs::remove(temporary.path, ignored);
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
