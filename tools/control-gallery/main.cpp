// skarvel-control-gallery: draws every control and display of the editor, in several states,
// on each factory theme at the window sizes 0.89, 1.0 and 1.98, one PNG per theme and size.
//
//   skarvel-control-gallery --out DIR [--themes DIR] [--font FILE] [--scales 0.89,1,1.98]

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Frameworks/AppearanceManager/AppearanceFactory.h"
#include "Frameworks/AppearanceManager/ColourItems.h"
#include "Frameworks/Gui/CBitmap.h"
#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/CFontDesc.h"
#include "Frameworks/PresetManager/MessageList.h"
#include "source/editor/CDireDeridZoom.h"
#include "source/editor/CEnvDisplay.h"
#include "source/editor/CKickPreviousNext.h"
#include "source/editor/CKnobFlatOrvik.h"
#include "source/editor/CLabelViewsADSR.h"
#include "source/editor/CLabelViewsChange.h"
#include "source/editor/CMultiSwitch.h"
#include "source/editor/CSimpleLabel.h"
#include "source/editor/CSimpleOnOff.h"
#include "source/editor/CSliderFlat.h"
#include "source/editor/CSliderNano.h"
#include "source/editor/CStereoPeaksView.h"
#include "source/editor/CStereoWavsView.h"
#include "source/editor/CToolTip.h"
#include "source/editor/ColourGroups.h"

using namespace VSTGUI;
using namespace skarvel;

namespace {

struct Theme {
  std::string name;
  ThemeColourTable colours;
};

std::vector<Theme> readThemes(const std::string& folder) {
  presets::MessageList messages;
  appearance::AppearanceFactory factory(messages);
  appearance::registerColourItems(factory);
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().extension() == ".yaml") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::vector<Theme> themes;
  for (const auto& file : files) {
    auto theme = factory.readThemeFile(file.string());
    if (!theme) {
      std::fprintf(stderr, "skipped %s\n", file.string().c_str());
      continue;
    }
    Theme t;
    t.name = file.stem().string();
    for (std::size_t i = 0; i < t.colours.size() && i < theme->colours.size(); ++i)
      t.colours[i] = {theme->colours[i].red, theme->colours[i].green, theme->colours[i].blue};
    themes.push_back(t);
  }
  return themes;
}

// One gallery page: the views laid out in base units, drawn at one scale.
class Page {
 public:
  Page(double scale, const ThemeColourTable& theme) : m_scale(scale) {
    m_groups.apply(theme);
    m_theme = theme;
    m_labelFont = owned(new CFontDesc("Tahoma_Small", 14 * scale, kBoldFace));
    m_smallFont = owned(new CFontDesc("Tahoma_Small", 12 * scale, kBoldFace));
  }

  CRect at(double x, double y, double w, double h) const {
    return CRect(x * m_scale, y * m_scale, (x + w) * m_scale, (y + h) * m_scale);
  }

  void render(const std::string& path) {
    const double width = std::round(960 * m_scale), height = std::round(470 * m_scale);
    auto context = COffscreenContext::create(CPoint(width, height));
    context->beginDraw();
    context->setFillColor(toColour(m_theme[appearance::kMainBackground]));
    context->drawRect(CRect(0, 0, width, height), kDrawFilled);
    drawCaptions(context);
    drawKnobs(context);
    drawSlidersAndSwitches(context);
    drawDisplays(context);
    context->endDraw();
    if (!context->getBitmap()->writePNG(path)) std::fprintf(stderr, "cannot write %s\n", path.c_str());
  }

 private:
  void caption(CDrawContext* context, const char* text, double x, double y, double w) {
    context->setFont(m_labelFont, 12 * m_scale, kBoldFace);
    context->setFontColor(toColour(m_theme[appearance::kLabelFont]));
    context->drawString(text, at(x, y, w, 14), kCenterText, true);
  }

