// Text as the level tool's JSON. Parsing and reading must accept or refuse every text without
// harm; a level it accepts must read back the same from its own JSON and must be written as a
// level file (or refused for its size) without harm.
#include <cstddef>
#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "fuzz_support.h"
#include "level/level_file.h"
#include "level/level_json.h"
#include "runtime/files.h"

using namespace tessaron;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    if (json.is_discarded()) {
        return 0;
    }
    level::Level level;
    std::string error;
    if (!level::LevelFromJson(json, level, error)) {
        if (error.empty()) {
            fuzz::Fail("a refused level says not why");
        }
        return 0;
    }

    const nlohmann::json written =
        nlohmann::json::parse(level::LevelToJsonText(level), nullptr, false);
    level::Level back;
    if (written.is_discarded() || !level::LevelFromJson(written, back, error)) {
        fuzz::Fail("a level's own JSON is refused");
    }
    if (back.levelWidth != level.levelWidth || back.levelHeight != level.levelHeight ||
        !fuzz::SameBits(back.viewX, level.viewX) || !fuzz::SameBits(back.viewY, level.viewY) ||
        !fuzz::SameElements(back.elements, level.elements)) {
        fuzz::Fail("a level's own JSON reads back differently");
    }

    static const runtime::GameFolder folder(fuzz::GameFolderPath());
    runtime::Files files(folder);
    if (level::WriteLevelFile(level, files, "packed.TXT") == level::SaveResult::Saved) {
        level::Level read;
        read.levelFileName = "packed.TXT";
        if (level::ReadLevelFile(read, files) != level::LoadResult::Loaded) {
            fuzz::Fail("a packed level file cannot be read");
        }
    }
    return 0;
}
