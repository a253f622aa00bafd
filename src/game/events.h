// What happened in a play pass that the player notices: the ball jumped, took a coin, was sent
// back, took the goal. The simulation notes each event as it happens; the program answers them
// after the pass (a sound, the goal screen). Noting an event changes nothing in the game.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tessaron::game {

enum class GameEvent : std::uint8_t {
    Jump,           // the ball left the ground by Up
    Landing,        // the ball came down on something after a real fall
    EnterWater,     // the ball went into water
    LeaveWater,     // the ball came out of water
    SwitchPressed,  // a switch was pressed by the ball
    SensorPassed,   // the ball passed a sensor
    MoverStarted,   // an element set off on its displacement
    CoinTaken,      // a coin was taken
    DiskTaken,      // a floppy disk was taken (a save point stored)
    SentBack,       // spikes or a crush sent the ball back to the save point
    GoalTaken,      // a goal was taken
    Count
};

inline constexpr std::size_t kGameEventCount = static_cast<std::size_t>(GameEvent::Count);

// How often each event happened in one pass; the program clears it before every pass.
class PassEvents {
  public:
    void Note(GameEvent event) {
        std::uint16_t& n = counts_[static_cast<std::size_t>(event)];
        if (n < UINT16_MAX) {
            ++n;
        }
    }
    // An event of a contact that may last for many passes (the ball inside a sensor): noted only
    // in the pass in which it begins, that is when the pass before had no such contact.
    void NoteContact(GameEvent event) {
        const std::size_t i = static_cast<std::size_t>(event);
        if (!touching_[i] && !touchedBefore_[i]) {
            Note(event);
        }
        touching_[i] = true;
    }
    std::uint16_t Count(GameEvent event) const { return counts_[static_cast<std::size_t>(event)]; }
    bool Happened(GameEvent event) const { return Count(event) > 0; }
    bool Empty() const {
        for (std::uint16_t n : counts_) {
            if (n != 0) {
                return false;
            }
        }
        return true;
    }
    // Starts a new pass: the counts go, the contacts become those of the pass before.
    void Clear() {
        counts_.fill(0);
        touchedBefore_ = touching_;
        touching_.fill(false);
    }

  private:
    std::array<std::uint16_t, kGameEventCount> counts_{};
    std::array<bool, kGameEventCount> touching_{};
    std::array<bool, kGameEventCount> touchedBefore_{};
};

}  // namespace tessaron::game