  template <class V>
  void show(CDrawContext* context, V* view) {
    view->draw(context);
    view->forget();
  }

  void hover(CView* view) {
    CPoint p = view->getViewSize().getCenter();
    view->onMouseMoved(p, CButtonState(0));
  }

  CKnobFlatOrvik* knob(double x, double y, double size, int positions, float value, const char* text) {
    auto* k = new CKnobFlatOrvik(at(x, y, size, size), nullptr, 0, &m_groups.c, positions);
    k->setValue(value);
    if (text) k->setValueText(text);
    return k;
  }

  void drawCaptions(CDrawContext* context) {
    caption(context, "unipolar 0 / 0.25 / 0.7 / 1", 20, 6, 250);
    caption(context, "bipolar 0 / 0.3 / 0.5 / 0.85", 280, 6, 250);
    caption(context, "52 and 34 wide, hovered", 540, 6, 150);
    caption(context, "stepped 2 (off, on), 3", 690, 6, 160);
    caption(context, "ADSR sliders", 10, 106, 140);
    caption(context, "box slider", 150, 106, 80);
    caption(context, "switches", 235, 106, 70);
    caption(context, "ADSR / gate", 310, 106, 190);
    caption(context, "toolbar buttons", 505, 106, 170);
    caption(context, "switching labels", 680, 106, 170);
    caption(context, "oscilloscope", 20, 258, 201);
    caption(context, "meters", 230, 258, 60);
    caption(context, "envelope", 300, 258, 311);
    caption(context, "help box", 625, 258, 319);
  }

  void drawKnobs(CDrawContext* context) {
    const float uni[4] = {0.0f, 0.25f, 0.7f, 1.0f};
    const float bi[4] = {0.0f, 0.3f, 0.5f, 0.85f};
    for (int i = 0; i < 4; ++i) {
      show(context, knob(25 + 60 * i, 30, 44, 1, uni[i], nullptr));
      show(context, knob(285 + 60 * i, 30, 44, -1, bi[i], nullptr));
    }
    auto* big = knob(550, 26, 52, 1, 0.27f, "-8.6 dB");
    big->setViewSize(CRect(big->getViewSize()).extend(1, 1));
    hover(big);
    show(context, big);
    auto* small = knob(620, 35, 34, -1, 0.62f, "+24 %");
    hover(small);
    show(context, small);
    show(context, knob(700, 30, 44, 2, 0.0f, "off"));
    show(context, knob(750, 30, 44, 2, 1.0f, "on"));
    show(context, knob(800, 30, 44, 3, 0.5f, "mid"));
  }

