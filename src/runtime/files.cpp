#include "runtime/files.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <system_error>
#include <thread>

#include "runtime/file_writer.h"
#include "runtime/host_files.h"

namespace tessaron::runtime {

namespace fs = std::filesystem;

namespace {

// Folds a name for comparison without regard to letter case: ASCII letters, and the Latin-1
// letters of UTF-8 ("Ä" and "ä", "Ö" and "ö", "Ü" and "ü"), which the game's own names use.
std::string FoldCase(std::string_view name) {
    std::string folded(name);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto byte = static_cast<unsigned char>(folded[i]);
        if (byte >= 'A' && byte <= 'Z') {
            folded[i] = static_cast<char>(byte - 'A' + 'a');
        } else if (byte == 0xC3 && i + 1 < folded.size()) {
            const auto next = static_cast<unsigned char>(folded[i + 1]);
            // U+00C0..U+00DE are the capitals of U+00E0..U+00FE, except U+00D7 (the sign x).
            if (next >= 0x80 && next <= 0x9E && next != 0x97) {
                folded[i + 1] = static_cast<char>(next + 0x20);
            }
            ++i;
        }
    }
    return folded;
}

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

// The entry of a folder whose name equals the wanted one without regard to case; the first in
// byte order when there are several, so the choice is the same on every run. Empty when none.
fs::path FindIgnoringCase(const fs::path& folder, const std::string& wanted) {
    const std::string key = FoldCase(wanted);
    std::error_code error;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error);
    if (error) {
        return {};
    }
    std::string best;
    bool found = false;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) {
            break;
        }
        const std::string name = it->path().filename().string();
        if (FoldCase(name) == key && (!found || name < best)) {
            best = name;
            found = true;
        }
    }
    return found ? folder / best : fs::path();
}

// A pattern of the game's host: "*" matches any run of characters, "?" one character, letters
// match without regard to case. A pattern ending in ".*" also matches names without a dot, as
// "*.*" matches every name there.
bool MatchGlob(std::string_view pattern, std::string_view name) {
    std::size_t p = 0, n = 0;
    std::size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

bool MatchPattern(std::string_view pattern, std::string_view name) {
    const std::string foldedPattern = FoldCase(pattern);
    const std::string foldedName = FoldCase(name);
    if (MatchGlob(foldedPattern, foldedName)) {
        return true;
    }
    if (foldedPattern.size() >= 2 && foldedPattern.ends_with(".*") &&
        foldedName.find('.') == std::string::npos) {
        return MatchGlob(std::string_view(foldedPattern).substr(0, foldedPattern.size() - 2),
                         foldedName);
    }
    return false;
}

int SeekFile(std::FILE* file, std::int64_t position) {
#if defined(_WIN32)
    return _fseeki64(file, position, SEEK_SET);
#else
    return fseeko(file, static_cast<off_t>(position), SEEK_SET);
#endif
}

std::int64_t TellFile(std::FILE* file) {
#if defined(_WIN32)
    return _ftelli64(file);
#else
    return static_cast<std::int64_t>(ftello(file));
#endif
}

}  // namespace

fs::path ProgramFolder(char** argv) {
    std::error_code error;
    fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error && argv != nullptr && argv[0] != nullptr && argv[0][0] != '\0') {
        exe = fs::absolute(argv[0], error);
    }
    if (error || exe.empty() || !exe.has_parent_path()) {
        return fs::current_path(error);
    }
    return exe.parent_path();
}

// ---------------------------------------------------------------------------------------------
// GameFolder

namespace {
fs::path Absolute(fs::path path) {
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    return error ? path : absolute;
}
}  // namespace

GameFolder::GameFolder(fs::path root) : root_(Absolute(std::move(root))), shared_(root_) {}

GameFolder::GameFolder(fs::path root, fs::path shared)
    : root_(Absolute(std::move(root))), shared_(Absolute(std::move(shared))) {}

fs::path GameFolder::ResolveShared(std::string_view path) const {
    return GameFolder(shared_).ResolveExisting(path);
}

std::string FixedPath(std::string_view path) {
    std::string host(path);
    std::replace(host.begin(), host.end(), '\\', '/');
    return host;
}

