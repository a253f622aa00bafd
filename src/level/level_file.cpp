#include "level/level_file.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace tessaron::level {

namespace lf = level_file;
using runtime::RoundToInt;

namespace {

constexpr const char* kLevelPattern = "*.TXT";
constexpr const char* kLevelExtension = ".TXT";

// The level directory as a host path ending in a separator, for the requesters.
std::string LevelDirectoryForRequester(const runtime::GameFolder& folder) {
    std::string path = folder.ResolveExisting(runtime::FixedPath(kLevelDirectory)).string();
    if (path.empty() || path.back() != std::filesystem::path::preferred_separator) {
        path += std::filesystem::path::preferred_separator;
    }
    return path;
}

// Why a header cannot describe a level of this format, or empty when it can. Wider rows would
// overlap the next row's cells, and more cells than that cannot come from the editor and would
// only exhaust memory. Zero or negative sizes are a level without cells.
std::string HeaderProblem(std::int32_t width, std::int32_t height) {
    if (width > lf::kMaxColumns) {
        return "the header announces " + std::to_string(width) +
               " columns; a level file holds at most " + std::to_string(lf::kMaxColumns);
    }
    if (width > 0 && height > 0 &&
        static_cast<std::int64_t>(width) * static_cast<std::int64_t>(height) > lf::kMaxCells) {
        return "the header announces " + std::to_string(width) + " x " + std::to_string(height) +
               " cells; a level holds at most " + std::to_string(lf::kMaxCells);
    }
    return {};
}

struct Header {
    std::int32_t startX = 0;
    std::int32_t startY = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t storedHeight = 0;  // as stored, also where a width of 0 replaces the height
};

// Reads and judges the header of the open level file; the file stays open either way. A file
// too short to hold a header is no level file: its values would come from whatever was read
// before.
std::string ReadHeader(runtime::Files& files, Header& header) {
    if (files.Size() < lf::kHeaderSize) {
        return "the file is too short to hold a level header (" + std::to_string(lf::kHeaderSize) +
               " bytes)";
    }
    files.Seek(0);
    header.startX = files.ReadInt();
    header.startY = files.ReadInt();
    header.width = files.ReadInt();
    header.height = files.ReadInt();
    header.storedHeight = header.height;
    if (header.width == 0) {
        // A width of 0 marks a file of the first layout, which always holds 200 x 100 cells.
        header.width = 200;
        header.height = 100;
    }
    return HeaderProblem(header.width, header.height);
}

void PutIntAt(std::vector<std::uint8_t>& bytes, std::int64_t position, std::int32_t value) {
    runtime::PutLittleEndianInt(bytes.data() + position, value);
}

// Reads the values of a level file's cells, in increasing positions, from a window of the file
// read in one go: the whole file for every level the editor can make, and pieces of a bounded
// size for a larger file. A value that lies wholly or partly past the end of the file cannot be
// read and repeats the previous read.
class ValueReader {
  public:
    ValueReader(runtime::Files& files, std::int64_t size, std::int32_t lastRead)
        : files_(files), size_(size), last_(lastRead) {}

    std::int32_t At(std::int64_t position) {
        if (position + 4 > size_) {
            return last_;
        }
        if (position < windowStart_ || position + 4 > windowEnd_) {
            Fill(position);
            if (position + 4 > windowEnd_) {
                return last_;  // the file ended sooner than it said
            }
        }
        last_ = runtime::LittleEndianInt(window_.data() + (position - windowStart_));
        return last_;
    }

  private:
    void Fill(std::int64_t position) {
        const std::int64_t count = std::min(kWindowBytes, size_ - position);
        window_.resize(static_cast<std::size_t>(count));
        windowStart_ = position;
        windowEnd_ = position + files_.ReadBytes(position, window_.data(), count);
    }

