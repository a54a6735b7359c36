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

void ChorusStage::clear() {
  std::fill(m_storage.begin(), m_storage.end(), 0.0f);
  inputLow = modSmoothed = tapSmoothed = 0.0f;
  outLeft = outRight = mod = 0.0f;
}

}  // namespace skarvel
