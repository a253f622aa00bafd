#include "synth.h"

#include <algorithm>
#include <cmath>

namespace tessaron::assets::synth {

namespace {

std::size_t SampleAt(double seconds, int rate) {
    return seconds <= 0.0 ? 0 : static_cast<std::size_t>(std::llround(seconds * rate));
}

// Partials high up sound harsh on small speakers and alias near half the rate: they fade out
// from 6 kHz and are gone at 11 kHz.
double HighPartialWeight(double hz, int rate) {
    const double top = std::min(11000.0, 0.45 * rate);
    const double knee = std::min(6000.0, 0.6 * top);
    if (hz <= knee) {
        return 1.0;
    }
    if (hz >= top) {
        return 0.0;
    }
    return 0.5 + 0.5 * std::cos(kPi * (hz - knee) / (top - knee));
}

double RaisedCosine(double x) {
    x = std::clamp(x, 0.0, 1.0);
    return 0.5 - 0.5 * std::cos(kPi * x);
}

}  // namespace

double NoteHz(double note) {
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

Curve Constant(double value) {
    return [value](double) { return value; };
}

Curve Glide(double from, double to, double seconds) {
    return [from, to, seconds](double t) {
        if (t >= seconds || seconds <= 0.0) {
            return to;
        }
        return from * std::pow(to / from, t / seconds);
    };
}

double Strike(double t, double attack, double decay) {
    if (t < 0.0) {
        return 0.0;
    }
    const double rise = attack > 0.0 ? RaisedCosine(t / attack) : 1.0;
    const double fall = decay > 0.0 ? std::exp(-std::max(0.0, t - attack) / decay) : 1.0;
    return rise * fall;
}

double Swell(double t, double attack, double release, double length) {
    if (t < 0.0 || t > length) {
        return 0.0;
    }
    const double rise = attack > 0.0 ? RaisedCosine(t / attack) : 1.0;
    const double fall = release > 0.0 ? RaisedCosine((length - t) / release) : 1.0;
    return rise * fall;
}

double Noise::Next() {
    // xorshift64*
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    const std::uint64_t bits = (state_ * 2685821657736338717ULL) >> 11;
    return static_cast<double>(bits) / static_cast<double>(1ULL << 52) - 1.0;
}

void Filter::Tune(double cutoff) {
    // The second-order sections of the audio filter cookbook.
    cutoff = std::clamp(cutoff, 10.0, 0.45 * rate_);
    const double w = 2.0 * kPi * cutoff / rate_;
    const double alpha = std::sin(w) / (2.0 * q_);
    const double c = std::cos(w);
    double b0 = 0, b1 = 0, b2 = 0;
    switch (kind_) {
        case Kind::LowPass:
            b0 = (1.0 - c) / 2.0;
            b1 = 1.0 - c;
            b2 = b0;
            break;
        case Kind::BandPass:
            b0 = alpha;
            b1 = 0.0;
            b2 = -alpha;
            break;
        case Kind::HighPass:
            b0 = (1.0 + c) / 2.0;
            b1 = -(1.0 + c);
            b2 = b0;
            break;
    }
    const double a0 = 1.0 + alpha;
    b0_ = b0 / a0;
    b1_ = b1 / a0;
    b2_ = b2 / a0;
    a1_ = -2.0 * c / a0;
    a2_ = (1.0 - alpha) / a0;
    tuned_ = cutoff;
}

double Filter::Step(double input, double cutoff) {
    if (std::fabs(cutoff - tuned_) > 1e-9) {
        Tune(cutoff);
    }
    const double out = b0_ * input + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = input;
    y2_ = y1_;
    y1_ = out;
    return out;
}

void Add(Track& track, int rate, double start, double length, const Voice& voice, double gain) {
    const std::size_t first = SampleAt(start, rate);
    const std::size_t last = SampleAt(start + length, rate);
    if (track.size() < last) {
        track.resize(last, 0.0);
    }
    // The partials start spread in phase (as Schroeder chose them), so that they never all peak
    // together: the same loudness with lower peaks.
    const double count = static_cast<double>(voice.partials.size());
    std::vector<double> phases(voice.partials.size());
    for (std::size_t p = 0; p < phases.size(); ++p) {
        phases[p] = std::fmod(kPi * static_cast<double>(p * (p + 1)) / count, 2.0 * kPi);
    }
    const double fadeOut = std::min(0.005, length / 4.0);
    for (std::size_t i = first; i < last; ++i) {
        const double t = static_cast<double>(i - first) / rate;
        double hz = voice.pitch(t);
        if (voice.vibratoDepth > 0.0 && t > voice.vibratoDelay) {
            const double since = t - voice.vibratoDelay;
            const double depth = voice.vibratoDepth * RaisedCosine(since / 0.3);
            hz *= std::pow(2.0, depth * std::sin(2.0 * kPi * voice.vibratoRate * since) / 12.0);
        }
        const double level = voice.level(t) * RaisedCosine((length - t) / fadeOut);
        const double bright = voice.brightness ? std::clamp(voice.brightness(t), 0.0, 1.0) : 1.0;
        double shade = 1.0;
        double sum = 0.0;
        for (std::size_t p = 0; p < voice.partials.size(); ++p) {
            const double n = static_cast<double>(p + 1);
            const double partialHz =
                voice.stretch > 0.0 ? n * hz * std::sqrt(1.0 + voice.stretch * n * n) : n * hz;
            phases[p] += 2.0 * kPi * partialHz / rate;
            if (phases[p] > 2.0 * kPi) {
                phases[p] -= 2.0 * kPi;
            }
            double weight = voice.partials[p] * HighPartialWeight(partialHz, rate) * shade;
            shade *= bright;
            if (voice.partialDecay > 0.0) {
                weight *= std::exp(-t * n / voice.partialDecay);
            }
            sum += weight * std::sin(phases[p]);
        }
        track[i] += gain * level * sum;
    }
}

void AddNoise(Track& track, int rate, double start, double length, std::uint64_t seed,
              Filter::Kind kind, double q, const Curve& cutoff, const Curve& level) {
    const std::size_t first = SampleAt(start, rate);
    const std::size_t last = SampleAt(start + length, rate);
    if (track.size() < last) {
        track.resize(last, 0.0);
    }
    Noise noise(seed);
    Filter filter(kind, q, rate);
    for (std::size_t i = first; i < last; ++i) {
        const double t = static_cast<double>(i - first) / rate;
        track[i] += level(t) * filter.Step(noise.Next(), cutoff(t));
    }
}

namespace {

// Parallel combs with a damped feedback, then all-passes in series: a plain, smooth room.
class Reverb {
  public:
    Reverb(int rate, double size, double damping, int spread) : damping_(damping) {
        feedback_ = 0.7 + 0.28 * std::clamp(size, 0.0, 1.0);
        const double scale = rate / 44100.0;
        for (const int length : {1116, 1188, 1277, 1356, 1422, 1491}) {
            combs_.push_back(Line(static_cast<std::size_t>((length + spread) * scale)));
        }
        for (const int length : {556, 441, 341, 225}) {
            allpasses_.push_back(Line(static_cast<std::size_t>((length + spread) * scale)));
        }
        stores_.assign(combs_.size(), 0.0);
    }

    double Step(double input) {
        double out = 0.0;
        for (std::size_t c = 0; c < combs_.size(); ++c) {
            Line& line = combs_[c];
            const double delayed = line.samples[line.at];
            stores_[c] = delayed * (1.0 - damping_) + stores_[c] * damping_;
            line.samples[line.at] = input * 0.02 + stores_[c] * feedback_;
            line.at = (line.at + 1) % line.samples.size();
            out += delayed;
        }
        for (Line& line : allpasses_) {
            const double delayed = line.samples[line.at];
            line.samples[line.at] = out + delayed * 0.5;
            line.at = (line.at + 1) % line.samples.size();
            out = delayed - out;
        }
        return out;
    }

  private:
    struct Line {
        explicit Line(std::size_t length) : samples(std::max<std::size_t>(1, length), 0.0) {}
        std::vector<double> samples;
        std::size_t at = 0;
    };
    double damping_;
    double feedback_;
    std::vector<Line> combs_;
    std::vector<Line> allpasses_;
    std::vector<double> stores_;
};

}  // namespace

Track Room(const Track& dry, int rate, double size, double damping, double wet, int spread) {
    Reverb reverb(rate, size, damping, spread);
    // Room to ring out after the sound.
    Track out(dry.size() + static_cast<std::size_t>(rate * (0.3 + 1.5 * size)), 0.0);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double in = i < dry.size() ? dry[i] : 0.0;
        out[i] = in + wet * reverb.Step(in);
    }
    return out;
}

Track LoopedRoom(const Track& dry, int rate, double size, double damping, double wet, int spread) {
    Reverb reverb(rate, size, damping, spread);
    // The first time round fills the room; the second is the one kept.
    for (const double in : dry) {
        reverb.Step(in);
    }
    Track out(dry.size());
    for (std::size_t i = 0; i < dry.size(); ++i) {
        out[i] = dry[i] + wet * reverb.Step(dry[i]);
    }
    return out;
}

void Soften(Track& track, int rate, double cutoff) {
    const double a = 1.0 - std::exp(-2.0 * kPi * cutoff / rate);
    double y = 0.0;
    for (double& x : track) {
        y += a * (x - y);
        x = y;
    }
}

std::vector<std::int16_t> Finish(Track track, int rate, double peak, double fadeInMs,
                                 double fadeOutMs) {
    // Nothing below hearing: a high pass at 25 Hz takes the offset and the rumble away.
    Filter highPass(Filter::Kind::HighPass, 0.7071, rate);
    for (double& x : track) {
        x = highPass.Step(x, 25.0);
    }
    // A room's last echoes far below hearing are cut off with the silence.
    double loudest = 0.0;
    for (const double x : track) {
        loudest = std::max(loudest, std::fabs(x));
    }
    std::size_t end = track.size();
    while (end > 0 && std::fabs(track[end - 1]) < loudest * 0.0005) {
        --end;
    }
    track.resize(end + SampleAt(0.005, rate), 0.0);
    const std::size_t in = SampleAt(fadeInMs / 1000.0, rate);
    const std::size_t out = SampleAt(fadeOutMs / 1000.0, rate);
    for (std::size_t i = 0; i < track.size(); ++i) {
        double scale = 1.0;
        if (i < in) {
            scale *= RaisedCosine(static_cast<double>(i) / static_cast<double>(in));
        }
        const std::size_t left = track.size() - 1 - i;
        if (left < out) {
            scale *= RaisedCosine(static_cast<double>(left) / static_cast<double>(out));
        }
        track[i] *= scale;
    }
    loudest = 0.0;
    for (const double x : track) {
        loudest = std::max(loudest, std::fabs(x));
    }
    const double gain = loudest > 0.0 ? peak * 32767.0 / loudest : 0.0;
    std::vector<std::int16_t> samples(track.size());
    for (std::size_t i = 0; i < track.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(std::lround(track[i] * gain));
    }
    return samples;
}

std::vector<std::int16_t> FinishStereo(const Track& left, const Track& right, double peak) {
    const std::size_t length = std::min(left.size(), right.size());
    double meanLeft = 0.0;
    double meanRight = 0.0;
    for (std::size_t i = 0; i < length; ++i) {
        meanLeft += left[i];
        meanRight += right[i];
    }
    meanLeft /= static_cast<double>(std::max<std::size_t>(1, length));
    meanRight /= static_cast<double>(std::max<std::size_t>(1, length));
    double loudest = 0.0;
    for (std::size_t i = 0; i < length; ++i) {
        loudest =
            std::max({loudest, std::fabs(left[i] - meanLeft), std::fabs(right[i] - meanRight)});
    }
    const double gain = loudest > 0.0 ? peak * 32767.0 / loudest : 0.0;
    std::vector<std::int16_t> samples(2 * length);
    for (std::size_t i = 0; i < length; ++i) {
        samples[2 * i] = static_cast<std::int16_t>(std::lround((left[i] - meanLeft) * gain));
        samples[2 * i + 1] = static_cast<std::int16_t>(std::lround((right[i] - meanRight) * gain));
    }
    return samples;
}

}  // namespace tessaron::assets::synth
