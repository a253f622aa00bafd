// The game's sound effects and its music, beside the pickup chime: what each sound file holds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessaron::assets {

// The mixer's own rate: sounds made at it are mixed as they are, without resampling while they
// play (the music streams for as long as the game runs).
inline constexpr int kEffectRate = 44100;
inline constexpr int kMusicRate = kEffectRate;

struct SoundFile {
    std::string file;  // the name under WAV/
    int rate = kEffectRate;
    int channels = 1;
    // 16-bit samples, channels side by side.
    std::vector<std::int16_t> samples;
};

// Every effect: a jump, a landing, going into and out of water, a switch, a sensor, a mover
// setting off, a disk taken, being sent back, the goal's fanfare and the menu's click. Mono,
// 44.1 kHz; each starts and ends in silence.
std::vector<SoundFile> MakeEffects();

// The music: a calm loop of about a minute in stereo, whose end runs on into its beginning.
SoundFile MakeMusic();

}  // namespace tessaron::assets
