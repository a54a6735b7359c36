// Timers run from idle, the data browser's rows and scrolling, and the file selector.
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "GuiTestSupport.h"
#include "OffscreenFrameFixture.h"
#include "Frameworks/Gui/x11/FileSelectorProcess.h"

using namespace VSTGUI;
using guitest::OffscreenFrame;
using guitest::pixelAt;

namespace {

// Timers share one clock; each test starts it well after the previous test's times.
uint64_t clockBase() {
  static uint64_t base = 1'000'000;
  base += 1'000'000;
  CVSTGUITimer::fireDueTimers(base);
  return base;
}

}  // namespace

TEST(GuiTimers, FireAtTheirPeriodWithoutCatchingUp) {
  const uint64_t t0 = clockBase();
  int fired = 0;
  auto timer = owned(new CVSTGUITimer([&](CVSTGUITimer*) { ++fired; }, 500));
  EXPECT_TRUE(timer->isRunning());
  CVSTGUITimer::fireDueTimers(t0 + 499);
  EXPECT_EQ(fired, 0);
  CVSTGUITimer::fireDueTimers(t0 + 500);
  EXPECT_EQ(fired, 1);
  CVSTGUITimer::fireDueTimers(t0 + 2600);
  EXPECT_EQ(fired, 2) << "a late idle fires once, it does not catch up";
  CVSTGUITimer::fireDueTimers(t0 + 3000);
  EXPECT_EQ(fired, 2) << "the period restarts from the late firing";
  CVSTGUITimer::fireDueTimers(t0 + 3100);
  EXPECT_EQ(fired, 3);
  timer->stop();
  CVSTGUITimer::fireDueTimers(t0 + 10000);
  EXPECT_EQ(fired, 3);
}

TEST(GuiTimers, ATimerMayStopAndReleaseItselfWhileFiring) {
  const uint64_t t0 = clockBase();
  const int running = CVSTGUITimer::runningTimerCount();
  int countdown = 10;
  CVSTGUITimer* self = new CVSTGUITimer(
      [&](CVSTGUITimer* timer) {
        if (--countdown == 0) {
          timer->stop();
          timer->forget();  // the last reference goes inside the callback
        }
      },
      500);
  (void)self;
  for (int i = 1; i <= 12; ++i) CVSTGUITimer::fireDueTimers(t0 + i * 500);
  EXPECT_EQ(countdown, 0) << "ten firings in five seconds, then nothing";
  EXPECT_EQ(CVSTGUITimer::runningTimerCount(), running);
}

TEST(GuiTimers, ObjectTimersNotifyTheirObject) {
  const uint64_t t0 = clockBase();
  struct Target : CBaseObject {
    CMessageResult notify(CBaseObject*, IdStringPtr message) override {
      if (message == CVSTGUITimer::kMsgTimer) ++count;
      return kMessageNotified;
    }
    int count = 0;
  } target;
  auto timer = owned(new CVSTGUITimer(&target, 100));
  EXPECT_FALSE(timer->isRunning()) << "an object timer waits for start()";
  timer->start();
  CVSTGUITimer::fireDueTimers(t0 + 100);
  EXPECT_EQ(target.count, 1);
}

TEST(GuiDependents, ChangedMessagesReachEveryDependentOnce) {
  struct Source : CBaseObject, IDependency {};
  struct Listener : CBaseObject {
    CMessageResult notify(CBaseObject*, IdStringPtr message) override {
      messages.push_back(message);
      return kMessageNotified;
    }
    std::vector<std::string> messages;
  };
  Source source;
  Listener a, b;
  source.addDependent(&a);
  source.addDependent(&a);
  source.addDependent(&b);
  source.changed("Overwrite");
  source.removeDependent(&b);
  source.changed("No");
  EXPECT_EQ(a.messages, (std::vector<std::string>{"Overwrite", "No"}));
  EXPECT_EQ(b.messages, (std::vector<std::string>{"Overwrite"}));
}

namespace {

struct Browser : OffscreenFrame {
  void SetUp() override {
    OffscreenFrame::SetUp();
    for (int i = 0; i < 30; ++i) rows.push_back("line " + std::to_string(i));
    source = owned(new GenericStringListDataBrowserSource(&rows));
    source->setupUI(kRedCColor, kWhiteCColor, CColor(0, 0, 0, 0), kBlackCColor, kBlackCColor, nullptr, 20);
    browser = new CDataBrowser(CRect(10, 10, 210, 110), source,
                               CDataBrowser::kVerticalScrollbar | CDataBrowser::kAutoHideScrollbars, 12);
    frame->addView(browser);
  }
  std::vector<std::string> rows;
  SharedPointer<GenericStringListDataBrowserSource> source;
  CDataBrowser* browser = nullptr;
};

}  // namespace

