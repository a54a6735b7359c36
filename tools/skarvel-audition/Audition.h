#pragma once

#include <array>
#include <cstddef>
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

// The keys a preset is meant to be played on (MIDI note numbers, both included).
struct KeyRange {
  int low = 36;
  int high = 84;
  int centre() const { return (low + high + 1) / 2; }
  int clamp(int key) const { return key < low ? low : (key > high ? high : key); }
};

// A passage of notes and how long to listen after the last key is let go.
struct Phrase {
  std::vector<PhraseNote> notes;
  double tail = 6.0;  // s rendered after the last release (cut short once the engine sleeps)

  double lastRelease() const;

  // A legato line of nine notes around the middle of the range, for leads, winds and keys.
  static Phrase melody(const KeyRange& range);
  // A four-note chord held for 4 s in the middle of the range, for pads and drones.
  static Phrase held(const KeyRange& range);
  // Eight short strikes spread over the range, loud to soft, for plucks and mallets.
  static Phrase strikes(const KeyRange& range);
  // A bass line in the lower half of the range.
  static Phrase bass(const KeyRange& range);
  // Sixteen hits on one key with accents (127, 70, 100, 70, ...), for drums and one-shots.
  static Phrase groove(const KeyRange& range);
  // One key in the middle of the range held for `seconds`, for textures and noises.
  static Phrase drone(const KeyRange& range, double seconds = 5.0);
  // Two single notes, then a four-note chord: about 2 s of playing.
  static Phrase standard(const KeyRange& range);
  // Eight keys around the middle of the range struck together at full velocity and held for
  // 1.5 s: the loudest ordinary playing.
  static Phrase loudChord(const KeyRange& range);
  // Six four-note chords, 2 s each, each released as the next is struck.
  static Phrase progression(const KeyRange& range);
  // Single full-velocity notes from C1 to C8, one octave apart, 0.4 s each: the keyboard's ends.
  static Phrase keyboard();
  // One note held for `length` s.
  static Phrase single(int key, double length = 2.0, int velocity = 100);
};

// The engine's output for one phrase, and what it did when.
struct Render {
  double sampleRate = 44100.0;
  std::vector<float> left, right;
  double lastRelease = 0.0;    // s
  double sleepTime = -1.0;     // s after the last release when the engine stopped computing; -1 never
  std::size_t sleepFrame = 0;  // first frame of the block after which the engine was found asleep
  int lostNotes = 0;           // notes struck but not sounding on a voice of their own once struck

  std::size_t frame(double seconds) const;
  // The mono sum (L + R) / 2 of frames [from, to).
  std::vector<float> mid(std::size_t from, std::size_t to) const;
  // RMS level of both channels over [from, to) seconds, in dB (1 = 0 dB); -200 for silence.
  double levelDb(double from, double to) const;
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
};

Measures measure(const Render& render);

// Band centre frequencies (Hz) of Measures::bands.
const std::vector<double>& bandCentres();

// Spectral difference of two sounds: the RMS over the bands of the level difference in dB
// (each band floored at -60 dB below the total), 0 for identical spectra.
double spectralDistance(const Measures& a, const Measures& b);

// How differently two renders of the same phrase move in time: the RMS difference (dB) of their
// 20 ms level contours, each relative to its own loudest moment and floored 40 dB below it, over
// the length of the longer (the shorter padded with silence). 0 for the same envelope.
double contourDistance(const Render& a, const Render& b);

// Writes the render as a stereo 32-bit float WAV file; false (with a message on stderr) on failure.
bool writeWav(const std::string& path, const Render& render);

// "C4" for MIDI note 60, "F#2" for 42.
std::string keyName(int key);

// Frequency in Hz of a MIDI note in equal temperament (A4 = 440 Hz), shifted by `semitones`.
double keyFrequency(int key, double semitones = 0.0);

}  // namespace audition
