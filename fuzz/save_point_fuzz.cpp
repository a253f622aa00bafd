// Bytes as the save-point file. Restoring must either leave the game exactly as it was or bring
// back a list whose records survive a few passes of the element update; storing what was
// restored and restoring that again must give the same game. Only a file of the level's own
// cell count can belong to the sample level (no input can forge its mark by chance).
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "game/motion.h"
#include "game/simulation.h"
#include "runtime/files.h"
#include "runtime/random.h"

using namespace tessaron;

namespace {

level::Level SampleLevel() {
    level::Level level;
    level::BuildFreshGrid(level.elements, 3, 2);
    level.levelWidth = 3;
    level.levelHeight = 2;
    level.viewX = 12.5f;
    level.viewY = -7.25f;
    return level;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const runtime::GameFolder folder(fuzz::GameFolderPath());
    fuzz::WriteBytes(folder.Resolve(game::kSavePointFile), data, size);
    runtime::Files files(folder);

    level::Level level = SampleLevel();
    game::Player player;
    player.velocityX = 0.5f;
    player.velocityY = -1.5f;
    if (!game::RestoreSavePoint(level, player, files)) {
        const level::Level before = SampleLevel();
        if (!fuzz::SameElements(level.elements, before.elements) ||
            !fuzz::SameBits(level.viewX, before.viewX) ||
            !fuzz::SameBits(level.viewY, before.viewY) || !fuzz::SameBits(player.velocityX, 0.5f) ||
            !fuzz::SameBits(player.velocityY, -1.5f)) {
            fuzz::Fail("a refused save point changed the game");
        }
        return 0;
    }
    if (size < 20 + 60 * level.elements.size()) {
        fuzz::Fail("a save point was restored from a file shorter than its records");
    }

    // Stored and restored again, into the same level played on: the same game.
    if (!game::StoreSavePoint(level, player, files)) {
        fuzz::Fail("a restored save point could not be stored");
    }
    level::Level again = level;
    again.viewX = 1.5f;
    for (level::Element& element : again.elements) {
        element.travelled = 0.25f;
    }
    game::Player againPlayer;
    if (!game::RestoreSavePoint(again, againPlayer, files) ||
        !fuzz::SameElements(again.elements, level.elements) ||
        !fuzz::SameBits(again.viewX, level.viewX) || !fuzz::SameBits(again.viewY, level.viewY) ||
        !fuzz::SameBits(againPlayer.velocityX, player.velocityX) ||
        !fuzz::SameBits(againPlayer.velocityY, player.velocityY)) {
        fuzz::Fail("a stored save point restores differently");
    }

    // What the restored records do in play.
    runtime::Random random(1);
    game::UpdateSchedule schedule;
    for (int pass = 0; pass < 3; ++pass) {
        game::UpdateElements(level, schedule, random);
    }
    level::RestoreEditState(level);
    return 0;
}
