#include "source/ChorusStage.h"

#include <algorithm>

namespace skarvel {

ChorusStage::ChorusStage() : m_storage(3 * kLineLength, 0.0f) {
  m_line1 = m_storage.data();
  m_line2 = m_line1 + kLineLength;
  m_line3 = m_line2 + kLineLength;
  setSampleRate(44100);
}

void ChorusStage::setSampleRate(int rate) {
  const float sr = static_cast<float>(rate);
  baseLength = static_cast<float>(static_cast<int>(sr * 0.06666667f));
  modDelay = depth * baseLength * 0.9f;
  tapLevel = depth * baseLength * 0.7f;
  spread = sr * 9.070294618140906e-05f;
  inputCoef = 1463.9832763671875f / sr;
  modCoef = 56.5487060546875f / sr;
  modulator.setSampleRate(rate);
}

void ChorusStage::process(const float* input, const ChorusDraws* draws, float* left, float* right, int count) {
  ChorusModulator sweep = modulator;
  float low = inputLow, smoothedMod = modSmoothed, smoothedTap = tapSmoothed;
  float outL = outLeft, outR = outRight, m = mod;
  int write1 = m_write1, write2 = m_write2, write3 = m_write3;
  const float feedback = feedbackScale, inCoef = inputCoef, smoothCoef = modCoef, modDepth = modDelay;
  const float tapDepth = tapLevel, fixed = spread, offset1 = readOffset1, offset2 = readOffset2;
  const double offset3 = readOffset3;
  float* const line1 = m_line1;
  float* const line2 = m_line2;
  float* const line3 = m_line3;

  for (int n = 0; n < count; ++n) {
    float fb = feedback * outL * 0.28f;
    fb = flushBelow(fb, 1e-15f);
    const float e = static_cast<float>(double(input[n]) + fb + (draws[n].noise * (1.0 / 32768.0) - 0.5) * 1e-9);
    m = sweep.next(draws[n].jitter);
    low += (e - low) * inCoef;
    const float g = low;
    smoothedMod += ((m + 1.0f) * modDepth - smoothedMod) * smoothCoef;

    // The control line is read about (line length − smoothedMod) samples back.
    const double tap =
        catmullRomDelayed<double>(line3, kLineMask, write3, double(kLineLength) + (1.0 - smoothedMod) - offset3);
    smoothedTap += (static_cast<float>(tap) - smoothedTap) * smoothCoef;

    line1[write1] = e - g;
    line2[write2] = e - g;
    line3[write3] = (1.0f - m * m) * tapDepth;
    write1 = (write1 + 1) & kLineMask;
    write2 = (write2 + 1) & kLineMask;
    write3 = (write3 + 1) & kLineMask;

    const float k = g * 0.1f + e * 0.5f;
    outL = catmullRomDelayed<float>(line1, kLineMask, write1, lineDelay(fixed + smoothedMod - offset1)) + outR * 0.1f + k;
    outR = catmullRomDelayed<float>(line2, kLineMask, write2, lineDelay(fixed + smoothedTap - offset2)) + outL * 0.1f + k;
    outL = flushBelow(outL, 1e-15f);
    outR = flushBelow(outR, 1e-15f);
    left[n] = outL;
    right[n] = outR;
  }

  modulator = sweep;
  inputLow = low;
  modSmoothed = smoothedMod;
  tapSmoothed = smoothedTap;
  outLeft = outL;
  outRight = outR;
  mod = m;
  m_write1 = write1;
  m_write2 = write2;
  m_write3 = write3;
}

void ChorusStage::clear() {
  std::fill(m_storage.begin(), m_storage.end(), 0.0f);
  inputLow = modSmoothed = tapSmoothed = 0.0f;
  outLeft = outRight = mod = 0.0f;
}

}  // namespace skarvel
