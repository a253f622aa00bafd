// Files, directory listings, file requesters, text and numbers: the half of the machine layer
// that holds no picture and no window. Nothing here depends on a toolkit.
//
// Files and listings are numbered objects chosen by the caller (the program uses file 1 and
// listing 1); most calls act on the current one, which the last open, create or list selects.
// A path is used exactly as given (a backslash is an ordinary character of a name on most
// hosts); a relative path is taken from the game folder. The program's own fixed paths, written
// with backslashes ("BMP\\Ziel.bmp"), pass through FixedPath first.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace tessaron::runtime {

// The game folder holds the program, BMP/, WAV/, LEVEL/, LEVEL/Werte/ and Diskette.txt. An
// installed game reads its pictures and sound (BMP/, WAV/) from a shared folder it never writes,
// and keeps levels, presets and the save point in a folder of the player's own.
class GameFolder {
  public:
    // One folder for everything: a portable copy, or a folder named on the command line. A
    // relative folder is made absolute once, here, against the working directory: every path
    // handed out (the requesters' folders among them) is then absolute.
    explicit GameFolder(std::filesystem::path root);
    // Levels, presets and the save point in root; pictures and sound in shared.
    GameFolder(std::filesystem::path root, std::filesystem::path shared);

    // Where levels, presets and the save point are.
    const std::filesystem::path& Root() const { return root_; }
    // Where pictures and sound are.
    const std::filesystem::path& Shared() const { return shared_; }

    // The host path for a path: a relative path is taken from the game folder. The name is used
    // exactly as given.
    std::filesystem::path Resolve(std::string_view path) const;

    // As Resolve, but when that name does not exist, an existing entry of the same folder whose
    // name differs only in letter case, so that levels and presets named on hosts that ignore
    // case are found. Used when opening for reading and when listing a directory.
    std::filesystem::path ResolveExisting(std::string_view path) const;

    // As ResolveExisting, but a relative path is taken from the shared folder: pictures and
    // sound are read this way.
    std::filesystem::path ResolveShared(std::string_view path) const;

  private:
    std::filesystem::path root_;
    std::filesystem::path shared_;
};

// The folder the program was started from: the kernel's link to the running executable, else
// argv[0] (when given), else the working directory.
std::filesystem::path ProgramFolder(char** argv);

// One of the program's own fixed paths, written with backslashes between folders
// ("BMP\\Ziel.bmp", "LEVEL\\Werte"), in the host's form. Paths that come from a requester, a
// script or the level tool never pass here: they are used exactly as given.
std::string FixedPath(std::string_view path);

// Numbered files. Reads and writes are 32-bit little-endian integers, lines of text or runs of
// bytes.
//
// A file made by Create is written beside its target under a fresh temporary name (created
// exclusively, never through a link) and takes the target's place only when Close finds every
// write done and flushed to the disk: an interrupted or failed save leaves the earlier file as it
// was. A target that is a symbolic link keeps its link; the file it names is replaced, with its
// permissions. Only regular files are opened for reading.
class Files {
  public:
    explicit Files(const GameFolder& folder);
    ~Files();
    Files(const Files&) = delete;
    Files& operator=(const Files&) = delete;

    // True on success; the file becomes the current file.
    bool OpenForReading(int number, std::string_view path);
    // True on success; the file becomes the current file. An existing file of that name is
    // replaced when the new one is closed complete; a file its owner made read-only is not.
    bool Create(int number, std::string_view path);
    // Closes the file. For a created file, true when all it was given is stored under its name;
    // false when a write failed or the file could not take its name (the earlier file is kept).
    bool Close(int number);
    // Why the last open, create or close that failed did so, in the system's words ("No space
    // left on device", "Permission denied").
    const std::string& Problem() const { return problem_; }

