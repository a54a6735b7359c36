#pragma once

#include <cstddef>

namespace audition {

// Programme loudness after EBU R 128 (libebur128): K-weighted, gated, in LUFS; true peak in dBTP.
// Silence (everything gated away) gives -infinity.
struct Loudness {
  double integrated = 0.0;    // LUFS of the stereo programme
  double truePeak = 0.0;      // dBTP, the louder channel
  double monoFoldDown = 0.0;  // LUFS of (L + R) / 2 played on both channels
};

Loudness measureLoudness(const float* left, const float* right, std::size_t frames, double sampleRate);

}  // namespace audition
