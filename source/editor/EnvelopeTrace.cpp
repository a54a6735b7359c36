#include "source/editor/EnvelopeTrace.h"

#include <cmath>

namespace skarvel {

namespace {
constexpr float kSilent = 0.0001f;  // the drawing ends at the first level below this
constexpr float kMinimumTime = 0.0001f;  // s; keeps the envelope's coefficients finite
}  // namespace

void EnvelopeTrace::setSustain(float level) {
  const float shown = level + 0.001f;
  m_sustain = shown < 0.001f ? 0.0f : shown;
}

int EnvelopeTrace::trace(double left, double top, double width, double height,
                         std::vector<Point>& points) {
  points.clear();
  const int columns = static_cast<int>(width);
  const int releaseAt = columns / 2 + 10;
  const int H = static_cast<int>(height - 5.0);
  if (columns < 4 || H < 1) return releaseAt;

  // A non-finite or non-positive time would make the recursions blow up; draw it as instant.
  auto time = [](float t) { return std::isfinite(t) && t > kMinimumTime ? t : kMinimumTime; };
  m_envelope.reset();
  m_envelope.attackTime = time(m_attack);
  m_envelope.decayTime = time(m_decay);
  m_envelope.releaseTime = time(m_release);
  m_envelope.sustainLevel = std::isfinite(m_sustain) ? m_sustain : 0.0f;
  m_envelope.velocitySensitivity = 1.0f;
  m_envelope.sampleRate = static_cast<float>(width * 0.25);
  m_envelope.trigger(127);  // note 60 at full velocity: gain 1, no key tracking in the drawing

  points.reserve(static_cast<std::size_t>(columns));
  points.push_back({left + 2.0, top + height - 5.0});
  for (int x = 2; x < columns; ++x) {
    if (x == releaseAt) m_envelope.noteOff();
    const float level = m_envelope.tick();
    points.push_back({left + x, top + H - static_cast<double>(level) * H + 1.0});
    if (level < kSilent) break;
  }
  return releaseAt;
}

}  // namespace skarvel
