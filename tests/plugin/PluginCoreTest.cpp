// The plug-in core built as the entry point builds it, with a recording host: the editor's and
// the host's paths, and the audio thread against the preset lock.

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "Frameworks/Core/PluginToHostInterface.h"
#include "Frameworks/PresetManager/PresetManager.h"
#include "platform/DataFolders.h"
#include "source/editor/EditorCore.h"
#include "source/plugin/SkarvelPlugin.h"
#include "source/plugin/SkarvelPluginFactory.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct RecordingHost : core::PluginToHostInterface {
  std::vector<std::pair<int, float>> automations;
  int displayUpdates = 0;
  core::AEffGUIEditor* editor = nullptr;
  void setParameterAutomated(int id, float value) override { automations.emplace_back(id, value); }
  void updateDisplay() override { ++displayUpdates; }
  void setEditor(core::AEffGUIEditor* e) override { editor = e; }
  void beginEdit(int) override {}
  void endEdit(int) override {}
  bool canHostDo(const char*) override { return false; }
  bool sizeWindow(int, int) override { return false; }
};

std::string preset(const std::string& name, float level) {
  return "---\nPreset:\n  product: Skarvel\n  version: 1.0.0\n  format: 1\n  name: " + name +
         "\nParams:\n  Level: " + (level == 0.2f ? "0.2" : level == 0.8f ? "0.8" : "0.5") + "\n";
}

// A data root with the factory presets "Alpha" (Level 0.2) and "Beta" (Level 0.8), and the core
// built step by step as the entry point does.
class PluginCoreTest : public testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("skarvel-core-test-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "Presets/Factory");
    std::ofstream(root / "Presets/Factory/Alpha.yaml") << preset("Alpha", 0.2f);
    std::ofstream(root / "Presets/Factory/Beta.yaml") << preset("Beta", 0.8f);
    platform::setDataRootForTesting(root.string());

    factory = std::make_unique<skarvel::SkarvelPluginFactory>();
    factory->getDspEngine().registerParameters(factory->registry());
    plugin = static_cast<skarvel::SkarvelPlugin*>(&factory->createPlugin());
    plugin->attachHost(host);
    editor = plugin->skarvelEditor();
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(host.editor, editor);
    ASSERT_EQ(plugin->currentProgramName(), "Alpha");
  }
  void TearDown() override {
    factory.reset();
    platform::setDataRootForTesting("");
    fs::remove_all(root);
  }
  float engineValue(int id) { return factory->engine().getParameter(id); }

  fs::path root;
  RecordingHost host;
  std::unique_ptr<skarvel::SkarvelPluginFactory> factory;
  skarvel::SkarvelPlugin* plugin = nullptr;
  skarvel::EditorCore* editor = nullptr;
};

TEST_F(PluginCoreTest, AttachingSendsTheSelectedProgramToEngineAndEditor) {
  EXPECT_EQ(editor->parameterNotifications(), 36);
  for (int id = 0; id < 36; ++id) EXPECT_EQ(engineValue(id), plugin->presetManager().currentProgram().value(id)) << id;
  EXPECT_EQ(engineValue(3), 0.2f);
}

TEST_F(PluginCoreTest, EditorChangeTellsTheHostOnceAndNeverTheEditor) {
  const int before = editor->parameterNotifications();
  plugin->parameterChangedFromEditor(3, 0.3f);
  plugin->deliverEditorUpdates();
  ASSERT_EQ(host.automations.size(), 1u);
  EXPECT_EQ(host.automations[0], std::make_pair(3, 0.3f));
  EXPECT_EQ(editor->parameterNotifications(), before);
  EXPECT_EQ(engineValue(3), 0.3f);
  EXPECT_TRUE(plugin->presetManager().currentProgram().edited());

  // An id beyond the table is still reported to the host, and changes nothing else.
  plugin->parameterChangedFromEditor(36, 0.9f);
  EXPECT_EQ(host.automations.size(), 2u);
  EXPECT_EQ(plugin->parameterValue(36), 0.0f);
}

TEST_F(PluginCoreTest, HostChangeReachesTheEditorOnlyFromTheUserInterfaceThread) {
  const int before = editor->parameterNotifications();
  plugin->setParameterFromHost(5, 0.7f);
  EXPECT_EQ(engineValue(5), 0.7f) << "the sound follows at once";
  EXPECT_EQ(editor->parameterNotifications(), before) << "not called on the caller's thread";
  plugin->deliverEditorUpdates();
  EXPECT_EQ(editor->parameterNotifications(), before + 1);
  EXPECT_TRUE(host.automations.empty());
}

TEST_F(PluginCoreTest, EditorChoosingAProgramAsksTheHostToRefresh) {
  plugin->presetManager().select(0, 1);
  plugin->currentProgramChanged();
  EXPECT_EQ(host.displayUpdates, 1);
  EXPECT_EQ(engineValue(3), 0.8f);
  plugin->reapplyCurrentProgram();
  EXPECT_EQ(host.displayUpdates, 1) << "reapplying does not";
}

