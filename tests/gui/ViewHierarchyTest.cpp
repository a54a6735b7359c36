// Views in a frame: ownership, hit testing, invalidation and redraw, mouse routing, modal views.
#include <gtest/gtest.h>

#include <vector>

#include "Frameworks/Gui/CFrame.h"
#include "Frameworks/Gui/OffscreenPlatformFrame.h"
#include "GuiTestSupport.h"

using namespace VSTGUI;
using guitest::pixelAt;

namespace {

// A view that fills itself with a colour and records what happens to it.
class ProbeView : public CView {
 public:
  ProbeView(const CRect& size, CColor colour, std::vector<std::string>* log = nullptr, std::string name = "")
      : CView(size), m_colour(colour), m_log(log), m_name(std::move(name)) {}
  void draw(CDrawContext* context) override {
    ++drawCount;
    context->setFillColor(m_colour);
    context->drawRect(getViewSize(), kDrawFilled);
    setDirty(false);
  }
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState&) override {
    record("down", where);
    return downResult;
  }
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState&) override {
    record("moved", where);
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState&) override {
    record("up", where);
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseEntered(CPoint& where, const CButtonState&) override {
    record("entered", where);
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseExited(CPoint& where, const CButtonState&) override {
    record("exited", where);
    return kMouseEventHandled;
  }
  bool onWheel(const CPoint&, const CMouseWheelAxis&, const float& distance, const CButtonState&) override {
    wheel += distance;
    return true;
  }
  void record(const char* what, const CPoint& where) {
    lastPoint = where;
    if (m_log) m_log->push_back(m_name + " " + what);
  }

  CMouseEventResult downResult = kMouseEventHandled;
  int drawCount = 0;
  float wheel = 0;
  CPoint lastPoint;

 private:
  CColor m_colour;
  std::vector<std::string>* m_log;
  std::string m_name;
};

class TestEditor : public VSTGUIEditorInterface {
 public:
  bool beforeSizeChange(const CRect& newSize, const CRect&) override {
    requested = newSize;
    return allowResize;
  }
  int32_t getKnobMode() const override { return knobMode; }
  bool allowResize = true;
  int32_t knobMode = -1;
  CRect requested;
};

struct FrameFixture : ::testing::Test {
  void SetUp() override {
    frame = new CFrame(CRect(0, 0, 200, 100), &editor);
    ASSERT_TRUE(frame->open(nullptr, PlatformType::kOffscreen));
  }
  void TearDown() override {
    if (frame) frame->close();
  }
  OffscreenPlatformFrame* platform() { return static_cast<OffscreenPlatformFrame*>(frame->getPlatformFrame()); }
  CMouseEventResult down(CCoord x, CCoord y, uint32_t buttons = kLButton) {
    CPoint p(x, y);
    return frame->platformOnMouseDown(p, CButtonState(buttons));
  }
  CMouseEventResult move(CCoord x, CCoord y, uint32_t buttons = 0) {
    CPoint p(x, y);
    return frame->platformOnMouseMoved(p, CButtonState(buttons));
  }
  CMouseEventResult up(CCoord x, CCoord y, uint32_t buttons = kLButton) {
    CPoint p(x, y);
    return frame->platformOnMouseUp(p, CButtonState(buttons));
  }

  TestEditor editor;
  CFrame* frame = nullptr;
};

}  // namespace

