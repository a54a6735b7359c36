#pragma once

#include <vector>

#include "source/Envelope.h"

namespace skarvel {

// The polyline of the envelope drawing: the engine's own ADSR envelope run at a quarter of a
// sample per pixel of width per second, one step per pixel, released a little after the middle
// and stopped once it has died away.
class EnvelopeTrace {
 public:
  struct Point {
    double x = 0.0;
    double y = 0.0;
  };

  // Times in seconds, sustain 0..1, as the editor hands them over; the drawing adds its own
  // offsets (a slightly longer attack so it stays visible, a sustain floor).
  void setAttack(float seconds) { m_attack = seconds + 0.05f; }
  void setDecay(float seconds) { m_decay = seconds; }
  void setSustain(float level);
  void setRelease(float seconds) { m_release = seconds; }

  float attack() const { return m_attack; }
  float decay() const { return m_decay; }
  float sustain() const { return m_sustain; }
  float release() const { return m_release; }

  // Fills points for a view at (left, top) of the given size (pixels). Returns the x offset
  // (from left) at which the note is released.
  int trace(double left, double top, double width, double height, std::vector<Point>& points);

 private:
  Envelope m_envelope;
  float m_attack = 0.5f;
  float m_decay = 0.5f;
  float m_sustain = 0.5f;
  float m_release = 0.5f;
};

}  // namespace skarvel
