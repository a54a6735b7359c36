// The credits, the diagnostic log viewer and the conversion of old banks.

#include "ToolBarTestSupport.h"

#include "Frameworks/Gui/CDataBrowser.h"
#include "source/editor/StringsViewer.h"
#include "source/editor/cCustomDialogue.h"

namespace toolbar_test {
namespace {

class DialogsTest : public ToolBarFixture {
 protected:
  template <class T>
  T* modal() {
    return dynamic_cast<T*>(frame->getModalView());
  }
  static std::string readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  }
};

TEST_F(DialogsTest, CreditsShowTheAboutLinesAndTheLinkOpensTheManualFromTheDataFolder) {
  open();
  choose(toolbar->optionsMenu(), 1);  // "about and help"
  auto* credits = modal<skarvel::cCustomDialogue>();
  ASSERT_NE(credits, nullptr);
  EXPECT_EQ(credits->title(), "Credits");
  EXPECT_EQ(credits->lines(), skarvel::skarvelAboutBox().lines);
  EXPECT_EQ(credits->link(), "Skarvel.html");
  ASSERT_FALSE(credits->linkRect().isEmpty());

  click(credits->linkRect().getCenter());
  ASSERT_EQ(desktop.openedUrls.size(), 1u);
  EXPECT_EQ(desktop.openedUrls[0], platform::dataFilePath("Skarvel.html"));
  EXPECT_EQ(frame->getModalView(), credits) << "the link leaves the credits open";

  click(VSTGUI::CPoint(20, 20));
  EXPECT_EQ(frame->getModalView(), nullptr) << "a click elsewhere closes them";
}

TEST_F(DialogsTest, CreditsWithoutAnAboutBoxAreEmptyAndHaveNoLink) {
  open();
  toolbar->closeControls();
  frame->removeAll();
  toolbar->createControls(frame, nullptr);
  toolbar->showCredits();
  auto* credits = modal<skarvel::cCustomDialogue>();
  ASSERT_NE(credits, nullptr);
  EXPECT_TRUE(credits->lines().empty());
  EXPECT_TRUE(credits->linkRect().isEmpty());
}

TEST_F(DialogsTest, WithoutADesktopOpenerTheManualAndFolderItemsSaySo) {
  desktop.openerAvailable = false;
  open();
  EXPECT_FALSE(toolbar->openManual());
  auto* error = modal<skarvel::cCustomDialogue>();
  ASSERT_NE(error, nullptr) << "the manual icon says why nothing opened";
  EXPECT_EQ(error->title(), "Error");
  EXPECT_EQ(error->lines(), (std::vector<std::string>{"Could not open the HTML manual.", "no opener on this desktop"}));
  click(VSTGUI::CPoint(20, 20));
  EXPECT_EQ(frame->getModalView(), nullptr);

  choose(toolbar->optionsMenu(), 2);  // "explore user presets"
  error = modal<skarvel::cCustomDialogue>();
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->lines().front(), "Could not open the user presets folder.");
  click(VSTGUI::CPoint(20, 20));

  // From the credits' link: the credits give way to the message.
  choose(toolbar->optionsMenu(), 1);
  auto* credits = modal<skarvel::cCustomDialogue>();
  ASSERT_NE(credits, nullptr);
  click(credits->linkRect().getCenter());
  error = modal<skarvel::cCustomDialogue>();
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->title(), "Error");
}