TEST_F(FrameFixture, ChildrenDrawInOrderAndIdlePresentsOnlyDirtyAreas) {
  auto* back = new ProbeView(CRect(0, 0, 100, 100), kRedCColor);
  auto* front = new ProbeView(CRect(50, 0, 150, 50), kBlueCColor);
  frame->addView(back);
  frame->addView(front);
  frame->idle();
  COffscreenContext* buffer = frame->getBackBuffer();
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(pixelAt(buffer, 10, 10), kRedCColor);
  EXPECT_EQ(pixelAt(buffer, 60, 10), kBlueCColor) << "later children are drawn on top";
  EXPECT_EQ(pixelAt(buffer, 60, 60), kRedCColor);
  EXPECT_EQ(pixelAt(buffer, 160, 10).alpha, 0);
  const int presents = platform()->getPresentCount();
  EXPECT_GE(presents, 1);

  // Nothing dirty: idle draws nothing and shows nothing.
  const int backDraws = back->drawCount;
  frame->idle();
  EXPECT_EQ(platform()->getPresentCount(), presents);
  EXPECT_EQ(back->drawCount, backDraws);

  // Invalidating one view redraws its area (and what overlaps it) only.
  auto* far = new ProbeView(CRect(160, 60, 200, 100), kGreenCColor);
  frame->addView(far);
  frame->idle();
  const int frontDraws = front->drawCount;
  const int farDraws = far->drawCount;
  far->invalid();
  frame->idle();
  EXPECT_EQ(far->drawCount, farDraws + 1);
  EXPECT_EQ(front->drawCount, frontDraws) << "a view outside the invalid area is not redrawn";
  EXPECT_EQ(platform()->getLastPresented(), CRect(160, 60, 200, 100));
}

// Two small areas far apart are drawn and shown one by one: the views between them (here one
// covering the middle of the frame) are not drawn again, as they would be inside their union.
TEST_F(FrameFixture, SeparateDirtyAreasAreRedrawnSeparatelyAndOverlappingOnesOnce) {
  auto* left = new ProbeView(CRect(0, 0, 20, 20), kRedCColor);
  auto* middle = new ProbeView(CRect(60, 30, 140, 70), kBlueCColor);
  auto* right = new ProbeView(CRect(180, 80, 200, 100), kGreenCColor);
  auto* overlapping = new ProbeView(CRect(15, 15, 40, 40), kWhiteCColor);
  for (ProbeView* view : {left, middle, right, overlapping}) frame->addView(view);
  frame->idle();
  const int middleDraws = middle->drawCount;
  const int leftDraws = left->drawCount;
  const int presents = platform()->getPresentCount();

  left->invalid();
  right->invalid();
  EXPECT_EQ(frame->getInvalidAreas(), (std::vector<CRect>{CRect(0, 0, 20, 20), CRect(180, 80, 200, 100)}));
  frame->idle();
  EXPECT_EQ(middle->drawCount, middleDraws) << "the view between the two areas is left alone";
  EXPECT_EQ(platform()->getPresentCount(), presents + 2) << "each area is shown on its own";
  EXPECT_EQ(pixelAt(frame->getBackBuffer(), 190, 90), kGreenCColor);

  // Overlapping or touching areas merge, so no pixel is drawn twice in one pass.
  left->invalid();
  overlapping->invalid();
  left->invalid();
  EXPECT_EQ(frame->getInvalidAreas(), (std::vector<CRect>{CRect(0, 0, 40, 40)}));
  frame->idle();
  EXPECT_EQ(left->drawCount, leftDraws + 2);
  // Fractional areas are widened to whole pixels.
  frame->invalidRect(CRect(100.4, 10.6, 110.2, 12.1));
  EXPECT_EQ(frame->getInvalidArea(), CRect(100, 10, 111, 13));
  frame->idle();
  // Many scattered areas are gathered into unions rather than drawn one by one.
  for (int i = 0; i < 40; ++i) frame->invalidRect(CRect(i * 5, i % 2 * 50, i * 5 + 1, i % 2 * 50 + 1));
  EXPECT_LE(frame->getInvalidAreas().size(), CFrame::kMaxSeparateAreas);
  EXPECT_EQ(frame->getInvalidArea(), CRect(0, 0, 196, 51)) << "every area is still covered";
}

TEST_F(FrameFixture, SetDirtyOnlyRecordsAndTheNextIdleRedraws) {
  auto* view = new ProbeView(CRect(10, 10, 30, 30), kRedCColor);
  frame->addView(view);
  frame->idle();
  const int draws = view->drawCount;
  view->setDirty();
  EXPECT_EQ(view->drawCount, draws) << "no drawing outside idle";
  frame->idle();
  EXPECT_EQ(view->drawCount, draws + 1);
  EXPECT_FALSE(view->isDirty());
}

