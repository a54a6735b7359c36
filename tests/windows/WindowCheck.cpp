// The GUI layer's Win32 windows: a test host makes a hidden top-level window, opens the demo
// frame inside it as a child window, drives it with window messages and keeps a screenshot
// (the frame's back buffer, as painted into the window) in the build folder.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tools/gui-demo/DemoPanel.h"

using namespace VSTGUI;
using guidemo::DemoPanel;

namespace {

class TestHost : public VSTGUIEditorInterface {
 public:
  TestHost() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"SkarvelTestHost";
    RegisterClassW(&windowClass);
    // Hidden: never shown, as a host may keep its plug-in window until it is placed.
    window = CreateWindowExW(0, L"SkarvelTestHost", L"Test host", WS_OVERLAPPEDWINDOW, 0, 0,
                             static_cast<int>(DemoPanel::kWidth) + 40, static_cast<int>(DemoPanel::kHeight) + 60,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  ~TestHost() override {
    if (frame) frame->close();
    if (window) DestroyWindow(window);
  }

  bool openFrame() {
    frame = new CFrame(CRect(0, 0, DemoPanel::kWidth, DemoPanel::kHeight), this);
    if (!frame->open(window)) {
      frame->forget();
      frame = nullptr;
      return false;
    }
    panel = std::make_unique<DemoPanel>();
    panel->build(frame);
    pump();
    return true;
  }

  // Delivers the waiting window messages and lets the frame idle, as a host's loop does.
  void pump(int rounds = 20) {
    for (int i = 0; i < rounds; ++i) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      if (frame) frame->idle();
      Sleep(2);
    }
  }

  HWND child() const { return frame ? reinterpret_cast<HWND>(frame->getPlatformFrame()->getNativeWindow()) : nullptr; }

  void mouse(UINT message, const CPoint& where, WPARAM buttons) {
    SendMessageW(child(), message, buttons, MAKELPARAM(static_cast<int>(where.x), static_cast<int>(where.y)));
    pump(3);
  }

  void beginEdit(int32_t index) override { edits.push_back("begin " + std::to_string(index)); }
  void endEdit(int32_t index) override { edits.push_back("end " + std::to_string(index)); }

  CFrame* openFrameObject() const { return frame; }
  void forgetFrame() { frame = nullptr; }

  HWND window = nullptr;
  std::unique_ptr<DemoPanel> panel;
  std::vector<std::string> edits;
};

}  // namespace

TEST(GuiWin32Window, TheFrameIsAChildWindowOfTheHostsWindowAndPaintsItsBackBuffer) {
  TestHost host;
  if (!host.window) GTEST_SKIP() << "no window system here (wine without a display)";
  ASSERT_TRUE(host.openFrame());
  const HWND child = host.child();
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(GetParent(child), host.window);
  RECT client{};
  GetClientRect(child, &client);
  EXPECT_EQ(client.right, static_cast<LONG>(DemoPanel::kWidth));
  EXPECT_EQ(client.bottom, static_cast<LONG>(DemoPanel::kHeight));

  // The frame draws into its back buffer and paints it into the window; the buffer is the
  // screenshot, kept in the build folder.
  COffscreenContext* context = host.openFrameObject()->getBackBuffer();
  ASSERT_NE(context, nullptr);
  context->endDraw();
  CBitmap* picture = context->getBitmap();
  ASSERT_NE(picture, nullptr);
  EXPECT_TRUE(picture->getPlatformBitmap()->writePNG(std::string(GUI_TEST_OUTPUT_DIR) + "/win32-window-screenshot.png"));
  auto pixels = CBitmapPixelAccess::create(picture);
  ASSERT_NE(pixels, nullptr);
  ASSERT_TRUE(pixels->setPosition(5, 300));
  EXPECT_EQ(pixels->getColor(), DemoPanel::kBackground) << "the frame's background is in its picture";
}

TEST(GuiWin32Window, WindowMessagesDriveTheControls) {
  TestHost host;
  if (!host.window) GTEST_SKIP() << "no window system here (wine without a display)";
  ASSERT_TRUE(host.openFrame());
  DemoPanel& panel = *host.panel;

  // Drag the slider 50 pixels to the right: a quarter of its 200-pixel range.
  host.mouse(WM_LBUTTONDOWN, CPoint(170, 60), MK_LBUTTON);
  host.mouse(WM_MOUSEMOVE, CPoint(220, 60), MK_LBUTTON);
  host.mouse(WM_LBUTTONUP, CPoint(220, 60), 0);
  EXPECT_NEAR(panel.slider->getValue(), 0.25f, 0.02f);
  EXPECT_NE(std::find(host.edits.begin(), host.edits.end(), "begin 1"), host.edits.end());
  EXPECT_NE(std::find(host.edits.begin(), host.edits.end(), "end 1"), host.edits.end());

  // A click in the text field starts editing; typed characters arrive as WM_CHAR, Return ends it.
  host.mouse(WM_LBUTTONDOWN, CPoint(200, 140), MK_LBUTTON);
  host.mouse(WM_LBUTTONUP, CPoint(200, 140), 0);
  ASSERT_TRUE(panel.text->isTextEditing());
  SendMessageW(host.child(), WM_KEYDOWN, VK_END, 0);
  for (wchar_t c : std::wstring(L"\u00e9!")) SendMessageW(host.child(), WM_CHAR, c, 0);
  SendMessageW(host.child(), WM_KEYDOWN, VK_RETURN, 0);
  host.pump(3);
  EXPECT_FALSE(panel.text->isTextEditing());
  EXPECT_EQ(panel.text->getText(), "Edit me\xC3\xA9!");
}

TEST(GuiWin32Window, OpeningAndClosingAgainLeavesNoWindowBehind) {
  TestHost host;
  if (!host.window) GTEST_SKIP() << "no window system here (wine without a display)";
  for (int i = 0; i < 10; ++i) {
    ASSERT_TRUE(host.openFrame());
    const HWND child = host.child();
    host.openFrameObject()->close();
    host.forgetFrame();
    host.panel.reset();
    EXPECT_FALSE(IsWindow(child)) << "round " << i;
  }
  EXPECT_EQ(GetWindow(host.window, GW_CHILD), nullptr);
}