    static constexpr std::int64_t kWindowBytes = std::int64_t{32} << 20;
    runtime::Files& files_;
    std::int64_t size_;
    std::int32_t last_;
    std::vector<std::uint8_t> window_;
    std::int64_t windowStart_ = 0;
    std::int64_t windowEnd_ = 0;
};

// Whether a record at this byte lies within the rows of a file of the given height. A record
// outside them (possible only for a list built by hand) would overwrite the header or grow the
// file without ever being read back.
bool RecordFits(std::int64_t position, std::int32_t height) {
    return position >= lf::RecordOffset(1, 1) &&
           position <= lf::RecordOffset(lf::kRowStride, height);
}

// The start view offset a save writes: the one the author placed, else the view of the moment.
StartOffset HeaderStart(const Level& level) {
    if (level.placedStart) {
        return *level.placedStart;
    }
    return {RoundToInt(level.viewX), RoundToInt(level.viewY)};
}

// The bytes of the level's file: the header, then each record at the place of its position;
// a later record on the same cell overwrites an earlier one, and every byte no value covers is
// zero. The file ends with the last value written.
std::vector<std::uint8_t> EncodeLevelFile(const Level& level) {
    std::int64_t end = lf::kHeaderSize;
    for (const Element& e : level.elements) {
        const std::int64_t p =
            static_cast<std::int64_t>(RoundToInt(e.column + 300.0f * e.row)) * lf::kRecordSize;
        if (RecordFits(p, level.levelHeight)) {
            end = std::max(end, p + lf::kBackground + 4);
        }
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(end), 0);
    const StartOffset start = HeaderStart(level);
    PutIntAt(bytes, 0, start.x);
    PutIntAt(bytes, 4, start.y);
    PutIntAt(bytes, 8, level.levelWidth);
    PutIntAt(bytes, 12, level.levelHeight);
    for (const Element& e : level.elements) {
        const std::int64_t p =
            static_cast<std::int64_t>(RoundToInt(e.column + 300.0f * e.row)) * lf::kRecordSize;
        if (!RecordFits(p, level.levelHeight)) {
            continue;
        }
        PutIntAt(bytes, p + lf::kKind, RoundToInt(e.kind));
        PutIntAt(bytes, p + lf::kLink, RoundToInt(e.link));
        PutIntAt(bytes, p + lf::kLength, RoundToInt(e.length));
        PutIntAt(bytes, p + lf::kSpeedX, RoundToInt(e.speedX));
        PutIntAt(bytes, p + lf::kSpeedY, RoundToInt(e.speedY));
        PutIntAt(bytes, p + lf::kPause1, RoundToInt(e.pause1));
        PutIntAt(bytes, p + lf::kPause2, RoundToInt(e.pause2));
        PutIntAt(bytes, p + lf::kBackground, RoundToInt(e.background));
    }
    return bytes;
}

}  // namespace

std::string LevelFileProblem(runtime::Files& files, const std::string& path) {
    if (path.empty() || !files.OpenForReading(kLevelFile, path)) {
        return "the file cannot be opened";
    }
    Header header;
    std::string problem = ReadHeader(files, header);
    files.Close(kLevelFile);
    return problem;
}

std::string CellCoverProblem(const Level& level) {
    const std::int64_t width = std::max(level.levelWidth, 0);
    const std::int64_t height = std::max(level.levelHeight, 0);
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (static_cast<std::int64_t>(level.elements.size()) != width * height) {
        return std::to_string(level.elements.size()) + " elements for " + size +
               " cells; a level has one element per cell";
    }
    std::vector<bool> taken(level.elements.size(), false);
    for (std::size_t i = 0; i < level.elements.size(); ++i) {
        const float column = level.elements[i].homeColumn;
        const float row = level.elements[i].homeRow;
        if (!(column >= 1.0f && column <= static_cast<float>(width) && row >= 1.0f &&
              row <= static_cast<float>(height)) ||
            column != std::floor(column) || row != std::floor(row)) {
            return "element " + std::to_string(i + 1) + " is at home outside the " + size +
                   " cells";
        }
        const auto cell = static_cast<std::size_t>((static_cast<std::int64_t>(row) - 1) * width +
                                                   static_cast<std::int64_t>(column) - 1);
        if (taken[cell]) {
            return "cell (" + std::to_string(static_cast<std::int64_t>(column)) + ", " +
                   std::to_string(static_cast<std::int64_t>(row)) +
                   ") is the home of a second element";
        }
        taken[cell] = true;
    }
    return {};
}