    // The next read or write of the current file starts at this byte from the file's start.
    void Seek(std::int64_t position);
    // The next four bytes of the current file as a little-endian signed integer. All reads share
    // one 4-byte buffer: a read that gets fewer than four bytes leaves it as it was, so a read
    // past the end yields the previous read's value.
    std::int32_t ReadInt();
    void WriteInt(std::int32_t value);
    // Bytes up to a line feed, a zero byte or the end of the file, without that byte; a
    // carriage return also ends the line and the byte after it is skipped. Empty at the end.
    std::string ReadLine();
    // The text followed by carriage return and line feed.
    void WriteLine(std::string_view text);
    // Up to count bytes of the current file from a position on, into bytes; the number read,
    // fewer at the end of the file. The integer reads' shared buffer is left as it is.
    std::int64_t ReadBytes(std::int64_t position, std::uint8_t* bytes, std::int64_t count);
    // Writes the bytes at the current position of a created file.
    void WriteBytes(const std::uint8_t* bytes, std::size_t count);
    // The length of the current file in bytes; -1 when there is none.
    std::int64_t Size();

  private:
    struct Open;
    const GameFolder& folder_;
    std::map<int, std::unique_ptr<Open>> files_;
    Open* current_ = nullptr;
    std::uint8_t readBuffer_[4] = {0, 0, 0, 0};
    std::string problem_;
};

// Removes the temporary files that saves of earlier runs, killed half way, left in a folder.
void RemoveLeftoverSaves(const std::filesystem::path& folder);

// Reads a regular file whole, when it holds at most limit bytes. False, with the reason in
// problem, for a missing file, a folder, a FIFO or a device, or a larger file.
bool ReadWholeFile(const std::filesystem::path& path, std::int64_t limit,
                   std::vector<std::uint8_t>& bytes, std::string& problem);

enum class EntryType { None = 0, File = 1, Directory = 2 };

// Numbered directory listings.
class DirectoryListing {
  public:
    explicit DirectoryListing(const GameFolder& folder);

    // Lists the entries of a directory (a path as Files takes it) that match a pattern ("*.*",
    // "*.TXT"). The folder itself (".") and its parent ("..") come first, as directories, then
    // the entries sorted by name. True when at least one entry matches.
    bool List(int number, std::string_view directory, std::string_view pattern);
    // The next entry of the current listing: None at the end.
    EntryType Next();
    // The name of the entry that Next has just reported.
    std::string EntryName() const;

  private:
    struct Entry {
        std::string name;
        EntryType type;
    };
    struct Listing {
        std::vector<Entry> entries;
        std::size_t next = 0;
    };
    const GameFolder& folder_;
    std::map<int, Listing> listings_;
    Listing* current_ = nullptr;
};

// The open and save file requesters, and questions. Both file requesters return the chosen
// path, or an empty string when the user cancelled. The initial path names the folder shown (and
// may end with a proposed name); the pattern lists the file types ("*.TXT").
class Requesters {
  public:
    virtual ~Requesters() = default;
    virtual std::string OpenFile(std::string_view title, std::string_view initialPath,
                                 std::string_view pattern) = 0;
    virtual std::string SaveFile(std::string_view title, std::string_view initialPath,
                                 std::string_view pattern) = 0;
    // A question with a button per answer: the index of the button chosen, or -1 when nobody
    // answered (no window can be shown, no scripted answer is left). Closing the box chooses
    // the last button.
    virtual int Ask(std::string_view title, std::string_view question,
                    const std::vector<std::string>& buttons) {
        (void)title, (void)question, (void)buttons;
        return -1;
    }
};

// Requesters answered from a queue, for tests and scripted runs: each request takes the next
// answer; with none left, the request is cancelled. Every request is remembered.
class ScriptedRequesters : public Requesters {
  public:
    struct Request {
        bool save;
        std::string title;
        std::string initialPath;
        std::string pattern;
    };

    void Answer(std::string path) { answers_.push_back(std::move(path)); }
    // The next question is answered with the button of this text; with none left, or with a
    // text no button has, it stays unanswered (-1).
    void Reply(std::string button) { replies_.push_back(std::move(button)); }
    std::size_t AnswersLeft() const { return answers_.size(); }
    const std::vector<Request>& Requests() const { return requests_; }

