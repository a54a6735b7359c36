#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "EditorTestSupport.h"
#include "Frameworks/AppearanceManager/AppearanceFactory.h"
#include "Frameworks/AppearanceManager/ColourItems.h"
#include "Frameworks/PresetManager/MessageList.h"
#include "source/editor/CEnvDisplay.h"
#include "source/editor/CKnobFlatSwitch.h"
#include "source/editor/CKnobFlatOrvik.h"
#include "source/editor/ColourContrast.h"
#include "source/editor/CMultiSwitch.h"
#include "source/editor/CSimpleOnOff.h"
#include "source/editor/CSliderFlat.h"
#include "source/editor/CSliderNano.h"
#include "source/editor/CStereoPeaksView.h"
#include "source/editor/CStereoWavsView.h"

namespace {

using namespace editortest;
using namespace skarvel;

constexpr double kScales[] = {0.89, 1.0, 1.98};

// The distinct test theme first, then every factory theme.
std::vector<std::pair<std::string, ThemeColourTable>> themes() {
  std::vector<std::pair<std::string, ThemeColourTable>> list{{"distinct", distinctTheme()}};
  presets::MessageList messages;
  appearance::AppearanceFactory factory(messages);
  appearance::registerColourItems(factory);
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(SKARVEL_FACTORY_THEMES))
    if (entry.path().extension() == ".yaml") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    auto theme = factory.readThemeFile(file.string());
    if (!theme) {
      ADD_FAILURE() << "factory theme does not read: " << file;
      continue;
    }
    ThemeColourTable table{};
    for (std::size_t i = 0; i < table.size(); ++i)
      table[i] = {theme->colours[i].red, theme->colours[i].green, theme->colours[i].blue};
    list.emplace_back(file.stem().string(), table);
  }
  EXPECT_GE(list.size(), 6u);
  return list;
}

// A theme colour (group colours equal them) for comparing with pixels.
CColor item(const ThemeColourTable& t, ThemeItem i) { return toColour(t[i]); }

TEST(ColourGroups, FillFromTheThemeInPlace) {
  ColourGroups groups;
  EXPECT_EQ(groups.c.rimDivisor, 10.0);
  EXPECT_FALSE(groups.c.rim);
  const ColourGroupC* knobColours = &groups.c;
  const ThemeColourTable t = distinctTheme();
  groups.apply(t);
  EXPECT_EQ(knobColours, &groups.c);
  EXPECT_EQ(groups.c.rimDivisor, 19.0);

  EXPECT_EQ(groups.a.controlBackground, item(t, appearance::kControlBackground));
  EXPECT_EQ(groups.a.highlightFrame, item(t, appearance::kHighlightFrame));
  EXPECT_EQ(groups.a.controlActive, item(t, appearance::kControlActive));
  EXPECT_EQ(groups.a.sliderTrackFront, item(t, appearance::kSliderTrackFront));
  EXPECT_EQ(groups.a.activeValueFont, item(t, appearance::kActiveValueFont));
  EXPECT_EQ(groups.a.inactiveValueFont, item(t, appearance::kInactiveValueFont));
  EXPECT_EQ(groups.a.sliderTrackBack, item(t, appearance::kSliderTrackBack));

  EXPECT_EQ(groups.b1.frame, item(t, appearance::kHighlightFrame));
  EXPECT_EQ(groups.b2.frame, item(t, appearance::kPlainFrame));
  EXPECT_EQ(groups.b2.controlActive, item(t, appearance::kControlActive));
  EXPECT_EQ(groups.b2.inactiveValueFont, item(t, appearance::kInactiveValueFont));

  EXPECT_EQ(groups.c.knobRim, item(t, appearance::kKnobRim));
  EXPECT_EQ(groups.c.knobIndicator, item(t, appearance::kKnobIndicator));
  EXPECT_EQ(groups.c.displayValueFont, item(t, appearance::kDisplayValueFont));
  EXPECT_EQ(groups.c.controlInactive, item(t, appearance::kControlInactive));
  EXPECT_EQ(groups.c.inactiveGrey, CColor(115, 115, 115));

  EXPECT_EQ(groups.d.graphBackground, item(t, appearance::kGraphBackground));
  EXPECT_EQ(groups.d.graphSignal, item(t, appearance::kGraphSignal));
  EXPECT_EQ(groups.d.graphPeak, item(t, appearance::kGraphPeak));
  EXPECT_EQ(groups.d.graphClip, item(t, appearance::kGraphClip));
  EXPECT_EQ(groups.d.labelFont, item(t, appearance::kLabelFont));
  for (const CColor& c : {groups.a.controlActive, groups.c.knobIndicator, groups.d.graphClip})
    EXPECT_EQ(c.alpha, 255);
}

