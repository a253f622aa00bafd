#include "level/level_file.h"

#include <filesystem>
#include <utility>

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
        return "the header announces " + std::to_string(width) + " x " +
               std::to_string(height) + " cells; a level holds at most " +
               std::to_string(lf::kMaxCells);
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
        return "the file is too short to hold a level header (" +
               std::to_string(lf::kHeaderSize) + " bytes)";
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

// Reads the values of a level file's cells. A value that lies wholly or partly past the end of
// the file cannot be read and repeats the previous read; that is known without asking the file,
// which spares a truncated file of many cells a system call per value.
class ValueReader {
public:
    ValueReader(runtime::Files& files, std::int64_t size, std::int32_t lastRead)
        : files_(files), size_(size), last_(lastRead) {}

    std::int32_t At(std::int64_t position) {
        if (position + 4 <= size_) {
            files_.Seek(position);
            last_ = files_.ReadInt();
        }
        return last_;
    }

private:
    runtime::Files& files_;
    std::int64_t size_;
    std::int32_t last_;
};

void WriteValueAt(runtime::Files& files, std::int64_t position, float value) {
    files.Seek(position);
    files.WriteInt(RoundToInt(value));
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

    // Only the first level read after the program starts begins at its own stored offset;
    // every later one begins where the first did, or at the last save point taken.
    if (level.startX == kNoStartOffset) {
        level.startX = header.startX;
        level.startY = header.startY;
    }
    level.levelWidth = width;
    level.levelHeight = height;
    level.viewX = static_cast<float>(level.startX);
    level.viewY = static_cast<float>(level.startY);

    ElementList elements;
    if (width > 0 && height > 0) {
        elements.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    }
    // The last value read so far is the header's stored height.
    ValueReader values(files, files.Size(), header.storedHeight);
    for (std::int32_t r = 1; r <= height; ++r) {
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
            AddCell(elements, background, c, r, kind, c, r, 0, link, 0, length, speedX,
                    speedY, 0, pause1, pause2);
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

SaveResult WriteLevelFile(Level& level, runtime::Files& files, const std::string& path) {
    RestoreEditState(level);
    // A level this format cannot hold is not written at all: a wider row would spill into the
    // next one, and a file with more cells would be refused by the reader.
    if (!HeaderProblem(level.levelWidth, level.levelHeight).empty()) {
        return SaveResult::Failed;
    }
    if (!files.Create(kLevelFile, path)) {
        return SaveResult::Failed;
    }
    files.Seek(0);
    files.WriteInt(RoundToInt(level.viewX));
    files.WriteInt(RoundToInt(level.viewY));
    files.WriteInt(level.levelWidth);
    files.WriteInt(level.levelHeight);

    // Records are placed by their position, which RestoreEditState has made their home cell. A
    // record whose home lies outside the rows of the file's grid (possible only in a list
    // built by hand) would overwrite the header or grow the file without ever being read
    // back, so it is left out.
    const std::int64_t firstRecord = lf::RecordOffset(1, 1);
    const std::int64_t lastRecord = lf::RecordOffset(lf::kRowStride, level.levelHeight);
    for (const Element& e : level.elements) {
        const std::int64_t p =
            static_cast<std::int64_t>(RoundToInt(e.column + 300.0f * e.row)) * lf::kRecordSize;
        if (p < firstRecord || p > lastRecord) {
            continue;
        }
        WriteValueAt(files, p + lf::kKind, e.kind);
        WriteValueAt(files, p + lf::kLink, e.link);
        WriteValueAt(files, p + lf::kLength, e.length);
        WriteValueAt(files, p + lf::kSpeedX, e.speedX);
        WriteValueAt(files, p + lf::kSpeedY, e.speedY);
        WriteValueAt(files, p + lf::kPause1, e.pause1);
        WriteValueAt(files, p + lf::kPause2, e.pause2);
        WriteValueAt(files, p + lf::kBackground, e.background);
    }
    return files.Close(kLevelFile) ? SaveResult::Saved : SaveResult::Failed;
}

SaveResult SaveLevel(Level& level, runtime::Files& files, runtime::Requesters& requesters,
                     const runtime::GameFolder& folder) {
    level.levelFileName =
        requesters.SaveFile("Spiel speichern", LevelDirectoryForRequester(folder), kLevelPattern);
    // The last four characters must be exactly ".TXT" (".txt" does not count); a name shorter
    // than that is compared whole.
    const int length = runtime::Length(level.levelFileName);
    if (runtime::Mid(level.levelFileName, length - 3, 4) != kLevelExtension) {
        level.levelFileName += kLevelExtension;
    }
    // A cancelled requester leaves nothing but the extension.
    if (level.levelFileName == kLevelExtension) {
        return SaveResult::Cancelled;
    }
    return WriteLevelFile(level, files, level.levelFileName);
}

}  // namespace tessaron::level
