#include <gtest/gtest.h>

#include <cmath>

#include "EditorTestSupport.h"
#include "source/editor/CDireDeridZoom.h"
#include "source/editor/CKickPreviousNext.h"
#include "source/editor/CMultiSwitch.h"
#include "source/editor/CSimpleOnOff.h"
#include "source/editor/CSliderFlat.h"
#include "source/editor/CSliderNano.h"

namespace {

using namespace editortest;
using namespace skarvel;

class Controls : public ::testing::Test {
 protected:
  ColourGroups colours;
  RecordingListener listener;
  HostEditor host;
  FrameWith frame{host};
};

// ---- box slider -------------------------------------------------------------------------------

TEST_F(Controls, BoxSliderMovesAThousandthPerPixelOnEachAxis) {
  auto* slider = frame.add(new CSliderFlat(CRect(100, 100, 144, 119), &listener, 18, &colours.a));
  slider->setValue(0.5f);
  down(slider, 110, 110);
  move(slider, 210, 110);  // 100 right
  EXPECT_NEAR(slider->getValue(), 0.6f, 1e-6);
  move(slider, 210, 10);  // and 100 up: a diagonal counts twice
  EXPECT_NEAR(slider->getValue(), 0.7f, 1e-6);
  move(slider, 110, 210);  // 100 down from the start
  EXPECT_NEAR(slider->getValue(), 0.4f, 1e-6);
  move(slider, -1000, 110);  // clamped
  EXPECT_EQ(slider->getValue(), 0.0f);
  up(slider, -1000, 110, 0);
}

TEST_F(Controls, BoxSliderWithShiftEasesTowardsTheTarget) {
  auto* slider = frame.add(new CSliderFlat(CRect(100, 100, 144, 119), &listener, 18, &colours.a));
  slider->setValue(0.2f);
  down(slider, 110, 110, kLButton | kShift);
  move(slider, 410, 110, kLButton | kShift);  // target 0.5
  const double first = 0.2 + (0.5 - 0.2) / 15.2;
  EXPECT_NEAR(slider->getValue(), first, 1e-6);
  move(slider, 410, 110, kLButton | kShift);  // same target, next event: another 1/15.2 of the rest
  EXPECT_NEAR(slider->getValue(), first + (0.5 - first) / 15.2, 1e-6);
  up(slider, 410, 110, 0);
}

TEST_F(Controls, BoxSliderShowsTheHandWhileDraggingAndCtrlClickRestoresItsDefault) {
  auto* slider = frame.add(new CSliderFlat(CRect(100, 100, 144, 119), &listener, 18, &colours.a));
  slider->setDefaultValue(1.0f);
  slider->setValue(0.3f);
  down(slider, 110, 110);
  EXPECT_EQ(frame.frame()->getCursor(), kCursorHand);
  up(slider, 110, 110, 0);
  EXPECT_EQ(frame.frame()->getCursor(), kCursorDefault);

  listener.values.clear();
  EXPECT_EQ(down(slider, 110, 110, kLButton | kControl), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  EXPECT_EQ(slider->getValue(), 1.0f);
  EXPECT_EQ(listener.values.size(), 1u);
  EXPECT_EQ(frame.frame()->getCursor(), kCursorDefault);
  EXPECT_EQ(host.begins[18], 2);
  EXPECT_EQ(host.ends[18], 2);
  // Only the left button drags it.
  EXPECT_EQ(down(slider, 110, 110, kRButton), kMouseEventNotHandled);
  EXPECT_EQ(host.begins[18], 2);
}

TEST_F(Controls, NanoSliderIsAVerticalSliderWithTheMaximumOnTop) {
  auto* slider = frame.add(new CSliderNano(CRect(100, 50, 119, 172), &listener, 14, &colours.a));
  EXPECT_FLOAT_EQ(slider->getZoomFactor(), 10.2f);
  slider->setValue(1.0f);
  const CPoint top = slider->handleCentre();
  slider->setValue(0.0f);
  const CPoint bottom = slider->handleCentre();
  EXPECT_LT(top.y, bottom.y);
  EXPECT_GE(top.y - slider->handleDiameter() / 2, 50.0 - 1e-9);
  EXPECT_LE(bottom.y + slider->handleDiameter() / 2, 172.0 + 1e-9);
  // Dragging up raises it; the whole travel of the handle covers the range, Shift is finer.
  const double travel = bottom.y - top.y;
  slider->setValue(0.0f);
  down(slider, 110, 150);
  move(slider, 110, 150 - travel / 2);
  EXPECT_NEAR(slider->getValue(), 0.5f, 0.02f);
  move(slider, 110, 150 - travel / 2, kLButton | kShift);
  move(slider, 110, 150 - travel, kLButton | kShift);
  EXPECT_NEAR(slider->getValue(), 0.5f + 0.5f / 10.2f, 0.02f);
  up(slider, 110, 150 - travel, 0);
  EXPECT_EQ(host.open[14], 0);

  slider->setDefaultValue(0.25f);
  down(slider, 110, 100, kLButton | kControl);
  EXPECT_EQ(slider->getValue(), 0.25f);
  EXPECT_EQ(host.open[14], 0);
}

// ---- switches ---------------------------------------------------------------------------------

TEST_F(Controls, SwitchTogglesOnlyForALeftClickInsideItsBox) {
  auto* sw = frame.add(new CSimpleOnOff(CRect(100, 100, 118, 118), &listener, 25, &colours.b2));
  sw->setMouseableArea(CRect(90, 90, 200, 128));
  down(sw, 150, 110);  // inside the mouse area, outside the box
  EXPECT_EQ(sw->getValue(), 0.0f);
  EXPECT_TRUE(listener.values.empty());
  EXPECT_EQ(host.begins[25], 0);
  down(sw, 105, 105, kRButton);
  EXPECT_EQ(sw->getValue(), 0.0f);

  EXPECT_EQ(down(sw, 105, 105), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  EXPECT_EQ(sw->getValue(), 1.0f);
  down(sw, 105, 105);
  EXPECT_EQ(sw->getValue(), 0.0f);
  sw->setValue(0.3f);  // any value other than 0 counts as on
  down(sw, 105, 105);
  EXPECT_EQ(sw->getValue(), 0.0f);
  EXPECT_EQ(listener.values, (std::vector<float>{1.0f, 0.0f, 0.0f}));
  EXPECT_EQ(host.begins[25], 3);
  EXPECT_EQ(host.ends[25], 3);
}

TEST_F(Controls, MultiSwitchSelectsTheCellUnderTheMouse) {
  auto* sw = frame.add(new CMultiSwitch(CRect(100, 100, 181, 118), &listener, 19, &colours.b1, 2));
  sw->setItemTexts({"ADSR", "gate"});
  EXPECT_EQ(sw->getItemText(0), "ADSR");
  EXPECT_EQ(sw->getItemText(1), "gate");
  down(sw, 170, 109);
  EXPECT_EQ(sw->getValue(), 1.0f);
  down(sw, 141, 109);  // just right of the middle
  EXPECT_EQ(sw->getValue(), 1.0f);
  down(sw, 140, 109);  // just left of it
  EXPECT_EQ(sw->getValue(), 0.0f);
  down(sw, 100, 109);
  EXPECT_EQ(sw->getValue(), 0.0f);
  down(sw, 180.9, 109);  // the far edge still selects the last cell
  EXPECT_EQ(sw->getValue(), 1.0f);
  // A click on the cell already selected tells nobody, but is still a closed gesture.
  EXPECT_EQ(listener.values, (std::vector<float>{1.0f, 0.0f, 1.0f}));
  EXPECT_EQ(host.begins[19], 5);
  EXPECT_EQ(host.ends[19], 5);
  // Outside the box: nothing.
  sw->setMouseableArea(CRect(0, 0, 400, 300));
  down(sw, 300, 109);
  EXPECT_EQ(host.begins[19], 5);
}

TEST_F(Controls, MultiSwitchWithThreePositionsAndAVerticalLayout) {
  auto* row = frame.add(new CMultiSwitch(CRect(0, 0, 90, 20), &listener, 1, &colours.b1, 3));
  const float expected[3] = {0.0f, 0.5f, 1.0f};
  for (int cell = 0; cell < 3; ++cell) {
    down(row, cell * 30 + 15, 10);
    EXPECT_EQ(row->getValue(), expected[cell]);
    EXPECT_EQ(row->selectedPosition(), cell);
  }
  auto* column = frame.add(new CMultiSwitch(CRect(200, 0, 220, 90), &listener, 2, &colours.b1, 3));
  EXPECT_TRUE(column->isVerticalLayout());
  down(column, 210, 75);
  EXPECT_EQ(column->getValue(), 1.0f);
  down(column, 210, 40);
  EXPECT_EQ(column->getValue(), 0.5f);
  // Fewer than two positions: a click toggles.
  auto* single = frame.add(new CMultiSwitch(CRect(0, 100, 40, 120), &listener, 3, &colours.b1, 1));
  down(single, 10, 110);
  EXPECT_EQ(single->getValue(), 1.0f);
  down(single, 10, 110);
  EXPECT_EQ(single->getValue(), 0.0f);
}

// ---- toolbar buttons --------------------------------------------------------------------------

TEST_F(Controls, StepperStepsWithinItsRangeAndReportsEveryClick) {
  struct OldValueListener : RecordingListener {
    void valueChanged(CControl* c) override {
      RecordingListener::valueChanged(c);
      olds.push_back(c->getOldValue());
    }
    std::vector<float> olds;
  } stepperListener;
  auto* stepper = frame.add(new CKickPreviousNext(CRect(0, 0, 90, 12), &stepperListener, 40, &colours.b1));
  stepper->setMax(3.0f);
  down(stepper, 80, 6);  // next
  down(stepper, 80, 6);
  down(stepper, 45, 6);  // between the areas: unchanged, still reported
  down(stepper, 5, 6);   // previous
  down(stepper, 5, 6);
  down(stepper, 5, 6);   // at the minimum already
  EXPECT_EQ(stepperListener.values, (std::vector<float>{1, 2, 2, 1, 0, 0}));
  EXPECT_EQ(stepperListener.olds, (std::vector<float>{0, 1, 2, 2, 1, 0}));
  for (int i = 0; i < 5; ++i) down(stepper, 80, 6);
  EXPECT_EQ(stepper->getValue(), 3.0f);
  EXPECT_EQ(host.begins[40], host.ends[40]);

  move(stepper, 80, 6, 0);
  EXPECT_EQ(stepper->hoveredArea(), CKickPreviousNext::kNextArea);
  CPoint outside(500, 500);
  stepper->onMouseExited(outside, CButtonState(0));
  EXPECT_EQ(stepper->hoveredArea(), CKickPreviousNext::kNoArea);
}

TEST_F(Controls, SizeButtonStepsOnReleaseAndCancelsWhenTheMouseSlidesOff) {
  auto* zoom = frame.add(new CDireDeridZoom(CRect(0, 0, 51, 16), &listener));
  zoom->setValue(1.0f);
  down(zoom, 40, 8);
  EXPECT_TRUE(zoom->plusPressed());
  EXPECT_EQ(zoom->getValue(), 1.0f);  // nothing happens until the release
  up(zoom, 40, 8, 0);
  EXPECT_EQ(zoom->getValue(), 2.0f);
  EXPECT_EQ(listener.values, (std::vector<float>{2.0f}));

  down(zoom, 10, 8);
  move(zoom, 40, 8);  // slid onto the other half: cancelled
  EXPECT_FALSE(zoom->minusPressed());
  up(zoom, 40, 8, 0);
  EXPECT_EQ(zoom->getValue(), 2.0f);
  EXPECT_EQ(listener.values.size(), 1u);

  zoom->setValue(7.0f);
  down(zoom, 40, 8);
  up(zoom, 40, 8, 0);
  EXPECT_EQ(zoom->getValue(), 7.0f);
  zoom->setValue(0.0f);
  down(zoom, 10, 8);
  up(zoom, 10, 8, 0);
  EXPECT_EQ(zoom->getValue(), 0.0f);
  EXPECT_EQ(host.begins[19001], 4);
  EXPECT_EQ(host.ends[19001], 4);
}

}  // namespace

namespace {

struct ClaimingSliderListener : RecordingListener {
  int32_t controlModifierClicked(CControl*, CButtonState buttons) override {
    offered.push_back(buttons());
    return 1;
  }
  std::vector<uint32_t> offered;
};

TEST_F(Controls, SlidersStepWithTheWheelAsGesturesAndOfferRightAndDoubleClicks) {
  ClaimingSliderListener claiming;
  auto* nano = frame.add(new CSliderNano(CRect(100, 100, 119, 222), &claiming, 14, &colours.a));
  auto* box = frame.add(new CSliderFlat(CRect(200, 100, 244, 119), &claiming, 18, &colours.a));
  for (CSlider* slider : {static_cast<CSlider*>(nano), static_cast<CSlider*>(box)}) {
    slider->setWheelInc(0.02f);
    slider->setValue(0.5f);
    const CPoint centre = slider->getViewSize().getCenter();
    EXPECT_TRUE(slider->onWheel(centre, kMouseWheelAxisY, 1.0f, CButtonState()));
    EXPECT_NEAR(slider->getValue(), 0.52f, 1e-6) << "rolling up raises the value";
    EXPECT_TRUE(slider->onWheel(centre, kMouseWheelAxisY, -1.0f, CButtonState(kShift)));
    EXPECT_NEAR(slider->getValue(), 0.52f - 0.02f / slider->getZoomFactor(), 1e-6) << "Shift: finer";
    EXPECT_EQ(host.open[slider->getTag()], 0) << "each notch is a whole gesture";
    EXPECT_EQ(host.begins[slider->getTag()], 2);
  }
  down(nano, 110, 160, kRButton);
  down(box, 210, 110, kLButton | kDoubleClick);
  EXPECT_EQ(claiming.offered, (std::vector<uint32_t>{kRButton, kLButton | kDoubleClick}));
  EXPECT_EQ(host.begins[14], 2) << "a claimed click starts no drag";
}

}  // namespace