TEST_F(Browser, RowsScrollWithTheWheelAndTheScrollBar) {
  EXPECT_TRUE(browser->isScrollbarVisible()) << "30 rows of 20 do not fit in 100";
  EXPECT_EQ(browser->getMaxScrollOffset(), 500);
  EXPECT_EQ(browser->getRowAt(CPoint(50, 15)), 0);
  EXPECT_EQ(browser->getRowAt(CPoint(50, 109)), 4);
  EXPECT_EQ(browser->getRowAt(CPoint(205, 15)), -1) << "the scroll bar is no row";

  frame->platformOnMouseWheel(CPoint(50, 50), kMouseWheelAxisY, -1.f, CButtonState());
  EXPECT_EQ(browser->getScrollOffset(), 60) << "one notch down scrolls three rows";
  EXPECT_EQ(browser->getRowAt(CPoint(50, 15)), 3);
  frame->platformOnMouseWheel(CPoint(50, 50), kMouseWheelAxisY, 5.f, CButtonState());
  EXPECT_EQ(browser->getScrollOffset(), 0) << "scrolling stops at the first row";

  // Dragging the thumb to the bottom of the track shows the last rows.
  const CRect thumb = browser->getScrollbarThumbRect();
  down(thumb.getCenter().x, thumb.getCenter().y);
  move(thumb.getCenter().x, thumb.getCenter().y + 500);
  up(thumb.getCenter().x, thumb.getCenter().y + 500);
  EXPECT_EQ(browser->getScrollOffset(), 500);
  EXPECT_EQ(browser->getRowAt(CPoint(50, 109)), 29);

  // A click on the track above the thumb moves a page up.
  down(browser->getScrollbarRect().getCenter().x, 12);
  EXPECT_EQ(browser->getScrollOffset(), 400);
}

TEST_F(Browser, AClickSelectsTheRowAndItIsDrawnSelected) {
  down(50, 35);  // second row
  EXPECT_EQ(browser->getSelectedRow(), 1);
  frame->idle();
  EXPECT_EQ(pixelAt(frame->getBackBuffer(), 12, 35), kRedCColor) << "the selected row's background";
  EXPECT_EQ(pixelAt(frame->getBackBuffer(), 12, 15), kBlackCColor);
  EXPECT_EQ(browser->getCellBounds(1, 0), CRect(10, 30, 198, 50));

  browser->setSelectedRow(25, true);
  EXPECT_GE(browser->getScrollOffset(), 25 * 20 + 20 - 100) << "making a row visible scrolls to it";
}

TEST_F(Browser, FewRowsNeedNoScrollBarAndAShrinkingListClampsTheScroll) {
  frame->platformOnMouseWheel(CPoint(50, 50), kMouseWheelAxisY, -10.f, CButtonState());
  EXPECT_EQ(browser->getScrollOffset(), 500);
  rows.resize(3);
  source->setStringList(&rows);
  EXPECT_FALSE(browser->isScrollbarVisible());
  EXPECT_EQ(browser->getScrollOffset(), 0);
  EXPECT_EQ(browser->getSelectedRow(), -1);
  EXPECT_FALSE(frame->platformOnMouseWheel(CPoint(50, 50), kMouseWheelAxisY, -1.f, CButtonState()));
  frame->idle();
}

TEST(GuiFileSelector, DialogArgumentsCarryTitleNameFolderAndFilters) {
  FileSelectorConfig config;
  config.mode = FileSelectorConfig::Mode::kSave;
  config.title = "Save Log";
  config.defaultName = "log.txt";
  config.initialFolder = "/tmp/logs";
  config.filters.emplace_back("Text file", "txt");
  const auto zenity = X11::FileSelectorProcess::zenityArguments(config);
  const std::vector<std::string> expected{"zenity",        "--file-selection",       "--title=Save Log",
                                          "--save",        "--confirm-overwrite",    "--filename=/tmp/logs/log.txt",
                                          "--file-filter=Text file | *.txt", "--file-filter=All files | *"};
  EXPECT_EQ(zenity, expected);
  const auto kdialog = X11::FileSelectorProcess::kdialogArguments(config);
  const std::vector<std::string> expectedK{"kdialog", "--title", "Save Log", "--getsavefilename", "/tmp/logs/log.txt",
                                           "Text file (*.txt)"};
  EXPECT_EQ(kdialog, expectedK);
}