// Points on the knob's dial: the ring, the arc band and the pointer, in the view's own terms.
struct Dial {
  explicit Dial(const CKnobFlatOrvik& knob) : geometry(knob.geometry()), width(knob.getWidth()) {}
  CPoint at(double fraction, double r) const {
    CPoint p;
    geometry.pointAt(fraction, r, p.x, p.y);
    return p;
  }
  double ringRadius() const { return geometry.radius() - (width * 0.0714 - 1.0); }
  double arcRadius() const {
    const double outer = ringRadius() - width * 0.05 - width * 0.02;
    return outer - std::max(2.5, width * 0.09) / 2;
  }
  const KnobGeometry& geometry;
  double width;
};

TEST(Render, KnobShowsBodyRingArcAndPointerOnEveryThemeAndSize) {
  for (const auto& [name, theme] : themes()) {
    ColourGroups groups;
    groups.apply(theme);
    for (double scale : kScales) {
      SCOPED_TRACE(name + " at " + std::to_string(scale));
      const double size = 44 * scale;
      auto knob = owned(new CKnobFlatOrvik(CRect(4, 4, 4 + size, 4 + size), nullptr, 0, &groups.c, 1));
      const Dial dial(*knob);
      const CPoint centre = knob->getViewSize().getCenter();

      knob->setValue(1.0f);
      Render full(knob, 120, 120);
      EXPECT_TRUE(Render::near(full.at(centre.x, centre.y), groups.c.controlBackground));
      const CPoint ringTop = dial.at(0.5, dial.ringRadius());
      EXPECT_TRUE(Render::near(full.at(ringTop.x, ringTop.y), groups.c.controlActive)) << full.at(ringTop.x, ringTop.y);
      const CPoint arcTop = dial.at(0.5, dial.arcRadius());
      EXPECT_TRUE(Render::near(full.at(arcTop.x, arcTop.y), groups.c.knobIndicator)) << full.at(arcTop.x, arcTop.y);
      // Pointer at the end of the sweep.
      const CPoint pointer = dial.at(1.0, dial.arcRadius() * 0.6);
      EXPECT_TRUE(full.anyNear(CRect(pointer.x - 1, pointer.y - 1, pointer.x + 2, pointer.y + 2),
                               groups.c.displayValueFont, 40));

      knob->setValue(0.0f);
      Render empty(knob, 120, 120);
      EXPECT_TRUE(Render::near(empty.at(arcTop.x, arcTop.y), groups.c.controlBackground));
      // Outside the knob the backdrop is untouched.
      EXPECT_EQ(empty.at(2, 2), CColor(255, 0, 255));
    }
  }
}

TEST(Render, BipolarArcRunsFromTwelveOClockAndGreysWhenInactive) {
  ColourGroups groups;
  groups.apply(distinctTheme());
  for (double scale : kScales) {
    const double size = 44 * scale;
    auto knob = owned(new CKnobFlatOrvik(CRect(0, 0, size, size), nullptr, 0, &groups.c, -1));
    const Dial dial(*knob);
    const CPoint right = dial.at(0.75, dial.arcRadius());
    const CPoint left = dial.at(0.25, dial.arcRadius());
    knob->setValue(0.9f);
    Render high(knob, 100, 100);
    EXPECT_TRUE(Render::near(high.at(right.x, right.y), groups.c.knobIndicator));
    EXPECT_TRUE(Render::near(high.at(left.x, left.y), groups.c.controlBackground));
    knob->setValue(0.1f);
    Render low(knob, 100, 100);
    EXPECT_TRUE(Render::near(low.at(left.x, left.y), groups.c.knobIndicator));
    EXPECT_TRUE(Render::near(low.at(right.x, right.y), groups.c.controlBackground));
    knob->setActive(false);
    Render inactive(knob, 100, 100);
    EXPECT_TRUE(Render::near(inactive.at(left.x, left.y), CColor(115, 115, 115)));
  }
}