fs::path GameFolder::Resolve(std::string_view path) const {
    const fs::path given(path);
    if (given.is_absolute()) {
        return given;
    }
    return root_ / given;
}

fs::path GameFolder::ResolveExisting(std::string_view path) const {
    const fs::path exact = Resolve(path);
    if (Exists(exact)) {
        return exact;
    }
    // Walk the path from its start and, where a part does not exist under its own name, take
    // the entry that differs only in letter case.
    fs::path built;
    bool first = true;
    for (const fs::path& part : exact) {
        if (first) {
            built = part;
            first = false;
            continue;
        }
        fs::path next = built / part;
        if (!Exists(next) && part != "." && part != ".." && !part.empty()) {
            const fs::path other = FindIgnoringCase(built, part.string());
            if (!other.empty()) {
                next = other;
            }
        }
        built = next;
    }
    return Exists(built) ? built : exact;
}

// ---------------------------------------------------------------------------------------------
// Files

// An open file. A created file collects its writes in a window of consecutive bytes and hands
// them to the system in large pieces: the level writer seeks before every value, and letting
// each seek flush the stream would make saving a large level take a third of a second.
struct Files::Open {
    std::FILE* file = nullptr;
    bool created = false;
    // A write of a created file did not complete: the system's error number, or -1 for a
    // position that cannot be reached.
    int failure = 0;
    FileWriter writer;  // a created file, until it takes its target's place

    // Created files only: the position of the next read or write, the bytes written at
    // windowStart onwards and not yet handed to the system, and the end of all bytes written.
    std::int64_t cursor = 0;
    std::int64_t windowStart = 0;
    std::vector<std::uint8_t> window;
    std::int64_t end = 0;

    std::int64_t WindowEnd() const {
        return windowStart + static_cast<std::int64_t>(window.size());
    }

    void Flush() {
        if (!window.empty()) {
            errno = 0;
            if ((SeekFile(file, windowStart) != 0 ||
                 std::fwrite(window.data(), 1, window.size(), file) != window.size()) &&
                failure == 0) {
                failure = errno != 0 ? errno : EIO;
            }
            window.clear();
        }
        windowStart = cursor;
    }

    void Write(const std::uint8_t* bytes, std::size_t count) {
        if (count >= kWindowLimit) {
            // A run of bytes larger than the window goes to the system at once, uncopied.
            const std::int64_t at = cursor;
            Flush();
            errno = 0;
            if ((SeekFile(file, at) != 0 || std::fwrite(bytes, 1, count, file) != count) &&
                failure == 0) {
                failure = errno != 0 ? errno : EIO;
            }
            cursor = at + static_cast<std::int64_t>(count);
            end = std::max(end, cursor);
            windowStart = cursor;
            return;
        }
        if (window.empty()) {
            windowStart = cursor;
        }
        const auto offset = static_cast<std::size_t>(cursor - windowStart);
        if (window.size() < offset + count) {
            window.resize(offset + count);
        }
        std::memcpy(window.data() + offset, bytes, count);
        cursor += static_cast<std::int64_t>(count);
        end = std::max(end, cursor);
        if (window.size() >= kWindowLimit) {
            Flush();
        }
    }

    // Moves the next read or write to a position. Inside the window, or a short way past its
    // end where that end is the end of the file (so the bytes between are zeros anyway), the
    // window simply continues; elsewhere it is handed on first.
    void MoveTo(std::int64_t position) {
        if (!window.empty()) {
            const std::int64_t windowEnd = WindowEnd();
            if (position >= windowStart && position <= windowEnd) {
                cursor = position;
                return;
            }
            if (position > windowEnd && windowEnd >= end && position - windowEnd <= kZeroGap &&
                window.size() < kWindowLimit) {
                window.resize(static_cast<std::size_t>(position - windowStart), 0);
                cursor = position;
                return;
            }
        }
        cursor = position;
        Flush();
    }

    // Hands the window on and puts the stream where the next read starts.
    void PrepareRead() {
        Flush();
        SeekFile(file, cursor);
    }

    static constexpr std::size_t kWindowLimit = 1 << 20;
    static constexpr std::int64_t kZeroGap = 1 << 16;
};

Files::Files(const GameFolder& folder) : folder_(folder) {}

