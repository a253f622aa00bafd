// The sound effects. Soft attacks, rounded tones and filtered noise: they answer the player
// without getting sharp when heard a thousand times. The goal and the disk are in E major, the
// key of the pickup chime (B5 then E6), with which they sound together.
#include <cmath>

#include "sounds.h"
#include "synth.h"

namespace tessaron::assets {

namespace {

using namespace synth;

constexpr int kRate = kEffectRate;
constexpr Filter::Kind kLowPass = Filter::Kind::LowPass;
constexpr Filter::Kind kBandPass = Filter::Kind::BandPass;

// A short rising "hop": a round tone sweeping up a good fifth and a little air.
Track Jump() {
    Track t;
    Voice hop;
    hop.pitch = Glide(260.0, 560.0, 0.11);
    hop.level = [](double s) { return Strike(s, 0.006, 0.075); };
    hop.partials = {1.0, 0.22, 0.06};
    Add(t, kRate, 0.0, 0.24, hop);
    AddNoise(t, kRate, 0.0, 0.12, 11, kBandPass, 1.2, Glide(900.0, 2400.0, 0.1),
             [](double s) { return 0.9 * Strike(s, 0.01, 0.03); });
    return t;
}

// A ball coming down: a soft "boomp" falling in pitch, the "pock" of its skin and a puff of dull
// noise; enough of it lies above 200 Hz to be heard on small speakers.
Track Landing() {
    Track t;
    Voice thud;
    thud.pitch = Glide(220.0, 95.0, 0.05);
    thud.level = [](double s) { return Strike(s, 0.002, 0.05); };
    thud.partials = {1.0, 0.5, 0.22, 0.08};
    Add(t, kRate, 0.0, 0.24, thud);
    Voice pock;
    pock.pitch = Glide(640.0, 380.0, 0.02);
    pock.level = [](double s) { return Strike(s, 0.001, 0.012); };
    Add(t, kRate, 0.0, 0.08, pock, 0.4);
    AddNoise(t, kRate, 0.0, 0.12, 23, kLowPass, 0.8, Glide(1400.0, 300.0, 0.07),
             [](double s) { return 1.4 * Strike(s, 0.002, 0.022); });
    return t;
}

// A bubble: a short tone whose pitch rises as it closes.
void Bubble(Track& t, double at, double hz, double level, double length) {
    Voice bubble;
    bubble.pitch = Glide(hz, hz * 1.7, length);
    bubble.level = [length](double s) { return Strike(s, 0.003, length * 0.45); };
    Add(t, kRate, at, length * 2.5, bubble, level);
}

// Into the water: a splash that darkens, a low plunge and bubbles rising after it.
Track EnterWater() {
    Track t;
    AddNoise(t, kRate, 0.0, 0.5, 31, kBandPass, 0.9, Glide(3200.0, 700.0, 0.35),
             [](double s) { return 2.2 * Strike(s, 0.008, 0.11); });
    Voice plunge;
    plunge.pitch = Glide(320.0, 110.0, 0.12);
    plunge.level = [](double s) { return Strike(s, 0.004, 0.07); };
    plunge.partials = {1.0, 0.2};
    Add(t, kRate, 0.0, 0.3, plunge, 0.45);
    Noise pick(37);
    double at = 0.07;
    for (int i = 0; i < 9; ++i) {
        Bubble(t, at, pick.Between(380.0, 1100.0), 0.22 * (1.0 - i * 0.08),
               pick.Between(0.025, 0.05));
        at += pick.Between(0.03, 0.07);
    }
    Soften(t, kRate, 6000.0);
    return t;
}

// Out of the water: a lighter splash, a rising bloop and a few drops falling back.
Track LeaveWater() {
    Track t;
    AddNoise(t, kRate, 0.0, 0.25, 41, kBandPass, 1.1, Glide(2600.0, 1300.0, 0.15),
             [](double s) { return 1.6 * Strike(s, 0.005, 0.06); });
    Voice bloop;
    bloop.pitch = Glide(330.0, 880.0, 0.09);
    bloop.level = [](double s) { return Strike(s, 0.004, 0.05); };
    Add(t, kRate, 0.0, 0.2, bloop, 0.5);
    Bubble(t, 0.16, 1500.0, 0.18, 0.02);
    Bubble(t, 0.24, 1850.0, 0.13, 0.018);
    Bubble(t, 0.33, 1650.0, 0.09, 0.02);
    Soften(t, kRate, 7000.0);
    return t;
}

// A switch: the click of the catch, then the clunk of the lever going down.
Track Switch() {
    Track t;
    AddNoise(t, kRate, 0.0, 0.03, 43, kBandPass, 3.0, Constant(2600.0),
             [](double s) { return 2.0 * Strike(s, 0.0006, 0.005); });
    Voice catchTone;
    catchTone.pitch = Constant(1750.0);
    catchTone.level = [](double s) { return Strike(s, 0.0008, 0.012); };
    Add(t, kRate, 0.0, 0.06, catchTone, 0.3);
    Voice clunk;
    clunk.pitch = Glide(330.0, 200.0, 0.03);
    clunk.level = [](double s) { return Strike(s, 0.002, 0.035); };
    clunk.partials = {1.0, 0.5, 0.25, 0.1};
    Add(t, kRate, 0.028, 0.17, clunk, 0.9);
    AddNoise(t, kRate, 0.028, 0.06, 47, kBandPass, 1.5, Constant(900.0),
             [](double s) { return 1.2 * Strike(s, 0.001, 0.012); });
    Soften(t, kRate, 7000.0);
    return t;
}

// A sensor: a soft rising shimmer, like passing through a beam of light.
Track Sensor() {
    Track t;
    for (const double detune : {-0.06, 0.06}) {
        Voice beam;
        beam.pitch = Glide(NoteHz(76.0 + detune), NoteHz(88.0 + detune), 0.22);
        beam.level = [](double s) {
            return Swell(s, 0.05, 0.25, 0.36) * (0.75 + 0.25 * std::sin(2.0 * kPi * 22.0 * s));
        };
        beam.partials = {1.0, 0.12};
        Add(t, kRate, 0.0, 0.36, beam, 0.5);
    }
    Voice sparkle;
    sparkle.pitch = Constant(NoteHz(95.0));
    sparkle.level = [](double s) { return Strike(s, 0.003, 0.09); };
    sparkle.stretch = 0.0004;
    sparkle.partials = {1.0, 0.0, 0.15};
    Add(t, kRate, 0.2, 0.3, sparkle, 0.2);
    return Room(t, kRate, 0.45, 0.4, 0.35);
}

// A mover setting off: a dull clank and a low motor that runs up and fades.
Track Mover() {
    Track t;
    Voice clank;
    clank.pitch = Constant(410.0);
    clank.level = [](double s) { return Strike(s, 0.001, 0.05); };
    clank.stretch = 0.02;  // struck metal: the partials spread
    clank.partials = {1.0, 0.5, 0.3, 0.15};
    Add(t, kRate, 0.0, 0.3, clank, 0.35);
    AddNoise(t, kRate, 0.0, 0.05, 53, kBandPass, 1.5, Constant(1100.0),
             [](double s) { return 1.0 * Strike(s, 0.001, 0.01); });
    Voice motor;
    motor.pitch = Glide(95.0, 150.0, 0.4);
    motor.level = [](double s) {
        return Swell(s, 0.08, 0.3, 0.55) * (0.85 + 0.15 * std::sin(2.0 * kPi * 13.0 * s));
    };
    motor.partials = {1.0, 0.55, 0.3, 0.15, 0.08};
    Add(t, kRate, 0.02, 0.55, motor, 0.5);
    AddNoise(t, kRate, 0.02, 0.55, 59, kLowPass, 0.7, Constant(500.0),
             [](double s) { return 0.9 * Swell(s, 0.1, 0.3, 0.55); });
    Soften(t, kRate, 3500.0);
    return t;
}

// A struck note of an electric piano: round, with a short bright start.
Voice PianoNote(double note, double decay) {
    Voice v;
    v.pitch = Constant(NoteHz(note));
    v.level = [decay](double s) { return Strike(s, 0.004, decay); };
    v.partials = {1.0, 0.45, 0.12, 0.08};
    v.partialDecay = 0.9;
    return v;
}

// A disk taken: the game is kept. A rising E major arpeggio after the chime, over a soft chord.
Track Disk() {
    Track t;
    const double notes[] = {76.0, 80.0, 83.0, 88.0};  // E5 G#5 B5 E6
    for (int i = 0; i < 4; ++i) {
        Add(t, kRate, 0.09 + 0.075 * i, 0.9, PianoNote(notes[i], i == 3 ? 0.35 : 0.2), 0.5);
    }
    for (const double note : {64.0, 68.0, 71.0}) {  // E4 G#4 B4
        Voice pad;
        pad.pitch = Constant(NoteHz(note));
        pad.level = [](double s) { return Swell(s, 0.12, 0.45, 0.85); };
        pad.partials = {1.0, 0.2, 0.05};
        Add(t, kRate, 0.09, 0.85, pad, 0.16);
    }
    return Room(t, kRate, 0.5, 0.5, 0.3);
}

// Sent back: a tone that winds down and away, with a wavering shimmer.
Track SentBack() {
    Track t;
    Voice fall;
    fall.pitch = Glide(NoteHz(81.0), NoteHz(57.0), 0.55);
    fall.level = [](double s) {
        return Swell(s, 0.015, 0.25, 0.7) * (0.8 + 0.2 * std::sin(2.0 * kPi * 9.0 * s));
    };
    fall.partials = {1.0, 0.3, 0.12};
    fall.vibratoRate = 7.0;
    fall.vibratoDepth = 0.35;
    Add(t, kRate, 0.0, 0.7, fall, 0.6);
    Voice echo = fall;
    echo.pitch = Glide(NoteHz(88.0), NoteHz(64.0), 0.55);
    echo.partials = {1.0};
    Add(t, kRate, 0.06, 0.7, echo, 0.18);
    AddNoise(t, kRate, 0.0, 0.6, 61, kBandPass, 1.3, Glide(3000.0, 500.0, 0.55),
             [](double s) { return 0.6 * Swell(s, 0.05, 0.3, 0.6); });
    return Room(t, kRate, 0.5, 0.5, 0.3);
}

// A brass-like note: its overtones open up as it speaks and settle, a held note warms into a
// vibrato and dies away slowly.
Voice HornNote(double note, double length) {
    Voice v;
    v.pitch = Constant(NoteHz(note));
    const double release = length > 0.5 ? 0.55 : std::min(0.12, length / 3);
    v.level = [length, release](double s) { return Swell(s, 0.025, release, length); };
    v.brightness = [](double s) { return 0.75 + 0.2 * Strike(s, 0.04, 0.15); };
    v.partials = {1.0, 0.9, 0.8, 0.7, 0.6, 0.5, 0.4, 0.3};
    if (length > 0.5) {
        v.vibratoRate = 5.5;
        v.vibratoDepth = 0.12;
        v.vibratoDelay = 0.25;
    }
    return v;
}

// The goal: a short fanfare in E major, ending on a held chord.
Track Goal() {
    Track t;
    struct Note {
        double at, length, note;
    };
    const Note melody[] = {
        {0.00, 0.13, 71.0}, {0.13, 0.13, 76.0}, {0.26, 0.13, 80.0},
        {0.39, 0.32, 83.0}, {0.72, 0.13, 80.0}, {0.85, 1.45, 83.0},
    };
    for (const Note& n : melody) {
        Add(t, kRate, n.at, n.length, HornNote(n.note, n.length), 0.42);
    }
    // The chord under the last note, and a low E.
    for (const double note : {64.0, 68.0, 71.0, 52.0}) {
        Add(t, kRate, 0.85, 1.45, HornNote(note, 1.45), note == 52.0 ? 0.3 : 0.2);
    }
    // A bell over the last note.
    Voice bell;
    bell.pitch = Constant(NoteHz(95.0));
    bell.level = [](double s) { return Strike(s, 0.003, 0.35); };
    bell.partials = {1.0, 0.0, 0.2};
    bell.stretch = 0.0003;
    Add(t, kRate, 0.86, 1.2, bell, 0.12);
    Soften(t, kRate, 5500.0);
    return Room(t, kRate, 0.55, 0.45, 0.25);
}

// The pause menu's button: a short, soft tick.
Track Click() {
    Track t;
    Voice tick;
    tick.pitch = Constant(1320.0);
    tick.level = [](double s) { return Strike(s, 0.0008, 0.01); };
    tick.partials = {1.0, 0.15};
    Add(t, kRate, 0.0, 0.06, tick);
    Voice tock;
    tock.pitch = Constant(520.0);
    tock.level = [](double s) { return Strike(s, 0.001, 0.012); };
    Add(t, kRate, 0.0, 0.06, tock, 0.6);
    return t;
}

SoundFile Effect(std::string file, const Track& track, double peak) {
    return SoundFile{std::move(file), kRate, 1, Finish(track, kRate, peak, 1.0, 20.0)};
}

}  // namespace

std::vector<SoundFile> MakeEffects() {
    // The peaks set how loud each is beside the others and the chime (0.7): the frequent ones
    // quieter, the rare ones fuller.
    std::vector<SoundFile> effects;
    effects.push_back(Effect("Sprung.wav", Jump(), 0.32));
    effects.push_back(Effect("Landung.wav", Landing(), 0.5));
    effects.push_back(Effect("Eintauchen.wav", EnterWater(), 0.45));
    effects.push_back(Effect("Auftauchen.wav", LeaveWater(), 0.35));
    effects.push_back(Effect("Schalter.wav", Switch(), 0.5));
    effects.push_back(Effect("Sensor.wav", Sensor(), 0.3));
    effects.push_back(Effect("Bewegung.wav", Mover(), 0.35));
    effects.push_back(Effect("Diskette.wav", Disk(), 0.45));
    effects.push_back(Effect("Zurueck.wav", SentBack(), 0.45));
    effects.push_back(Effect("Ziel.wav", Goal(), 0.6));
    effects.push_back(Effect("Klick.wav", Click(), 0.35));
    return effects;
}

}  // namespace tessaron::assets
