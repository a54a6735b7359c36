// The core's named state (the program's document with its list and position) and the "Init"
// start, on Skarvel's real factory, core and engine over a data root of its own.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "Frameworks/Core/PluginToHostInterface.h"
#include "Frameworks/PresetManager/PresetManager.h"
#include "Frameworks/PresetManager/Program.h"
#include "common/TempFolderName.h"
#include "platform/DataFolders.h"
#include "source/plugin/SkarvelPlugin.h"
#include "source/plugin/SkarvelPluginFactory.h"

namespace {

namespace fs = std::filesystem;

struct SilentHost : core::PluginToHostInterface {
  void setParameterAutomated(int, float) override {}
  void updateDisplay() override {}
  void setEditor(core::AEffGUIEditor*) override {}
  void beginEdit(int) override {}
  void endEdit(int) override {}
  bool canHostDo(const char*) override { return false; }
  bool sizeWindow(int, int) override { return false; }
};

std::string preset(const std::string& name, const std::string& level) {
  return "---\nPreset:\n  product: Skarvel\n  version: 1.0.0\n  format: 1\n  name: " + name + "\nParams:\n  Level: " +
         level + "\n";
}

// One plug-in instance, built as the entry points build it.
struct Instance {
  Instance() {
    factory.getDspEngine().registerParameters(factory.registry());
    core = &factory.createPlugin();
    core->attachHost(host);
  }
  ~Instance() { core->detachEditor(); }
  std::string currentList() {
    return core->presetManager().listNames().at(core->presetManager().currentListPosition());
  }
  SilentHost host;
  skarvel::SkarvelPluginFactory factory;
  core::PluginCore* core = nullptr;
};

// Factory presets "Alpha" (Level 0.2), "Beta" (0.8) and, in the subfolder "Bank", "Gamma".
class ProgramStateTest : public testing::Test {
 protected:
  void SetUp() override {
    root = makeTempFolder("skarvel-state-test-");
    ASSERT_FALSE(root.empty());
    fs::create_directories(root / "Presets/Factory/Bank");
    std::ofstream(root / "Presets/Factory/Alpha.yaml") << preset("Alpha", "0.2");
    std::ofstream(root / "Presets/Factory/Beta.yaml") << preset("Beta", "0.8");
    std::ofstream(root / "Presets/Factory/Bank/Gamma.yaml") << preset("Gamma", "0.3");
    platform::setDataRootForTesting(root.string());
  }
  void TearDown() override {
    platform::setDataRootForTesting("");
    fs::remove_all(root);
  }
  fs::path root;
};

TEST_F(ProgramStateTest, StateIsTheChunkDocumentWithListAndPosition) {
  Instance instance;
  instance.core->selectProgram(0, 1);  // «Factory presets», Beta
  const core::PluginCore::ProgramState state = instance.core->programState();
  const char* chunk = nullptr;
  const std::size_t size = instance.core->getChunk(&chunk);
  EXPECT_EQ(state.document, std::string(chunk, size));
  EXPECT_EQ(state.listName, presets::kFactoryPresetsList);
  EXPECT_EQ(state.position, 1u);
}

TEST_F(ProgramStateTest, UneditedPresetComesBackAsItselfNotAsAProjectPreset) {
  Instance saved;
  saved.core->presetManager().select(0, 1);
  const core::PluginCore::ProgramState state = saved.core->programState();

  Instance restored;
  ASSERT_EQ(restored.core->restoreProgramState(state), 1);
  EXPECT_EQ(restored.core->currentProgramName(), "Beta");
  EXPECT_EQ(restored.currentList(), presets::kFactoryPresetsList);
  EXPECT_FALSE(restored.core->presetManager().currentProgram().edited());
  EXPECT_FLOAT_EQ(restored.core->parameterValue(3), 0.8f);
  EXPECT_TRUE(restored.core->presetManager().programsInList(presets::kProjectPresetsList).empty());
}

TEST_F(ProgramStateTest, PresetIsFoundInItsListWhenItsPositionMoved) {
  Instance saved;
  const auto lists = saved.core->presetManager().listNames();
  const std::size_t bank = static_cast<std::size_t>(std::find(lists.begin(), lists.end(), "Bank") - lists.begin());
  saved.core->presetManager().select(bank, 0);
  core::PluginCore::ProgramState state = saved.core->programState();
  state.position = 7;  // a list that has since gained or lost presets

  Instance restored;
  ASSERT_EQ(restored.core->restoreProgramState(state), 1);
  EXPECT_EQ(restored.core->currentProgramName(), "Gamma");
  EXPECT_EQ(restored.currentList(), "Bank");
}

TEST_F(ProgramStateTest, EditedPresetComesBackEditedWithItsOriginalAtHand) {
  Instance saved;
  saved.core->parameterChangedFromEditor(3, 0.55f);  // Alpha, edited
  const core::PluginCore::ProgramState state = saved.core->programState();

  Instance restored;
  ASSERT_EQ(restored.core->restoreProgramState(state), 1);
  EXPECT_EQ(restored.currentList(), presets::kFactoryPresetsList);
  presets::Program& program = restored.core->presetManager().currentProgram();
  EXPECT_EQ(program.name(), "Alpha");
  EXPECT_TRUE(program.edited());
  EXPECT_FLOAT_EQ(restored.core->parameterValue(3), 0.55f);
  EXPECT_FLOAT_EQ(restored.factory.engine().getParameter(3), 0.55f);
  EXPECT_FLOAT_EQ(program.initialValue(3), 0.2f);
  EXPECT_EQ(restored.core->programState().document, state.document);
}

TEST_F(ProgramStateTest, ProgramMissingFromItsListBecomesAProjectPreset) {
  Instance saved;
  core::PluginCore::ProgramState elsewhere = saved.core->programState();
  elsewhere.listName = "No such list";
  const std::string renamed = preset("Delta", "0.3");

  for (const core::PluginCore::ProgramState& state :
       {elsewhere, core::PluginCore::ProgramState{renamed, presets::kFactoryPresetsList, 0}}) {
    Instance restored;
    ASSERT_EQ(restored.core->restoreProgramState(state), 1);
    EXPECT_EQ(restored.currentList(), presets::kProjectPresetsList);
    // The factory presets keep their own values.
    for (const presets::Program* program : restored.core->presetManager().programsInList(presets::kFactoryPresetsList))
      EXPECT_FALSE(program->edited()) << program->name();
  }
}

TEST_F(ProgramStateTest, DocumentThatIsNoPresetIsRefusedAndChangesNothing) {
  Instance instance;
  const std::string before = instance.core->programState().document;
  for (const std::string& document : {std::string(""), std::string("--\nPreset:\n"), std::string("---\n[1, 2]\n")}) {
    EXPECT_EQ(instance.core->restoreProgramState({document, presets::kFactoryPresetsList, 0}), 0) << document;
    EXPECT_EQ(instance.core->programState().document, before);
  }
}

TEST_F(ProgramStateTest, InitProgramHoldsEveryDefaultAndIsMadeOnlyOnce) {
  Instance instance;
  instance.core->selectInitProgram();
  instance.core->selectInitProgram();
  EXPECT_EQ(instance.core->currentProgramName(), "Init");
  EXPECT_EQ(instance.currentList(), presets::kInitList);
  EXPECT_EQ(instance.core->presetManager().programsInList(presets::kInitList).size(), 1u);
  const core::Parameters& registry = instance.factory.registry();
  for (int id = 0; id < 36; ++id) {
    EXPECT_EQ(instance.core->parameterValue(id), registry.definition(static_cast<std::uint64_t>(id)).defaultValue) << id;
    EXPECT_EQ(instance.factory.engine().getParameter(id), registry.definition(static_cast<std::uint64_t>(id)).defaultValue)
        << id;
  }
}

}  // namespace