Files::~Files() {
    // A created file that was never closed was never finished: it does not replace the earlier
    // file of its name.
    for (auto& [number, open] : files_) {
        if (open->created) {
            open->writer.Discard();
        } else {
            std::fclose(open->file);
        }
    }
}

bool Files::OpenForReading(int number, std::string_view path) {
    Close(number);
    std::FILE* file = host_files::OpenRegularFile(folder_.ResolveExisting(path), problem_);
    if (file == nullptr) {
        return false;
    }
    auto open = std::make_unique<Open>();
    open->file = file;
    current_ = open.get();
    files_[number] = std::move(open);
    return true;
}

bool Files::Create(int number, std::string_view path) {
    Close(number);
    auto open = std::make_unique<Open>();
    if (!open->writer.Open(folder_.Resolve(path))) {
        problem_ = open->writer.Problem();
        return false;
    }
    open->file = open->writer.Stream();
    open->created = true;
    current_ = open.get();
    files_[number] = std::move(open);
    return true;
}

bool Files::Close(int number) {
    auto it = files_.find(number);
    if (it == files_.end()) {
        return false;
    }
    std::unique_ptr<Open> open = std::move(it->second);
    files_.erase(it);
    if (current_ == open.get()) {
        current_ = nullptr;
    }
    if (!open->created) {
        std::fclose(open->file);
        return true;
    }
    open->Flush();
    if (open->failure != 0) {
        problem_ =
            open->failure > 0 ? host_files::Reason(open->failure) : host_files::Reason(EINVAL);
        open->writer.Discard();
        return false;
    }
    if (!open->writer.Commit()) {
        problem_ = open->writer.Problem();
        return false;
    }
    return true;
}

void Files::Seek(std::int64_t position) {
    if (current_ == nullptr) {
        return;
    }
    if (position < 0) {
        // A position that cannot be reached: the following writes must not land elsewhere.
        if (current_->created && current_->failure == 0) {
            current_->failure = -1;
        }
        return;
    }
    if (current_->created) {
        current_->MoveTo(position);
    } else {
        SeekFile(current_->file, position);
    }
}

std::int32_t Files::ReadInt() {
    if (current_ != nullptr) {
        if (current_->created) {
            current_->PrepareRead();
        }
        std::uint8_t bytes[4];
        const std::size_t got = std::fread(bytes, 1, 4, current_->file);
        if (got == 4) {
            std::memcpy(readBuffer_, bytes, 4);
        }
        if (current_->created) {
            current_->cursor += static_cast<std::int64_t>(got);
        }
    }
    return LittleEndianInt(readBuffer_);
}

void Files::WriteInt(std::int32_t value) {
    // A file opened for reading takes no writes.
    if (current_ == nullptr || !current_->created) {
        return;
    }
    std::uint8_t bytes[4];
    PutLittleEndianInt(bytes, value);
    current_->Write(bytes, 4);
}

std::int64_t Files::ReadBytes(std::int64_t position, std::uint8_t* bytes, std::int64_t count) {
    if (current_ == nullptr || position < 0 || count <= 0) {
        return 0;
    }
    if (current_->created) {
        current_->Flush();
    }
    if (SeekFile(current_->file, position) != 0) {
        return 0;
    }
    const std::size_t got = std::fread(bytes, 1, static_cast<std::size_t>(count), current_->file);
    if (current_->created) {
        current_->cursor = position + static_cast<std::int64_t>(got);
    }
    return static_cast<std::int64_t>(got);
}

void Files::WriteBytes(const std::uint8_t* bytes, std::size_t count) {
    if (current_ == nullptr || !current_->created || count == 0) {
        return;
    }
    current_->Write(bytes, count);
}

std::string Files::ReadLine() {
    std::string line;
    if (current_ == nullptr) {
        return line;
    }
    if (current_->created) {
        current_->PrepareRead();
    }
    for (;;) {
        const int byte = std::fgetc(current_->file);
        if (byte == EOF || byte == '\n' || byte == 0) {
            break;
        }
        if (byte == '\r') {
            std::fgetc(current_->file);  // the line feed of a CR LF pair, or whatever follows
            break;
        }
        line.push_back(static_cast<char>(byte));
    }
    if (current_->created) {
        current_->cursor = TellFile(current_->file);
    }
    return line;
}

