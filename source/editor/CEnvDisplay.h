#pragma once

#include <vector>

#include "Frameworks/Gui/CView.h"
#include "source/editor/ColourGroups.h"
#include "source/editor/EnvelopeTrace.h"

namespace skarvel {

// The drawing of the ADSR envelope: the engine's own envelope run across the width, held
// until a little after the middle, then released.
class CEnvDisplay : public VSTGUI::CView {
 public:
  CEnvDisplay(const VSTGUI::CRect& size, const ColourGroupD* colours);

  // Seconds and level as the editor computes them from the parameters.
  void setAttack(float seconds);
  void setDecay(float seconds);
  void setSustain(float level);
  void setRelease(float seconds);
  const EnvelopeTrace& envelope() const { return m_trace; }
  // The polyline of the last draw (frame coordinates).
  const std::vector<EnvelopeTrace::Point>& lastPoints() const { return m_points; }

  void draw(VSTGUI::CDrawContext* context) override;

  CLASS_METHODS(CEnvDisplay, CView)

 private:
  const ColourGroupD* m_colours;
  EnvelopeTrace m_trace;
  std::vector<EnvelopeTrace::Point> m_points;
};

}  // namespace skarvel