TEST(GuiFileSelector, ReportsNotAvailableWithoutADialogProgram) {
  const char* path = std::getenv("PATH");
  const std::string saved = path ? path : "";
  setenv("PATH", "/nonexistent", 1);
  auto selector = owned(CNewFileSelector::create(nullptr, CNewFileSelector::kSelectSaveFile));
  selector->setTitle("Save Log");
  bool called = false;
  EXPECT_FALSE(selector->run([&](CNewFileSelector*) { called = true; }));
  EXPECT_EQ(selector->getLastError(), "Install zenity or kdialog to choose files from here.")
      << "the user learns what to install";
  EXPECT_FALSE(called);
  setenv("PATH", saved.c_str(), 1);
}

TEST(GuiFileSelector, ARunningDialogIsPolledFromTimersAndReportsTheChoice) {
  // A stand-in for zenity that answers at once with a path.
  char folder[] = "/tmp/guifsXXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string fake = std::string(folder) + "/zenity";
  {
    std::ofstream script(fake);
    script << "#!/bin/sh\necho /chosen/file.txt\n";
  }
  chmod(fake.c_str(), 0755);
  const char* path = std::getenv("PATH");
  const std::string saved = path ? path : "";
  setenv("PATH", (std::string(folder) + ":" + saved).c_str(), 1);

  auto selector = owned(CNewFileSelector::create(nullptr, CNewFileSelector::kSelectSaveFile));
  selector->setDefaultExtension(CFileExtension("Text file", "txt"));
  std::string chosen;
  ASSERT_TRUE(selector->run([&](CNewFileSelector* s) {
    if (s->getNumSelectedFiles() == 1) chosen = s->getSelectedFile(0);
  }));
  for (int i = 0; i < 400 && chosen.empty(); ++i) {
    CVSTGUITimer::fireDueTimers();
    usleep(5000);
  }
  EXPECT_EQ(chosen, "/chosen/file.txt");
  EXPECT_FALSE(selector->isRunning());
  setenv("PATH", saved.c_str(), 1);
  unlink(fake.c_str());
  rmdir(folder);
}

TEST(GuiFileSelector, TheChoiceArrivesWhenTheHostReapsItsChildren) {
  // Hosts that ignore SIGCHLD (or reap every child themselves) leave no exit status to read.
  char folder[] = "/tmp/guifsXXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string fake = std::string(folder) + "/zenity";
  {
    std::ofstream script(fake);
    script << "#!/bin/sh\necho /chosen/reaped.bnk\n";
  }
  chmod(fake.c_str(), 0755);
  const char* path = std::getenv("PATH");
  const std::string saved = path ? path : "";
  setenv("PATH", (std::string(folder) + ":" + saved).c_str(), 1);
  const auto previous = signal(SIGCHLD, SIG_IGN);

  auto selector = owned(CNewFileSelector::create(nullptr, CNewFileSelector::kSelectFile));
  std::string chosen;
  bool finished = false;
  ASSERT_TRUE(selector->run([&](CNewFileSelector* s) {
    finished = true;
    if (s->getNumSelectedFiles() == 1) chosen = s->getSelectedFile(0);
  }));
  for (int i = 0; i < 400 && !finished; ++i) {
    CVSTGUITimer::fireDueTimers();
    usleep(5000);
  }
  signal(SIGCHLD, previous);
  EXPECT_TRUE(finished);
  EXPECT_EQ(chosen, "/chosen/reaped.bnk");
  setenv("PATH", saved.c_str(), 1);
  unlink(fake.c_str());
  rmdir(folder);
}

TEST(GuiPlatform, OpenUrlHandsTheAddressToTheDesktopOpenerWithoutWaiting) {
  char folder[] = "/tmp/guiurlXXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string opener = std::string(folder) + "/xdg-open";
  const std::string record = std::string(folder) + "/opened";
  {
    std::ofstream script(opener);
    script << "#!/bin/sh\nprintf '%s' \"$1\" > '" << record << "'\n";
  }
  chmod(opener.c_str(), 0755);
  const char* path = std::getenv("PATH");
  const std::string saved = path ? path : "";
  setenv("PATH", (std::string(folder) + ":" + saved).c_str(), 1);
  EXPECT_TRUE(openUrl("https://example.org/a b?x=1&y=2"));
  std::string opened;
  for (int i = 0; i < 200 && opened.empty(); ++i) {
    std::ifstream in(record);
    std::getline(in, opened);
    if (opened.empty()) usleep(5000);
  }
  EXPECT_EQ(opened, "https://example.org/a b?x=1&y=2") << "the address arrives as one argument, unchanged";
  EXPECT_FALSE(openUrl("")) << "nothing to open";
  setenv("PATH", "/nonexistent", 1);
  std::string reason;
  EXPECT_FALSE(openUrl("https://example.org", reason)) << "no opener installed";
  EXPECT_NE(reason.find("install xdg-utils"), std::string::npos) << reason;
  setenv("PATH", saved.c_str(), 1);
  unlink(record.c_str());
  unlink(opener.c_str());
  rmdir(folder);
}