void Files::WriteLine(std::string_view text) {
    if (current_ == nullptr || !current_->created) {
        return;
    }
    std::string line(text);
    line += "\r\n";
    current_->Write(reinterpret_cast<const std::uint8_t*>(line.data()), line.size());
}

std::int64_t Files::Size() {
    if (current_ == nullptr) {
        return -1;
    }
    if (current_->created) {
        return current_->end;
    }
    // Measured from the stream; the position of the next read is kept.
    std::FILE* file = current_->file;
    const std::int64_t position = TellFile(file);
    if (position < 0 || std::fseek(file, 0, SEEK_END) != 0) {
        return -1;
    }
    const std::int64_t size = TellFile(file);
    SeekFile(file, position);
    return size;
}

void RemoveLeftoverSaves(const fs::path& folder) {
    host_files::RemoveLeftovers(folder);
}

bool ReadWholeFile(const fs::path& path, std::int64_t limit, std::vector<std::uint8_t>& bytes,
                   std::string& problem) {
    bytes.clear();
    std::int64_t size = 0;
    std::FILE* file = host_files::OpenRegularFile(path, problem, &size);
    if (file == nullptr) {
        return false;
    }
    if (size > limit) {
        std::fclose(file);
        problem = "größer als " + std::to_string(limit / (1024 * 1024)) + " MB";
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size));
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    const bool complete = got == bytes.size() && !std::ferror(file);
    std::fclose(file);
    if (!complete) {
        problem = host_files::Reason(EIO);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// DirectoryListing

DirectoryListing::DirectoryListing(const GameFolder& folder) : folder_(folder) {}

bool DirectoryListing::List(int number, std::string_view directory, std::string_view pattern) {
    const std::string namePattern(pattern);
    Listing& listing = listings_[number];
    listing = Listing{};
    current_ = &listing;

    const fs::path host = folder_.ResolveExisting(directory);
    std::error_code error;
    if (!fs::is_directory(host, error)) {
        return false;
    }
    std::vector<Entry> found;
    fs::directory_iterator it(host, error);
    if (error) {
        return false;
    }
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) {
            break;
        }
        const std::string name = it->path().filename().string();
        // A save in progress, or one that a killed run left behind, is no entry of the folder.
        if (!MatchPattern(namePattern, name) || host_files::IsTemporaryName(name)) {
            continue;
        }
        std::error_code typeError;
        const bool isDirectory = it->is_directory(typeError);
        found.push_back({name, isDirectory ? EntryType::Directory : EntryType::File});
    }
    std::sort(found.begin(), found.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    for (const char* special : {".", ".."}) {
        if (MatchPattern(namePattern, special)) {
            listing.entries.push_back({special, EntryType::Directory});
        }
    }
    listing.entries.insert(listing.entries.end(), found.begin(), found.end());
    return !listing.entries.empty();
}

EntryType DirectoryListing::Next() {
    if (current_ == nullptr || current_->next >= current_->entries.size()) {
        if (current_ != nullptr) {
            current_->next = current_->entries.size() + 1;
        }
        return EntryType::None;
    }
    return current_->entries[current_->next++].type;
}

std::string DirectoryListing::EntryName() const {
    if (current_ == nullptr || current_->next == 0 || current_->next > current_->entries.size()) {
        return {};
    }
    return current_->entries[current_->next - 1].name;
}

// ---------------------------------------------------------------------------------------------
// Requesters

std::string ScriptedRequesters::OpenFile(std::string_view title, std::string_view initialPath,
                                         std::string_view pattern) {
    return Take(false, title, initialPath, pattern);
}

std::string ScriptedRequesters::SaveFile(std::string_view title, std::string_view initialPath,
                                         std::string_view pattern) {
    return Take(true, title, initialPath, pattern);
}

int ScriptedRequesters::Ask(std::string_view /*title*/, std::string_view /*question*/,
                            const std::vector<std::string>& buttons) {
    if (replies_.empty()) {
        return -1;
    }
    const std::string reply = std::move(replies_.front());
    replies_.pop_front();
    const auto chosen = std::find(buttons.begin(), buttons.end(), reply);
    return chosen == buttons.end() ? -1 : static_cast<int>(chosen - buttons.begin());
}

