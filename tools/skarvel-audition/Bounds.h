#pragma once

#include <string>
#include <vector>

#include "tools/skarvel-audition/Audition.h"
#include "tools/skarvel-audition/FactoryDrafts.h"
#include "tools/skarvel-audition/Pitch.h"

namespace audition {

// The bounds every factory preset is held to. Levels are those of the rendered output with the
// preset as stored (output gain included).
namespace bounds {
inline constexpr double kTargetLufs = -25.0;     // typical passage of a sustained or melodic preset
inline constexpr double kTargetPeakDb = -15.0;   // typical passage of a one-shot, sample peak
inline constexpr double kLevelTolerance = 3.0;   // dB (LU) either way of those targets
inline constexpr double kChordTruePeak = -1.0;   // dBTP, eight keys at full velocity
inline constexpr double kKeyboardPeak = -1.0;    // dBFS, single full-velocity notes C1..C8
inline constexpr double kRateLoudness = 2.0;     // LU, 48 and 96 kHz against 44.1 kHz
inline constexpr double kChordLevels = 6.0;      // dB, each chord of a progression against the first
inline constexpr double kFirstNote = 3.0;        // dB, the first note after loading against the tenth and later
inline constexpr double kStrikeSpread = 1.5;     // dB, standard deviation of 24 identical notes
inline constexpr double kMonoLoss = 2.0;         // LU lost by folding down to mono
inline constexpr double kFlam = 0.005;           // s, right channel's envelope against the left's ...
inline constexpr double kFlamShare = 0.1;        // ... or this share of a slow rise
inline constexpr double kBalance = 3.0;          // dB, louder channel over the quieter
inline constexpr double kCents = 10.0;           // pitch error over the playable range
inline constexpr double kPitchContrast = 6.0;    // dB, the pitch's harmonic above its surroundings
inline constexpr double kVelocityRange = 6.0;    // dB, level at velocity 127 over velocity 40 ...
inline constexpr double kVelocityTimbre = 3.0;   // ... or this spectral distance between them
}  // namespace bounds

// One pitch measurement: a key at a velocity and sample rate.
struct PitchPoint {
  int key = 0;
  int velocity = 0;
  double sampleRate = 0.0;
  PitchEstimate estimate;
};

// Everything measured of one preset, to be held against the bounds.
struct Assessment {
  bool finite = true;
  // Typical passage.
  double loudness = 0.0;        // LUFS at 44.1 kHz
  double rateLoudness[2] = {};  // LUFS at 48 and 96 kHz
  double peak = 0.0;            // dBFS, sample peak at 44.1 kHz
  double monoLoss = 0.0;        // LU lost by the fold-down to mono
  double balance = 0.0;         // dB, left over right
  double sleepTime = -1.0;      // s after the last release when the engine slept; -1 never
  bool soundAfterSleep = false;
  // Loud playing.
  double chordTruePeak = 0.0;   // dBTP, the louder of 44.1 and 96 kHz
  double keyboardPeak = 0.0;    // dBFS, single full-velocity notes C1..C8
  // Polyphony: six four-note chords.
  int lostNotes = 0;
  double chordDrop = 0.0;       // dB, the chord furthest from the first chord's level
  // 24 identical notes on a freshly loaded engine.
  double firstNote = 0.0;       // dB, first note over the mean of the tenth and later
  double strikeSpread = 0.0;    // dB, standard deviation
  // Stereo.
  double flam = 0.0;            // s, right channel's envelope after the left's
  double flamAllowed = 0.0;     // s
  // Velocity, one note at 40 and at 127.
  double velocityRange = 0.0;   // dB
  double velocityTimbre = 0.0;  // dB of spectral distance
  // Pitch over the playable range (pitched presets only).
  std::vector<PitchPoint> pitches;
  double worstCents = 0.0;      // largest |error|
  double lowestCents = 0.0, highestCents = 0.0;
};

// Renders the preset in every way the bounds need and measures it (about a second of work).
Assessment assess(const Draft& draft, const ParameterValues& values);

// The bounds the assessment breaks, one line each; empty when it keeps them all.
std::vector<std::string> violations(const Draft& draft, const Assessment& assessment);

}  // namespace audition