TEST_F(FrameFixture, HiddenViewsAreNeitherDrawnNorHit) {
  auto* view = new ProbeView(CRect(0, 0, 50, 50), kRedCColor);
  frame->addView(view);
  view->setVisible(false);
  frame->idle();
  EXPECT_EQ(pixelAt(frame->getBackBuffer(), 10, 10).alpha, 0);
  EXPECT_EQ(frame->getViewAt(CPoint(10, 10)), nullptr);
  EXPECT_EQ(down(10, 10), kMouseEventNotHandled);
  view->setVisible(true);
  frame->idle();
  EXPECT_EQ(pixelAt(frame->getBackBuffer(), 10, 10), kRedCColor) << "showing it again redraws its area";
  EXPECT_EQ(frame->getViewAt(CPoint(10, 10)), view);
}

TEST_F(FrameFixture, NestedContainersUseTheirOwnCoordinates) {
  auto* container = new CViewContainer(CRect(100, 50, 200, 100));
  container->setBackgroundColor(kGreenCColor);
  auto* inner = new ProbeView(CRect(10, 10, 20, 20), kBlueCColor);
  container->addView(inner);
  frame->addView(container);
  frame->idle();
  EXPECT_EQ(pixelAt(frame->getBackBuffer(), 115, 65), kBlueCColor) << "the child sits at 10,10 inside 100,50";
  EXPECT_EQ(pixelAt(frame->getBackBuffer(), 105, 55), kGreenCColor) << "the background fills the container";

  EXPECT_EQ(frame->getViewAt(CPoint(115, 65)), container) << "a shallow look-up stops at the container";
  EXPECT_EQ(frame->getViewAt(CPoint(115, 65), GetViewOptions().deep()), inner);
  EXPECT_EQ(frame->getViewAt(CPoint(105, 55), GetViewOptions().deep()), nullptr);
  auto* below = new ProbeView(CRect(100, 50, 110, 60), kRedCColor);
  frame->addView(below, container);  // under the container
  EXPECT_EQ(frame->getViewAt(CPoint(105, 55), GetViewOptions().deep()), nullptr)
      << "a container covers what lies beneath it, even where it has no child";
  EXPECT_EQ(frame->getViewAt(CPoint(105, 55), GetViewOptions().deep().includeViewContainer()), container);

  down(115, 65);
  EXPECT_EQ(inner->lastPoint, CPoint(15, 15)) << "mouse points arrive in the child's parent coordinates";
  CPoint p(15, 15);
  inner->localToFrame(p);
  EXPECT_EQ(p, CPoint(115, 65));
  EXPECT_EQ(inner->getVisibleViewSizeInFrame(), CRect(110, 60, 120, 70));
  EXPECT_EQ(inner->getFrame(), frame);

  // Invalidating the inner view asks for its area in frame coordinates.
  frame->idle();
  inner->invalid();
  EXPECT_EQ(frame->getInvalidArea(), CRect(110, 60, 120, 70));
}

TEST_F(FrameFixture, MouseGestureGoesToTheViewThatTookTheDown) {
  std::vector<std::string> log;
  auto* a = new ProbeView(CRect(0, 0, 50, 50), kRedCColor, &log, "a");
  auto* b = new ProbeView(CRect(50, 0, 100, 50), kBlueCColor, &log, "b");
  frame->addView(a);
  frame->addView(b);
  move(10, 10);
  EXPECT_EQ(down(10, 10), kMouseEventHandled);
  move(70, 10, kLButton);  // dragged over b: still a's gesture, no hover change
  up(70, 10);
  const std::vector<std::string> expected{"a entered", "a moved", "a down", "a moved", "a up", "a exited", "b entered"};
  EXPECT_EQ(log, expected);
}