std::string ScriptedRequesters::Take(bool save, std::string_view title,
                                     std::string_view initialPath, std::string_view pattern) {
    requests_.push_back({save, std::string(title), std::string(initialPath), std::string(pattern)});
    if (answers_.empty()) {
        return {};
    }
    std::string answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
}

// ---------------------------------------------------------------------------------------------
// Text

namespace {
bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The byte at which the character of the 0-based index begins (the text's size past the end).
std::size_t ByteOfCharacter(std::string_view text, std::int64_t index) {
    std::size_t byte = 0;
    while (byte < text.size() && index > 0) {
        ++byte;
        while (byte < text.size() && IsContinuationByte(text[byte])) {
            ++byte;
        }
        --index;
    }
    return byte;
}
}  // namespace

std::string Mid(std::string_view text, int start, int count) {
    if (count <= 0) {
        return {};
    }
    const std::int64_t first = std::max(start, 1) - std::int64_t{1};
    const std::size_t begin = ByteOfCharacter(text, first);
    const std::size_t end = begin + ByteOfCharacter(text.substr(begin), count);
    return std::string(text.substr(begin, end - begin));
}

int Length(std::string_view text) {
    int count = 0;
    for (char c : text) {
        if (!IsContinuationByte(c)) {
            ++count;
        }
    }
    return count;
}

std::string DecimalText(std::int64_t value) {
    return std::to_string(value);
}

std::int32_t NumberFromText(std::string_view text) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    // The magnitude saturates just past the range, so it never overflows however many digits.
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = std::min<std::int64_t>(magnitude * 10 + (text[i] - '0'), kMax + 2);
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(std::clamp(value, kMin, kMax));
}

// ---------------------------------------------------------------------------------------------
// Numbers

float Round(float value) {
    return std::nearbyint(value);
}

std::int32_t RoundToIntClamped(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double rounded = std::nearbyint(value);
    if (rounded >= 2147483647.0) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (rounded <= -2147483648.0) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(rounded);
}

double RoundWhole(double value, RoundDirection direction) {
    return direction == RoundDirection::Up ? std::ceil(value) : std::floor(value);
}

namespace {
// splitmix32: spreads a 32-bit seed over the generator's state, so that close seeds give
// unrelated sequences and no seed gives the all-zero state.
std::uint32_t SplitMix32(std::uint32_t& state) {
    std::uint32_t z = (state += 0x9E3779B9u);
    z = (z ^ (z >> 16)) * 0x85EBCA6Bu;
    z = (z ^ (z >> 13)) * 0xC2B2AE35u;
    return z ^ (z >> 16);
}

std::uint32_t RotateLeft(std::uint32_t x, int k) {
    return (x << k) | (x >> (32 - k));
}
}  // namespace

Random::Random(std::uint32_t seed) {
    Seed(seed);
}

void Random::Seed(std::uint32_t seed) {
    std::uint32_t mix = seed;
    for (std::uint32_t& word : state_) {
        word = SplitMix32(mix);
    }
    if ((state_[0] | state_[1] | state_[2] | state_[3]) == 0) {
        state_[0] = 1;
    }
}

// xoshiro128**: small, fast and the same on every machine.
std::uint32_t Random::Bits() {
    const std::uint32_t result = RotateLeft(state_[1] * 5u, 7) * 9u;
    const std::uint32_t t = state_[1] << 9;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = RotateLeft(state_[3], 11);
    return result;
}

int Random::Next(int maximum) {
    if (maximum <= 0) {
        return 0;
    }
    // Draws beyond the last whole multiple of the range are rejected, so every value from 0 to
    // maximum is equally likely.
    const std::uint64_t range = static_cast<std::uint64_t>(maximum) + 1;
    const std::uint64_t limit = (std::uint64_t{1} << 32) - ((std::uint64_t{1} << 32) % range);
    for (;;) {
        const std::uint64_t bits = Bits();
        if (bits < limit) {
            return static_cast<int>(bits % range);
        }
    }
}

std::uint32_t SeedFromClock() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void SleepMilliseconds(int milliseconds) {
    if (milliseconds > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}

}  // namespace tessaron::runtime
