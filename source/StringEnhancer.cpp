#include "source/StringEnhancer.h"

#include <algorithm>
#include <cmath>

namespace skarvel {

namespace {

// Delay target in samples within the line, whatever the amount (NaN gives the shortest).
double lineDelay(double samples) {
  if (!(samples >= 1.0)) return 1.0;
  return std::min(samples, double(StringEnhancer::kLineMask));
}

}  // namespace

StringEnhancer::StringEnhancer() : m_storage(2 * kLineLength, 0.0f) {
  m_midLine = m_storage.data();
  m_rightLine = m_midLine + kLineLength;
  setSampleRate(44100.0f);
}

void StringEnhancer::setAmount(float x) {
  if (!std::isfinite(x)) x = 0.0f;
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
