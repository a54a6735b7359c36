// The plug-in core on Skarvel's engine, built in the entry point's order, between a recording
// host and a recording editor: the editor's and the host's paths, and the audio thread against
// the preset lock.

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
#include "Frameworks/Core/Plugin/PluginCore.h"
#include "source/VstSynth.h"
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

// Records what the core tells the editor.
struct RecordingEditor : core::AEffGUIEditor {
  int values = 0;
  int programs = 0;
  int lastList = -1;
  int lastProgram = -1;
  core::EditorRect rect{};
  bool getRect(core::EditorRect** r) override {
    *r = &rect;
    return true;
  }
  bool open(void*) override { return false; }
  void close() override {}
  void idle() override {}
  bool isOpen() const override { return false; }
  void setParameterFromHost(int, float) override { ++values; }
  void programChanged(int list, int program) override {
    ++programs;
    lastList = list;
    lastProgram = program;
  }
};

class RecordingPlugin : public core::PluginCore {
 public:
  using core::PluginCore::PluginCore;
  ~RecordingPlugin() override { detachEditor(); }
  core::AEffGUIEditor* createEditor(core::PluginToHostInterface&) override {
    editor = std::make_unique<RecordingEditor>();
    return editor.get();
  }
  void editorHook() override {}
  std::unique_ptr<RecordingEditor> editor;
};

// Skarvel's description, registry and engine with the recording plug-in core.
class TestFactory : public core::PluginFactory {
 public:
  TestFactory() : engine(scope) { engine.registerParameters(registry); }
  ~TestFactory() override { plugin.reset(); }
  core::DspEngine& getDspEngine() override { return engine; }
  core::PluginCore& createPlugin() override {
    plugin = std::make_unique<RecordingPlugin>(description, registry, engine, *this);
    return *plugin;
  }

  core::PluginDescription description = skarvel::SkarvelPluginFactory::skarvelDescription();
  core::Parameters registry;
  core::ScopePeakExchange scope;
  skarvel::VstSynth engine;
  std::unique_ptr<RecordingPlugin> plugin;
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

    factory = std::make_unique<TestFactory>();
    plugin = static_cast<RecordingPlugin*>(&factory->createPlugin());
    plugin->attachHost(host);
    editor = plugin->editor.get();
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(host.editor, editor);
    ASSERT_EQ(plugin->currentProgramName(), "Alpha");
  }
  void TearDown() override {
    factory.reset();
    platform::setDataRootForTesting("");
    fs::remove_all(root);
  }
  float engineValue(int id) { return factory->engine.getParameter(id); }

  fs::path root;
  RecordingHost host;
  std::unique_ptr<TestFactory> factory;
  RecordingPlugin* plugin = nullptr;
  RecordingEditor* editor = nullptr;
};

TEST_F(PluginCoreTest, AttachingSendsTheSelectedProgramToEngineAndEditor) {
  EXPECT_EQ(editor->values, 36);
  for (int id = 0; id < 36; ++id) EXPECT_EQ(engineValue(id), plugin->presetManager().currentProgram().value(id)) << id;
  EXPECT_EQ(engineValue(3), 0.2f);
}

TEST_F(PluginCoreTest, EditorChangeTellsTheHostOnceAndNeverTheEditor) {
  const int before = editor->values;
  plugin->parameterChangedFromEditor(3, 0.3f);
  plugin->deliverEditorUpdates();
  ASSERT_EQ(host.automations.size(), 1u);
  EXPECT_EQ(host.automations[0], std::make_pair(3, 0.3f));
  EXPECT_EQ(editor->values, before);
  EXPECT_EQ(engineValue(3), 0.3f);
  EXPECT_TRUE(plugin->presetManager().currentProgram().edited());

  // An id beyond the table is still reported to the host, and changes nothing else.
  plugin->parameterChangedFromEditor(36, 0.9f);
  EXPECT_EQ(host.automations.size(), 2u);
  EXPECT_EQ(plugin->parameterValue(36), 0.0f);
}

TEST_F(PluginCoreTest, HostChangeReachesTheEditorOnlyFromTheUserInterfaceThread) {
  const int before = editor->values;
  plugin->setParameterFromHost(5, 0.7f);
  EXPECT_EQ(engineValue(5), 0.7f) << "the sound follows at once";
  EXPECT_EQ(editor->values, before) << "not called on the caller's thread";
  plugin->deliverEditorUpdates();
  EXPECT_EQ(editor->values, before + 1);
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

TEST_F(PluginCoreTest, WhileComparingTheHostReadsTheEditedValues) {
  plugin->setParameterFromHost(3, 0.6f);
  plugin->presetManager().toggleCompare();  // the program presents its original values
  plugin->reapplyCurrentProgram();
  EXPECT_EQ(engineValue(3), 0.2f) << "the original sounds";
  EXPECT_EQ(plugin->parameterValue(3), 0.6f) << "a host that reads and writes back keeps the edit";
  factory->engine.setSampleRate(48000.0);
  EXPECT_EQ(engineValue(3), 0.2f) << "a sample-rate change resends what was sounding";
}

TEST_F(PluginCoreTest, ProgramChangeBeyondTheListResendsAndTellsThePositions) {
  const int programsBefore = editor->programs;
  factory->engine.setParameter(3, 0.123f);
  plugin->programChange(3);
  EXPECT_EQ(plugin->currentProgramName(), "Alpha");
  EXPECT_EQ(engineValue(3), 0.2f) << "the current program's values were sent again";
  EXPECT_EQ(editor->programs, programsBefore) << "the editor hears of it on its own thread";
  plugin->deliverEditorUpdates();
  EXPECT_EQ(editor->programs, programsBefore + 1);
  EXPECT_EQ(editor->lastList, 0);
  EXPECT_EQ(editor->lastProgram, 0);
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
  const int values = editor->values;
  const int programs = editor->programs;
  const std::string chunk = preset("Gamma", 0.8f);
  EXPECT_EQ(plugin->setChunk(chunk.data(), chunk.size()), 1);
  EXPECT_EQ(editor->values, values + 36);
  EXPECT_EQ(editor->programs, programs + 1);
  const auto lists = plugin->presetManager().listNames();
  ASSERT_GT(editor->lastList, 0);
  EXPECT_EQ(lists.at(static_cast<std::size_t>(editor->lastList)), presets::kProjectPresetsList);
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
