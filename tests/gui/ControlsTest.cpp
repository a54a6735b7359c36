// Controls driven by synthetic mouse and keyboard input on an offscreen frame.
#include <atomic>
#include <cmath>
#include <cstdio>
#include <thread>

#include "GuiTestSupport.h"
#include "OffscreenFrameFixture.h"

using namespace VSTGUI;
using guitest::OffscreenFrame;
using guitest::pixelAt;

namespace {

// A control that counts one step per click, the way one-shot toolbar buttons work.
class ClickControl : public CControl {
 public:
  using CControl::CControl;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override {
    if (checkDefaultValue(buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    beginEdit();
    setValue(getValue() + 0.25f);
    bounceValue();
    valueChanged();
    endEdit();
    endEdit();  // a second end must not reach the host
    (void)where;
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
};

using Controls = OffscreenFrame;

}  // namespace

TEST_F(Controls, GesturesReachTheListenerAndTheHostOncePerBracket) {
  auto* control = new ClickControl(CRect(0, 0, 20, 20), &listener, 7);
  frame->addView(control);
  down(5, 5);
  EXPECT_EQ(listener.events, (std::vector<std::string>{"begin 7", "value 7", "end 7"}));
  EXPECT_EQ(listener.host, (std::vector<std::string>{"begin 7", "end 7"}));
  EXPECT_FALSE(control->isEditing());

  // Nested brackets (a default-value click inside a gesture) still reach the host once.
  listener.events.clear();
  listener.host.clear();
  control->beginEdit();
  control->beginEdit();
  control->endEdit();
  EXPECT_TRUE(control->isEditing());
  control->endEdit();
  EXPECT_EQ(listener.host, (std::vector<std::string>{"begin 7", "end 7"}));
  control->endEdit();
  EXPECT_EQ(listener.host.size(), 2u) << "an end without a begin is dropped";
}

TEST_F(Controls, ValuesAreClampedAndNormalised) {
  auto* control = new CControl(CRect(0, 0, 10, 10), &listener, 1);
  frame->addView(control);
  control->setMin(-2);
  control->setMax(2);
  control->setValue(5);
  control->bounceValue();
  EXPECT_EQ(control->getValue(), 2);
  control->setValue(-7);
  control->bounceValue();
  EXPECT_EQ(control->getValue(), -2);
  control->setValue(std::nanf(""));
  control->bounceValue();
  EXPECT_EQ(control->getValue(), -2) << "a NaN from the host becomes the minimum";
  control->setValueNormalized(0.75f);
  EXPECT_FLOAT_EQ(control->getValue(), 1.f);
  EXPECT_FLOAT_EQ(control->getValueNormalized(), 0.75f);
  control->setValueNormalized(3.f);
  EXPECT_FLOAT_EQ(control->getValue(), 2.f);
}

TEST_F(Controls, CtrlClickRestoresTheDefaultOnceAndOnlyWithTheLeftButton) {
  auto* control = new ClickControl(CRect(0, 0, 20, 20), &listener, 3);
  control->setDefaultValue(0.75f);
  control->setValue(0.25f);
  frame->addView(control);
  down(5, 5, kLButton | kControl);
  EXPECT_EQ(control->getValue(), 0.75f);
  EXPECT_EQ(listener.events, (std::vector<std::string>{"begin 3", "value 3", "end 3"}));
  listener.events.clear();
  down(5, 5, kLButton | kControl);
  EXPECT_TRUE(listener.events.empty()) << "already at the default: nothing to tell";
  down(5, 5, kRButton | kControl);
  EXPECT_EQ(control->getValue(), 1.f) << "a right click is an ordinary click";
  down(5, 5, kLButton | kControl | kShift);
  EXPECT_EQ(control->getValue(), 1.f) << "Ctrl with another modifier is not the default gesture";
}

TEST_F(Controls, SetValueFromAnotherThreadOnlyRecordsAndIdleRedraws) {
  auto* control = new CControl(CRect(0, 0, 10, 10), &listener, 1);
  frame->addView(control);
  frame->idle();
  ASSERT_FALSE(control->isDirty());
  std::atomic<bool> done{false};
  std::thread audio([&] {
    for (int i = 0; i < 20000; ++i) control->setValue((i % 100) / 100.f);
    done = true;
  });
  while (!done) frame->idle();  // the user-interface thread keeps drawing meanwhile
  audio.join();
  control->setValue(0.42f);
  EXPECT_TRUE(control->isDirty()) << "a new value marks the control for the next redraw";
  frame->idle();
  EXPECT_FALSE(control->isDirty());
  EXPECT_FLOAT_EQ(control->getValue(), 0.42f);
}

TEST_F(Controls, SliderDragFollowsTheMouseAndShiftRefinesWithoutJumping) {
  // A vertical slider 100 pixels long, maximum at the top.
  auto* slider = new CSlider(CRect(10, 10, 30, 110), &listener, 5, 10, 110, nullptr, nullptr, CPoint(0, 0),
                             kVertical | kTop);
  slider->setZoomFactor(10);
  frame->addView(slider);
  down(20, 100);
  move(20, 80);  // 20 up
  EXPECT_NEAR(slider->getValue(), 0.2f, 1e-5) << "the value follows the distance, not the click position";
  move(20, 80, kLButton | kShift);
  EXPECT_NEAR(slider->getValue(), 0.2f, 1e-5) << "pressing Shift does not jump";
  move(20, 60, kLButton | kShift);  // 20 up, fine
  EXPECT_NEAR(slider->getValue(), 0.22f, 1e-5);
  move(20, 40, kLButton);  // Shift released: 20 up at full speed
  EXPECT_NEAR(slider->getValue(), 0.42f, 1e-5);
  move(20, -500, kLButton);
  EXPECT_EQ(slider->getValue(), 1.f) << "clamped at the maximum";
  up(20, -500);
  EXPECT_EQ(listener.host.front(), "begin 5");
  EXPECT_EQ(listener.host.back(), "end 5");
  EXPECT_EQ(listener.host.size(), 2u);

  auto* bottomMax = new CSlider(CRect(40, 10, 60, 110), &listener, 6, 10, 110, nullptr, nullptr, CPoint(0, 0),
                                kVertical | kBottom);
  frame->addView(bottomMax);
  down(50, 20);
  move(50, 40);
  EXPECT_NEAR(bottomMax->getValue(), 0.2f, 1e-5) << "with kBottom alone, dragging down increases";
  up(50, 40);
}

TEST_F(Controls, SliderWheelAndDefault) {
  auto* slider = new CSlider(CRect(0, 0, 100, 20), &listener, 2, 0, 100, nullptr, nullptr);
  slider->setWheelInc(0.1f);
  slider->setDefaultValue(0.5f);
  frame->addView(slider);
  frame->platformOnMouseWheel(CPoint(50, 10), kMouseWheelAxisY, 2.f, CButtonState());
  EXPECT_NEAR(slider->getValue(), 0.2f, 1e-6);
  down(50, 10, kLButton | kControl);
  EXPECT_EQ(slider->getValue(), 0.5f);
  move(90, 10);
  EXPECT_EQ(slider->getValue(), 0.5f) << "a default-value click starts no drag";
}

TEST_F(Controls, ClosingTheFrameMidDragEndsTheHostGesture) {
  auto* slider = new CSlider(CRect(0, 0, 100, 20), &listener, 4, 0, 100, nullptr, nullptr);
  frame->addView(slider);
  down(50, 10);
  move(60, 10);
  ASSERT_EQ(listener.host, (std::vector<std::string>{"begin 4"}));
  // The host closes the editor while the button is still held: no mouse-up will come.
  frame->remember();
  frame->close();
  EXPECT_EQ(listener.host, (std::vector<std::string>{"begin 4", "end 4"}));
}

TEST_F(Controls, SliderDrawsItsValueBar) {
  auto* slider = new CSlider(CRect(0, 0, 100, 10), &listener, 2, 0, 100, nullptr, nullptr);
  slider->setDrawStyle(CSlider::kDrawBack | CSlider::kDrawValue);
  slider->setBackColor(kBlackCColor);
  slider->setValueColor(kRedCColor);
  slider->setValue(0.3f);
  frame->addView(slider);
  frame->idle();
  EXPECT_EQ(pixelAt(frame->getBackBuffer(), 29, 5), kRedCColor);
  EXPECT_EQ(pixelAt(frame->getBackBuffer(), 31, 5), kBlackCColor);
}

TEST_F(Controls, OptionMenuEntriesSeparatorsAndCurrentIndex) {
  auto* menu = new COptionMenu(CRect(0, 0, 100, 20), &listener, 9);
  frame->addView(menu);
  menu->addEntry("one");
  menu->addSeparator();
  CMenuItem* disabled = menu->addEntry("two", -1, CMenuItem::kDisabled);
  menu->addEntry(CMenuItem::makeWithTag("three", 64));
  EXPECT_EQ(menu->getNbEntries(), 4);
  EXPECT_FALSE(disabled->isEnabled());
  EXPECT_TRUE(menu->getEntry(1)->isSeparator());
  EXPECT_EQ(menu->getEntry(3)->getTag(), 64);
  EXPECT_EQ(menu->getMax(), 3.f);

  EXPECT_TRUE(menu->setCurrent(2, false)) << "third entry without counting the separator";
  EXPECT_EQ(menu->getCurrentIndex(true), 3);
  EXPECT_EQ(menu->getCurrentIndex(false), 2);
  EXPECT_EQ(menu->getValue(), 3.f);
  EXPECT_EQ(menu->getCurrent()->getTitle(), "three");
  menu->setValue(17);
  EXPECT_EQ(menu->getCurrentIndex(true), 3) << "an out-of-range value is ignored";
  menu->setValue(0);
  EXPECT_EQ(menu->getCurrent()->getTitle(), "one");

  menu->removeAllEntry();
  EXPECT_EQ(menu->getNbEntries(), 0);
  EXPECT_EQ(menu->getCurrent(), nullptr);
  EXPECT_FALSE(menu->popup()) << "an empty menu does not open";
}

TEST_F(Controls, OptionMenuPopupChoosesClosesAndSkipsDisabledEntries) {
  auto* menu = new COptionMenu(CRect(10, 10, 110, 30), &listener, 4);
  menu->addEntry("first");
  menu->addEntry("second");
  menu->addSeparator();
  menu->addEntry("disabled", -1, CMenuItem::kDisabled);
  menu->addEntry("last");
  frame->addView(menu);

  down(20, 20);
  CMenuPopup* popup = frame->getOpenPopup();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->getFrameRect().top, 30) << "the pop-up opens below the control";
  EXPECT_EQ(popup->getFrameRect().left, 10);
  EXPECT_EQ(listener.host, (std::vector<std::string>{"begin 4"}));

  // A click on the disabled entry does nothing; a click on "last" chooses it.
  CPoint disabledPoint = popup->getEntryRect(3).getCenter();
  popup->platformOnMouseDown(disabledPoint, CButtonState(kLButton));
  popup->platformOnMouseUp(disabledPoint, CButtonState(kLButton));
  EXPECT_NE(frame->getOpenPopup(), nullptr);
  CPoint lastPoint = popup->getEntryRect(4).getCenter();
  popup->platformOnMouseMoved(lastPoint, CButtonState());
  EXPECT_EQ(popup->getHighlightedIndex(), 4);
  popup->platformOnMouseDown(lastPoint, CButtonState(kLButton));
  popup->platformOnMouseUp(lastPoint, CButtonState(kLButton));
  EXPECT_EQ(frame->getOpenPopup(), nullptr);
  EXPECT_EQ(menu->getCurrentIndex(true), 4);
  EXPECT_EQ(menu->getLastResult(), 4);
  EXPECT_EQ(listener.events, (std::vector<std::string>{"begin 4", "value 4", "end 4"}));
  EXPECT_EQ(listener.host, (std::vector<std::string>{"begin 4", "end 4"}));

  // Choosing the same entry again is reported again (menus of actions rely on it).
  listener.events.clear();
  down(20, 20);
  popup = frame->getOpenPopup();
  CPoint again = popup->getEntryRect(4).getCenter();
  popup->platformOnMouseUp(again, CButtonState(kLButton));
  EXPECT_EQ(listener.events, (std::vector<std::string>{"begin 4", "value 4", "end 4"}));

  // Escape, a click outside, and a click into the frame close without a choice.
  listener.events.clear();
  down(20, 20);
  EXPECT_EQ(key(VKEY_ESCAPE), 1);
  EXPECT_EQ(frame->getOpenPopup(), nullptr);
  down(20, 20);
  frame->getOpenPopup()->platformOnClickOutside();
  EXPECT_EQ(frame->getOpenPopup(), nullptr);
  down(20, 20);
  down(200, 150);
  EXPECT_EQ(frame->getOpenPopup(), nullptr);
  EXPECT_EQ(menu->getLastResult(), -1);
  EXPECT_EQ(listener.events, (std::vector<std::string>{"begin 4", "end 4", "begin 4", "end 4", "begin 4", "end 4"}));
  EXPECT_EQ(menu->getCurrentIndex(true), 4);
}

TEST_F(Controls, OptionMenuKeyboardSkipsSeparatorsAndDisabledEntries) {
  auto* menu = new COptionMenu(CRect(0, 0, 100, 20), &listener, 1);
  menu->addEntry("a");
  menu->addSeparator();
  menu->addEntry("b", -1, CMenuItem::kDisabled);
  menu->addEntry("c");
  frame->addView(menu);
  down(5, 5);
  CMenuPopup* popup = frame->getOpenPopup();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->getHighlightedIndex(), 0) << "the current entry starts highlighted";
  key(VKEY_DOWN);
  EXPECT_EQ(popup->getHighlightedIndex(), 3);
  key(VKEY_RETURN);
  EXPECT_EQ(menu->getCurrentIndex(true), 3);
}

TEST_F(Controls, RemovingAMenuWithAnOpenPopupClosesThePopup) {
  auto* menu = new COptionMenu(CRect(0, 0, 100, 20), &listener, 1);
  menu->addEntry("a");
  frame->addView(menu);
  down(5, 5);
  ASSERT_NE(frame->getOpenPopup(), nullptr);
  frame->removeView(menu);
  EXPECT_EQ(frame->getOpenPopup(), nullptr);
  frame->idle();
}

TEST_F(Controls, OptionMenuDrawsTheCurrentEntryUnlessAskedNotTo) {
  auto font = makeOwned<CFontDesc>("Sans", 14);
  auto* shown = new COptionMenu(CRect(0, 0, 100, 20), &listener, 1);
  auto* hidden = new COptionMenu(CRect(0, 30, 100, 50), &listener, 2, nullptr, nullptr, kNoDrawStyle | kNoTextStyle);
  for (auto* menu : {shown, hidden}) {
    menu->setFont(font);
    menu->setFontColor(kWhiteCColor);
    menu->setBackColor(kTransparentCColor);
    menu->setFrameColor(kTransparentCColor);
    menu->addEntry("WWWW");
    menu->setCurrent(0);
    frame->addView(menu);
  }
  frame->idle();
  EXPECT_GT(guitest::countPixels(frame->getBackBuffer(), CRect(0, 0, 100, 20), kWhiteCColor, 80), 10);
  EXPECT_EQ(guitest::countPixels(frame->getBackBuffer(), CRect(0, 30, 100, 50), kWhiteCColor, 80), 0);
}

TEST_F(Controls, TextEditTypesUtf8AndCommitsOnReturn) {
  auto* text = new CTextEdit(CRect(10, 10, 210, 30), &listener, 12, "abc");
  frame->addView(text);
  EXPECT_EQ(key(0, 'x'), -1) << "keys pass to the host while the field is not being edited";
  down(205, 20);  // right end: caret after "abc"
  EXPECT_TRUE(text->isTextEditing());
  EXPECT_EQ(frame->getFocusView(), text);
  EXPECT_TRUE(platform()->hasKeyboardFocus()) << "the window takes the keyboard from the host";
  EXPECT_EQ(text->getCaretPosition(), 3u);
  type(U"dé€");
  EXPECT_EQ(text->getText(), "abcd\xC3\xA9\xE2\x82\xAC");
  key(VKEY_BACK);
  EXPECT_EQ(text->getText(), "abcd\xC3\xA9") << "Backspace removes a whole character";
  key(VKEY_LEFT);
  key(VKEY_LEFT, 0, MODIFIER_SHIFT);
  EXPECT_EQ(text->getSelectionStart(), 3u);
  EXPECT_EQ(text->getSelectionEnd(), 4u);
  type(U"Z");
  EXPECT_EQ(text->getText(), "abcZ\xC3\xA9") << "typing replaces the selection";
  key(VKEY_HOME);
  key(VKEY_DELETE);
  EXPECT_EQ(text->getText(), "bcZ\xC3\xA9");
  EXPECT_TRUE(listener.events.empty()) << "nothing is reported before the commit";
  EXPECT_EQ(key(VKEY_RETURN), 1);
  EXPECT_FALSE(text->isTextEditing());
  EXPECT_EQ(listener.events, (std::vector<std::string>{"value 12"}));
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_FALSE(platform()->hasKeyboardFocus()) << "the keyboard goes back to the host";
  EXPECT_TRUE(listener.host.empty()) << "editing text is no parameter gesture";
}

TEST_F(Controls, TextEditEscapeCancelsAndAClickOutsideCommits) {
  auto* text = new CTextEdit(CRect(10, 10, 210, 30), &listener, 12, "keep");
  frame->addView(text);
  down(20, 20);
  key(0, 'a', MODIFIER_CONTROL);
  type(U"gone");
  EXPECT_EQ(text->getText(), "gone");
  key(VKEY_ESCAPE);
  EXPECT_EQ(text->getText(), "keep");
  EXPECT_TRUE(listener.events.empty()) << "a cancelled edit is not reported";
  EXPECT_FALSE(platform()->hasKeyboardFocus());

  down(20, 20);
  text->selectAll();
  type(U"new");
  down(250, 150);  // elsewhere in the frame
  EXPECT_FALSE(text->isTextEditing());
  EXPECT_EQ(text->getText(), "new");
  EXPECT_EQ(listener.events, (std::vector<std::string>{"value 12"}));
}

// A dialog tells a commit made with Return (save now) from one made by leaving the field.
TEST_F(Controls, TextEditSaysWhetherACommitCameFromTheKeyboard) {
  struct Watcher : guitest::RecordingListener {
    void valueChanged(CControl* control) override {
      byKey.push_back(static_cast<CTextEdit*>(control)->isCommittingWithKey());
    }
    std::vector<bool> byKey;
  } watcher;
  auto* text = new CTextEdit(CRect(10, 10, 210, 30), &watcher, 12, "name");
  frame->addView(text);
  down(20, 20);
  key(VKEY_RETURN);
  down(20, 20);
  key(VKEY_ENTER);
  down(20, 20);
  down(250, 150);  // leaving by a click
  EXPECT_EQ(watcher.byKey, (std::vector<bool>{true, true, false}));
  EXPECT_FALSE(text->isCommittingWithKey()) << "only while the listener hears of it";
}

TEST_F(Controls, TextEditRemovedWhileEditingReleasesTheFocus) {
  auto* container = new CViewContainer(CRect(0, 0, 300, 100));
  auto* text = new CTextEdit(CRect(10, 10, 210, 30), &listener, 12, "x");
  container->addView(text);
  frame->addView(container);
  down(20, 20);
  ASSERT_EQ(frame->getFocusView(), text);
  frame->removeView(container);
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_FALSE(platform()->hasKeyboardFocus());
  EXPECT_EQ(key(0, 'y'), -1) << "no key reaches the removed field";
}

TEST_F(Controls, TextEditRespectsItsMaximumLength) {
  auto* text = new CTextEdit(CRect(0, 0, 200, 20), &listener, 1, "");
  text->setMaxLength(4);
  frame->addView(text);
  down(5, 5);
  type(U"abc€");
  EXPECT_EQ(text->getText(), "abc") << "a character that does not fit whole is not cut in half";
}

TEST_F(Controls, SplashScreenShowsItsViewModallyAndReportsBothWays) {
  auto* panel = new CView(CRect(50, 50, 250, 150));
  auto* splash = new CSplashScreen(CRect(0, 0, 40, 20), &listener, 8, panel);
  frame->addView(splash);
  down(10, 10);
  EXPECT_EQ(frame->getModalView(), panel);
  EXPECT_EQ(splash->getValue(), 1.f);
  EXPECT_EQ(listener.events, (std::vector<std::string>{"begin 8", "value 8", "end 8"}));
  down(10, 10);
  EXPECT_EQ(frame->getModalView(), panel) << "the button under the modal view takes no click";
  splash->unSplash();
  EXPECT_EQ(frame->getModalView(), nullptr);
  EXPECT_EQ(splash->getValue(), 0.f);
  EXPECT_EQ(listener.values.back(), 0.f);
  EXPECT_EQ(listener.events.size(), 6u);
}

TEST_F(Controls, SplashScreenRemovedWhileShownTakesItsViewAlong) {
  const int64_t before = CBaseObject::liveObjectCount();
  auto* splash = new CSplashScreen(CRect(0, 0, 40, 20), &listener, 8, new CView(CRect(0, 0, 100, 100)));
  frame->addView(splash);
  down(10, 10);
  ASSERT_NE(frame->getModalView(), nullptr);
  frame->removeView(splash);
  EXPECT_EQ(frame->getModalView(), nullptr);
  frame->idle();
  EXPECT_EQ(CBaseObject::liveObjectCount(), before);
}

TEST_F(Controls, ParamDisplayShowsTheValueLocaleIndependently) {
  auto font = makeOwned<CFontDesc>("Sans", 12);
  auto* display = new CParamDisplay(CRect(0, 0, 100, 20));
  display->setFont(font);
  display->setValue(0.5f);
  frame->addView(display);
  frame->idle();
  struct Probe : CParamDisplay {
    using CParamDisplay::CParamDisplay;
    std::string text() const { return getDisplayText(); }
  } probe(CRect(0, 0, 1, 1));
  probe.setValue(0.125f);
  probe.setPrecision(3);
  EXPECT_EQ(probe.text(), "0.125");
  probe.setValueToStringFunction([](float value, char text[256], CParamDisplay*) {
    std::snprintf(text, 256, "%d %%", static_cast<int>(value * 100));
    return true;
  });
  EXPECT_EQ(probe.text(), "12 %");
}

TEST_F(Controls, TextEditCommitsWhenTheWindowLosesTheKeyboard) {
  auto* text = new CTextEdit(CRect(10, 10, 210, 30), &listener, 12, "");
  frame->addView(text);
  down(20, 20);
  type(U"kept");
  frame->platformOnFocusLost();  // the user clicked into another window
  EXPECT_FALSE(text->isTextEditing());
  EXPECT_EQ(text->getText(), "kept");
  EXPECT_EQ(listener.events, (std::vector<std::string>{"value 12"}));
  EXPECT_EQ(key(0, 'x'), -1) << "later keys go to the host again";
}