TEST_F(PluginCoreTest, ProgramChangeBeyondTheListResendsAndTellsThePositions) {
  const int programsBefore = editor->programNotifications();
  factory->engine().setParameter(3, 0.123f);
  plugin->programChange(3);
  EXPECT_EQ(plugin->currentProgramName(), "Alpha");
  EXPECT_EQ(engineValue(3), 0.2f) << "the current program's values were sent again";
  EXPECT_EQ(editor->programNotifications(), programsBefore) << "the editor hears of it on its own thread";
  plugin->deliverEditorUpdates();
  EXPECT_EQ(editor->programNotifications(), programsBefore + 1);
  EXPECT_EQ(editor->lastListIndex(), 0);
  EXPECT_EQ(editor->lastProgramIndex(), 0);
  EXPECT_EQ(host.displayUpdates, 0);
}

TEST_F(PluginCoreTest, AudioThreadNeverWaitsForThePresetLock) {
  std::unique_lock held(plugin->presetLock());  // the user-interface thread is changing the lists
  auto audio = std::async(std::launch::async, [&] {
    plugin->setParameterFromHost(3, 0.9f);
    plugin->programChange(1);
    plugin->beginAudioBlock();  // the lock is still taken: kept for later
  });
  const bool finished = audio.wait_for(5s) == std::future_status::ready;
  EXPECT_EQ(engineValue(3), 0.9f) << "the sound follows even while the lock is taken";
  held.unlock();
  audio.wait();
  ASSERT_TRUE(finished) << "the audio thread waited for the preset lock";
  EXPECT_EQ(plugin->currentProgramName(), "Alpha") << "nothing selected while the lists were busy";

  plugin->beginAudioBlock();  // the next block retries
  EXPECT_EQ(plugin->currentProgramName(), "Beta");
  EXPECT_EQ(engineValue(3), 0.8f);
  // The host's edit landed on the program that was current when it arrived.
  const auto alpha = plugin->presetManager().programsInList(presets::kFactoryPresetsList).at(0);
  EXPECT_EQ(alpha->name(), "Alpha");
  EXPECT_EQ(alpha->value(3), 0.9f);
  EXPECT_TRUE(alpha->edited());
}

TEST_F(PluginCoreTest, AcceptedChunkTellsTheEditorEveryValueAndThePositions) {
  const int values = editor->parameterNotifications();
  const int programs = editor->programNotifications();
  const std::string chunk = preset("Gamma", 0.8f);
  EXPECT_EQ(plugin->setChunk(chunk.data(), chunk.size()), 1);
  EXPECT_EQ(editor->parameterNotifications(), values + 36);
  EXPECT_EQ(editor->programNotifications(), programs + 1);
  const auto lists = plugin->presetManager().listNames();
  ASSERT_GT(editor->lastListIndex(), 0);
  EXPECT_EQ(lists.at(static_cast<std::size_t>(editor->lastListIndex())), presets::kProjectPresetsList);
  EXPECT_EQ(host.displayUpdates, 0);
}

TEST_F(PluginCoreTest, AudioAndUserInterfaceThreadsInterleaveSafely) {
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    for (int block = 0; !stop.load(); ++block) {
      plugin->beginAudioBlock();
      plugin->setParameterFromHost(block % 36, static_cast<float>(block % 100) / 100.0f);
      if (block % 7 == 0) plugin->programChange(block % 3);
      if (block % 50 == 0) std::this_thread::yield();
    }
  });
  for (int i = 0; i < 300; ++i) {
    const std::string chunk = preset("Chunk " + std::to_string(i), i % 2 ? 0.2f : 0.8f);
    EXPECT_EQ(plugin->setChunk(chunk.data(), chunk.size()), 1);
    const char* data = nullptr;
    EXPECT_GT(plugin->getChunk(&data), 0u);
    plugin->deliverEditorUpdates();
  }
  stop = true;
  audio.join();
  plugin->beginAudioBlock();
  plugin->beginAudioBlock();
  // What the host reads back is what the current program holds.
  for (int id = 0; id < 36; ++id)
    EXPECT_EQ(plugin->parameterValue(id), plugin->presetManager().currentProgram().value(id)) << id;
}

TEST_F(PluginCoreTest, DisplayTextForTheEditorIsTheEngineText) {
  plugin->setParameterFromHost(0, 0.5f);
  char text[128];
  plugin->getParameterDisplayText(0, text, sizeof text);
  EXPECT_STREQ(text, "474.34");
  char small[4];
  plugin->getParameterDisplayText(0, small, sizeof small);
  EXPECT_STREQ(small, "474");
  plugin->getParameterDisplayText(36, text, sizeof text);
  EXPECT_STREQ(text, "");
}

TEST_F(PluginCoreTest, OldBankConversionReportsThroughTheCore) {
  std::vector<std::string> report;
  plugin->convertOldBanks((root / "missing.fxb").string(), report);
  ASSERT_EQ(report.size(), 3u);
  EXPECT_EQ(report[0], "Converting presets from the selected file:");
  EXPECT_EQ(report[2], "Could not read anything from the selected file.");
}

}  // namespace
