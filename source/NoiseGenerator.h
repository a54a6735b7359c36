#pragma once

namespace skarvel {

// The state of a random line generator (all double): `rate` times per second it draws a new
// target in -1..+1; its output blends the held previous value (stepped noise, smooth 0) and a
// line walking towards the target over one period (interpolated noise, smooth 1). The voices'
// group render steps it (renderVoiceGroup).
struct NoiseGenerator {
  static constexpr double kScale = 1.0 / 16384.0;  // random integer 0..32767 to 0..2

  double target = 1.0;
  double previous = 1.0;
  double slope = 0.0;          // per-sample step of the line
  double increment = 0.00001;  // rate / sample rate
  double phase = 0.0;          // 0..1, a new value is due at 1
  double ramp = 0.0;

  // Phase advance for a rate in Hz; rates at or below 0.01 Hz (and NaN) run at 0.01 Hz.
  static double incrementFor(double sampleRate, double rate) {
    return 1.0 / (sampleRate / (rate > 0.01 ? rate : 0.01));
  }
};

}  // namespace skarvel