TEST_F(DialogsTest, DiagnosticLogListsEveryMessageAndSavesThemAppended) {
  write("Presets/Factory/Broken.yaml", "---\nPreset: [not closed\n");
  open();
  const std::vector<std::string> messages = plugin->messages().lines();
  ASSERT_FALSE(messages.empty());
  choose(toolbar->optionsMenu(), 6);  // "open diagnostic log"
  auto* viewer = modal<skarvel::StringsViewer>();
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(viewer->title(), "[ Diagnostic log ]");
  EXPECT_EQ(viewer->lines(), messages);
  EXPECT_EQ(viewer->browser()->getDelegate()->dbGetNumRows(viewer->browser()), static_cast<int32_t>(messages.size()));

  const fs::path saved = root / "log.txt";
  std::ofstream(saved, std::ios::binary) << "earlier\n";
  desktop.nextAnswer = {saved.string()};
  click(viewer->background()->saveRect().getCenter());
  ASSERT_EQ(desktop.selectorConfigs.size(), 1u);
  EXPECT_EQ(desktop.selectorConfigs[0].title, "Save Log");
  EXPECT_EQ(desktop.selectorConfigs[0].mode, VSTGUI::FileSelectorConfig::Mode::kSave);
  EXPECT_NE(desktop.selectorConfigs[0].defaultName.find("-Messages-"), std::string::npos);
  advanceTimers(100);  // the chooser's answer arrives
  std::string expected = "earlier\n";
  for (const std::string& line : messages) expected += line + "\n";
  EXPECT_EQ(readFile(saved), expected);

  click(viewer->background()->closeRect().getCenter());
  EXPECT_EQ(frame->getModalView(), nullptr);
}

TEST_F(DialogsTest, LogThatCannotBeWrittenShowsTheErrorOverTheViewer) {
  open();
  toolbar->showDiagnosticLog();
  auto* viewer = modal<skarvel::StringsViewer>();
  ASSERT_NE(viewer, nullptr);
  EXPECT_FALSE(viewer->saveTo((root / "no/such/folder/log.txt").string()));
  skarvel::cCustomDialogue* error = nullptr;
  for (VSTGUI::CView* child : viewer->getChildren())
    if (auto* dialogue = dynamic_cast<skarvel::cCustomDialogue*>(child)) error = dialogue;
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->title(), "Error");
  EXPECT_EQ(error->lines(), (std::vector<std::string>{"Could not save to selected file name"}));
  click(VSTGUI::CPoint(400, 200));
  EXPECT_EQ(viewer->getNbViews(), 2u) << "the click closes the error";
  EXPECT_EQ(frame->getModalView(), viewer) << "and leaves the viewer open";
}

TEST_F(DialogsTest, OldBankConversionAsksForAFileAndShowsItsReport) {
  open();
  const fs::path bank = root / "old.fxb";
  std::ofstream(bank, std::ios::binary) << std::string(160, '\0');
  desktop.nextAnswer = {bank.string()};
  choose(toolbar->optionsMenu(), 5);  // "convert old preset / bank file"

  ASSERT_EQ(desktop.selectorConfigs.size(), 1u);
  const VSTGUI::FileSelectorConfig& config = desktop.selectorConfigs[0];
  EXPECT_EQ(config.title, "Load bank file : BNK or FXB or FXP of old Ludra");
  EXPECT_EQ(config.initialFolder, presets().userPresetsFolder());
  ASSERT_EQ(config.filters.size(), 3u);
  EXPECT_NE(std::find(config.filters.begin(), config.filters.end(),
                      std::make_pair(std::string("Pre 2007 Ludra VST banks"), std::string("fxb"))),
            config.filters.end());

  advanceTimers(100);  // the chooser's answer arrives
  auto* report = modal<skarvel::StringsViewer>();
  ASSERT_NE(report, nullptr);
  EXPECT_EQ(report->title(), "[ Preset conversion ]");
  ASSERT_FALSE(report->lines().empty());
  EXPECT_EQ(report->lines().front(), "Converting presets from the selected file:");
  EXPECT_EQ(report->lines().back(), "No presets were converted.");
}

TEST_F(DialogsTest, ConversionWithoutAFileChooserSaysWhy) {
  open();
  desktop.chooserAvailable = false;
  toolbar->startOldBankConversion();
  auto* error = modal<skarvel::cCustomDialogue>();
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->title(), "Error");
}

}  // namespace
}  // namespace toolbar_test
