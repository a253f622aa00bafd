// Where the game keeps its save point: the file "Diskette.txt" in the game folder when a player
// plays, or memory when the automatic player searches a level and must leave the folder alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/player.h"
#include "game/save_point.h"
#include "level/level.h"
#include "runtime/files.h"

namespace tessaron::game {

class SavePointStore {
  public:
    virtual ~SavePointStore() = default;
    // Keeps the view offset, the velocities and every element, each rounded to a whole number.
    // False when nothing could be kept; an earlier save point then stays as it was.
    virtual bool Store(const level::Level& level, const Player& player) = 0;
    // Brings back the save point last kept. False, with the game left as it was, when there is
    // none that can be used.
    virtual bool Restore(level::Level& level, Player& player) = 0;
    // Why the last Store failed.
    virtual std::string Problem() const = 0;
};

// The save-point file of the game folder (StoreSavePoint and RestoreSavePoint of save_point.h).
class SavePointFile final : public SavePointStore {
  public:
    explicit SavePointFile(runtime::Files& files) : files_(files) {}
    bool Store(const level::Level& level, const Player& player) override;
    bool Restore(level::Level& level, Player& player) override;
    std::string Problem() const override { return files_.Problem(); }

  private:
    runtime::Files& files_;
};

// A save point held in memory: the bytes the file would hold, so that a run brings back the
// same game from either. Copies share what was kept: copying a store costs a pointer, and a
// later Store never changes what a copy holds. A new store holds nothing, like a game folder
// without a save-point file.
class SavePointMemory final : public SavePointStore {
  public:
    // Never fails.
    bool Store(const level::Level& level, const Player& player) override;
    bool Restore(level::Level& level, Player& player) override;
    std::string Problem() const override { return {}; }
    // True when both hold the same save point (or none), byte for byte.
    bool SameAs(const SavePointMemory& other) const;
    // What this store shares with its copies (null when it holds nothing), to count the memory
    // of many copies once, and the bytes that takes.
    const void* Shared() const { return kept_.get(); }
    std::size_t SharedBytes() const;

  private:
    std::shared_ptr<const std::vector<std::uint8_t>> kept_;
};

}  // namespace tessaron::game
