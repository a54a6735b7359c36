#pragma once

#include <string>

#include <cairo.h>

namespace pictures {

// The product's logotype: a dark name plate carrying the word mark and a trace
// that starts as raw noise and settles into a ringing tone, which is what the
// instrument does with every note.
//
// The plate is drawn in the editor's base units and written at two pixels per
// unit, so it stays sharp when the editor is scaled up to its largest size.
class LogoPainter {
public:
  // Base units; the editor leaves a box 129 wide below the output knobs.
  static constexpr double kWidth = 128.0;
  static constexpr double kHeight = 50.0;
  static constexpr int kPixelsPerUnit = 2;

  // fontPath: the TrueType file of the word mark.
  explicit LogoPainter(std::string fontPath);

  // Draws into context, whose user space is in base units with the plate's
  // top-left corner at the origin. False when a font cannot be loaded.
  bool paint(cairo_t* context) const;

  // Draws the plate at kPixelsPerUnit and writes it as PNG.
  bool writePng(const std::string& path) const;

private:
  void paintPlate(cairo_t* context) const;
  void paintTrace(cairo_t* context) const;
  bool paintText(cairo_t* context) const;

  std::string m_fontPath;
};

}  // namespace pictures
