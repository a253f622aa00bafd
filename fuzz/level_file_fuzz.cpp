// Bytes as a level file. The reader must refuse or read every file without harm. A level it
// reads is then played as a player would: its elements move for a few passes, the level is put
// back into its editable state and saved, and the file must read back cell for cell as that
// state, in a file of the written length.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "game/motion.h"
#include "level/level_file.h"
#include "runtime/files.h"
#include "runtime/numbers.h"
#include "runtime/random.h"

using namespace tessaron;

namespace {

// Larger levels are given to the reader only when their header is refused. Reading, playing
// and saving a level of a hundred thousand cells, or one whose file spans megabytes of rows,
// would take a thousand inputs' time, and a larger level is read, moved and written by the same
// rules: an input of at most 40 kB holds three rows, and every value past its end repeats the
// last one read.
constexpr std::int64_t kMostCells = 4096;
constexpr std::int64_t kMostFileBytes = std::int64_t{256} << 10;
constexpr int kPassesPlayed = 8;

// Whether the level a level file's header announces is larger than the bounds, by the reader's
// rule that a width of 0 marks the first layout of 200 x 100 cells.
bool AnnouncesALargeLevel(const std::uint8_t* data, std::size_t size) {
    if (size < static_cast<std::size_t>(level::level_file::kHeaderSize)) {
        return false;
    }
    const std::int32_t width = runtime::LittleEndianInt(data + 8);
    const std::int32_t height = runtime::LittleEndianInt(data + 12);
    if (width == 0) {
        return true;
    }
    return width > 0 && height > 0 &&
           (std::int64_t{width} * height > kMostCells ||
            level::level_file::FileLength(width, height) > kMostFileBytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const runtime::GameFolder folder(fuzz::GameFolderPath());
    fuzz::WriteBytes(folder.Resolve("input.TXT"), data, size);
    runtime::Files files(folder);
    if (AnnouncesALargeLevel(data, size) && level::LevelFileProblem(files, "input.TXT").empty()) {
        return 0;
    }

    level::Level level;
    level.levelFileName = "input.TXT";
    if (level::ReadLevelFile(level, files) != level::LoadResult::Loaded) {
        if (!level.elements.empty() || level.levelWidth != 0 || level.levelHeight != 0) {
            fuzz::Fail("a refused file changed the level");
        }
        return 0;
    }
    const std::int64_t cells = level.levelWidth > 0 && level.levelHeight > 0
                                   ? std::int64_t{level.levelWidth} * level.levelHeight
                                   : 0;
    if (static_cast<std::int64_t>(level.elements.size()) != cells) {
        fuzz::Fail("the list does not hold one record per cell");
    }

    // Played, then saved: the writer puts the level into its editable state first.
    runtime::Random random(1);
    game::UpdateSchedule schedule;
    for (int pass = 0; pass < kPassesPlayed; ++pass) {
        game::UpdateElements(level, schedule, random);
    }
    if (level::WriteLevelFile(level, files, "output.TXT") != level::SaveResult::Saved) {
        fuzz::Fail("a level read from a file could not be written");
    }
    level::Level back;
    back.levelFileName = "output.TXT";
    if (level::ReadLevelFile(back, files) != level::LoadResult::Loaded) {
        fuzz::Fail("a written level could not be read back");
    }
    if (back.levelWidth != level.levelWidth || back.levelHeight != level.levelHeight ||
        !fuzz::SameElements(back.elements, level.elements)) {
        fuzz::Fail("a level saved after play reads back differently, cell for cell");
    }
    if (cells > 0) {
        std::error_code error;
        const auto length = std::filesystem::file_size(folder.Resolve("output.TXT"), error);
        if (error || static_cast<std::int64_t>(length) !=
                         level::level_file::FileLength(level.levelWidth, level.levelHeight)) {
            fuzz::Fail("a written level file has the wrong length");
        }
    }
    return 0;
}
