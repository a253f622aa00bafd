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

using namespace tessaron;

namespace {

// Levels of more cells are only read: playing and saving them would take thousands of inputs'
// time, and a larger level moves by the same rules.
constexpr std::int64_t kMostCellsPlayed = 4096;
constexpr int kPassesPlayed = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const runtime::GameFolder folder(fuzz::GameFolderPath());
    fuzz::WriteBytes(folder.Resolve("input.TXT"), data, size);
    runtime::Files files(folder);

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
    if (cells > kMostCellsPlayed) {
        return 0;
    }

    // Played, then saved: the writer puts the level into its editable state first.
    runtime::Random random(1);
    for (int pass = 0; pass < kPassesPlayed; ++pass) {
        game::UpdateElements(level, random);
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