TEST(Render, ThemeChangeNeedsOnlyARedraw) {
  ColourGroups groups;
  auto sw = owned(new CSimpleOnOff(CRect(0, 0, 18, 18), nullptr, 7, &groups.b2));
  sw->setValue(1.0f);
  const ThemeColourTable first = distinctTheme();
  groups.apply(first);
  EXPECT_EQ(Render(sw, 20, 20).at(9, 9), item(first, appearance::kControlActive));
  ThemeColourTable second = first;
  second[appearance::kControlActive] = {1, 2, 3};
  groups.apply(second);
  EXPECT_EQ(Render(sw, 20, 20).at(9, 9), CColor(1, 2, 3));
}

TEST(Render, SwitchesAndSlidersFillWithTheirGroupColours) {
  ColourGroups groups;
  const ThemeColourTable t = distinctTheme();
  groups.apply(t);
  for (double scale : kScales) {
    SCOPED_TRACE(scale);
    const double s = 18 * scale;
    auto sw = owned(new CSimpleOnOff(CRect(0, 0, s, s), nullptr, 7, &groups.b2));
    Render off(sw, 40, 40);
    EXPECT_EQ(off.at(s / 2, s / 2), item(t, appearance::kControlBackground));
    EXPECT_EQ(off.at(0, s / 2), item(t, appearance::kPlainFrame));
    sw->setValue(1.0f);
    EXPECT_EQ(Render(sw, 40, 40).at(s / 2, s / 2), item(t, appearance::kControlActive));

    auto multi = owned(new CMultiSwitch(CRect(0, 0, 81 * scale, s), nullptr, 19, &groups.b1, 2));
    Render cells(multi, 200, 40);
    EXPECT_EQ(cells.at(3, 3), item(t, appearance::kControlBackground));
    EXPECT_EQ(cells.at(std::floor(81 * scale) - 1, s / 2), item(t, appearance::kHighlightFrame));

    auto nano = owned(new CSliderNano(CRect(0, 0, 19 * scale, 122 * scale), nullptr, 14, &groups.a));
    nano->setValue(0.5f);
    const CPoint handle = nano->handleCentre();
    EXPECT_EQ(Render(nano, 50, 250).at(handle.x, handle.y), item(t, appearance::kControlActive));
    nano->setHighlight(false);
    EXPECT_EQ(Render(nano, 50, 250).at(handle.x, handle.y), CColor(128, 128, 128));

    auto box = owned(new CSliderFlat(CRect(0, 0, 44 * scale, s), nullptr, 18, &groups.a));
    Render boxed(box, 100, 40);
    EXPECT_EQ(boxed.at(2, 2), item(t, appearance::kControlBackground));
    EXPECT_EQ(boxed.at(0, s / 2), item(t, appearance::kHighlightFrame));
  }
}

TEST(Render, ScopeDrawsTheTraceBetweenTheClipLinesAndTheZoomBar) {
  ColourGroups groups;
  const ThemeColourTable t = distinctTheme();
  groups.apply(t);
  for (double scale : kScales) {
    SCOPED_TRACE(scale);
    const double w = std::floor(201 * scale), h = std::floor(86 * scale);
    auto scope = owned(new CStereoWavsView(CRect(0, 0, w, h), &groups.d));
    std::vector<float> ring(4096, 0.5f);
    scope->handOver(ring.data(), 123);
    Render r(scope, 420, 200);
    const double y = ScopeTrace::yForSample(0.5f, 0, h);
    EXPECT_TRUE(r.anyTowards(CRect(w / 4, y - 1, w / 4 + 1, y + 2), item(t, appearance::kGraphSignal), item(t, appearance::kGraphBackground)));
    EXPECT_TRUE(r.anyTowards(CRect(w / 8, 0.02 * h, w / 8 + 1, 0.02 * h + 2), item(t, appearance::kGraphClip), item(t, appearance::kGraphBackground)));
    EXPECT_TRUE(Render::near(r.at(w / 8, h * 0.3), item(t, appearance::kGraphBackground)));
    const CRect bar = scope->zoomBarRect();
    const double barY = bar.getCenter().y;
    // Zoom 0.5: the left half of the bar is lit (at alpha 111 while not hovered), the right is track.
    EXPECT_TRUE(Render::near(r.at(bar.right - 2, barY), item(t, appearance::kSliderTrackBack), 2));
    EXPECT_FALSE(Render::near(r.at(bar.left + 2, barY), item(t, appearance::kSliderTrackBack), 2));
  }
}

