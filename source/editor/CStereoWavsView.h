#pragma once

#include <cstdint>

#include "Frameworks/Gui/CControl.h"
#include "source/editor/ColourGroups.h"
#include "source/editor/ScopeTrace.h"

namespace skarvel {

// The oscilloscope of the left output: the engine's sample ring drawn oldest first, between two
// clip lines, with a small zoom bar at the bottom that chooses how much of the ring the width
// spans (zoom z shows the oldest z^2 x 4096 samples). Dragging the zoom bar is a view setting,
// not a parameter: it tells neither the listener nor the host.
class CStereoWavsView : public VSTGUI::CControl {
 public:
  static constexpr int32_t kTag = 19002;

  CStereoWavsView(const VSTGUI::CRect& size, const ColourGroupD* colours, int32_t tag = kTag);

  // The engine's ring and its write position (the next sample to be written, the oldest).
  void handOver(const float* ring, std::uint32_t writeIndex);
  const ScopeTrace& trace() const { return m_trace; }

  float getZoom() const { return m_zoom; }
  void setZoom(float zoom);
  bool isZoomBarHovered() const { return m_hover; }
  VSTGUI::CRect zoomBarRect() const;

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseExited(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;

  CLASS_METHODS(CStereoWavsView, CControl)

 private:
  void zoomTo(double x);

  const ColourGroupD* m_colours;
  ScopeTrace m_trace;
  float m_zoom = 0.5f;
  bool m_hover = false;
  bool m_dragging = false;
};

}  // namespace skarvel
