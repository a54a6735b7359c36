#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "Frameworks/PresetManager/PresetManager.h"
#include "Frameworks/PresetManager/PresetValueText.h"
#include "PresetTestSupport.h"
#include "TempFolder.h"

namespace {

using namespace presets;
namespace fs = std::filesystem;

std::string presetText(const std::string& name, float fm = 0.5f) {
  return "---\nPreset:\n  product: Skarvel\n  version: 1.0.0\n  format: 1\n  name: \"" + name +
         "\"\nParams:\n  FM: " + formatPresetValue(fm) + "\n";
}

std::vector<std::string> names(const PresetManager& manager, const std::string& list) {
  std::vector<std::string> result;
  for (const Program* program : manager.programsInList(list)) result.push_back(program->name());
  return result;
}

// A data root with both preset folders, a factory, and a manager over them.
struct ManagerFixture : PresetFixture {
  TempFolder root;
  std::string factoryFolder = root.path() + "/Presets/Factory/";
  std::string userFolder = root.path() + "/Presets/User/";
  std::unique_ptr<PresetManager> manager;

  ManagerFixture() {
    fs::create_directories(factoryFolder);
    fs::create_directories(userFolder);
  }
  void factoryFile(const std::string& relative, const std::string& name) {
    root.write("Presets/Factory/" + relative, presetText(name));
  }
  void userFile(const std::string& relative, const std::string& name, float fm = 0.5f) {
    root.write("Presets/User/" + relative, presetText(name, fm));
  }
  PresetManager& load() {
    manager = std::make_unique<PresetManager>(factory, PresetFolders{factoryFolder, userFolder});
    manager->loadAll();
    manager->select(0, 0);
    return *manager;
  }
  std::vector<std::string> names(const std::string& list) const {
    std::vector<std::string> result;
    for (const Program* program : manager->programsInList(list)) result.push_back(program->name());
    return result;
  }
  // Makes program `name` of list `list` current.
  Program& choose(const std::string& list, const std::string& name) {
    const std::vector<std::string> lists = manager->listNames();
    const std::size_t l = std::find(lists.begin(), lists.end(), list) - lists.begin();
    const std::vector<std::string> programs = names(list);
    const std::size_t p = std::find(programs.begin(), programs.end(), name) - programs.begin();
    manager->select(l, p);
    EXPECT_EQ(manager->currentProgram().name(), name);
    return manager->currentProgram();
  }
};

TEST(PresetManager, EmptyFoldersGiveTheEditedInitProgram) {
  ManagerFixture fx;
  PresetManager& manager = fx.load();
  EXPECT_EQ(manager.listNames(), std::vector<std::string>{"\u00ABInit\u00BB"});
  ASSERT_EQ(fx.names(kInitList), std::vector<std::string>{"Init"});
  const Program& init = manager.currentProgram();
  EXPECT_TRUE(init.edited());
  EXPECT_FALSE(init.readOnly());
  EXPECT_EQ(init.filePath(), "");
  EXPECT_EQ(manager.currentProgramName(), "Init");
  EXPECT_TRUE(manager.allFilesLoaded());
  EXPECT_FALSE(manager.saveDialogSetup().overwriteEnabled);
  EXPECT_EQ(fx.factory.toYamlText(&init), kDefaultDocument);
}

TEST(PresetManager, ListsAndProgramsAreOrdered) {
  ManagerFixture fx;
  fx.factoryFile("b.yaml", "beta");
  fx.factoryFile("a.yaml", "Alpha");
  fx.factoryFile("c.yaml", "alpha2");
  fx.factoryFile("pads/p.yaml", "Pad");
  fx.factoryFile("Pads2/Deep/d.yaml", "Deep one");
  fx.userFile("u.yaml", "Mine");
  fx.userFile("Keys/k.yaml", "Key");
  fx.userFile("bass/x.yaml", "Bass");
  fx.userFile("Caps.YAML", "Never");
  PresetManager& manager = fx.load();
  EXPECT_EQ(manager.listNames(),
            (std::vector<std::string>{kFactoryPresetsList, kUserPresetsList, "bass", "Deep", "Keys", "pads"}));
  EXPECT_EQ(fx.names(kFactoryPresetsList), (std::vector<std::string>{"Alpha", "alpha2", "beta"}));
  EXPECT_EQ(manager.currentProgram().name(), "Alpha");
  EXPECT_TRUE(manager.currentProgram().readOnly());
  EXPECT_TRUE(fx.choose("pads", "Pad").readOnly());
  EXPECT_FALSE(fx.choose("Keys", "Key").readOnly());
  EXPECT_FALSE(fx.choose(kUserPresetsList, "Mine").readOnly());
  EXPECT_EQ(manager.currentProgram().filePath(), fx.userFolder + "u.yaml");
  EXPECT_TRUE(manager.allFilesLoaded());
}

TEST(PresetManager, EqualNamesKeepTheirOrderAndCaseIsIgnored) {
  EXPECT_TRUE(PresetManager::listNameBefore("\u00ABZ\u00BB", "a"));
  EXPECT_FALSE(PresetManager::listNameBefore("a", "\u00ABZ\u00BB"));
  EXPECT_TRUE(PresetManager::listNameBefore("apple", "Banana"));
  EXPECT_FALSE(PresetManager::listNameBefore("Apple", "apple"));
  EXPECT_FALSE(PresetManager::listNameBefore("apple", "Apple"));
}

TEST(PresetManager, BrokenFilesAreLeftOutAndFlagged) {
  ManagerFixture fx;
  fx.factoryFile("good.yaml", "Good");
  fx.root.write("Presets/Factory/empty.yaml", "");
  fx.root.write("Presets/Factory/bom.yaml", "\xEF\xBB\xBF" + presetText("Bom"));
  fx.root.write("Presets/User/typo.yaml", "---\nPreest:\n  name: x\n  format: 1\nParams:\n  FM: 1\n");
  std::error_code linkError;
  fs::create_symlink(fx.userFolder + "nowhere", fx.userFolder + "unreadable.yaml", linkError);
  if (linkError) GTEST_SKIP() << "no symbolic links here: " << linkError.message();
  PresetManager& manager = fx.load();
  EXPECT_FALSE(manager.allFilesLoaded());
  EXPECT_EQ(fx.names(kFactoryPresetsList), (std::vector<std::string>{"Bom", "Good"}));
  EXPECT_TRUE(manager.programsInList(kUserPresetsList).empty());
  const std::string log = fx.allMessages();
  EXPECT_NE(log.find("Preset format error in " + fx.factoryFolder + "empty.yaml"), std::string::npos) << log;
  EXPECT_NE(log.find("    Invalid keyword"), std::string::npos) << log;
  EXPECT_NE(log.find("Failed to open file " + fx.userFolder + "unreadable.yaml"), std::string::npos) << log;
}

TEST(PresetManager, SelectIgnoresPositionsOutOfRange) {
  ManagerFixture fx;
  fx.factoryFile("a.yaml", "A");
  fx.factoryFile("b.yaml", "B");
  fx.userFile("c.yaml", "C");
  PresetManager& manager = fx.load();
  manager.select(0, 1);
  EXPECT_EQ(manager.currentProgramName(), "B");
  manager.select(5, 0);
  EXPECT_EQ(manager.currentListPosition(), 0u);
  EXPECT_EQ(manager.currentProgramName(), "B");
  manager.select(1, 9);  // the list changes, the program does not
  EXPECT_EQ(manager.currentListPosition(), 1u);
  EXPECT_EQ(manager.currentProgramPosition(), 1u);
  EXPECT_EQ(manager.currentProgramName(), "B");
  EXPECT_TRUE(manager.programsInList("no such list").empty());
}

TEST(PresetManager, ProjectPresetsJoinANewListAtTheEnd) {
  ManagerFixture fx;
  fx.factoryFile("a.yaml", "A");
  fx.userFile("Zed/z.yaml", "Z");
  PresetManager& manager = fx.load();
  const std::string chunk = presetText("From host", 0.25f);
  const auto* bytes = reinterpret_cast<const unsigned char*>(chunk.data());
  Program* first = manager.addProjectPreset(bytes, chunk.size());
  ASSERT_NE(first, nullptr) << fx.allMessages();
  EXPECT_EQ(manager.listNames().back(), kProjectPresetsList);
  EXPECT_EQ(manager.currentListPosition(), 2u);
  EXPECT_EQ(manager.currentProgramPosition(), 0u);
  EXPECT_TRUE(first->readOnly());
  EXPECT_EQ(&manager.currentProgram(), first);
  const std::string other = presetText("Another", 0.75f);
  ASSERT_NE(manager.addProjectPreset(reinterpret_cast<const unsigned char*>(other.data()), other.size()), nullptr);
  EXPECT_EQ(manager.programsInList(kProjectPresetsList).size(), 2u);
  EXPECT_EQ(manager.listNames().size(), 3u);
}

TEST(PresetManager, AChunkEqualToAProjectPresetMakesThatOneCurrentInsteadOfACopy) {
  ManagerFixture fx;
  fx.factoryFile("a.yaml", "A");
  PresetManager& manager = fx.load();
  auto add = [&](const std::string& text) {
    return manager.addProjectPreset(reinterpret_cast<const unsigned char*>(text.data()), text.size());
  };
  Program* first = add(presetText("From host", 0.25f));
  ASSERT_NE(first, nullptr);
  Program* second = add(presetText("Second", 0.5f));
  ASSERT_NE(second, nullptr);
  for (int i = 0; i < 1000; ++i) {
    ASSERT_EQ(add(presetText("From host", 0.25f)), first);
    ASSERT_EQ(add(presetText("Second", 0.5f)), second);
  }
  EXPECT_EQ(manager.programsInList(kProjectPresetsList).size(), 2u) << "a host setting the same states again";
  EXPECT_EQ(&manager.currentProgram(), second);
  EXPECT_EQ(manager.currentProgramPosition(), 1u);
  EXPECT_EQ(add(presetText("From host", 0.25f)), first);
  EXPECT_EQ(manager.currentProgramPosition(), 0u) << "the positions follow the reused preset";

  // Same name, other values; and a project preset edited since it came: both are new programs.
  EXPECT_NE(add(presetText("From host", 0.375f)), first);
  first->edit(12, 0.125f);
  EXPECT_NE(add(presetText("From host", 0.25f)), first) << "the edits of the earlier one are kept";
  EXPECT_EQ(names(manager, kProjectPresetsList),
            (std::vector<std::string>{"From host", "From host", "From host", "Second"}));
}

TEST(PresetManager, NewProjectPresetsKeepTheListInNameOrder) {
  ManagerFixture fx;
  PresetManager& manager = fx.load();
  for (const char* name : {"m", "B", "a", "Z", "b", "A", "m"}) {
    const std::string text = presetText(name, static_cast<float>(manager.programsInList(kProjectPresetsList).size()) / 8);
    Program* added = manager.addProjectPreset(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    ASSERT_NE(added, nullptr);
    const std::vector<Program*> list = manager.programsInList(kProjectPresetsList);
    EXPECT_EQ(list.at(manager.currentProgramPosition()), added) << name;
  }
  EXPECT_EQ(names(manager, kProjectPresetsList), (std::vector<std::string>{"a", "A", "B", "b", "m", "m", "Z"}))
      << "case-insensitive, equal names in the order they came";
}

TEST(PresetManager, ChunksThatAreNotPresetDocumentsChangeNothing) {
  ManagerFixture fx;
  PresetManager& manager = fx.load();
  const std::string bom = "\xEF\xBB\xBF" + presetText("X");
  const std::string broken = "---\nPreset: [\n";
  // The short chunks are copied into exactly sized buffers so a read beyond them is caught by
  // the sanitizer builds.
  for (const std::string& chunk : {std::string("--"), std::string("-"), bom, broken, std::string("--- ")}) {
    std::vector<unsigned char> exact(chunk.begin(), chunk.end());
    EXPECT_EQ(manager.addProjectPreset(exact.data(), exact.size()), nullptr) << chunk;
  }
  EXPECT_EQ(manager.addProjectPreset(nullptr, 0), nullptr);
  EXPECT_EQ(manager.listNames(), std::vector<std::string>{kInitList});
  EXPECT_EQ(manager.currentProgramName(), "Init");
}

TEST(PresetManager, SaveDialogTextsFollowTheCurrentProgram) {
  ManagerFixture fx;
  fx.factoryFile("a.yaml", "Organ");
  fx.userFile("m.yaml", "Mine");
  PresetManager& manager = fx.load();
  SaveDialogSetup setup = manager.saveDialogSetup();
  EXPECT_EQ(setup.prompt, "Save factory preset as user preset named:");
  EXPECT_EQ(setup.proposedName, "Organ user edit");
  EXPECT_FALSE(setup.overwriteEnabled);
  fx.choose(kUserPresetsList, "Mine").edit(3, 0.9f);
  setup = manager.saveDialogSetup();
  EXPECT_EQ(setup.prompt, "Save edited user preset as preset named:");
  EXPECT_EQ(setup.proposedName, "Mine");
  EXPECT_TRUE(setup.overwriteEnabled);
}

TEST(PresetManager, SavingAFactoryPresetMakesAUserCopyAndRevertsTheOriginal) {
  ManagerFixture fx;
  fx.factoryFile("a.yaml", "Organ");
  PresetManager& manager = fx.load();
  Program& organ = manager.currentProgram();
  organ.edit(12, 0.9f);
  const std::string proposed = manager.saveDialogSetup().proposedName;
  const SaveResult saved = manager.saveNewUserPreset(proposed);
  EXPECT_EQ(saved.outcome, SaveOutcome::Saved);
  EXPECT_EQ(saved.message, "New preset was saved with the name \"Organ user edit\"");
  const std::string file = fx.userFolder + "Organ user edit.yaml";
  ASSERT_TRUE(fs::exists(file));
  Program& copy = manager.currentProgram();
  EXPECT_NE(&copy, &organ);
  EXPECT_EQ(copy.name(), "Organ user edit");
  EXPECT_EQ(copy.filePath(), file);
  EXPECT_FALSE(copy.readOnly());
  EXPECT_FALSE(copy.edited());
  EXPECT_EQ(copy.initialValue(12), 0.9f);
  EXPECT_EQ(manager.listNames()[manager.currentListPosition()], kUserPresetsList);
  EXPECT_FALSE(organ.edited());
  EXPECT_EQ(organ.value(12), 0.5f);
  std::unique_ptr<Program> reread = fx.factory.readPresetFile(file);
  ASSERT_NE(reread, nullptr);
  EXPECT_EQ(reread->value(12), 0.9f);

  // The same name again is refused, from wherever it is asked.
  fx.choose(kFactoryPresetsList, "Organ");
  const SaveResult again = manager.saveNewUserPreset("Organ user edit");
  EXPECT_EQ(again.outcome, SaveOutcome::NameAlreadyUsed);
  EXPECT_EQ(again.message, "Name already used for different user preset. Please choose another name.");
  EXPECT_EQ(manager.programsInList(kUserPresetsList).size(), 1u);
}

TEST(PresetManager, SubfolderPresetNamesDoNotBlockTopLevelNames) {
  ManagerFixture fx;
  fx.userFile("Sub/a.yaml", "a");
  fx.factoryFile("f.yaml", "F");
  PresetManager& manager = fx.load();
  EXPECT_FALSE(manager.isUserPresetName("a"));
  EXPECT_EQ(manager.saveNewUserPreset("a").outcome, SaveOutcome::Saved);
  EXPECT_TRUE(manager.isUserPresetName("a"));
  EXPECT_FALSE(manager.isUserPresetName("A"));
  EXPECT_TRUE(fs::exists(fx.userFolder + "a.yaml"));
}

TEST(PresetManager, AnEmptyNameIsNotSavedBecauseItCouldNeverBeReadBack) {
  ManagerFixture fx;
  fx.factoryFile("f.yaml", "F");
  PresetManager& manager = fx.load();
  const SaveResult result = manager.saveNewUserPreset("");
  EXPECT_EQ(result.outcome, SaveOutcome::NameMissing);
  EXPECT_EQ(result.message, "Please enter a name for the preset.");
  EXPECT_TRUE(fs::is_empty(fx.userFolder)) << "a preset without a name fails to load next time";
  EXPECT_EQ(manager.currentProgram().name(), "F");
  // A name of spaces is written quoted and reads back as it was.
  ASSERT_EQ(manager.saveNewUserPreset("  ").outcome, SaveOutcome::Saved);
  EXPECT_EQ(fx.factory.readPresetFile(fx.userFolder + "  .yaml")->name(), "  ");
}

TEST(PresetManager, FileNamesAreTranslatedAndNumbered) {
  EXPECT_EQ(PresetManager::translateFileName("a\"b*c/d\\e:f<g>h?i|j\x01k\x7f"), "a'bxc%d%e;f[g]h!i!j^k^");
  EXPECT_EQ(PresetManager::translateFileName("Grüße"), "Gr@@@@e");
  ManagerFixture fx;
  PresetManager& manager = fx.load();
  ASSERT_EQ(manager.saveNewUserPreset("x/y:z?").outcome, SaveOutcome::Saved);
  ASSERT_EQ(manager.saveNewUserPreset("x\\y:z|").outcome, SaveOutcome::Saved);
  EXPECT_TRUE(fs::exists(fx.userFolder + "x%y;z!.yaml"));
  EXPECT_TRUE(fs::exists(fx.userFolder + "x%y;z!1.yaml"));
  EXPECT_EQ(PresetManager::chooseUserFileName(fx.userFolder, "x/y:z?"), fx.userFolder + "x%y;z!2.yaml");
  EXPECT_EQ(PresetManager::chooseUserFileName(fx.root.path() + "/Presets/User", "n"), fx.userFolder + "n.yaml");
  // A folder written with the Windows separator gets no second separator.
  EXPECT_EQ(PresetManager::chooseUserFileName("no-such-root\\Presets\\User\\", "n"), "no-such-root\\Presets\\User\\n.yaml");
  // Both names read back exactly from their files.
  EXPECT_EQ(fx.factory.readPresetFile(fx.userFolder + "x%y;z!1.yaml")->name(), "x\\y:z|");
}

TEST(PresetManager, UnchangedNameAsksBeforeOverwriting) {
  ManagerFixture fx;
  fx.userFile("m.yaml", "Mine", 0.5f);
  PresetManager& manager = fx.load();
  Program& mine = manager.currentProgram();
  mine.edit(12, 0.125f);
  const SaveResult ask = manager.saveNewUserPreset("Mine");
  EXPECT_EQ(ask.outcome, SaveOutcome::ConfirmOverwrite);
  EXPECT_EQ(ask.message, "Name hasn't changed, overwrite current preset?");
  EXPECT_TRUE(mine.edited());
  const SaveResult done = manager.overwriteCurrentPreset();
  EXPECT_EQ(done.outcome, SaveOutcome::Overwritten);
  EXPECT_EQ(done.message, "Preset \"Mine\" has been overwritten");
  EXPECT_FALSE(mine.edited());
  EXPECT_EQ(mine.initialValue(12), 0.125f);
  EXPECT_EQ(fx.factory.readPresetFile(fx.userFolder + "m.yaml")->value(12), 0.125f);
  EXPECT_EQ(manager.programsInList(kUserPresetsList).size(), 1u);
}

TEST(PresetManager, OverwritingAFactoryPresetIsRefusedOnStderr) {
  ManagerFixture fx;
  fx.factoryFile("a.yaml", "Organ");
  PresetManager& manager = fx.load();
  const std::string before = TempFolder::read(fx.factoryFolder + "a.yaml");
  manager.currentProgram().edit(1, 0.1f);
  testing::internal::CaptureStderr();
  const SaveResult result = manager.overwriteCurrentPreset();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Expecting a user preset here, not factory / project preset Organ\n");
  EXPECT_EQ(result.outcome, SaveOutcome::Refused);
  EXPECT_EQ(TempFolder::read(fx.factoryFolder + "a.yaml"), before);
  EXPECT_TRUE(manager.currentProgram().edited());
}

TEST(PresetManager, FailedSavesKeepTheEditsAndSayWhy) {
  ManagerFixture fx;
  fx.userFile("m.yaml", "Mine");
  PresetManager& manager = fx.load();
  Program& mine = manager.currentProgram();
  mine.edit(12, 0.3f);
  fs::remove_all(fx.userFolder);
  const SaveResult copy = manager.saveNewUserPreset("Other");
  EXPECT_EQ(copy.outcome, SaveOutcome::Failed);
  EXPECT_EQ(copy.message, "Failed to copy preset Other");
  const SaveResult overwrite = manager.overwriteCurrentPreset();
  EXPECT_EQ(overwrite.outcome, SaveOutcome::Failed);
  EXPECT_EQ(overwrite.message, "Failed to save preset Mine");
  EXPECT_TRUE(mine.edited());
  EXPECT_EQ(mine.value(12), 0.3f);
  EXPECT_EQ(manager.programsInList(kUserPresetsList).size(), 1u);
  EXPECT_NE(fx.allMessages().find("Failed to create preset file " + fx.userFolder + "Other.yaml for program Other"),
            std::string::npos);
}

TEST(PresetManager, CompareTogglesBetweenEditedAndOriginalValues) {
  ManagerFixture fx;
  fx.userFile("m.yaml", "Mine", 0.5f);
  PresetManager& manager = fx.load();
  manager.currentProgram().edit(12, 0.75f);
  EXPECT_EQ(manager.compareLabel(), "current");
  manager.toggleCompare();
  EXPECT_EQ(manager.compareLabel(), "original");
  EXPECT_EQ(manager.currentProgram().value(12), 0.5f);
  // Saving from compare mode saves the edited values.
  EXPECT_EQ(manager.overwriteCurrentPreset().outcome, SaveOutcome::Overwritten);
  EXPECT_EQ(manager.compareLabel(), "current");
  EXPECT_EQ(fx.factory.readPresetFile(fx.userFolder + "m.yaml")->value(12), 0.75f);
  manager.currentProgram().edit(12, 0.1f);
  manager.toggleCompare();
  manager.revert(manager.currentProgram());
  EXPECT_EQ(manager.currentProgram().value(12), 0.75f);
  EXPECT_EQ(manager.compareLabel(), "current") << "a reverted program has nothing to compare";
}

TEST(PresetManager, SwitchingProgramsKeepsEachProgramsEdits) {
  ManagerFixture fx;
  fx.factoryFile("a.yaml", "A");
  fx.factoryFile("b.yaml", "B");
  PresetManager& manager = fx.load();
  manager.currentProgram().edit(0, 0.9f);
  manager.select(0, 1);
  EXPECT_EQ(manager.currentProgram().value(0), 0.5f);
  manager.select(0, 0);
  EXPECT_EQ(manager.currentProgram().value(0), 0.9f);
  EXPECT_TRUE(manager.currentProgram().edited());
}

TEST(PresetManager, AThousandNestedPresetsLoad) {
  ManagerFixture fx;
  for (int i = 0; i < 1000; ++i) {
    const std::string folder = "Bank" + std::to_string(i % 10) + "/Sub" + std::to_string(i % 7) + "/";
    fx.root.write("Presets/" + std::string(i % 2 ? "User/" : "Factory/") + folder + "p" + std::to_string(i) + ".yaml",
                  presetText("P" + std::to_string(i), static_cast<float>(i) / 1000.0f));
  }
  const auto start = std::chrono::steady_clock::now();
  PresetManager& manager = fx.load();
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("1000 presets in nested folders loaded in %.1f ms\n", ms);
  EXPECT_TRUE(manager.allFilesLoaded()) << fx.allMessages();
  std::size_t total = 0;
  for (const std::string& list : manager.listNames()) total += manager.programsInList(list).size();
  EXPECT_EQ(total, 1000u);
  EXPECT_EQ(manager.listNames().size(), 7u);  // lists are named after the folder holding the file
  EXPECT_EQ(manager.listNames().front(), "Sub0");
  const std::vector<Program*> sub3 = manager.programsInList("Sub3");
  const auto p3 = std::find_if(sub3.begin(), sub3.end(), [](const Program* p) { return p->name() == "P3"; });
  ASSERT_NE(p3, sub3.end());
  EXPECT_FLOAT_EQ((*p3)->value(12), 0.003f);
  EXPECT_FALSE((*p3)->readOnly());
}

}  // namespace