  void drawSlidersAndSwitches(CDrawContext* context) {
    const float values[4] = {0.1f, 0.45f, 0.8f, 1.0f};
    for (int i = 0; i < 4; ++i) {
      auto* s = new CSliderNano(at(20 + 29 * i, 125, 19, 122), nullptr, 14 + i, &m_groups.a);
      s->setValue(values[i]);
      if (i == 3) s->setHighlight(false);
      show(context, s);
    }
    auto* box = new CSliderFlat(at(168, 140, 44, 19), nullptr, 18, &m_groups.a, m_smallFont);
    box->setValue(1.0f);
    box->setValueText("1.00");
    show(context, box);
    auto* boxBar = new CSliderFlat(at(168, 170, 44, 19), nullptr, 18, &m_groups.a, m_smallFont);
    boxBar->setValue(0.4f);
    boxBar->setValueText("0.40");
    boxBar->setValueBar(true);
    show(context, boxBar);

    auto* on = new CSimpleOnOff(at(250, 140, 18, 18), nullptr, 7, &m_groups.b2);
    on->setValue(1.0f);
    show(context, on);
    show(context, new CSimpleOnOff(at(278, 140, 18, 18), nullptr, 8, &m_groups.b2));
    auto* smallOn = new CSimpleOnOff(at(250, 170, 14, 14), nullptr, 34, &m_groups.b2);
    smallOn->setValue(1.0f);
    show(context, smallOn);
    show(context, new CSimpleOnOff(at(278, 170, 14, 14), nullptr, 35, &m_groups.b2));

    for (int i = 0; i < 2; ++i) {
      auto* multi = new CMultiSwitch(at(320 + 95 * i, 140, 81, 18), nullptr, 19, &m_groups.b1, 2, m_smallFont);
      multi->setItemTexts({"ADSR", "gate"});
      multi->setValue(static_cast<float>(i));
      show(context, multi);
    }
    auto* three = new CMultiSwitch(at(320, 170, 150, 18), nullptr, 1, &m_groups.b1, 3, m_smallFont);
    three->setItemTexts({"one", "two", "three"});
    three->setValue(0.5f);
    show(context, three);

    // The toolbar's own controls sit on its fixed dark strip.
    const CRect strip = at(505, 125, 170, 70);
    context->setFillColor(CColor(45, 45, 45));
    context->drawRect(strip, kDrawFilled);
    auto* stepper = new CKickPreviousNext(at(512, 130, 156, 12), nullptr, 40, &m_groups.b1);
    CPoint next = stepper->getArea(CKickPreviousNext::kNextArea).getCenter();
    stepper->onMouseMoved(next, CButtonState(0));
    show(context, stepper);
    auto* zoom = new CDireDeridZoom(at(512, 150, 51, 16), nullptr);
    CPoint plus = zoom->getViewSize().getCenter() + CPoint(10 * m_scale, 0);
    zoom->onMouseDown(plus, CButtonState(kLButton));
    show(context, zoom);
    show(context, new CDireDeridZoom(at(570, 150, 51, 16), nullptr));
    auto* compare = new CSimpleLabel(at(512, 172, 59, 16), nullptr, -1, m_labelFont);
    compare->setText("compare");
    compare->setFontColor(CColor(255, 0, 0));
    show(context, compare);
    auto* current = new CSimpleLabel(at(580, 172, 59, 16), nullptr, -1, m_labelFont);
    current->setText("current");
    current->setFontColor(CColor(162, 162, 162));
    show(context, current);

    const CColor label = toColour(m_theme[appearance::kLabelFont]);
    auto* change = new CLabelViewsChange(at(690, 125, 43, 48), m_labelFont, label);
    show(context, change);
    auto* changeOn = new CLabelViewsChange(at(740, 125, 43, 48), m_labelFont, label);
    changeOn->setOff(false);
    show(context, changeOn);
    show(context, new CLabelViewsADSR(at(690, 185, 50, 16), m_labelFont, label));
    auto* adsrOn = new CLabelViewsADSR(at(750, 185, 60, 16), m_labelFont, label);
    adsrOn->setOff(false);
    show(context, adsrOn);
  }

