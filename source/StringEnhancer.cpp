#include "source/StringEnhancer.h"

#include <algorithm>

namespace skarvel {

namespace {

// Delay target in samples within the line, whatever the amount.
double lineDelay(double samples) {
  return std::clamp(samples, 1.0, double(StringEnhancer::kLineMask));
}

}  // namespace

StringEnhancer::StringEnhancer() : m_storage(2 * kLineLength, 0.0f) {
  m_midLine = m_storage.data();
  m_rightLine = m_midLine + kLineLength;
  setSampleRate(44100.0f);
}

void StringEnhancer::setAmount(float x) {
  midTarget = lineDelay(double(x) * sampleRate * 0.045);
  rightTarget = lineDelay(double(x) * sampleRate * 0.093);
  amount = x * 0.758f;
}

void StringEnhancer::setSampleRate(float rate) {
  sampleRate = rate;
  clearLines();
  bandPass.clearState();
  bandPass.sampleRate = rate;
  designBandPass(bandPass, 1400.0, 3900.0);
}

void StringEnhancer::clearLines() { std::fill(m_storage.begin(), m_storage.end(), 0.0f); }

}  // namespace skarvel
