#include <gtest/gtest.h>

#include <vector>

#include "EditorTestSupport.h"
#include "source/editor/CEnvDisplay.h"
#include "source/editor/CLabelViewsADSR.h"
#include "source/editor/CLabelViewsChange.h"
#include "source/editor/CStereoPeaksView.h"
#include "source/editor/CStereoWavsView.h"
#include "source/editor/CToolTip.h"

namespace {

using namespace editortest;
using namespace skarvel;

class Displays : public ::testing::Test {
 protected:
  ColourGroups colours;
  RecordingListener listener;
  HostEditor host;
  FrameWith frame{host};
};

TEST_F(Displays, ScopeZoomBarDragsTheZoomWithoutTellingAnyone) {
  auto* scope = frame.add(new CStereoWavsView(CRect(0, 0, 201, 86), &colours.d));
  scope->setListener(&listener);
  EXPECT_EQ(scope->getTag(), 19002);
  EXPECT_EQ(scope->getZoom(), 0.5f);
  const CRect bar = scope->zoomBarRect();
  EXPECT_NEAR(bar.left, 0.32 * 201, 1e-9);
  EXPECT_NEAR(bar.right, 0.64 * 201, 1e-9);
  const double y = bar.getCenter().y;

  EXPECT_EQ(down(scope, 20, 40), kMouseEventNotHandled);  // not on the bar
  EXPECT_EQ(down(scope, bar.left + 1, y, kLButton | kShift), kMouseEventNotHandled);
  EXPECT_EQ(scope->getZoom(), 0.5f);

  EXPECT_EQ(down(scope, bar.left + bar.getWidth() * 0.25, y), kMouseEventHandled);
  EXPECT_NEAR(scope->getZoom(), 0.25f, 1e-6);
  EXPECT_TRUE(scope->isZoomBarHovered());
  move(scope, bar.right + 50, 10);  // dragging may leave the bar: clamped
  EXPECT_EQ(scope->getZoom(), 1.0f);
  move(scope, bar.left - 50, 10);
  EXPECT_EQ(scope->getZoom(), 0.0f);
  up(scope, bar.left - 50, 10, 0);
  EXPECT_TRUE(listener.values.empty());
  EXPECT_EQ(listener.begins, 0);
  EXPECT_TRUE(host.begins.empty());

  move(scope, bar.getCenter().x, y, 0);
  EXPECT_TRUE(scope->isZoomBarHovered());
  CPoint outside(500, 500);
  scope->onMouseExited(outside, CButtonState(0));
  EXPECT_FALSE(scope->isZoomBarHovered());
}

TEST_F(Displays, PeakMeterClickResetsTheHoldMarks) {
  auto* meters = frame.add(new CStereoPeaksView(CRect(0, 0, 20, 86), &colours.d));
  meters->setPeaks(1.0f, 0.5f);
  Render once(meters, 20, 86);
  EXPECT_LT(meters->meters().hold(0), 10.0);
  EXPECT_EQ(down(meters, 10, 40, kRButton), kMouseEventNotHandled);
  EXPECT_LT(meters->meters().hold(0), 10.0);
  down(meters, 10, 40);
  EXPECT_EQ(meters->meters().hold(0), 84.0);
  EXPECT_EQ(meters->meters().hold(1), 84.0);
}

TEST_F(Displays, PeakMeterKeepsFallingAfterTheLastHandOver) {
  struct SteppedClock : CStereoPeaksView {
    using CStereoPeaksView::CStereoPeaksView;
    Clock::time_point now() const override { return t; }
    Clock::time_point t{};
  };
  auto* meters = frame.add(new SteppedClock(CRect(0, 0, 20, 86), &colours.d));
  meters->t += std::chrono::seconds(10);
  meters->setPeaks(0.8f, 0.0f);
  { Render r(meters, 20, 86); }
  meters->setPeaks(0.0f, 0.0f);  // the engine's last hand-over before it sleeps
  { Render r(meters, 20, 86); }
  EXPECT_NEAR(meters->meters().shownLevel(0), 0.7f, 1e-6);
  EXPECT_TRUE(meters->isDirty());  // still falling: asks for another redraw
  { Render r(meters, 20, 86); }  // too soon: no fall
  EXPECT_NEAR(meters->meters().shownLevel(0), 0.7f, 1e-6);
  for (int i = 0; i < 10; ++i) {
    meters->t += std::chrono::milliseconds(100);
    Render r(meters, 20, 86);
  }
  EXPECT_EQ(meters->meters().shownLevel(0), 0.0f);
  EXPECT_FALSE(meters->isDirty());
}

TEST_F(Displays, EnvelopeDisplaySettersRedrawWithTheirOffsets) {
  auto* env = frame.add(new CEnvDisplay(CRect(0, 0, 311, 83), &colours.d));
  env->setDirty(false);
  env->setAttack(0.2f);
  EXPECT_TRUE(env->isDirty());
  EXPECT_FLOAT_EQ(env->envelope().attack(), 0.25f);
  env->setSustain(0.4f);
  EXPECT_FLOAT_EQ(env->envelope().sustain(), 0.401f);
  { Render r(env, 311, 83); }
  EXPECT_FALSE(env->isDirty());
  ASSERT_FALSE(env->lastPoints().empty());
  EXPECT_EQ(env->lastPoints().front().x, 2.0);
}

TEST_F(Displays, HelpBoxKeepsFiveLinesAndIgnoresClicksUnlessBoxed) {
  auto* help = frame.add(new CToolTip(CRect(0, 0, 319, 83)));
  EXPECT_EQ(help->getTag(), -1);
  EXPECT_EQ(help->getFontColor(), CColor(255, 201, 100));
  help->setLines({"Use Shift + Click", "to fine tune the sliders or the knobs.", "", "", ""});
  EXPECT_EQ(help->getLine(1), "to fine tune the sliders or the knobs.");
  help->setLine(4, std::string(200, 'y'));
  EXPECT_EQ(help->getLine(4).size(), 127u);
  help->setLine(5, "ignored");
  EXPECT_EQ(help->getLine(5), "");
  EXPECT_NEAR(help->fontSize(), 0.2 * 83 - 5, 1e-9);

  EXPECT_EQ(down(help, 10, 10), kMouseEventNotHandled);
  EXPECT_FALSE(help->isCollapsed());
  help->setBoxed(true);
  down(help, 10, 10);
  EXPECT_TRUE(help->isCollapsed());
  down(help, 10, 10);
  EXPECT_FALSE(help->isCollapsed());
}

TEST_F(Displays, SwitchingLabelsFollowTheBandPassMelody) {
  auto* change = frame.add(new CLabelViewsChange(CRect(25, 341, 68, 389), nullptr, CColor(192, 192, 192)));
  auto* adsr = frame.add(new CLabelViewsADSR(CRect(390, 341, 440, 357), nullptr, CColor(192, 192, 192)));
  EXPECT_STREQ(change->rowText(0), "keytrk");
  EXPECT_STREQ(change->rowText(1), "rate");
  EXPECT_STREQ(change->rowText(2), "osc1");
  EXPECT_STREQ(adsr->text(), "LP-HP");
  change->setOff(false);
  adsr->setOff(false);
  EXPECT_STREQ(change->rowText(0), "");
  EXPECT_STREQ(change->rowText(1), "width");
  EXPECT_STREQ(change->rowText(2), "");
  EXPECT_STREQ(adsr->text(), "BP pitch");
  adsr->setDirty(false);
  adsr->setTextColour(CColor(1, 2, 3));
  EXPECT_TRUE(adsr->isDirty());
  EXPECT_EQ(adsr->getTextColour(), CColor(1, 2, 3));
}

}  // namespace
