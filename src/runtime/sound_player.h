// Playing numbered sounds, as the game asks for them: the machine layer's sound plays them on
// the sound device; a run that must stay quiet passes a player that plays nothing.
#pragma once

namespace tessaron::runtime {

class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;
    // Stops the sound, rewinds it and plays it once; a number without a sound plays nothing.
    virtual void Play(int number) = 0;
};

// Plays nothing.
class Silence final : public SoundPlayer {
  public:
    void Play(int /*number*/) override {}
};

}  // namespace tessaron::runtime
