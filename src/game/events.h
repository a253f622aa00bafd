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
    void Clear() { counts_.fill(0); }

  private:
    std::array<std::uint16_t, kGameEventCount> counts_{};
};

}  // namespace tessaron::game
