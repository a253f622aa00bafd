// The small synthesiser the game's sounds are made with: tones whose pitch and level follow
// curves, filtered noise, a room reverb, and the finish that makes a track a clean 16-bit sound
// (no offset, soft ends, a set peak). Everything is computed in doubles from fixed seeds, so the
// same program makes the same samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace tessaron::assets::synth {

inline constexpr double kPi = 3.14159265358979323846;

// Samples of one channel, about -1..1 before the finish.
using Track = std::vector<double>;

// A curve over the seconds since its sound began: a pitch in Hz, a level, a cut-off.
using Curve = std::function<double(double)>;

// The frequency of a note: MIDI numbering, 69 is A4 at 440 Hz.
double NoteHz(double note);

// A constant curve.
Curve Constant(double value);
// From `from` to `to` in `seconds`, evenly in the logarithm (as the ear hears pitch), then
// staying at `to`.
Curve Glide(double from, double to, double seconds);

// A level that rises with a raised cosine over `attack` seconds and then falls by 1/e every
// `decay` seconds.
double Strike(double t, double attack, double decay);
// A level that rises over `attack`, holds, and falls with a raised cosine over the last
// `release` seconds of `length`.
double Swell(double t, double attack, double release, double length);

// Pseudo-random numbers from a fixed seed, uniform in -1..1.
class Noise {
  public:
    explicit Noise(std::uint64_t seed) : state_(seed * 2654435761u + 1) {}
    double Next();
    // Uniform in [low, high).
    double Between(double low, double high) { return low + (high - low) * (Next() + 1.0) / 2.0; }

  private:
    std::uint64_t state_;
};

// A second-order filter (low pass, band pass or high pass) whose cut-off may move per sample.
class Filter {
  public:
    enum class Kind { LowPass, BandPass, HighPass };
    Filter(Kind kind, double q, int rate) : kind_(kind), q_(q), rate_(rate) {}
    double Step(double input, double cutoff);

  private:
    void Tune(double cutoff);
    Kind kind_;
    double q_;
    int rate_;
    double tuned_ = -1.0;
    double b0_ = 0, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// One voice: its partials are whole multiples of the pitch (with `stretch` they spread slightly,
// as in a struck bar), each with its own level and a decay that shortens with its number.
struct Voice {
    Curve pitch = Constant(440.0);
    Curve level = Constant(1.0);
    std::vector<double> partials = {1.0};
    // How bright the voice is over time, 0..1: partial n is weighted by brightness^(n - 1). An
    // empty curve leaves the partials as given.
    Curve brightness;
    // Partial n (from 1) decays by 1/e in `partialDecay / n` seconds; 0 keeps them all.
    double partialDecay = 0.0;
    double stretch = 0.0;
    // Vibrato in Hz and in semitones, beginning after `vibratoDelay` seconds.
    double vibratoRate = 0.0;
    double vibratoDepth = 0.0;
    double vibratoDelay = 0.0;
};

// Adds the voice to the track from `start` for `length` seconds, times `gain`; the last few
// milliseconds fade out, so that a voice cut short never clicks.
void Add(Track& track, int rate, double start, double length, const Voice& voice,
         double gain = 1.0);

// Adds noise through a moving band (low pass, band pass or high pass) from `start` for `length`
// seconds, at the level the curve gives.
void AddNoise(Track& track, int rate, double start, double length, std::uint64_t seed,
              Filter::Kind kind, double q, const Curve& cutoff, const Curve& level);

// A room: the dry sound with its reverberation mixed in at `wet`. `size` from 0 to 1 sets how
// long the room rings, `damping` from 0 to 1 how soon its highs die; `spread` shifts the room's
// delays (the two channels of a stereo sound take different spreads).
Track Room(const Track& dry, int rate, double size, double damping, double wet, int spread = 0);

// The same room on a sound that repeats for ever: its tail runs on into its own beginning, so
// the loop has no seam.
Track LoopedRoom(const Track& dry, int rate, double size, double damping, double wet,
                 int spread = 0);

// A gentle low pass over the whole track (one pole).
void Soften(Track& track, int rate, double cutoff);

// Ready to play: no constant offset, the silence at the end cut off, a raised-cosine fade over the
// first and the last milliseconds given, the peak scaled to `peak` of full scale, rounded to 16
// bits.
std::vector<std::int16_t> Finish(Track track, int rate, double peak, double fadeInMs,
                                 double fadeOutMs);

// Channels side by side (left, right, left, ...), scaled together so that the louder channel's
// peak is `peak`; for a loop nothing fades, as its ends meet.
std::vector<std::int16_t> FinishStereo(const Track& left, const Track& right, double peak);

}  // namespace tessaron::assets::synth
