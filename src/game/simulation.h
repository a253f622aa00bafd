// The game simulation of a play pass: the player's contacts, gravity and the collision passes
// (first stage), the player's keys, and after the elements have moved the push-out pass and the
// crush rule (second stage). Contacts fire the effects of pickups, disks, spikes, bushes,
// sensors and switches.
#pragma once

#include <functional>
#include <string>

#include "game/events.h"
#include "game/player.h"
#include "game/save_points.h"
#include "level/level.h"
#include "runtime/collision_masks.h"
#include "runtime/files.h"
#include "runtime/sound_player.h"

namespace tessaron::game {

// The machine services the simulation uses: the pictures' collision masks (made when the
// pictures were loaded at start-up), the pickup sound, the save point and the random numbers.
struct Services {
    const runtime::CollisionMasks& masks;
    runtime::SoundPlayer& sound;
    SavePointStore& savePoints;
    runtime::Random& random;
    // Told why, when a disk is taken but its save point cannot be stored; play goes on.
    std::function<void(const std::string& reason)> savePointNotStored = {};
    // Where the pass notes what happened for the player to notice; null notes nothing.
    PassEvents* events = nullptr;

    void Note(GameEvent event) const {
        if (events != nullptr) {
            events->Note(event);
        }
    }
    void NoteContact(GameEvent event) const {
        if (events != nullptr) {
            events->NoteContact(event);
        }
    }
};

// The keys the player holds in this pass's keyboard snapshot.
struct PlayerKeys {
    bool up = false;
    bool left = false;
    bool right = false;
};

// The first simulation stage of a play pass, after the tick and before the keyboard stage: the
// touch pass, gravity and the vertical pass, friction and the horizontal pass.
void RunFirstStage(level::Level& level, Player& player, const Services& services);

// The ball's keys, last in the keyboard stage of a play pass: jump or swim, run left and right.
void ApplyPlayerKeys(level::Level& level, Player& player, const PlayerKeys& keys,
                     const Services& services);

// The second simulation stage of a play pass, after the frame has begun and before the drawing:
// the element update pass, then the push-out pass and the crush rule.
void RunSecondStage(level::Level& level, Player& player, const Services& services);

// The save-point file "Diskette.txt" in the game folder.
inline constexpr const char* kSavePointFile = "Diskette.txt";
inline constexpr int kSavePointFileNumber = 1;

// Writes the view offset, the velocities and every element, rounded, to the save-point file.
// False when the file could not be written (an earlier one is then kept as it was).
bool StoreSavePoint(const level::Level& level, const Player& player, runtime::Files& files);

// Brings back what the save-point file holds. A missing, short or inconsistent file leaves the
// game as it was and returns false.
bool RestoreSavePoint(level::Level& level, Player& player, runtime::Files& files);

}  // namespace tessaron::game