TEST_F(FrameFixture, OneShotViewsGetNoMovesOrUpsAndUnhandledDownsFallThrough) {
  std::vector<std::string> log;
  auto* under = new ProbeView(CRect(0, 0, 50, 50), kRedCColor, &log, "under");
  auto* over = new ProbeView(CRect(0, 0, 50, 50), kBlueCColor, &log, "over");
  frame->addView(under);
  frame->addView(over);
  over->downResult = kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  down(10, 10);
  move(12, 12, kLButton);
  up(12, 12);
  EXPECT_EQ(log, (std::vector<std::string>{"over down", "over entered", "over moved"}));

  log.clear();
  over->downResult = kMouseEventNotHandled;
  down(10, 10);
  EXPECT_EQ(log, (std::vector<std::string>{"over down", "under down"})) << "an unhandled click reaches the view below";
}

TEST_F(FrameFixture, MouseableAreaDecidesWhoGetsTheClick) {
  std::vector<std::string> log;
  auto* view = new ProbeView(CRect(0, 0, 20, 20), kRedCColor, &log, "v");
  frame->addView(view, CRect(0, 0, 40, 40));
  down(30, 30);
  EXPECT_EQ(log, (std::vector<std::string>{"v down"})) << "clicks inside the mouseable area reach the view";
  view->setMouseEnabled(false);
  log.clear();
  down(10, 10);
  EXPECT_TRUE(log.empty()) << "a view with the mouse off takes no clicks";
}

TEST_F(FrameFixture, EnterAndExitFollowThePointerWithoutButtons) {
  std::vector<std::string> log;
  frame->addView(new ProbeView(CRect(0, 0, 50, 50), kRedCColor, &log, "a"));
  move(10, 10);
  move(20, 20);
  move(120, 20);
  CPoint outside(300, 300);
  frame->platformOnMouseExited(outside, CButtonState());
  EXPECT_EQ(log, (std::vector<std::string>{"a entered", "a moved", "a moved", "a exited"}));
}

TEST_F(FrameFixture, WheelGoesToTheViewUnderThePointer) {
  auto* a = new ProbeView(CRect(0, 0, 50, 50), kRedCColor);
  auto* b = new ProbeView(CRect(50, 0, 100, 50), kBlueCColor);
  frame->addView(a);
  frame->addView(b);
  EXPECT_TRUE(frame->platformOnMouseWheel(CPoint(60, 10), kMouseWheelAxisY, 1.f, CButtonState()));
  EXPECT_EQ(a->wheel, 0);
  EXPECT_EQ(b->wheel, 1);
  EXPECT_FALSE(frame->platformOnMouseWheel(CPoint(150, 80), kMouseWheelAxisY, 1.f, CButtonState()));
}

TEST_F(FrameFixture, ModalViewTakesAllInputAndIsNotOwnedByTheFrame) {
  std::vector<std::string> log;
  frame->addView(new ProbeView(CRect(0, 0, 200, 100), kRedCColor, &log, "back"));
  auto* dialog = new ProbeView(CRect(50, 25, 150, 75), kBlueCColor, &log, "dialog");
  EXPECT_TRUE(frame->setModalView(dialog));
  EXPECT_EQ(frame->getModalView(), dialog);
  EXPECT_FALSE(frame->setModalView(new ProbeView(CRect(), kRedCColor))) << "one modal view at a time";
  down(10, 10);
  EXPECT_TRUE(log.empty()) << "clicks beside a modal view are swallowed";
  down(60, 30);
  EXPECT_EQ(log, (std::vector<std::string>{"dialog down"}));
  frame->idle();
  EXPECT_EQ(pixelAt(frame->getBackBuffer(), 60, 30), kBlueCColor);

  EXPECT_EQ(dialog->getNbReference(), 2) << "the frame holds its own reference while the view is shown";
  EXPECT_TRUE(frame->setModalView(nullptr));
  EXPECT_EQ(dialog->getNbReference(), 1);
  EXPECT_FALSE(dialog->isAttached());
  frame->idle();
  EXPECT_EQ(pixelAt(frame->getBackBuffer(), 60, 30), kRedCColor) << "the area under the dialog is redrawn";
  log.clear();
  down(10, 10);
  EXPECT_EQ(log, (std::vector<std::string>{"back down"}));
  dialog->forget();
}