  void drawDisplays(CDrawContext* context) {
    auto* scope = new CStereoWavsView(at(20, 278, 201, 86), &m_groups.d);
    std::vector<float> ring(4096);
    for (std::size_t i = 0; i < ring.size(); ++i)
      ring[i] = static_cast<float>(0.8 * std::sin(i * 0.02) * std::exp(-static_cast<double>((i + 1500) % 4096) / 3000.0) +
                                   0.15 * std::sin(i * 0.31));
    scope->handOver(ring.data(), 1500);
    show(context, scope);
    auto* hovered = new CStereoWavsView(at(20, 372, 201, 86), &m_groups.d);
    hovered->setZoom(0.8f);
    CPoint bar = hovered->zoomBarRect().getCenter();
    hovered->onMouseMoved(bar, CButtonState(0));
    show(context, hovered);

    auto* meters = new CStereoPeaksView(at(240, 278, 20, 86), &m_groups.d);
    meters->setPeaks(0.55f, 0.97f);
    meters->draw(context);  // raises the holds
    meters->setPeaks(0.35f, 0.6f);
    show(context, meters);

    auto* env = new CEnvDisplay(at(300, 278, 311, 83), &m_groups.d);
    env->setAttack(2 * 0.3f * 0.3f + 0.001f);
    env->setDecay(2 * 0.4f * 0.4f + 0.01f);
    env->setSustain(0.999f * 0.6f + 0.001f);
    env->setRelease(2 * 0.5f * 0.5f);
    show(context, env);
    auto* envShort = new CEnvDisplay(at(300, 372, 311, 83), &m_groups.d);
    envShort->setAttack(0.001f);
    envShort->setDecay(0.2f);
    envShort->setSustain(0.001f);
    envShort->setRelease(0.1f);
    show(context, envShort);

    auto* help = new CToolTip(at(625, 278, 319, 83), m_labelFont);
    help->setFontColor(toColour(m_theme[appearance::kTooltipFont]));
    help->setLines({"Use Shift + Click", "to fine tune the sliders or the knobs.", "Use Ctrl + Click ",
                    "to set the default value. ", "Adjusting box sliders diagonally increases speed."});
    show(context, help);
    auto* boxed = new CToolTip(at(625, 372, 319, 83), m_labelFont);
    boxed->setFontColor(toColour(m_theme[appearance::kTooltipFont]));
    boxed->setFrameColor(toColour(m_theme[appearance::kHighlightFrame]));
    boxed->setBoxed(true);
    boxed->setLines({"Adjusts noise rate in Hertz", "and the resonator frequency.", "", "", ""});
    show(context, boxed);
  }

  double m_scale;
  ThemeColourTable m_theme{};
  ColourGroups m_groups;
  SharedPointer<CFontDesc> m_labelFont;
  SharedPointer<CFontDesc> m_smallFont;
};

std::vector<double> parseScales(const std::string& text) {
  std::vector<double> scales;
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    double v = 0;
    auto [next, ec] = std::from_chars(p, end, v);
    if (ec != std::errc()) break;
    if (v > 0.1 && v < 5) scales.push_back(v);
    p = next;
    if (p < end && *p == ',') ++p;
  }
  return scales;
}

}  // namespace

int main(int argc, char** argv) {
  std::string out, themes = SKARVEL_GALLERY_THEMES, font = SKARVEL_GALLERY_FONT;
  std::vector<double> scales = {0.89, 1.0, 1.98};
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) {
      std::fprintf(stderr, "%s needs a value\n", arg.c_str());
      return 2;
    }
    const std::string value = argv[++i];
    if (arg == "--out") out = value;
    else if (arg == "--themes") themes = value;
    else if (arg == "--font") font = value;
    else if (arg == "--scales") scales = parseScales(value);
    else {
      std::fprintf(stderr, "unknown option %s\n", arg.c_str());
      return 2;
    }
  }
  if (out.empty() || scales.empty()) {
    std::fprintf(stderr, "usage: skarvel-control-gallery --out DIR [--themes DIR] [--font FILE] [--scales 0.89,1,1.98]\n");
    return 2;
  }
  if (!registerFontFile(font, "Tahoma_Small")) std::fprintf(stderr, "cannot read the label font %s\n", font.c_str());
  std::error_code ec;
  std::filesystem::create_directories(out, ec);
  const std::vector<Theme> list = readThemes(themes);
  if (list.empty()) {
    std::fprintf(stderr, "no themes in %s\n", themes.c_str());
    return 1;
  }
  for (const Theme& theme : list) {
    for (double scale : scales) {
      char name[64];
      std::snprintf(name, sizeof name, "gallery-%s-%.2f.png", theme.name.c_str(), scale);
      Page(scale, theme.colours).render((std::filesystem::path(out) / name).string());
      std::printf("%s\n", (std::filesystem::path(out) / name).string().c_str());
    }
  }
  return 0;
}
