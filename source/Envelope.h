#pragma once

#include <cmath>

namespace skarvel {

// ADSR envelope with a velocity gain. Attack rises linearly; Decay and Release are exponential
// recursions that cover 10/11 of their distance in the set time. A trigger during Release can
// cross-fade from the held output to the new attack (Retrigger) instead of jumping.
class Envelope {
 public:
  enum State : int { Attack = 0, Decay = 1, Sustain = 2, Release = 3, Idle = 4, Retrigger = 5 };

  float attackTime = 0.001f;   // s
  float decayTime = 0.0f;      // s
  float releaseTime = 0.001f;  // s
  float sustainLevel = 1.0f;   // 0..1
  float attackStep = 0.0f;     // level increase per sample in Attack
  float decayFactor = 0.0f;
  float decayOffset = 0.0f;
  float releaseFactor = 0.0f;
  float releaseOffset = 0.0f;
  float sustainTarget = 1.0f;
  float velocitySensitivity = 1.0f;  // 0.001..0.999 once set
  float velocityGain = 0.0f;         // 0..1, set at each trigger
  float level = 0.0f;
  float output = 0.0f;               // level x velocity gain, as last returned
  float previousLevel = 0.0f;
  float crossfade = 0.0f;            // 0..1 progress of a retrigger cross-fade
  int state = Idle;
  bool retriggerCrossfade = false;
  bool gate = false;       // key down
  bool pedalHold = false;  // sustain pedal down
  float sampleRate = 44100.0f;
  double coefficientRate = 44100.0;  // rate the coefficients were computed for

  bool isIdle() const { return state == Idle; }

  // Velocity gain for a MIDI velocity: v^2 x sensitivity + (1 - sensitivity), 0 below 0.001.
  static float velocityCurve(int velocity, float sensitivity) {
    const float v = static_cast<float>(velocity) * 0.007874015718698502f;
    const float g = v * v * sensitivity + (1.0f - sensitivity);
    if (g < 0.001f) return 0.0f;
    if (g > 1.0f) return 1.0f;
    return g;
  }

  void recomputeCoefficients() {
    const double r = coefficientRate;
    sustainTarget = sustainLevel;
    attackStep = static_cast<float>(1.0 / (attackTime * r));
    const float ln11 = std::log(11.0f);
    decayFactor = static_cast<float>(std::exp(-ln11 / (decayTime * r)));
    decayOffset = (1.0f - decayFactor) * (sustainLevel - 0.0001f);
    releaseFactor = static_cast<float>(std::exp(-ln11 / (releaseTime * r)));
    releaseOffset = (1.0f - releaseFactor) * -0.0001f;
  }

  void trigger(int velocity) {
    if (retriggerCrossfade && state == Release) {
      state = Retrigger;
      crossfade = 0.0f;
    } else {
      state = Attack;
    }
    coefficientRate = sampleRate;
    velocityGain = velocityCurve(velocity, velocitySensitivity);
    recomputeCoefficients();
    gate = true;
  }

  // Key released with the pedal up: a gated envelope goes to Release (or Idle at level 0).
  // Otherwise (pedal down or gate already off) it ends only when practically silent.
  void noteOff() {
    if (!pedalHold && gate) {
      release();
    } else if (level < 0.001f) {
      state = Idle;
    }
    gate = false;
  }

  // Pedal change: lifting it releases every envelope whose key is already up.
  void setPedal(bool down) {
    pedalHold = down;
    if (!gate && !down) release();
  }

  void release() { state = level <= 0.0f ? Idle : Release; }

  // Idle at level 0 with cleared flags.
  void reset() {
    state = Idle;
    level = 0.0f;
    output = 0.0f;
    previousLevel = 0.0f;
    crossfade = 0.0f;
    gate = false;
    pedalHold = false;
  }

  // Ticks `count` times, handing each value to write(k, value). Returns the number of ticks
  // before the envelope was Idle at the start of one (count when it never was). In Sustain and
  // Idle every tick gives the value of the first, so a run of them costs one tick.
  template <typename Write>
  int render(int count, Write&& write) {
    int busy = count;
    for (int k = 0; k < count; ++k) {
      if (state == Sustain || state == Idle) {
        if (state == Idle) busy = k;
        const float value = tick();
        for (; k < count; ++k) write(k, value);
        break;
      }
      write(k, tick());
    }
    return busy;
  }

  float tick() {
    switch (state) {
      case Attack:
        level += attackStep;
        if (level >= 1.0f) {
          level = 1.0f;
          state = Decay;
        }
        break;
      case Decay:
        level = level * decayFactor + decayOffset;
        if (level <= sustainTarget + 0.001f) {
          if (sustainTarget <= 0.0001f) {
            level = 0.0f;
            state = Idle;
          } else {
            level = sustainTarget;
            state = Sustain;
          }
        }
        break;
      case Release:
        level = level * releaseFactor + releaseOffset;
        if (level <= 0.0001f) {
          level = 0.0f;
          state = Idle;
        }
        break;
      case Retrigger: {
        level += attackStep;
        float k = (1.0f - previousLevel) / attackStep * 0.98f;
        if (k < 0.0001f) k = 0.0001f;
        float y = (attackStep * k + previousLevel) * velocityGain * crossfade + (1.0f - crossfade) * output;
        if (y < 0.0001f) y = 0.0001f;
        crossfade += 1.0f / k;
        if (crossfade > 1.0f) state = Attack;
        return y;
      }
      default:  // Sustain, Idle: level unchanged
        break;
    }
    if (level < 1e-29f) level = 0.0f;
    previousLevel = level;
    output = level * velocityGain;
    return output;
  }
};

}  // namespace skarvel