LoadResult ReadLevelFile(Level& level, runtime::Files& files) {
    level.score = 0;
    if (level.levelFileName.empty() || !files.OpenForReading(kLevelFile, level.levelFileName)) {
        return LoadResult::NotLoaded;
    }
    // The whole header is read and judged before anything of the level changes.
    Header header;
    if (!ReadHeader(files, header).empty()) {
        files.Close(kLevelFile);
        return LoadResult::NotLoaded;
    }
    const std::int32_t width = header.width;
    const std::int32_t height = header.height;

    // Every level begins at the start offset stored in its own file. (A save point taken later
    // keeps its own view offset, which going back to it restores.)
    level.startX = header.startX;
    level.startY = header.startY;
    level.fileStart = StartOffset{header.startX, header.startY};
    level.placedStart.reset();
    level.levelWidth = width;
    level.levelHeight = height;
    level.viewX = static_cast<float>(level.startX);
    level.viewY = static_cast<float>(level.startY);

    ElementList elements;
    if (width > 0 && height > 0) {
        elements.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    }
    // The last value read so far is the header's stored height. A level of no width has no
    // cells however many rows it announces: its rows are not walked.
    ValueReader values(files, files.Size(), header.storedHeight);
    const std::int32_t rows = width > 0 ? height : 0;
    for (std::int32_t r = 1; r <= rows; ++r) {
        for (std::int32_t c = 1; c <= width; ++c) {
            const std::int64_t p = lf::RecordOffset(c, r);
            std::int32_t kind = values.At(p + lf::kKind);
            const std::int32_t link = values.At(p + lf::kLink);
            const std::int32_t length = values.At(p + lf::kLength);
            const std::int32_t speedX = values.At(p + lf::kSpeedX);
            const std::int32_t speedY = values.At(p + lf::kSpeedY);
            const std::int32_t pause1 = values.At(p + lf::kPause1);
            const std::int32_t pause2 = values.At(p + lf::kPause2);
            std::int32_t background = values.At(p + lf::kBackground);
            if (background == 0) {
                background = static_cast<std::int32_t>(Background::Air);
            }
            // A bush trampled away completely is never saved by this program; in a file it
            // stands for a water cell.
            if (kind == static_cast<std::int32_t>(ElementKind::BushGone)) {
                kind = static_cast<std::int32_t>(ElementKind::Empty);
                background = static_cast<std::int32_t>(Background::Water);
            }
            AddCell(elements, background, c, r, kind, c, r, 0, link, 0, length, speedX, speedY, 0,
                    pause1, pause2);
        }
    }
    files.Close(kLevelFile);
    ReplaceElements(level, std::move(elements));
    level.triggeredLink = -1;
    return LoadResult::Loaded;
}

LoadResult LoadLevel(Level& level, runtime::Files& files, runtime::Requesters& requesters,
                     const runtime::GameFolder& folder) {
    level.levelFileName =
        requesters.OpenFile("Spiel laden", LevelDirectoryForRequester(folder), kLevelPattern);
    return ReadLevelFile(level, files);
}

SaveResult WriteLevelFile(Level& level, runtime::Files& files, const std::string& path,
                          std::string* problem) {
    RestoreEditState(level);
    // A level this format cannot hold is not written at all: a wider row would spill into the
    // next one, and a file with more cells would be refused by the reader.
    std::string why = HeaderProblem(level.levelWidth, level.levelHeight);
    if (why.empty()) {
        // Records are placed by their position, which RestoreEditState has made their home cell.
        const std::vector<std::uint8_t> bytes = EncodeLevelFile(level);
        if (files.Create(kLevelFile, path)) {
            files.WriteBytes(bytes.data(), bytes.size());
            if (files.Close(kLevelFile)) {
                level.fileStart = HeaderStart(level);
                return SaveResult::Saved;
            }
        }
        why = files.Problem();
    }
    if (problem != nullptr) {
        *problem = why;
    }
    return SaveResult::Failed;
}

SaveResult SaveLevel(Level& level, runtime::Files& files, runtime::Requesters& requesters,
                     const runtime::GameFolder& folder, std::string* problem) {
    std::string name =
        requesters.SaveFile("Spiel speichern", LevelDirectoryForRequester(folder), kLevelPattern);
    // The last four characters must be exactly ".TXT" (".txt" does not count); a name shorter
    // than that is compared whole.
    const int length = runtime::Length(name);
    if (runtime::Mid(name, length - 3, 4) != kLevelExtension) {
        name += kLevelExtension;
    }
    // A cancelled requester leaves nothing but the extension; the level keeps its name, which
    // its save points are tied to.
    if (name == kLevelExtension) {
        return SaveResult::Cancelled;
    }
    level.levelFileName = std::move(name);
    return WriteLevelFile(level, files, level.levelFileName, problem);
}

}  // namespace tessaron::level
