#pragma once

#include <array>
#include <string>
#include <vector>

#include "source/SkarvelParameterTable.h"

namespace audition {

// One value per parameter, in id order (what a preset stores).
using ParameterValues = std::array<float, skarvel::kParameterCount>;

// Every parameter at the value a new program starts with.
ParameterValues defaultValues();

struct PhraseNote {
  double start;   // s
  double length;  // s, key held this long
  int key;        // MIDI note
  int velocity;   // 1..127
};

// A short passage of notes and how long to listen after the last key is let go.
struct Phrase {
  std::vector<PhraseNote> notes;
  double tail = 6.0;  // s rendered after the last release (cut short once the engine sleeps)

  double lastRelease() const;

  // Two single notes, then a four-note chord: about 2 s of playing, every voice range touched.
  static Phrase standard();
  // A slow chord held for 4 s, for pads and drones.
  static Phrase held();
  // Short strikes across the keyboard, for plucks and hits.
  static Phrase strikes();
  // A legato line in the middle register, for winds and leads.
  static Phrase melody();
  // Low notes, for basses.
  static Phrase bass();
  // Six keys struck together at full velocity and held for 1.5 s: the loudest ordinary playing.
  static Phrase loudChord();
  // Single full-velocity notes from C1 to C8, one octave apart, 0.4 s each: the keyboard's ends.
  static Phrase range();
  // One note held for 2 s, for pitch and spectrum checks.
  static Phrase single(int key, double length = 2.0);
};

// The engine's output for one phrase, and what it did when.
struct Render {
  double sampleRate = 44100.0;
  std::vector<float> left, right;
  double lastRelease = 0.0;  // s
  double sleepTime = -1.0;   // s after the last release when the engine stopped computing; -1 never
  std::size_t sleepFrame = 0;  // first frame of the block after which the engine was found asleep
};

// Renders the phrase through a freshly opened engine loaded with the values (sent in id order,
// as the plug-in core does), in 256-sample blocks with note events at their exact samples. Stops
// 0.25 s after the engine falls asleep following the last release, or at the end of the tail.
Render render(const ParameterValues& values, const Phrase& phrase, double sampleRate = 44100.0);

// Figures for judging a sound without listening to it.
struct Measures {
  float peak = 0.0f;            // largest |sample| of either channel (1 = 0 dBFS)
  double heldRms = 0.0;         // RMS of both channels while keys are down
  double centroid = 0.0;        // Hz, spectral centroid while keys are down
  double strongest = 0.0;       // Hz, frequency of the strongest spectral bin while keys are down
  double decayTime = -1.0;      // s after the last release until the level is 60 dB below the held RMS; -1 never
  bool finite = true;           // no NaN or infinity anywhere
  std::vector<double> bands;    // share of the power in each third-octave band (sums to 1)
  std::vector<double> power;    // mean power spectrum while keys are down, bins binHz apart
  double binHz = 0.0;

  // The fundamental (Hz) within 8 % of `hz` whose first six harmonics carry the most power, and
  // how far those harmonics stand above the spectrum halfway between them (dB, mean of six).
  struct Pitch {
    double fundamental = 0.0;
    double contrast = 0.0;
  };
  Pitch pitchNear(double hz) const;
};

Measures measure(const Render& render);

// Band centre frequencies (Hz) of Measures::bands.
const std::vector<double>& bandCentres();

// Spectral difference of two sounds: the RMS over the bands of the level difference in dB
// (each band floored at -60 dB below the total), 0 for identical spectra.
double spectralDistance(const Measures& a, const Measures& b);

// Writes the render as a stereo 32-bit float WAV file; false (with a message on stderr) on failure.
bool writeWav(const std::string& path, const Render& render);

}  // namespace audition
