// The plug-in core on Skarvel's engine, built in the entry point's order, between a recording
// host and a recording editor: the editor's and the host's paths, and the audio thread against
// the preset lock.

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <map>
#include <mutex>
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
  int gestures = 0;  // begin and end edit
  core::AEffGUIEditor* editor = nullptr;
  void setParameterAutomated(int id, float value) override { automations.emplace_back(id, value); }
  void updateDisplay() override { ++displayUpdates; }
  void setEditor(core::AEffGUIEditor* e) override { editor = e; }
  void beginEdit(int) override { ++gestures; }
  void endEdit(int) override { ++gestures; }
  bool canHostDo(const char*) override { return false; }
  bool sizeWindow(int, int) override { return false; }
};

// Records what the core tells the editor.
struct RecordingEditor : core::AEffGUIEditor {
  int values = 0;
  int programs = 0;
  int lastList = -1;
  int lastProgram = -1;
  std::map<int, float> shown;  // the last value per id
  core::EditorRect rect{};
  bool getRect(core::EditorRect** r) override {
    *r = &rect;
    return true;
  }
  bool open(void*) override { return false; }
  void close() override {}
  void idle() override {}
  bool isOpen() const override { return false; }
  void setParameterFromHost(int id, float value) override {
    ++values;
    shown[id] = value;
  }
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

// Skarvel's engine, with a hook on every parameter value it is handed (tests use it to act in the
// middle of the core's own operations).
class HookedSynth : public skarvel::VstSynth {
 public:
  using skarvel::VstSynth::VstSynth;
  void setParameter(int id, float value) override {
    skarvel::VstSynth::setParameter(id, value);
    if (onSetParameter) std::exchange(onSetParameter, nullptr)(id, value);
  }
  std::function<void(int, float)> onSetParameter;  // called once, then cleared
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
  HookedSynth engine;
  std::unique_ptr<RecordingPlugin> plugin;
};

std::string preset(const std::string& name, float level) {
  return "---\nPreset:\n  product: Skarvel\n  version: 1.0.0\n  format: 1\n  name: " + name +
         "\nParams:\n  Level: " + (level == 0.2f ? "0.2" : level == 0.8f ? "0.8" : "0.5") + "\n";
}

// A data root with the factory presets "Alpha" (Level 0.2) and "Beta" (Level 0.8), the user
// preset "Mine" (Level 0.5), and the core built step by step as the entry point does.
class PluginCoreTest : public testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("skarvel-core-test-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "Presets/Factory");
    std::ofstream(root / "Presets/Factory/Alpha.yaml") << preset("Alpha", 0.2f);
    std::ofstream(root / "Presets/Factory/Beta.yaml") << preset("Beta", 0.8f);
    fs::create_directories(root / "Presets/User");
    std::ofstream(root / "Presets/User/Mine.yaml") << preset("Mine", 0.5f);
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
  std::string chunk() {
    const char* data = nullptr;
    const std::size_t size = plugin->getChunk(&data);
    return std::string(data, size);
  }
  // Level as the chunk holds it.
  float chunkLevel() {
    const std::string text = chunk();
    const std::size_t at = text.find("\n  Level: ");
    return at == std::string::npos ? -1.0f : std::stof(text.substr(at + 10));
  }
  presets::Program& program(const std::string& list, std::size_t position) {
    return *plugin->presetManager().programsInList(list).at(position);
  }
  // Everything that reads Level agrees on `value`: engine, host, editor and chunk.
  void expectLevelEverywhere(float value, const std::string& where) {
    plugin->deliverUpdates();
    EXPECT_EQ(engineValue(3), value) << where;
    EXPECT_EQ(plugin->parameterValue(3), value) << where;
    EXPECT_EQ(editor->shown[3], value) << where;
    EXPECT_EQ(chunkLevel(), value) << where;
  }

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
  plugin->deliverUpdates();
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
  plugin->deliverUpdates();
  EXPECT_EQ(editor->values, before + 1);
  EXPECT_TRUE(host.automations.empty());
}

TEST_F(PluginCoreTest, EditorChoosingAProgramAsksTheHostToRefresh) {
  plugin->selectProgram(0, 1);
  EXPECT_EQ(host.displayUpdates, 1);
  EXPECT_EQ(engineValue(3), 0.8f);
}

TEST_F(PluginCoreTest, ProgramChangeBeyondTheListResendsAndTellsThePositions) {
  const int programsBefore = editor->programs;
  factory->engine.setParameter(3, 0.123f);
  plugin->programChange(3);
  EXPECT_EQ(plugin->currentProgramName(), "Alpha");
  EXPECT_EQ(engineValue(3), 0.2f) << "the current program's values were sent again";
  EXPECT_EQ(editor->programs, programsBefore) << "the editor hears of it on its own thread";
  plugin->deliverUpdates();
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
  EXPECT_EQ(editor->values, values) << "the chunk may come on any thread: the editor hears of it at its idle";
  plugin->deliverUpdates();
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
    plugin->deliverUpdates();
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

// --- a program change that had to wait, and the edits around it ---------------------------

TEST_F(PluginCoreTest, AnEditAfterAProgramChangeThatWaitedLandsOnTheNewProgram) {
  {
    std::unique_lock held(plugin->presetLock());
    auto audio = std::async(std::launch::async, [&] {
      plugin->programChange(1);               // waits for the lock's next holder
      plugin->setParameterFromHost(3, 0.9f);  // the host automates the program it now hears
      plugin->beginAudioBlock();
    });
    ASSERT_EQ(audio.wait_for(5s), std::future_status::ready) << "the audio thread waited for the preset lock";
  }
  plugin->beginAudioBlock();
  EXPECT_EQ(plugin->currentProgramName(), "Beta");
  EXPECT_EQ(program(presets::kFactoryPresetsList, 1).value(3), 0.9f);
  EXPECT_TRUE(program(presets::kFactoryPresetsList, 1).edited());
  EXPECT_FALSE(program(presets::kFactoryPresetsList, 0).edited()) << "the program left behind keeps its values";
  EXPECT_EQ(program(presets::kFactoryPresetsList, 0).value(3), 0.2f);
  EXPECT_EQ(engineValue(3), 0.9f) << "the program's values did not overwrite the later edit";
  EXPECT_EQ(plugin->parameterValue(3), 0.9f);
}

TEST_F(PluginCoreTest, AHostEditOnAnotherThreadRecordsAWaitingProgramChangeFirst) {
  {
    std::unique_lock held(plugin->presetLock());
    std::async(std::launch::async, [&] { plugin->programChange(1); }).wait();
  }
  // No block ran since: the user-interface thread's edit finds the lock free.
  plugin->setParameterFromHost(5, 0.7f);
  EXPECT_EQ(plugin->currentProgramName(), "Beta");
  EXPECT_EQ(program(presets::kFactoryPresetsList, 1).value(5), 0.7f);
  EXPECT_FALSE(program(presets::kFactoryPresetsList, 0).edited());
  EXPECT_EQ(engineValue(5), 0.7f);
}

TEST_F(PluginCoreTest, ChangesBeyondTheQueueKeepTheNewestValues) {
  constexpr int kMany = static_cast<int>(core::PendingChanges::kCapacity) + 500;
  {
    std::unique_lock held(plugin->presetLock());
    std::async(std::launch::async, [&] {
      for (int i = 0; i < kMany; ++i) plugin->setParameterFromHost(i % 4, static_cast<float>(i) / kMany);
      plugin->programChange(1);
      plugin->setParameterFromHost(5, 0.7f);
    }).wait();
  }
  plugin->beginAudioBlock();
  EXPECT_EQ(plugin->currentProgramName(), "Beta");
  EXPECT_EQ(program(presets::kFactoryPresetsList, 1).value(5), 0.7f);
  for (int id = 0; id < 4; ++id) {
    const float newest = static_cast<float>(kMany - 4 + id) / kMany;
    EXPECT_EQ(plugin->parameterValue(id), newest) << id;
    EXPECT_EQ(engineValue(id), newest) << id;
    EXPECT_EQ(plugin->presetManager().currentProgram().value(id), newest) << id;
  }
}

TEST(PendingChanges, ManyWritersKeepEachWritersOrderAndLoseNothing) {
  core::PendingChanges pending;
  std::mutex lock;
  std::vector<std::vector<int>> seen(2);
  std::atomic<bool> done{false};
  auto writer = [&](int which) {
    for (int i = 0; i < 3000; ++i) {
      pending.addEdit(which, static_cast<float>(i));
      if (i % 64 == 0) std::this_thread::yield();
    }
  };
  auto drain = [&] {
    std::lock_guard held(lock);
    pending.drain([&](const core::PendingChanges::Change& change) {
      seen[static_cast<std::size_t>(change.index)].push_back(static_cast<int>(change.value));
    });
  };
  std::thread reader([&] {
    while (!done.load()) drain();
  });
  std::thread first(writer, 0), second(writer, 1);
  first.join();
  second.join();
  done = true;
  reader.join();
  drain();
  EXPECT_FALSE(pending.any());
  for (const std::vector<int>& values : seen) {
    // Beyond the ring only the newest value of a parameter is kept; what arrives is in order
    // and ends with the last value written.
    ASSERT_FALSE(values.empty());
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    EXPECT_EQ(values.back(), 2999);
  }
}

// --- one value set while comparing ------------------------------------------------------

TEST_F(PluginCoreTest, ComparingGivesHostEngineEditorAndChunkTheStoredValues) {
  plugin->setParameterFromHost(3, 0.6f);
  expectLevelEverywhere(0.6f, "edited");
  host.automations.clear();
  plugin->toggleCompare();
  EXPECT_TRUE(plugin->presetStatus().comparing);
  expectLevelEverywhere(0.2f, "comparing");
  EXPECT_EQ(host.automations, (std::vector<std::pair<int, float>>{{3, 0.2f}})) << "the host re-reads what is heard";
  factory->engine.setSampleRate(48000.0);
  EXPECT_EQ(engineValue(3), 0.2f) << "a sample-rate change resends what was sounding";
  plugin->toggleCompare();
  expectLevelEverywhere(0.6f, "back to the edits");
}

TEST_F(PluginCoreTest, AHostWritingBackWhatItReadsKeepsTheComparisonAndTheEdits) {
  plugin->setParameterFromHost(3, 0.6f);
  plugin->toggleCompare();
  for (int id = 0; id < 36; ++id) plugin->setParameterFromHost(id, plugin->parameterValue(id));
  EXPECT_TRUE(plugin->presetStatus().comparing);
  plugin->toggleCompare();
  expectLevelEverywhere(0.6f, "the edit survived");
}

TEST_F(PluginCoreTest, AnEditWhileComparingEndsTheComparisonWithTheEditsBack) {
  for (const bool fromEditor : {false, true}) {
    plugin->setParameterFromHost(3, 0.6f);
    plugin->toggleCompare();
    plugin->deliverUpdates();
    host.automations.clear();
    if (fromEditor) plugin->parameterChangedFromEditor(5, fromEditor ? 0.25f : 0.75f);
    else plugin->setParameterFromHost(5, 0.75f);
    EXPECT_FALSE(plugin->presetStatus().comparing) << fromEditor;
    expectLevelEverywhere(0.6f, fromEditor ? "editor edit" : "host edit");
    EXPECT_EQ(engineValue(5), fromEditor ? 0.25f : 0.75f);
    EXPECT_EQ(program(presets::kFactoryPresetsList, 0).value(5), fromEditor ? 0.25f : 0.75f);
    EXPECT_NE(std::find(host.automations.begin(), host.automations.end(), std::make_pair(3, 0.6f)),
              host.automations.end())
        << "the host re-reads the edits that came back";
  }
}

TEST_F(PluginCoreTest, OverwritingWhileComparingPlaysAndShowsWhatWasSaved) {
  plugin->selectProgram(1, 0);
  ASSERT_EQ(plugin->currentProgramName(), "Mine");
  plugin->setParameterFromHost(3, 0.6f);
  plugin->toggleCompare();
  expectLevelEverywhere(0.5f, "comparing");
  EXPECT_EQ(plugin->overwriteCurrentPreset().outcome, presets::SaveOutcome::Overwritten);
  const core::PresetStatus status = plugin->presetStatus();
  EXPECT_FALSE(status.comparing);
  EXPECT_FALSE(status.edited);
  expectLevelEverywhere(0.6f, "after the overwrite");
  std::ifstream file(root / "Presets/User/Mine.yaml");
  const std::string written((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_NE(written.find("  Level: 0.6\n"), std::string::npos) << written;
}

TEST_F(PluginCoreTest, SavingANewPresetWhileComparingPlaysWhatWasSaved) {
  plugin->setParameterFromHost(3, 0.6f);
  plugin->toggleCompare();
  EXPECT_EQ(plugin->saveNewUserPreset("Copy").outcome, presets::SaveOutcome::Saved);
  EXPECT_EQ(plugin->currentProgramName(), "Copy");
  EXPECT_FALSE(plugin->presetStatus().comparing);
  expectLevelEverywhere(0.6f, "the copy");
  plugin->selectProgram(0, 0);
  EXPECT_FALSE(plugin->presetStatus().comparing) << "the reverted original has nothing to compare";
  expectLevelEverywhere(0.2f, "the original");
}

TEST_F(PluginCoreTest, AProjectSavedWhileComparingReloadsToWhatWasHeard) {
  plugin->setParameterFromHost(3, 0.6f);
  plugin->toggleCompare();
  const std::string saved = chunk();
  TestFactory other;
  auto& restored = static_cast<RecordingPlugin&>(other.createPlugin());
  RecordingHost otherHost;
  restored.attachHost(otherHost);
  ASSERT_EQ(restored.setChunk(saved.data(), saved.size()), 1);
  for (int id = 0; id < 36; ++id) {
    EXPECT_EQ(restored.parameterValue(id), plugin->parameterValue(id)) << id;
    EXPECT_EQ(other.engine.getParameter(id), engineValue(id)) << id;
  }
  EXPECT_EQ(restored.parameterValue(3), 0.2f);
}

// --- host calls from any thread ---------------------------------------------------------

TEST_F(PluginCoreTest, CallsThatMayComeFromTheAudioThreadNeverWaitForThePresetLock) {
  std::unique_lock held(plugin->presetLock());
  auto audio = std::async(std::launch::async, [&] {
    std::string seen = plugin->currentProgramName();
    seen += " " + std::to_string(plugin->parameterValue(3));
    plugin->setParameterFromHost(3, 0.9f);
    plugin->programChange(1);
    plugin->beginAudioBlock();
    return seen;
  });
  ASSERT_EQ(audio.wait_for(5s), std::future_status::ready) << "a call waited for the preset lock";
  EXPECT_EQ(audio.get(), "Alpha " + std::to_string(0.2f));
}

TEST_F(PluginCoreTest, ChunksHandedToOneThreadStayWhileOthersAskAndSetState) {
  std::atomic<bool> stop{false};
  std::atomic<int> broken{0};
  auto reader = [&] {
    while (!stop.load()) {
      const char* data = nullptr;
      const std::size_t size = plugin->getChunk(&data);
      // Copied as a host would, while the other threads ask for and replace the state.
      const std::string copy(data, size);
      if (copy.compare(0, 4, "---\n") != 0 || copy.back() != '\n' || copy.find("\nParams:\n") == std::string::npos)
        ++broken;
      if (plugin->currentProgramName().empty()) ++broken;
    }
  };
  std::thread first(reader), second(reader);
  for (int i = 0; i < 400; ++i) {
    const std::string text = preset("Chunk " + std::to_string(i % 5), i % 2 ? 0.2f : 0.8f);
    ASSERT_EQ(plugin->setChunk(text.data(), text.size()), 1);
  }
  stop = true;
  first.join();
  second.join();
  EXPECT_EQ(broken.load(), 0);
  EXPECT_EQ(plugin->presetManager().programsInList(presets::kProjectPresetsList).size(), 10u)
      << "five names with two values each, set again and again";
}

TEST_F(PluginCoreTest, TheSameChunkAgainIsTheSameBuffer) {
  const char* first = nullptr;
  const char* second = nullptr;
  const std::size_t size = plugin->getChunk(&first);
  plugin->getChunk(&second);
  EXPECT_EQ(first, second);
  plugin->setParameterFromHost(3, 0.6f);
  plugin->getChunk(&second);
  EXPECT_NE(first, second);
  EXPECT_NE(std::string(first, size).find("  Level: 0.2\n"), std::string::npos) << "the earlier text is still there";
}

TEST_F(PluginCoreTest, AHostEditThatArrivesWhileAStateIsTakenBackReachesTheProgramAndTheEngine) {
  // The audio thread's edit comes while the user-interface thread holds the preset lock to apply
  // the state: it waits in the queue while the state's values go out, and is the newest word.
  const std::string beta = preset("Beta", 0.8f);
  const std::vector<std::pair<std::string, std::function<int()>>> restores = {
      {"chunk", [&] { return plugin->setChunk(beta.data(), beta.size()); }},
      {"named state", [&] { return plugin->restoreProgramState({beta, presets::kFactoryPresetsList, 1}); }}};
  for (const auto& [what, restore] : restores) {
    factory->engine.onSetParameter = [&](int, float) {
      std::thread([&] { plugin->setParameterFromHost(3, 0.9f); }).join();
    };
    ASSERT_EQ(restore(), 1) << what;
    EXPECT_EQ(plugin->currentProgramName(), "Beta") << what;
    EXPECT_EQ(plugin->presetManager().currentProgram().value(3), 0.9f) << what;
    EXPECT_EQ(plugin->parameterValue(3), 0.9f) << what;
    EXPECT_EQ(engineValue(3), 0.9f) << what;
    plugin->beginAudioBlock();
    plugin->deliverUpdates();
    EXPECT_EQ(engineValue(3), 0.9f) << what;
    EXPECT_EQ(editor->shown[3], 0.9f) << what;
    EXPECT_EQ(chunkLevel(), 0.9f) << what;
    plugin->selectProgram(0, 0);
  }
}

// --- what the host is told after a preset change ----------------------------------------

TEST_F(PluginCoreTest, ChoosingAProgramTellsTheHostTheValuesThatChangedWithoutAGesture) {
  host.automations.clear();
  plugin->selectProgram(0, 1);
  EXPECT_EQ(host.automations, (std::vector<std::pair<int, float>>{{3, 0.8f}})) << "only Level differs";
  EXPECT_EQ(host.displayUpdates, 1);
  EXPECT_EQ(host.gestures, 0) << "a gesture would make the host record automation";
}

TEST_F(PluginCoreTest, AMidiProgramChangeReachesTheHostAtTheEditorsIdle) {
  plugin->programChange(1);  // on the audio thread: the host must not be called from there
  EXPECT_TRUE(host.automations.empty());
  EXPECT_EQ(host.displayUpdates, 0);
  plugin->deliverUpdates();
  EXPECT_EQ(host.automations, (std::vector<std::pair<int, float>>{{3, 0.8f}}));
  EXPECT_EQ(host.displayUpdates, 1);
  plugin->deliverUpdates();
  EXPECT_EQ(host.automations.size(), 1u) << "told once";
}

TEST_F(PluginCoreTest, RefusedChunksLeaveNoProgramBehind) {
  const std::string good = preset("Gamma", 0.8f);
  ASSERT_EQ(plugin->setChunk(good.data(), good.size()), 1);
  const std::size_t programs = plugin->presetManager().programsInList(presets::kProjectPresetsList).size();
  const std::vector<std::string> lists = plugin->presetManager().listNames();
  for (int i = 0; i < 200; ++i) {
    const std::string refused = i % 2 ? "---\nPreset:\n  name: x\nParams: [1, 2\n" : "---\nPreset:\n  format: 1\n";
    ASSERT_EQ(plugin->setChunk(refused.data(), refused.size()), 0);
  }
  EXPECT_EQ(plugin->presetManager().programsInList(presets::kProjectPresetsList).size(), programs);
  EXPECT_EQ(plugin->presetManager().listNames(), lists);
  EXPECT_EQ(plugin->currentProgramName(), "Gamma");
  EXPECT_EQ(plugin->parameterValue(3), 0.8f);
}

TEST_F(PluginCoreTest, TheHostIsNotToldBackWhatItSetItself) {
  // A chunk, a named state (another program of a list, and a document that becomes a project
  // preset) and the start on "Init": the host set or holds these values itself. The editor
  // hears of them at its idle only, as they may come on any thread.
  const std::string gamma = preset("Gamma", 0.8f);
  const std::string beta = preset("Beta", 0.8f);
  const std::vector<std::pair<std::string, std::function<void()>>> operations = {
      {"chunk", [&] { ASSERT_EQ(plugin->setChunk(gamma.data(), gamma.size()), 1); }},
      {"state in its list", [&] { ASSERT_EQ(plugin->restoreProgramState({beta, presets::kFactoryPresetsList, 1}), 1); }},
      {"state as project preset", [&] { ASSERT_EQ(plugin->restoreProgramState({gamma, "Gone", 0}), 1); }},
      {"Init", [&] { plugin->selectInitProgram(); }}};
  for (const auto& [what, operation] : operations) {
    plugin->setParameterFromHost(3, 0.6f);
    const int editorPrograms = editor->programs;
    operation();
    EXPECT_EQ(editor->programs, editorPrograms) << what;
    plugin->deliverUpdates();
    EXPECT_EQ(editor->programs, editorPrograms + 1) << what;
    EXPECT_NE(plugin->parameterValue(3), 0.6f) << what;
    EXPECT_TRUE(host.automations.empty()) << what;
    EXPECT_EQ(host.displayUpdates, 0) << what;
  }
}

}  // namespace
