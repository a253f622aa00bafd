// Where the game keeps its save point: the file "Diskette.txt" in the game folder when a player
// plays, or memory when the automatic player searches a level and must leave the folder alone.
#pragma once

#include <memory>

#include "game/player.h"
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
};

// The save-point file of the game folder (StoreSavePoint and RestoreSavePoint).
class SavePointFile final : public SavePointStore {
public:
    explicit SavePointFile(runtime::Files& files) : files_(files) {}
    bool Store(const level::Level& level, const Player& player) override;
    bool Restore(level::Level& level, Player& player) override;

private:
    runtime::Files& files_;
};

// A save point held in memory, rounded exactly as the file rounds it, so that a run brings back
// the same game from either. Copies share what was kept: copying a store costs a pointer, and a
// later Store never changes what a copy holds. A new store holds nothing, like a game folder
// without a save-point file.
class SavePointMemory final : public SavePointStore {
public:
    bool Store(const level::Level& level, const Player& player) override;
    bool Restore(level::Level& level, Player& player) override;
    bool Holds() const { return kept_ != nullptr; }
    // True when both hold the same save point (or none), bit for bit.
    bool SameAs(const SavePointMemory& other) const;

private:
    struct Kept {
        float viewX = 0.0f;
        float viewY = 0.0f;
        float velocityX = 0.0f;
        float velocityY = 0.0f;
        level::ElementList elements;
    };
    std::shared_ptr<const Kept> kept_;
};

}  // namespace tessaron::game
