#include "chime.h"

#include <algorithm>
#include <cmath>

namespace tessaron::assets {

namespace {

constexpr double kPi = 3.14159265358979323846;

// One struck note: a few partials, the higher ones dying sooner, like a small bell.
double Note(double t, double frequency, double decay) {
    if (t < 0.0) {
        return 0.0;
    }
    // A 4 ms raised-cosine attack: no click at the start of the note.
    const double attack = t < 0.004 ? 0.5 - 0.5 * std::cos(kPi * t / 0.004) : 1.0;
    const double body = std::sin(2.0 * kPi * frequency * t) * std::exp(-t / decay);
    const double octave =
        0.28 * std::sin(2.0 * kPi * 2.0 * frequency * t) * std::exp(-t / (decay * 0.6));
    const double shimmer =
        0.1 * std::sin(2.0 * kPi * 2.76 * frequency * t) * std::exp(-t / (decay * 0.3));
    return attack * (body + octave + shimmer);
}

}  // namespace

std::vector<std::int16_t> SynthesiseChime() {
    constexpr double kLength = 0.36;  // seconds
    constexpr double kFadeOut = 0.04;
    const int count = static_cast<int>(kLength * kChimeSampleRate);
    std::vector<double> mix(static_cast<std::size_t>(count));
    double peak = 0.0;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kChimeSampleRate;
        // B5, then E6 70 ms later: a rising fourth.
        double v = 0.8 * Note(t, 987.77, 0.07) + Note(t - 0.07, 1318.51, 0.11);
        const double remaining = kLength - t;
        if (remaining < kFadeOut) {
            v *= 0.5 - 0.5 * std::cos(kPi * remaining / kFadeOut);
        }
        mix[static_cast<std::size_t>(i)] = v;
        peak = std::max(peak, std::fabs(v));
    }
    const double gain = peak > 0.0 ? 0.7 * 32767.0 / peak : 0.0;
    std::vector<std::int16_t> samples(mix.size());
    for (std::size_t i = 0; i < mix.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(std::lround(mix[i] * gain));
    }
    return samples;
}

}  // namespace tessaron::assets