TEST_F(FrameFixture, AModalViewMayRemoveItselfDuringItsOwnEvent) {
  struct SelfRemoving : CView {
    using CView::CView;
    CMouseEventResult onMouseDown(CPoint&, const CButtonState&) override {
      static_cast<CViewContainer*>(getParentView())->removeView(this);
      touchedAfterRemoval = getViewSize().getWidth() > 0;  // still alive here
      return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    bool touchedAfterRemoval = false;
  };
  auto* dialog = new SelfRemoving(CRect(0, 0, 50, 50));
  ASSERT_TRUE(frame->setModalView(dialog));
  down(10, 10);
  EXPECT_TRUE(dialog->touchedAfterRemoval);
  EXPECT_EQ(frame->getModalView(), nullptr);
  frame->idle();  // the frame's own reference goes here
  EXPECT_EQ(dialog->getNbReference(), 1) << "the creator's reference is left";
  dialog->forget();
}

TEST_F(FrameFixture, ResizeAsksTheEditorAndMayBeRefused) {
  EXPECT_TRUE(frame->setSize(300, 150));
  EXPECT_EQ(editor.requested, CRect(0, 0, 300, 150));
  EXPECT_EQ(frame->getViewSize(), CRect(0, 0, 300, 150));
  EXPECT_EQ(platform()->getSize(), CRect(0, 0, 300, 150));
  frame->idle();
  EXPECT_EQ(frame->getBackBuffer()->getWidth(), 300) << "the back buffer follows the size";
  editor.allowResize = false;
  EXPECT_FALSE(frame->setSize(400, 200));
  EXPECT_EQ(frame->getViewSize(), CRect(0, 0, 300, 150));
}

TEST_F(FrameFixture, KnobModeComesFromTheEditor) {
  EXPECT_EQ(frame->getKnobMode(), kCircularMode) << "circular when the host said nothing";
  editor.knobMode = kLinearMode;
  EXPECT_EQ(frame->getKnobMode(), kLinearMode);
}

TEST_F(FrameFixture, CursorAndMouseStateAreKept) {
  frame->setCursor(kCursorHand);
  EXPECT_EQ(platform()->getCursor(), kCursorHand);
  move(33, 44, kLButton | kShift);
  CPoint where;
  ASSERT_TRUE(frame->getCurrentMouseLocation(where));
  EXPECT_EQ(where, CPoint(33, 44));
  EXPECT_EQ(frame->getCurrentMouseButtons(), CButtonState(kLButton | kShift));
  up(33, 44, kLButton);
  EXPECT_EQ(frame->getCurrentMouseButtons().getButtonState(), 0u) << "no button after the release";
}

TEST(GuiViews, ClosingAFrameReleasesEveryView) {
  const int64_t before = CBaseObject::liveObjectCount();
  auto* frame = new CFrame(CRect(0, 0, 100, 100), nullptr);
  ASSERT_TRUE(frame->open(nullptr, PlatformType::kOffscreen));
  auto* container = new CViewContainer(CRect(0, 0, 50, 50));
  container->addView(new CView(CRect(0, 0, 10, 10)));
  frame->addView(container);
  frame->addView(new CView(CRect(60, 60, 70, 70)));
  frame->idle();
  frame->close();
  EXPECT_EQ(CBaseObject::liveObjectCount(), before);
}

TEST(GuiViews, TypeQueriesFollowTheClassChain) {
  auto container = owned(new CViewContainer(CRect()));
  EXPECT_TRUE(container->isTypeOf("CViewContainer"));
  EXPECT_TRUE(container->isTypeOf("CView"));
  EXPECT_FALSE(container->isTypeOf("CControl"));
  auto frame = owned(new CFrame(CRect(), nullptr));
  EXPECT_TRUE(frame->isTypeOf("CFrame"));
  EXPECT_TRUE(frame->isTypeOf("CViewContainer"));
}

TEST(GuiViews, AFrameClosedFromItsOwnEventHandlingSurvivesUntilTheEventEnds) {
  // A click that makes the host close the editor at once.
  struct Closer : CView {
    explicit Closer(CFrame*& f) : CView(CRect(0, 0, 50, 50)), frame(f) {}
    CMouseEventResult onMouseDown(CPoint&, const CButtonState&) override {
      frame->close();
      frame = nullptr;
      return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    CFrame*& frame;
  };
  const int64_t before = CBaseObject::liveObjectCount();
  CFrame* frame = new CFrame(CRect(0, 0, 100, 100), nullptr);
  ASSERT_TRUE(frame->open(nullptr, PlatformType::kOffscreen));
  frame->addView(new Closer(frame));
  CPoint p(10, 10);
  frame->platformOnMouseDown(p, CButtonState(kLButton));
  EXPECT_EQ(frame, nullptr);
  EXPECT_EQ(CBaseObject::liveObjectCount(), before) << "everything is gone once the event has ended";
}

TEST(GuiViews, ContainersTakeTheirChildrenOutOfAndBackIntoTheWindow) {
  auto* frame = new CFrame(CRect(0, 0, 100, 100), nullptr);
  auto* container = new CViewContainer(CRect(0, 0, 50, 50));
  auto* child = new CView(CRect(0, 0, 10, 10));
  container->addView(child);
  frame->addView(container);
  EXPECT_EQ(child->getFrame(), frame);
  frame->removeView(container, false);
  EXPECT_FALSE(child->isAttached()) << "a removed container's children leave with it";
  EXPECT_EQ(child->getFrame(), nullptr);
  frame->addView(container);
  EXPECT_EQ(child->getFrame(), frame) << "and come back with it";
  frame->close();
}

TEST_F(FrameFixture, ContainerBackgroundsAreAColourOrAPicture) {
  auto picture = makeOwned<CBitmap>(100, 50);
  {
    auto access = CBitmapPixelAccess::create(picture);
    do {
      access->setColor(access->getX() < 50 ? kGreenCColor : kBlueCColor);
    } while (++(*access));
  }
  frame->setBackground(picture);
  auto* coloured = new CViewContainer(CRect(120, 0, 200, 100));
  coloured->setBackgroundColor(kRedCColor);
  frame->addView(coloured);
  frame->idle();
  EXPECT_EQ(pixelAt(frame->getBackBuffer(), 10, 10), kGreenCColor);
  EXPECT_EQ(pixelAt(frame->getBackBuffer(), 60, 10), kBlueCColor);
  EXPECT_EQ(pixelAt(frame->getBackBuffer(), 10, 60).alpha, 0) << "the picture is not stretched";
  EXPECT_EQ(pixelAt(frame->getBackBuffer(), 150, 50), kRedCColor);

  // Changing a pixel of the background picture in place shows after a redraw.
  {
    auto access = CBitmapPixelAccess::create(picture);
    access->setPosition(10, 10);
    access->setColor(kWhiteCColor);
  }
  frame->invalid();
  frame->idle();
  EXPECT_EQ(pixelAt(frame->getBackBuffer(), 10, 10), kWhiteCColor);
}

TEST_F(FrameFixture, ViewsDrawClippedToTheirOwnRectangle) {
  struct Spiller : CView {
    using CView::CView;
    void draw(CDrawContext* context) override {
      context->setFillColor(kRedCColor);
      context->drawRect(CRect(-100, -100, 1000, 1000), kDrawFilled);  // far too big
    }
  };
  auto* container = new CViewContainer(CRect(50, 20, 150, 80));
  container->addView(new Spiller(CRect(10, 10, 20, 20)));
  frame->addView(container);
  frame->idle();
  EXPECT_EQ(guitest::countPixels(frame->getBackBuffer(), CRect(0, 0, 200, 100), kRedCColor), 100)
      << "only the view's own 10 x 10 pixels";
  EXPECT_EQ(pixelAt(frame->getBackBuffer(), 60, 30), kRedCColor);
}
