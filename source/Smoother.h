#pragma once

namespace skarvel {

// One-pole glide of a value towards a target: a step change is 99.9 % reached after `timeMs`.
// Built ready for 44100 Hz, so a host that never announces another rate still gets the glide.
class Smoother {
 public:
  static constexpr float kGlideMs = 43.0f;

  Smoother() { setSampleRate(44100.0f); }
  virtual ~Smoother() = default;

  // Recomputes the coefficient for the 43 ms glide at `rate` (Hz). The value is kept.
  void setSampleRate(float rate);

  // One sample towards `target`; returns the new value.
  float step(float target) {
    value += (target - value) * coefficient;
    return value;
  }

  void reset(float to = 0.0f) { value = to; }

  float sampleRate = 44100.0f;
  float value = 0.0f;
  float coefficient = 1.0f;
  float timeMs = kGlideMs;
  float radiansPerSample = 0.0f;
};

}  // namespace skarvel
