#pragma once

#include <cstddef>

namespace audition {

// The pitch of a stretch of sound, found as the fundamental of the harmonic series that stands
// out of its spectrum most clearly.
struct PitchEstimate {
  bool found = false;     // some harmonic series stands out of the spectrum
  double hz = 0.0;        // its fundamental
  double cents = 0.0;     // the fundamental against the expected frequency
  double contrast = 0.0;  // dB, the harmonic the pitch is read from above the spectrum beside it
  int harmonics = 0;      // of the series' first four harmonics, those 6 dB or more above their gaps
};

// Searches fundamentals from an octave below to an octave above `expectedHz` in `count` mono
// samples. Every candidate is scored by its first ten harmonics, each by how far it stands above
// the spectrum halfway to its neighbours (weighted 1/k), so an octave above the true fundamental
// scores nothing (its gaps fall on the odd harmonics) and an octave below scores half (its odd
// harmonics fall in gaps). The pitch is then read from the lowest of the winner's first four
// harmonics that is clear, interpolated between bins, divided by its number.
PitchEstimate estimatePitch(const float* samples, std::size_t count, double sampleRate, double expectedHz);

}  // namespace audition
