#pragma once

#include <array>
#include <string>

#include "Frameworks/Gui/CBitmap.h"
#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/CFontDesc.h"
#include "source/editor/EditorLayout.h"
#include "source/editor/ThemeColours.h"

namespace VSTGUI {
class CFrame;
}

namespace skarvel {

// The editor's whole panel as one picture: the tile (darkened to the theme's background) with a
// soft ellipse of the background colour over it, the connection lines between knobs, the panel
// frames, every parameter label, the toolbar strip and the logo. Drawing it also lays out the
// window: the scaled rectangles of the controls and the two areas the editor watches (the
// appearance selector and the manual icon).
//
// It is drawn once into an offscreen picture that becomes the frame's background, at every open,
// size change and theme change; ordinary redraws only copy that picture.
class BackgroundBitmap : public VSTGUI::CBitmap {
 public:
  static constexpr const char* kLogoFile = "Skarvel_logo.png";
  static constexpr const char* kTileFile = "Skarvel_tile.png";

  // Pictures are read from the plug-in's data folder. A missing logo is reported with a notice
  // and left out; a missing tile leaves a plain background.
  BackgroundBitmap(const VSTGUI::CPoint& size, const ThemeColourTable& theme, const std::string& fontName);
  ~BackgroundBitmap() override;

  // Paints the panel into context (its top-left corner at rect's) and computes the layout.
  void draw(VSTGUI::CDrawContext* context, const VSTGUI::CRect& rect, const VSTGUI::CPoint& offset = {0, 0},
            float alpha = 1.f) override;

  // Draws a background of the frame's size and makes it the frame's background picture.
  // False when no offscreen picture could be made (the frame keeps its old background).
  bool renderInto(VSTGUI::CFrame& frame);

  // Layout of the last draw (frame coordinates).
  const std::array<VSTGUI::CRect, kParameterCount>& controlRects() const { return m_controlRects; }
  const VSTGUI::CRect& appearanceRegion() const { return m_appearanceRegion; }
  const VSTGUI::CRect& manualIconRegion() const { return m_manualIconRegion; }
  double scaleX() const { return m_sx; }
  double scaleY() const { return m_sy; }
  bool hasLogo() const { return m_logo != nullptr; }
  bool hasTile() const { return m_tile != nullptr; }

  // The tile's darkening factor for a background colour: the colour's lightness
  // (max / 2 + min / 2, each halved as integers) times 4 / 255, at most 1.
  static double tileDarkening(const ThemeRgb& background);

 private:
  VSTGUI::CRect s(const VSTGUI::CRect& base) const { return scaled(base, m_sx, m_sy); }
  VSTGUI::CRect s(double left, double top, double right, double bottom) const {
    return s(VSTGUI::CRect(left, top, right, bottom));
  }
  VSTGUI::CPoint s(double x, double y) const { return {x * m_sx, y * m_sy}; }

  void darkenTile();
  void drawBackdrop(VSTGUI::CDrawContext* context);
  void drawConnections(VSTGUI::CDrawContext* context);
  void drawPanels(VSTGUI::CDrawContext* context);
  void drawPanel(VSTGUI::CDrawContext* context, const VSTGUI::CRect& base);
  void drawLabels(VSTGUI::CDrawContext* context);
  void drawLabel(VSTGUI::CDrawContext* context, const char* text, const VSTGUI::CRect& base,
                 VSTGUI::CHoriTxtAlign align, double size);
  void drawSharedOutputLabels(VSTGUI::CDrawContext* context, const ControlPlacement& left,
                              const ControlPlacement& right);
  void drawTopStrip(VSTGUI::CDrawContext* context);
  void drawMenuMarker(VSTGUI::CDrawContext* context, double x, double width);
  void drawManualIcon(VSTGUI::CDrawContext* context);
  void drawLogo(VSTGUI::CDrawContext* context);

  VSTGUI::CPoint m_size;
  double m_sx = 1.0;
  double m_sy = 1.0;
  // The seven colours the panel is painted with.
  VSTGUI::CColor m_mainBackground;
  VSTGUI::CColor m_highlightLine;
  VSTGUI::CColor m_plainLine;
  VSTGUI::CColor m_knobRim;
  VSTGUI::CColor m_lightGrey{203, 203, 203};
  VSTGUI::CColor m_labelFont;
  VSTGUI::CColor m_controlActive;
  ThemeRgb m_backgroundRgb;

  VSTGUI::SharedPointer<VSTGUI::CFontDesc> m_font;
  VSTGUI::SharedPointer<VSTGUI::CBitmap> m_logo;
  VSTGUI::SharedPointer<VSTGUI::CBitmap> m_tile;
  bool m_tileDarkened = false;

  std::array<VSTGUI::CRect, kParameterCount> m_controlRects{};
  VSTGUI::CRect m_appearanceRegion;
  VSTGUI::CRect m_manualIconRegion;
};

}  // namespace skarvel