    std::string OpenFile(std::string_view title, std::string_view initialPath,
                         std::string_view pattern) override;
    std::string SaveFile(std::string_view title, std::string_view initialPath,
                         std::string_view pattern) override;
    int Ask(std::string_view title, std::string_view question,
            const std::vector<std::string>& buttons) override;

  private:
    std::string Take(bool save, std::string_view title, std::string_view initialPath,
                     std::string_view pattern);
    std::deque<std::string> answers_;
    std::deque<std::string> replies_;
    std::vector<Request> requests_;
};

// Text. Strings are UTF-8; positions and counts are in characters (code points), as the game's
// texts were one byte per character.

// Up to count characters from the 1-based position start; empty when start lies past the end.
std::string Mid(std::string_view text, int start, int count);
// The number of characters.
int Length(std::string_view text);
// The value in decimal, with "-" for negatives.
std::string DecimalText(std::int64_t value);
// An optional leading "-" and decimal digits, read as a 32-bit integer; the empty string and
// "-" give 0; reading stops at the first character that is not a digit; values beyond the
// 32-bit range are clamped to it.
std::int32_t NumberFromText(std::string_view text);

// Numbers.

// A 32-bit signed integer in four little-endian bytes, as every file of the game holds it.
inline std::int32_t LittleEndianInt(const std::uint8_t* bytes) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[0]) |
                                     (static_cast<std::uint32_t>(bytes[1]) << 8) |
                                     (static_cast<std::uint32_t>(bytes[2]) << 16) |
                                     (static_cast<std::uint32_t>(bytes[3]) << 24));
}
inline void PutLittleEndianInt(std::uint8_t* bytes, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    bytes[0] = static_cast<std::uint8_t>(bits & 0xFF);
    bytes[1] = static_cast<std::uint8_t>((bits >> 8) & 0xFF);
    bytes[2] = static_cast<std::uint8_t>((bits >> 16) & 0xFF);
    bytes[3] = static_cast<std::uint8_t>(bits >> 24);
}

// R(x): the nearest whole number, halves to even, as a float (the default rounding mode).
float Round(float value);
// R(x) as a 32-bit integer, for every value: beyond the range clamped, NaN as 0.
std::int32_t RoundToIntClamped(double value);
// The same, quick for the values within the range, of which the level and save-point files
// convert hundreds of thousands.
inline std::int32_t RoundToInt(double value) {
#if defined(__SSE2__) || defined(_M_X64)
    // The processor's conversion rounds to the nearest, halves to even, as R does (in the
    // default rounding mode, which the program never changes). It gives the lowest integer for
    // NaN and for values beyond the range, which the full rule then sorts out.
    const int rounded = _mm_cvtsd_si32(_mm_set_sd(value));
    if (rounded != std::numeric_limits<std::int32_t>::min()) {
        return rounded;
    }
#else
    if (value > -2147483649.0 && value < 2147483648.0) {
        const auto whole = static_cast<std::int32_t>(value);
        if (static_cast<double>(whole) == value) {
            return whole;
        }
    }
#endif
    return RoundToIntClamped(value);
}

enum class RoundDirection { Down = 0, Up = 1 };
// The round-up / round-down service: the smallest whole number not below the value (Up) or the
// largest not above it (Down), as a floating-point value.
double RoundWhole(double value, RoundDirection direction);

// Whole random numbers from 0 to a maximum inclusive, evenly distributed. The sequence for a
// seed is the same on every machine and with every standard library.
class Random {
  public:
    explicit Random(std::uint32_t seed = 1);
    void Seed(std::uint32_t seed);
    int Next(int maximum);
    // Two generators that will draw the same numbers from now on.
    bool operator==(const Random&) const = default;

  private:
    std::uint32_t Bits();
    std::uint32_t state_[4];
};

// A seed from the millisecond clock, for runs that are not scripted.
std::uint32_t SeedFromClock();

void SleepMilliseconds(int milliseconds);

}  // namespace tessaron::runtime
