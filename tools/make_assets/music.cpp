// The music: sixteen bars in E major at 64 beats a minute, exactly one minute, for ever. A warm
// pad holds the chords, a soft bass walks the roots, a harp-like arpeggio moves in eighths, a
// flute sings two short phrases and bells answer in between. Every note that rings past the end
// of the minute sounds again at its beginning, and the room's echo runs on round the loop, so
// the end joins the beginning without a seam.
#include <cmath>

#include "sounds.h"
#include "synth.h"

namespace tessaron::assets {

namespace {

using namespace synth;

constexpr int kRate = kMusicRate;
constexpr double kBeat = 60.0 / 64.0;
constexpr int kBars = 16;
constexpr double kBar = 4.0 * kBeat;
constexpr double kLength = kBars * kBar;
// Room after the minute for the last notes to ring out; it is folded back onto the beginning.
constexpr double kTail = 6.0;

struct Chord {
    int bass;        // the root, in the bass's octave
    int voicing[4];  // the pad's notes, low to high
};

// The sixteen bars: Emaj7 C#m7 Amaj7 B7sus4 | Emaj7 G#m7 Amaj7 B | C#m7 G#m7 Amaj7 Emaj7/G# |
// F#m7 Amaj7 Bsus4 B, back to Emaj7.
constexpr Chord kChords[kBars] = {
    {40, {52, 56, 59, 63}}, {37, {52, 56, 59, 61}}, {45, {52, 56, 57, 61}}, {47, {52, 54, 57, 59}},
    {40, {52, 56, 59, 63}}, {44, {51, 54, 56, 59}}, {45, {52, 56, 57, 61}}, {47, {51, 54, 59, 63}},
    {37, {52, 56, 59, 61}}, {44, {51, 54, 56, 59}}, {45, {52, 56, 57, 61}}, {44, {52, 56, 59, 63}},
    {42, {52, 54, 57, 61}}, {45, {52, 56, 57, 61}}, {47, {52, 54, 59, 64}}, {47, {51, 54, 59, 63}},
};

struct Stereo {
    Track left;
    Track right;
    void Add(const Voice& voice, double start, double length, double gain, double pan) {
        // pan 0 is left, 1 right; the power stays the same across.
        synth::Add(left, kRate, start, length, voice, gain * std::cos(pan * kPi / 2.0));
        synth::Add(right, kRate, start, length, voice, gain * std::sin(pan * kPi / 2.0));
    }
};

double BarStart(int bar) {
    return bar * kBar;
}

void Pad(Stereo& music) {
    for (int bar = 0; bar < kBars; ++bar) {
        const double start = BarStart(bar) - 0.25;
        const double length = kBar + 1.6;
        for (const int note : kChords[bar].voicing) {
            // Two slightly detuned voices a side: a slow, wide chorus.
            for (const double cents : {-6.0, 3.0}) {
                for (const bool left : {true, false}) {
                    Voice v;
                    v.pitch = Constant(NoteHz(note + (left ? cents : -cents) / 100.0));
                    v.level = [length](double s) { return Swell(s, 1.1, 1.5, length); };
                    v.partials = {1.0, 0.3, 0.12, 0.05};
                    Track& side = left ? music.left : music.right;
                    // The first bar's swell begins before the minute does: at its end.
                    synth::Add(side, kRate, start < 0.0 ? start + kLength : start, length, v,
                               0.055);
                }
            }
        }
    }
}

void Bass(Stereo& music) {
    for (int bar = 0; bar < kBars; ++bar) {
        const int root = kChords[bar].bass;
        // The root on the first beat, the root or its fifth on the third.
        const int second = (bar % 2 == 1) ? root + 7 : root;
        const int notes[] = {root, second};
        for (int half = 0; half < 2; ++half) {
            Voice v;
            v.pitch = Constant(NoteHz(notes[half]));
            v.level = [](double s) { return Strike(s, 0.02, 1.1) * Swell(s, 0.0, 0.25, 2.1); };
            v.partials = {1.0, 0.32, 0.1};
            music.Add(v, BarStart(bar) + half * 2.0 * kBeat, 2.1, 0.2, 0.5);
        }
    }
}

// A plucked string: bright for an instant, then round.
Voice Harp(int note) {
    Voice v;
    v.pitch = Constant(NoteHz(note));
    v.level = [](double s) { return Strike(s, 0.003, 0.55); };
    v.partials = {1.0, 0.7, 0.5, 0.35, 0.25, 0.15, 0.1, 0.06};
    v.partialDecay = 3.0;
    return v;
}

void Arpeggio(Stereo& music) {
    // Indexes into the chord an octave up; 4 is its lowest note an octave higher still.
    constexpr int kRising[8] = {0, 2, 1, 3, 2, 1, 3, 2};
    constexpr int kTurning[8] = {0, 1, 3, 2, 4, 2, 3, 1};
    Noise touch(71);
    for (int bar = 0; bar < kBars; ++bar) {
        const Chord& chord = kChords[bar];
        const int* pattern = bar % 2 == 0 ? kRising : kTurning;
        // The first four bars in quarters, the rest in eighths.
        const int step = bar < 4 ? 2 : 1;
        for (int eighth = 0; eighth < 8; eighth += step) {
            const int index = pattern[eighth];
            const int note = index == 4 ? chord.voicing[0] + 24 : chord.voicing[index] + 12;
            const double accent = eighth == 0 ? 1.0 : (eighth % 2 == 0 ? 0.8 : 0.65);
            const double gain = 0.13 * accent * touch.Between(0.88, 1.0);
            // A hair late or early, as a hand plays.
            const double at = BarStart(bar) + eighth * kBeat / 2.0 + touch.Between(0.0, 0.012);
            music.Add(Harp(note), at, 2.2, gain, 0.3 + 0.4 * (index / 4.0));
        }
    }
}

// A soft flute note that breathes in, sways when held and breathes out.
void Flute(Stereo& music, double at, double beats, int note) {
    const double length = beats * kBeat + 0.15;
    Voice v;
    v.pitch = Constant(NoteHz(note));
    v.level = [length](double s) { return Swell(s, 0.07, 0.18, length); };
    v.partials = {1.0, 0.3, 0.12, 0.05};
    v.vibratoRate = 5.0;
    v.vibratoDepth = 0.12;
    v.vibratoDelay = 0.3;
    music.Add(v, at, length, 0.2, 0.58);
    // Breath.
    for (const bool left : {true, false}) {
        AddNoise(left ? music.left : music.right, kRate, at, length, 80 + note + (left ? 0 : 1),
                 Filter::Kind::BandPass, 2.0, Constant(NoteHz(note) * 2.0),
                 [length](double s) { return 0.02 * Swell(s, 0.05, 0.15, length); });
    }
}

void Melody(Stereo& music) {
    struct Note {
        int bar;
        double beat, beats;
        int note;
    };
    // Two phrases: bars 5 to 8 and 13 to 16 (counted from 0: 4 to 7 and 12 to 15).
    constexpr Note kNotes[] = {
        {4, 0.0, 1.5, 71},  {4, 1.5, 0.5, 68},  {4, 2.0, 2.0, 76},  {5, 0.0, 1.5, 75},
        {5, 1.5, 0.5, 71},  {5, 2.0, 2.0, 78},  {6, 0.0, 1.0, 76},  {6, 1.0, 1.0, 73},
        {6, 2.0, 1.0, 68},  {6, 3.0, 1.0, 69},  {7, 0.0, 3.0, 71},  {12, 0.0, 1.5, 73},
        {12, 1.5, 0.5, 69}, {12, 2.0, 2.0, 76}, {13, 0.0, 1.0, 76}, {13, 1.0, 1.0, 78},
        {13, 2.0, 2.0, 80}, {14, 0.0, 2.0, 78}, {14, 2.0, 2.0, 76}, {15, 0.0, 2.0, 75},
        {15, 2.0, 2.0, 71},
    };
    for (const Note& n : kNotes) {
        Flute(music, BarStart(n.bar) + n.beat * kBeat, n.beats, n.note);
    }
}

// Bells between the phrases, falling a step each bar.
void Bells(Stereo& music) {
    constexpr int kNotes[] = {80, 78, 76, 75};
    for (int i = 0; i < 4; ++i) {
        Voice v;
        v.pitch = Constant(NoteHz(kNotes[i] + 12));
        v.level = [](double s) { return Strike(s, 0.004, 0.9); };
        v.partials = {1.0, 0.0, 0.12};
        v.stretch = 0.0003;
        music.Add(v, BarStart(8 + i) + kBeat, 3.0, 0.07, i % 2 == 0 ? 0.3 : 0.7);
    }
}

// Folds what rang past the minute back onto its beginning.
Track Wrapped(Track track) {
    const std::size_t length = static_cast<std::size_t>(std::llround(kLength * kRate));
    track.resize(std::max(track.size(), length), 0.0);
    for (std::size_t i = length; i < track.size(); ++i) {
        track[i % length] += track[i];
    }
    track.resize(length);
    return track;
}

}  // namespace

SoundFile MakeMusic() {
    Stereo music;
    const std::size_t room = static_cast<std::size_t>((kLength + kTail) * kRate);
    music.left.assign(room, 0.0);
    music.right.assign(room, 0.0);
    Pad(music);
    Bass(music);
    Arpeggio(music);
    Melody(music);
    Bells(music);
    Track left = LoopedRoom(Wrapped(music.left), kRate, 0.7, 0.35, 0.35, 0);
    Track right = LoopedRoom(Wrapped(music.right), kRate, 0.7, 0.35, 0.35, 23);
    return SoundFile{"Musik.wav", kRate, 2, FinishStereo(left, right, 0.5)};
}

}  // namespace tessaron::assets
