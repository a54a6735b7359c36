#include <gtest/gtest.h>

#include <cmath>

#include "EditorTestSupport.h"
#include "source/editor/CKnobFlatOrvik.h"

namespace {

using namespace editortest;
using skarvel::CKnobFlatOrvik;
using skarvel::ColourGroups;

class Knob : public ::testing::Test {
 protected:
  CKnobFlatOrvik* makeKnob(int positions, float value, int32_t tag = 3) {
    auto* knob = frame.add(new CKnobFlatOrvik(CRect(100, 100, 144, 144), &listener, tag, &colours.c, positions));
    knob->setValue(value);
    return knob;
  }
  // A linear drag from the knob's centre, one event per pixel (negative pixels drag down).
  void dragUp(CKnobFlatOrvik* knob, int pixels, uint32_t modifiers = 0) {
    down(knob, 122, 122, kLButton | modifiers);
    const int direction = pixels < 0 ? -1 : 1;
    for (int i = 1; i <= pixels * direction; ++i) move(knob, 122, 122 - i * direction, kLButton | modifiers);
    up(knob, 122, 122 - pixels, 0);
  }

  ColourGroups colours;
  RecordingListener listener;
  HostEditor host;
  FrameWith frame{host};
};

TEST_F(Knob, LinearDragCovers200PixelsOr520WithShift) {
  CKnobFlatOrvik* knob = makeKnob(1, 0.0f);
  dragUp(knob, 100);
  EXPECT_NEAR(knob->getValue(), 0.5f, 1e-5);
  knob->setValue(0.0f);
  dragUp(knob, 200);
  EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
  knob->setValue(0.0f);
  dragUp(knob, 260, kShift);
  EXPECT_NEAR(knob->getValue(), 0.5f, 1e-5);
  knob->setValue(0.0f);
  dragUp(knob, 520, kShift);
  EXPECT_NEAR(knob->getValue(), 1.0f, 1e-5);
  knob->setValue(1.0f);
  dragUp(knob, -300);  // downwards, past the bottom: clamped
  EXPECT_EQ(knob->getValue(), 0.0f);
}

TEST_F(Knob, DiagonalDragCountsBothDirections) {
  CKnobFlatOrvik* knob = makeKnob(1, 0.0f);
  down(knob, 122, 122);
  for (int i = 1; i <= 100; ++i) move(knob, 122 + i, 122 - i);
  EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
  up(knob, 222, 22, 0);
  // Left and up cancel out.
  knob->setValue(0.5f);
  down(knob, 122, 122);
  move(knob, 72, 72);
  EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
  up(knob, 72, 72, 0);
}

TEST_F(Knob, PressingOrReleasingShiftMidDragNeverJumps) {
  CKnobFlatOrvik* knob = makeKnob(1, 0.0f);
  down(knob, 122, 122);
  move(knob, 122, 72);  // 50 px: 0.25
  EXPECT_NEAR(knob->getValue(), 0.25f, 1e-5);
  move(knob, 122, 72, kLButton | kShift);  // Shift pressed without moving
  EXPECT_NEAR(knob->getValue(), 0.25f, 1e-5);
  move(knob, 122, 20, kLButton | kShift);  // 52 px fine: 0.1 more
  EXPECT_NEAR(knob->getValue(), 0.35f, 1e-5);
  move(knob, 122, 10, kLButton);  // Shift released while moving 10 px: coarse again from here
  EXPECT_NEAR(knob->getValue(), 0.40f, 1e-5);
  up(knob, 122, 10, 0);
}

TEST_F(Knob, CircularDragFollowsTheAngleAndPinsAtTheEnds) {
  host.knobMode = kCircularMode;
  CKnobFlatOrvik* knob = makeKnob(1, 0.0f);
  // Straight up is the middle of the 270 degree sweep.
  down(knob, 122, 80);
  EXPECT_NEAR(knob->getValue(), 0.5f, 1e-4);
  // Round through three o'clock to the lower right: the end.
  move(knob, 160, 122);
  EXPECT_NEAR(knob->getValue(), 5.0f / 6.0f, 1e-4);
  move(knob, 150, 150);
  EXPECT_NEAR(knob->getValue(), 1.0f, 1e-4);
  // On past the end into the lower left: pinned at 1 instead of wrapping to 0.
  move(knob, 110, 160);
  EXPECT_EQ(knob->getValue(), 1.0f);
  move(knob, 90, 140);
  EXPECT_EQ(knob->getValue(), 1.0f);
  up(knob, 90, 140, 0);

  // And the other way: past the start pins at 0.
  knob->setValue(0.0f);
  down(knob, 95, 145);
  EXPECT_NEAR(knob->getValue(), 0.0f, 0.02);
  move(knob, 140, 160);
  EXPECT_EQ(knob->getValue(), 0.0f);
  up(knob, 140, 160, 0);
}

// The click itself takes the value at its angle, wherever the knob stood: the old value only
// matters for pinning at the ends once the mouse moves on.
TEST_F(Knob, CircularClickTakesTheValueAtTheClickedAngleWhateverTheOldValue) {
  host.knobMode = kCircularMode;
  const struct {
    float before;
    double x, y;
    float expected;
  } clicks[] = {
      {0.0f, 160, 122, 5.0f / 6.0f},  // three o'clock from the start
      {0.4f, 160, 122, 5.0f / 6.0f},
      {1.0f, 84, 122, 1.0f / 6.0f},   // nine o'clock from the end
      {0.9f, 100, 144, 0.0f},         // the start itself
      {0.1f, 144, 144, 1.0f},         // the end itself
      {0.5f, 122, 80, 0.5f},
  };
  for (const auto& c : clicks) {
    SCOPED_TRACE(testing::Message() << c.before << " clicked at " << c.x << ", " << c.y);
    CKnobFlatOrvik* knob = makeKnob(1, c.before);
    listener.values.clear();
    down(knob, c.x, c.y);
    EXPECT_NEAR(knob->getValue(), c.expected, 2e-3);
    if (std::fabs(c.before - c.expected) > 1e-3) {
      ASSERT_EQ(listener.values.size(), 1u) << "the click is one change";
    }
    up(knob, c.x, c.y, 0);
  }
  // After a click near the end, moving on through the gap pins at the end.
  CKnobFlatOrvik* knob = makeKnob(1, 0.0f);
  down(knob, 150, 150);
  move(knob, 110, 160);
  EXPECT_EQ(knob->getValue(), 1.0f);
  up(knob, 110, 160, 0);
}

TEST_F(Knob, AltSwapsLinearAndCircularDragging) {
  host.knobMode = kCircularMode;
  CKnobFlatOrvik* knob = makeKnob(1, 0.0f);
  down(knob, 122, 122, kLButton | kAlt);
  move(knob, 122, 22, kLButton | kAlt);
  EXPECT_NEAR(knob->getValue(), 0.5f, 1e-5);
  up(knob, 122, 22, 0);
  host.knobMode = kLinearMode;
  knob->setValue(0.0f);
  down(knob, 122, 80, kLButton | kAlt);  // circular: takes the angle at once
  EXPECT_NEAR(knob->getValue(), 0.5f, 1e-4);
  up(knob, 122, 80, 0);
}

TEST_F(Knob, CtrlClickRestoresTheDefaultWithOneChangeInsideOneGesture) {
  CKnobFlatOrvik* knob = makeKnob(1, 0.9f, 29);
  knob->setDefaultValue(0.27027026f);
  EXPECT_EQ(down(knob, 122, 122, kLButton | kControl), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  EXPECT_FLOAT_EQ(knob->getValue(), 0.27027026f);
  ASSERT_EQ(listener.values.size(), 1u);
  EXPECT_FLOAT_EQ(listener.values[0], 0.27027026f);
  EXPECT_EQ(host.begins[29], 1);
  EXPECT_EQ(host.ends[29], 1);
  EXPECT_FALSE(knob->isEditing());
  // Without a default set, the class default is the middle.
  CKnobFlatOrvik* other = makeKnob(-1, 0.0f, 1);
  down(other, 122, 122, kLButton | kControl);
  EXPECT_FLOAT_EQ(other->getValue(), 0.5f);
}

TEST_F(Knob, EveryDragIsOneHostGesture) {
  CKnobFlatOrvik* knob = makeKnob(1, 0.2f, 7);
  down(knob, 122, 122);
  EXPECT_EQ(host.open[7], 1);
  move(knob, 122, 100);
  move(knob, 122, 90);
  EXPECT_EQ(host.open[7], 1);
  up(knob, 122, 90, 0);
  EXPECT_EQ(host.begins[7], 1);
  EXPECT_EQ(host.ends[7], 1);
  EXPECT_EQ(listener.values.size(), 2u);  // one change per moving event
  // An unexpected second mouse up ends nothing more.
  up(knob, 122, 90, 0);
  EXPECT_EQ(host.ends[7], 1);
  // A cancelled drag is closed too.
  down(knob, 122, 122);
  knob->onMouseCancel();
  EXPECT_EQ(host.open[7], 0);
}

TEST_F(Knob, SteppedKnobCyclesForwardsWithLeftAndBackwardsWithRight) {
  CKnobFlatOrvik* knob = makeKnob(2, 0.0f, 5);
  std::vector<float> seen;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(down(knob, 122, 122, kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    seen.push_back(knob->getValue());
  }
  EXPECT_EQ(seen, (std::vector<float>{1.0f, 0.0f, 1.0f}));
  seen.clear();
  for (int i = 0; i < 3; ++i) {
    down(knob, 122, 122, kRButton);
    seen.push_back(knob->getValue());
  }
  EXPECT_EQ(seen, (std::vector<float>{0.0f, 1.0f, 0.0f}));
  EXPECT_EQ(listener.values.size(), 6u);
  EXPECT_EQ(host.begins[5], 6);
  EXPECT_EQ(host.ends[5], 6);
}

TEST_F(Knob, SteppedKnobLandsExactlyOnEveryPositionAndWraps) {
  for (int n : {3, 4, 5, 7}) {
    CKnobFlatOrvik* knob = makeKnob(n, 0.0f);
    for (int step = 1; step < n; ++step) {
      down(knob, 122, 122, kLButton);
      EXPECT_FLOAT_EQ(knob->getValue(), static_cast<float>(step) / (n - 1)) << n << " positions";
    }
    EXPECT_EQ(knob->getValue(), 1.0f);
    down(knob, 122, 122, kLButton);
    EXPECT_EQ(knob->getValue(), 0.0f) << n << " positions";
    down(knob, 122, 122, kRButton);
    EXPECT_EQ(knob->getValue(), 1.0f) << n << " positions";
  }
}

TEST_F(Knob, HoverShowsTheValueTextOnlyWhileTheMouseIsOver) {
  CKnobFlatOrvik* knob = makeKnob(1, 0.5f);
  knob->setValueText("440.0 Hz");
  EXPECT_FALSE(knob->isHovered());
  move(knob, 122, 122, 0);
  EXPECT_TRUE(knob->isHovered());
  CPoint p(500, 500);
  knob->onMouseExited(p, CButtonState(0));
  EXPECT_FALSE(knob->isHovered());
  down(knob, 122, 122);
  EXPECT_TRUE(knob->isHovered());
  up(knob, 122, 122, 0);
  EXPECT_FALSE(knob->isHovered());
}

TEST_F(Knob, ValueTextKeepsTheFirst32BytesWithoutSplittingACharacter) {
  CKnobFlatOrvik* knob = makeKnob(1, 0.5f);
  knob->setValueText(std::string(40, 'x'));
  EXPECT_EQ(knob->getValueText(), std::string(32, 'x'));
  // 31 ASCII bytes then a two-byte character: the character does not fit whole and is dropped.
  knob->setValueText(std::string(31, 'a') + "\xC2\xB0" + "C");
  EXPECT_EQ(knob->getValueText(), std::string(31, 'a'));
}

TEST_F(Knob, CircularAngleMapsTheSweepAndTheGapBelow) {
  CKnobFlatOrvik* knob = makeKnob(1, 0.0f);
  const auto& g = knob->geometry();
  EXPECT_NEAR(g.fractionAt(100, 144), 0.0, 1e-3);   // lower left corner: the start
  EXPECT_NEAR(g.fractionAt(100, 122), 1.0 / 6, 1e-3);  // nine o'clock
  EXPECT_NEAR(g.fractionAt(144, 144), 1.0, 1e-3);   // lower right: the end
  EXPECT_EQ(g.fractionAt(121, 160), 0.0);           // gap, left of centre: nearer the start
  EXPECT_EQ(g.fractionAt(123, 160), 1.0);           // gap, right of centre: nearer the end
}

}  // namespace

namespace {

TEST(KnobInFrame, HoverAndDragArriveThroughTheFramesEvents) {
  skarvel::ColourGroups colours;
  RecordingListener listener;
  HostEditor host;
  FrameWith frame(host);
  auto* knob = frame.add(new CKnobFlatOrvik(CRect(100, 100, 144, 144), &listener, 2, &colours.c, 1));
  knob->setValue(0.0f);
  CFrame* f = frame.frame();
  auto at = [](double x, double y) { return CPoint(x, y); };

  CPoint p = at(50, 50);
  f->platformOnMouseMoved(p, CButtonState(0));
  EXPECT_FALSE(knob->isHovered());
  p = at(122, 122);
  f->platformOnMouseMoved(p, CButtonState(0));
  EXPECT_TRUE(knob->isHovered());
  p = at(300, 250);
  f->platformOnMouseMoved(p, CButtonState(0));
  EXPECT_FALSE(knob->isHovered());

  p = at(122, 122);
  f->platformOnMouseDown(p, CButtonState(kLButton));
  for (int y = 121; y >= 22; --y) {  // the drag may leave the knob's rectangle
    p = at(122, y);
    f->platformOnMouseMoved(p, CButtonState(kLButton));
  }
  p = at(122, 22);
  f->platformOnMouseUp(p, CButtonState(0));
  EXPECT_NEAR(knob->getValue(), 0.5f, 1e-5);
  EXPECT_EQ(host.begins[2], 1);
  EXPECT_EQ(host.ends[2], 1);
}

}  // namespace

namespace {

// A listener that takes the clicks a control offers it (as the editor does for right clicks and
// double clicks) and says which it got.
struct ClaimingListener : RecordingListener {
  int32_t controlModifierClicked(CControl*, CButtonState buttons) override {
    offered.push_back(buttons());
    return claim ? 1 : 0;
  }
  std::vector<uint32_t> offered;
  bool claim = true;
};

class KnobWheel : public ::testing::Test {
 protected:
  CKnobFlatOrvik* makeKnob(int positions, float value, int32_t tag = 3) {
    auto* knob = frame.add(new CKnobFlatOrvik(CRect(100, 100, 144, 144), &listener, tag, &colours.c, positions));
    knob->setValue(value);
    knob->setWheelInc(0.02f);
    return knob;
  }
  bool wheel(CKnobFlatOrvik* knob, float distance, uint32_t modifiers = 0) {
    return knob->onWheel(CPoint(122, 122), kMouseWheelAxisY, distance, CButtonState(modifiers));
  }

  ColourGroups colours;
  ClaimingListener listener;
  HostEditor host;
  FrameWith frame{host};
};

TEST_F(KnobWheel, EachNotchStepsTheValueAsOneHostGestureAndShiftStepsFiner) {
  CKnobFlatOrvik* knob = makeKnob(1, 0.5f);
  EXPECT_TRUE(wheel(knob, 1.0f));
  EXPECT_NEAR(knob->getValue(), 0.52f, 1e-6);
  EXPECT_TRUE(wheel(knob, -2.0f));  // a fast wheel may report two notches at once
  EXPECT_NEAR(knob->getValue(), 0.48f, 1e-6);
  EXPECT_TRUE(wheel(knob, 1.0f, kShift));
  EXPECT_NEAR(knob->getValue(), 0.482f, 1e-6);
  EXPECT_EQ(listener.values.size(), 3u);
  EXPECT_EQ(host.begins[3], 3);
  EXPECT_EQ(host.ends[3], 3);
  EXPECT_EQ(host.open[3], 0);
  // At the end of the range the wheel stops there; a notch that changes nothing tells nobody.
  knob->setValue(0.99f);
  wheel(knob, 1.0f);
  EXPECT_EQ(knob->getValue(), 1.0f);
  wheel(knob, 1.0f);
  EXPECT_EQ(knob->getValue(), 1.0f);
  EXPECT_EQ(listener.values.size(), 4u);
}

TEST_F(KnobWheel, ASteppedKnobMovesOnePositionPerNotchWithoutWrapping) {
  CKnobFlatOrvik* knob = makeKnob(3, 0.0f);
  wheel(knob, 1.0f);
  EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
  wheel(knob, 1.0f);
  wheel(knob, 1.0f);
  EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
  wheel(knob, -1.0f);
  EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
}

TEST_F(KnobWheel, RightClicksAndDoubleClicksGoToTheListenerFirst) {
  host.knobMode = kCircularMode;
  CKnobFlatOrvik* knob = makeKnob(1, 0.0f);
  EXPECT_EQ(down(knob, 160, 122, kRButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  EXPECT_EQ(down(knob, 160, 122, kLButton | kDoubleClick), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  EXPECT_EQ(listener.offered, (std::vector<uint32_t>{kRButton, kLButton | kDoubleClick}));
  EXPECT_EQ(knob->getValue(), 0.0f) << "a claimed click is not also a drag";
  EXPECT_EQ(host.begins[3], 0);
  // A plain click is not offered; a click the listener declines keeps the knob's own meaning.
  down(knob, 160, 122);
  up(knob, 160, 122, 0);
  EXPECT_EQ(listener.offered.size(), 2u);
  listener.claim = false;
  knob->setValue(0.0f);
  down(knob, 160, 122, kLButton | kDoubleClick);
  EXPECT_NEAR(knob->getValue(), 5.0f / 6.0f, 2e-3) << "declined: a circular click after all";
  up(knob, 160, 122, 0);
  // A stepped knob keeps its right button for stepping backwards.
  listener.claim = true;
  listener.offered.clear();
  CKnobFlatOrvik* stepped = makeKnob(2, 1.0f, 5);
  down(stepped, 122, 122, kRButton);
  EXPECT_TRUE(listener.offered.empty());
  EXPECT_EQ(stepped->getValue(), 0.0f);
}

}  // namespace