TEST(Render, MetersShowBarsAndHoldMarksClipColouredNearTheTop) {
  ColourGroups groups;
  const ThemeColourTable t = distinctTheme();
  groups.apply(t);
  for (double scale : kScales) {
    SCOPED_TRACE(scale);
    const double w = std::floor(20 * scale), h = std::floor(86 * scale);
    auto meters = owned(new CStereoPeaksView(CRect(0, 0, w, h), &groups.d));
    meters->setPeaks(1.0f, 0.4f);
    Render r(meters, 60, 200);
    const CRect left = meters->boxRect(0), right = meters->boxRect(1);
    EXPECT_EQ(r.at(left.getCenter().x, h * 0.5), item(t, appearance::kGraphSignal));
    EXPECT_EQ(r.at(right.getCenter().x, h * 0.3), item(t, appearance::kGraphBackground));
    EXPECT_EQ(r.at(right.getCenter().x, h * 0.8), item(t, appearance::kGraphSignal));
    // The full bar's hold mark sits at the top, in the clip colour; the other one is plain.
    EXPECT_TRUE(r.anyNear(CRect(left.getCenter().x, 0, left.getCenter().x + 1, 6 * scale), item(t, appearance::kGraphClip), 0));
    const double hold = meters->meters().hold(1);
    EXPECT_GT(hold, meters->clipZone());
    EXPECT_TRUE(r.anyNear(CRect(right.getCenter().x, hold - 3 * scale, right.getCenter().x + 1, hold + 1),
                          item(t, appearance::kGraphPeak), 0));
  }
}

TEST(Render, EnvelopeDrawingHoldsTheSustainLevelUntilTheRelease) {
  ColourGroups groups;
  const ThemeColourTable t = distinctTheme();
  groups.apply(t);
  for (double scale : kScales) {
    SCOPED_TRACE(scale);
    const double w = std::floor(311 * scale), h = std::floor(83 * scale);
    auto env = owned(new CEnvDisplay(CRect(0, 0, w, h), &groups.d));
    env->setAttack(0.001f);
    env->setDecay(0.01f);
    env->setSustain(0.499f);
    env->setRelease(0.5f);
    Render r(env, 700, 200);
    const int H = static_cast<int>(h - 5);
    const double y = H - 0.5 * H + 1;
    const double x = w / 2;  // after the decay, before the release
    EXPECT_TRUE(r.anyTowards(CRect(x, y - 1, x + 1, y + 2), item(t, appearance::kGraphSignal), item(t, appearance::kGraphBackground)));
    EXPECT_EQ(r.at(x, h * 0.15), item(t, appearance::kGraphBackground));
    EXPECT_EQ(r.at(x, 0), item(t, appearance::kHighlightFrame));
  }
}

}  // namespace

