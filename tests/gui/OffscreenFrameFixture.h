#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Frameworks/Gui/Gui.h"
#include "Frameworks/Gui/OffscreenPlatformFrame.h"

namespace guitest {

using namespace VSTGUI;

// Records what controls tell their listener and what the editor hears.
struct RecordingListener : IControlListener, VSTGUIEditorInterface {
  void valueChanged(CControl* control) override {
    events.push_back("value " + std::to_string(control->getTag()));
    values.push_back(control->getValue());
  }
  void controlBeginEdit(CControl* control) override { events.push_back("begin " + std::to_string(control->getTag())); }
  void controlEndEdit(CControl* control) override { events.push_back("end " + std::to_string(control->getTag())); }
  void beginEdit(int32_t index) override { host.push_back("begin " + std::to_string(index)); }
  void endEdit(int32_t index) override { host.push_back("end " + std::to_string(index)); }
  int32_t getKnobMode() const override { return -1; }

  std::vector<std::string> events;
  std::vector<float> values;
  std::vector<std::string> host;
};

// A frame opened without a window, with helpers for synthetic input.
struct OffscreenFrame : ::testing::Test {
  void SetUp() override {
    frame = new CFrame(CRect(0, 0, 300, 200), &listener);
    ASSERT_TRUE(frame->open(nullptr, PlatformType::kOffscreen));
  }
  void TearDown() override { frame->close(); }

  OffscreenPlatformFrame* platform() const { return static_cast<OffscreenPlatformFrame*>(frame->getPlatformFrame()); }
  CMouseEventResult down(CCoord x, CCoord y, uint32_t buttons = kLButton) {
    CPoint p(x, y);
    return frame->platformOnMouseDown(p, CButtonState(buttons));
  }
  CMouseEventResult move(CCoord x, CCoord y, uint32_t buttons = kLButton) {
    CPoint p(x, y);
    return frame->platformOnMouseMoved(p, CButtonState(buttons));
  }
  CMouseEventResult up(CCoord x, CCoord y, uint32_t buttons = kLButton) {
    CPoint p(x, y);
    return frame->platformOnMouseUp(p, CButtonState(buttons));
  }
  int32_t key(uint8_t virt, int32_t character = 0, uint8_t modifier = 0) {
    VstKeyCode code;
    code.virt = virt;
    code.character = character;
    code.modifier = modifier;
    return frame->platformOnKeyDown(code);
  }
  void type(const std::u32string& text) {
    for (char32_t c : text) key(0, static_cast<int32_t>(c));
  }

  RecordingListener listener;
  CFrame* frame = nullptr;
};

}  // namespace guitest