namespace {

TEST(Render, PlainSwitchKnobDrawsItsArcAsOneStroke) {
  ColourGroups groups;
  const ThemeColourTable t = distinctTheme();
  groups.apply(t);
  auto knob = owned(new CKnobFlatSwitch(CRect(0, 0, 44, 44), nullptr, 0, &groups.c, 1));
  knob->setValue(1.0f);
  const KnobGeometry& g = knob->geometry();
  // The arc's band (radius minus the pointer inset to radius minus 0.16 x the arc offset).
  const double r = g.radius() - 0.5 * (g.indicatorInset() + 0.16 * g.valueArcOffset());
  CPoint top;
  g.pointAt(0.5, r, top.x, top.y);
  Render full(knob, 50, 50);
  const CRect around(top.x - 1, top.y - 1, top.x + 2, top.y + 2);
  EXPECT_TRUE(full.anyNear(around, item(t, appearance::kKnobIndicator), 30));
  knob->setValue(0.0f);
  Render empty(knob, 50, 50);
  EXPECT_FALSE(empty.anyNear(around, item(t, appearance::kKnobIndicator), 30));
}

TEST(Lifetime, ControlsAndDisplaysReleaseEverythingTheyMade) {
  ColourGroups groups;
  const int64_t before = CBaseObject::liveObjectCount();
  {
    auto font = owned(new CFontDesc("Tahoma_Small", 12, kBoldFace));
    std::vector<SharedPointer<CView>> views;
    const CRect r(0, 0, 40, 40);
    views.push_back(owned<CView>(new CKnobFlatOrvik(r, nullptr, 0, &groups.c, 1)));
    views.push_back(owned<CView>(new CSliderFlat(r, nullptr, 18, &groups.a, font)));
    views.push_back(owned<CView>(new CSliderFlat(r, nullptr, 18, &groups.a)));
    views.push_back(owned<CView>(new CSliderNano(r, nullptr, 14, &groups.a)));
    views.push_back(owned<CView>(new CSimpleOnOff(r, nullptr, 7, &groups.b2, font)));
    views.push_back(owned<CView>(new CMultiSwitch(r, nullptr, 19, &groups.b1, 2)));
    views.push_back(owned<CView>(new CStereoWavsView(r, &groups.d)));
    views.push_back(owned<CView>(new CStereoPeaksView(r, &groups.d)));
    views.push_back(owned<CView>(new CEnvDisplay(r, &groups.d)));
    for (auto& v : views) {
      Render drawn(v, 50, 50);
      CView* copy = v->newCopy();
      if (copy) copy->forget();
    }
  }
  EXPECT_EQ(CBaseObject::liveObjectCount(), before);
}

}  // namespace

namespace {

// Exposes where the knob puts its value text.
struct TextKnob : CKnobFlatOrvik {
  using CKnobFlatOrvik::CKnobFlatOrvik;
  using CKnobFlatSwitch::valueTextLayout;
  using CKnobFlatSwitch::valueTextColour;
  using CKnobFlatOrvik::arcRadii;
};

// The value text of a hovered knob at the editor's knob sizes, every scale and theme: drawn
// whole (the widest display texts too), only inside the disc the value arc surrounds, and in a
// colour that reads on its band.
TEST(KnobValueText, StaysWholeInsideTheArcAndReadsOnEveryTheme) {
  for (const auto& [name, theme] : themes()) {
    ColourGroups groups;
    groups.apply(theme);
    for (double scale : kScales) {
      for (double base : {44.0, 34.0, 52.0}) {
        const double side = std::round(base * scale);
        for (const char* text : {"20000.00", "-0.20", "-\xE2\x88\x9E"}) {
          SCOPED_TRACE(testing::Message() << name << " at " << scale << ", " << side << " px: " << text);
          HostEditor host;
          FrameWith frame(host);
          const CRect rect(10, 10, 10 + side, 10 + side);
          auto* knob = frame.add(new TextKnob(rect, nullptr, 1, &groups.c, -1));
          knob->setValue(0.73f);
          Render plain(knob, side + 20, side + 20);
          knob->setValueText(text);
          move(knob, 10 + side / 2, 10 + side / 2, 0);  // hover
          Render shown(knob, side + 20, side + 20);

          const auto layout = knob->valueTextLayout(shown.context());
          ASSERT_GT(layout.size, 0.0);
          shown.context()->setFont(owned(new CFontDesc("Arial", layout.size, kBoldFace)));
          EXPECT_LE(shown.context()->getStringWidth(text), layout.band.getWidth()) << "never cut";
          double inner = 0, outer = 0;
          knob->arcRadii(inner, outer);
          const CPoint centre = knob->getViewSize().getCenter();
          int changed = 0;
          for (int y = 0; y < side + 20; ++y) {
            for (int x = 0; x < side + 20; ++x) {
              if (Render::near(plain.at(x, y), shown.at(x, y), 0)) continue;
              ++changed;
              const double dx = x + 0.5 - centre.x, dy = y + 0.5 - centre.y;
              ASSERT_LT(std::sqrt(dx * dx + dy * dy), inner + 0.5) << "text on the arc at " << x << ", " << y;
            }
          }
          EXPECT_GT(changed, 10) << "the text is drawn";
          const CColor band = blendOver(CColor(0, 0, 0, 111), groups.c.controlBackground);
          EXPECT_GE(contrastRatio(knob->valueTextColour(band), band), 4.5);
        }
      }
    }
  }
}

}  // namespace
