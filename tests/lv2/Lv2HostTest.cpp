// The built LV2 bundle loaded through lilv as hosts load it: its description and presets, its
// sound against the VST 2.4 module's, its state, and its run against the host's MIDI and
// controls.

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/midi/midi.h>
#include <lv2/port-props/port-props.h>
#include <lv2/ui/ui.h>

#include "Frameworks/Core/Parameters.h"
#include "Frameworks/Core/ScopePeakExchange.h"
#include "Frameworks/PresetManager/MessageList.h"
#include "Frameworks/PresetManager/Program.h"
#include "Frameworks/PresetManager/ProgramFactory.h"
#include "Lv2Host.h"
#include "PhraseRender.h"
#include "PluginHost.h"
#include "lv2/Lv2Uris.h"
#include "source/SkarvelParameterKinds.h"
#include "source/VstSynth.h"

namespace {

namespace fs = std::filesystem;
using lv2host::Lv2Host;

constexpr double kRate = 44100.0;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The plug-in's state document as the instance hands it out, without the atom string's zero.
std::string document(Lv2Host& host) {
  const std::string text = host.stateProperty(lv2::kStateProgramUri);
  return text.substr(0, text.find('\0'));
}

std::string stateList(Lv2Host& host) {
  const std::string text = host.stateProperty(lv2::kStateListUri);
  return text.substr(0, text.find('\0'));
}

std::string vst2Chunk(render::PluginHost& vst2) {
  const std::vector<unsigned char> chunk = vst2.chunk();
  return std::string(chunk.begin(), chunk.end());
}

class Lv2HostTest : public testing::Test {
 protected:
  void SetUp() override {
    // Only the system's LV2 specifications besides the built bundle: an installed copy of the
    // plug-in must not stand in for it.
    setenv("LV2_PATH", "/usr/lib/lv2", 1);
    std::string error;
    ASSERT_TRUE(host.load(SKARVEL_LV2_BUNDLE, lv2::kPluginUri, error)) << error;
    ASSERT_TRUE(host.instantiate(kRate, error)) << error;
    engine.registerParameters(registry);
  }
  LilvNode* uri(const char* text) { return nodes.emplace_back(lilv_new_uri(host.world(), text)); }
  void TearDown() override {
    for (LilvNode* node : nodes) lilv_node_free(node);
  }
  // One block with the given MIDI messages, the output dropped.
  void runBlock(std::vector<std::vector<std::uint8_t>> messages = {}, std::uint32_t frames = 256) {
    for (const auto& bytes : messages) host.addMidi(0, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    host.run(frames);
  }
  int port(const char* name) { return host.portIndexByName(name); }

  Lv2Host host;
  core::Parameters registry;
  core::ScopePeakExchange scope;
  skarvel::VstSynth engine{scope};
  std::vector<LilvNode*> nodes;
};

TEST_F(Lv2HostTest, PortsAreTheParameterTableThenMidiInAndTwoOutputs) {
  const LilvPlugin* plugin = host.plugin();
  LilvNode* name = lilv_plugin_get_name(plugin);
  EXPECT_STREQ(lilv_node_as_string(name), "Skarvel by Brenmoor");
  lilv_node_free(name);
  EXPECT_STREQ(lilv_node_as_uri(lilv_plugin_class_get_uri(lilv_plugin_get_class(plugin))),
               "http://lv2plug.in/ns/lv2core#InstrumentPlugin");
  ASSERT_EQ(lilv_plugin_get_num_ports(plugin), 39u);

  LilvNode* toggled = uri(LV2_CORE__toggled);
  LilvNode* enumeration = uri(LV2_CORE__enumeration);
  std::vector<float> minimum(39), maximum(39), defaults(39);
  lilv_plugin_get_port_ranges_float(plugin, minimum.data(), maximum.data(), defaults.data());
  std::vector<std::string> symbols;
  for (std::uint32_t id = 0; id < 36; ++id) {
    const core::ParameterDefinition& definition = registry.definition(id);
    const LilvPort* p = lilv_plugin_get_port_by_index(plugin, id);
    LilvNode* portName = lilv_port_get_name(plugin, p);
    EXPECT_EQ(lilv_node_as_string(portName), definition.name) << id;
    lilv_node_free(portName);
    EXPECT_TRUE(host.isControlInput(id)) << id;
    // Defaults read back as the very floats of the table (0.731 too), the range 0..1.
    EXPECT_EQ(defaults[id], definition.defaultValue) << definition.name;
    EXPECT_EQ(minimum[id], 0.0f);
    EXPECT_EQ(maximum[id], 1.0f);
    const std::string symbol = host.portSymbol(id);
    EXPECT_TRUE(!symbol.empty() && !std::isdigit(static_cast<unsigned char>(symbol[0])) &&
                symbol.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") ==
                    std::string::npos)
        << symbol;
    symbols.push_back(symbol);
    const skarvel::ParameterKind kind = skarvel::parameterKind(static_cast<int>(id));
    EXPECT_EQ(lilv_port_has_property(plugin, p, toggled), kind == skarvel::ParameterKind::Toggle) << definition.name;
    EXPECT_EQ(lilv_port_has_property(plugin, p, enumeration), kind == skarvel::ParameterKind::Choice) << definition.name;
    if (kind == skarvel::ParameterKind::Choice) {
      LilvScalePoints* points = lilv_port_get_scale_points(plugin, p);
      std::map<float, std::string> labels;
      LILV_FOREACH (scale_points, i, points) {
        const LilvScalePoint* point = lilv_scale_points_get(points, i);
        labels[lilv_node_as_float(lilv_scale_point_get_value(point))] = lilv_node_as_string(lilv_scale_point_get_label(point));
      }
      lilv_scale_points_free(points);
      EXPECT_EQ(labels, (std::map<float, std::string>{{0.0f, "ADSR"}, {1.0f, "gate"}}));
    }
  }
  std::sort(symbols.begin(), symbols.end());
  EXPECT_EQ(std::adjacent_find(symbols.begin(), symbols.end()), symbols.end()) << "port symbols must be unique";

  const LilvPort* midi = lilv_plugin_get_port_by_index(plugin, 36);
  EXPECT_TRUE(lilv_port_is_a(plugin, midi, uri(LV2_ATOM__AtomPort)));
  EXPECT_TRUE(lilv_port_is_a(plugin, midi, uri(LV2_CORE__InputPort)));
  EXPECT_TRUE(lilv_port_supports_event(plugin, midi, uri(LV2_MIDI__MidiEvent)));
  for (std::uint32_t index : {37u, 38u}) {
    const LilvPort* out = lilv_plugin_get_port_by_index(plugin, index);
    EXPECT_TRUE(lilv_port_is_a(plugin, out, uri(LV2_CORE__AudioPort)));
    EXPECT_TRUE(lilv_port_is_a(plugin, out, uri(LV2_CORE__OutputPort)));
  }

  // The editor: an X11 UI in its own module that needs the instance.
  LilvUIs* uis = lilv_plugin_get_uis(plugin);
  ASSERT_EQ(lilv_uis_size(uis), 1u);
  const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
  EXPECT_STREQ(lilv_node_as_uri(lilv_ui_get_uri(ui)), lv2::kUiUri);
  EXPECT_TRUE(lilv_ui_is_a(ui, uri(LV2_UI__X11UI)));
  char* binary = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
  EXPECT_EQ(fs::path(binary).filename(), "Skarvel_ui.so");
  lilv_free(binary);
  LilvNodes* required = lilv_world_find_nodes(host.world(), lilv_ui_get_uri(ui), uri(LV2_CORE__requiredFeature), nullptr);
  EXPECT_TRUE(lilv_nodes_contains(required, uri(LV2_INSTANCE_ACCESS_URI)));
  EXPECT_TRUE(lilv_nodes_contains(required, uri(LV2_UI__idleInterface)));
  lilv_nodes_free(required);
  lilv_uis_free(uis);
}

TEST_F(Lv2HostTest, EveryFactoryPresetIsAPresetByBankAndNameThatLoadsTheFactoryProgram) {
  // The factory files in the bundle, by the label hosts should show (the name as the plug-in's
  // own reader reads it).
  const fs::path factory = fs::path(SKARVEL_LV2_BUNDLE) / "Presets/Factory";
  presets::MessageList messages;
  presets::ProgramFactory reader(registry, "Skarvel", "1.0.0", messages);
  std::map<std::string, fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(factory)) {
    if (entry.path().extension() != ".yaml") continue;
    const std::unique_ptr<presets::Program> program = reader.readPresetFile(entry.path().string());
    ASSERT_TRUE(program) << entry.path();
    const std::string name = program->name();
    const std::string bank = entry.path().parent_path() == factory ? "Factory presets" : entry.path().parent_path().filename().string();
    files[bank + ": " + name] = entry.path();
  }
  std::map<std::string, std::string> presets;  // label -> URI
  for (const auto& [presetUri, label] : host.presets()) presets[label] = presetUri;
  ASSERT_FALSE(files.empty());
  std::vector<std::string> fileLabels, presetLabels;
  for (const auto& entry : files) fileLabels.push_back(entry.first);
  for (const auto& entry : presets) presetLabels.push_back(entry.first);
  EXPECT_EQ(presetLabels, fileLabels);

  // Each preset brings the factory program itself (its list, not edited): the same document the
  // VST 2.4 module writes for that file.
  render::PluginHost vst2;
  std::string error;
  ASSERT_TRUE(vst2.load(SKARVEL_MODULE_PATH, error)) << error;
  for (const auto& [label, path] : files) {
    if (!presets.count(label)) continue;
    ASSERT_TRUE(host.applyPreset(presets[label])) << label;
    runBlock();
    const std::string text = readFile(path);
    ASSERT_TRUE(vst2.setChunk(std::vector<unsigned char>(text.begin(), text.end()))) << label;
    EXPECT_EQ(document(host), vst2Chunk(vst2)) << label;
    EXPECT_EQ(stateList(host), path.parent_path() == factory ? "\u00ABFactory presets\u00BB" : path.parent_path().filename().string())
        << label;
  }
}

TEST_F(Lv2HostTest, DemoPhraseSoundsBitForBitAsTheVst2Module) {
  // From the state a new instance starts in, and from a factory preset.
  const auto presets = host.presets();
  ASSERT_FALSE(presets.empty());
  for (const std::string& preset : {std::string(), presets.begin()->first}) {
    std::string error;
    ASSERT_TRUE(host.instantiate(kRate, error)) << error;
    if (!preset.empty()) {
      ASSERT_TRUE(host.applyPreset(preset));
    }
    const std::string program = document(host);
    host.activate();
    const lv2host::StereoRender lv2Audio = lv2host::renderDemoLv2(host, kRate, 512, 1.0);
    host.deactivate();

    render::PluginHost vst2;
    ASSERT_TRUE(vst2.load(SKARVEL_MODULE_PATH, error)) << error;
    ASSERT_TRUE(vst2.setChunk(std::vector<unsigned char>(program.begin(), program.end())));
    vst2.start(kRate, 512);
    const lv2host::StereoRender vst2Audio = lv2host::renderDemoVst2(vst2, kRate, 512, 1.0);
    vst2.stop();

    float peak = 0.0f;
    for (float sample : lv2Audio.left) peak = std::max(peak, std::fabs(sample));
    EXPECT_GT(peak, 0.01f) << "the phrase must sound";
    EXPECT_EQ(lv2host::firstDifference(lv2Audio, vst2Audio), -1) << (preset.empty() ? "new instance" : preset);
  }
}

TEST_F(Lv2HostTest, StateSavedThroughLilvIsTheVst2ChunkAndComesBackInANewInstance) {
  // A factory preset with two controls moved, in both formats.
  const std::string preset = std::next(host.presets().begin(), 2)->first;
  ASSERT_TRUE(host.applyPreset(preset));
  const std::string factoryProgram = document(host);
  const std::string bank = stateList(host);
  host.activate();
  host.setControl(static_cast<std::uint32_t>(port("Level")), 0.3f);
  host.setControl(static_cast<std::uint32_t>(port("Osc2")), 0.0f);
  runBlock();
  render::PluginHost vst2;
  std::string error;
  ASSERT_TRUE(vst2.load(SKARVEL_MODULE_PATH, error)) << error;
  ASSERT_TRUE(vst2.setChunk(std::vector<unsigned char>(factoryProgram.begin(), factoryProgram.end())));
  vst2.setParameter(vst2.findParameter("Level"), 0.3f);
  vst2.setParameter(vst2.findParameter("Osc2"), 0.0f);
  ASSERT_NE(document(host), factoryProgram);
  EXPECT_EQ(document(host), vst2Chunk(vst2));

  // Saved and restored through lilv into a new instance.
  const std::string saved = host.saveState();
  ASSERT_NE(saved.find(lv2::kStateProgramUri), std::string::npos) << saved;
  host.deactivate();
  ASSERT_TRUE(host.instantiate(kRate, error)) << error;
  ASSERT_TRUE(host.restoreState(saved));
  host.activate();
  runBlock();
  EXPECT_EQ(document(host), vst2Chunk(vst2));
  // The same preset of the same bank, edited, and the host's controls as they were saved.
  EXPECT_EQ(stateList(host), bank);
  EXPECT_EQ(host.control(static_cast<std::uint32_t>(port("Level"))), 0.3f);
  EXPECT_EQ(host.control(static_cast<std::uint32_t>(port("Osc2"))), 0.0f);
}

TEST_F(Lv2HostTest, RestoreIsSafeWhileAnotherThreadRuns) {
  std::vector<std::string> states, documents;
  const auto presets = host.presets();
  for (auto it = presets.begin(); states.size() < 3; ++it) {
    ASSERT_TRUE(host.applyPreset(it->first));
    states.push_back(host.saveState());
    documents.push_back(document(host));
  }
  host.activate();
  std::atomic<bool> stop{false};
  std::atomic<bool> finite{true};
  std::thread audio([&] {
    const std::uint8_t on[] = {0x90, 60, 100}, off[] = {0x80, 60, 0};
    for (int block = 0; !stop.load(); ++block) {
      if (block % 8 == 0) host.addMidi(0, on, 3);
      if (block % 8 == 4) host.addMidi(0, off, 3);
      host.run(64);
      for (int i = 0; i < 64; ++i)
        if (!std::isfinite(host.left()[i]) || !std::isfinite(host.right()[i])) finite = false;
    }
  });
  // Restores of the plug-in alone: the host's control buffers belong to the audio thread.
  constexpr int kRestores = 150;
  for (int i = 0; i < kRestores; ++i) {
    LilvState* state = lilv_state_new_from_string(host.world(), host.map(), states[i % 3].c_str());
    ASSERT_NE(state, nullptr);
    lilv_state_restore(state, host.instance(), nullptr, nullptr, 0, nullptr);
    lilv_state_free(state);
  }
  stop = true;
  audio.join();
  EXPECT_TRUE(finite.load());
  EXPECT_EQ(document(host), documents[(kRestores - 1) % 3]);
}

TEST_F(Lv2HostTest, ProgramChangeHoldsUntilTheHostMovesAControl) {
  // A factory preset, then MIDI program change 1 of its list.
  const auto presets = host.presets();
  ASSERT_TRUE(host.applyPreset(presets.begin()->first));
  host.activate();
  runBlock();
  const std::string first = document(host);
  runBlock({{0xC0, 1}});
  const std::string second = document(host);
  ASSERT_NE(second, first) << "program change 1 selects the list's second program";
  // The host's controls still hold the first program's values: unchanged, they change nothing.
  for (int i = 0; i < 4; ++i) runBlock();
  EXPECT_EQ(document(host), second);
  // A control the host moves is applied on top.
  host.setControl(static_cast<std::uint32_t>(port("Level")), 0.123f);
  runBlock();
  EXPECT_NE(document(host).find("Level: 0.123"), std::string::npos) << document(host);
  EXPECT_NE(document(host), second);
}

TEST_F(Lv2HostTest, MidiBeyondTheEventBlockAndOddEventsKeepTheSoundOfTheNotes) {
  // Two renders of one note: alone, and after 580 controller messages in the same run (more
  // than the adapter's event block takes at once), with a system-exclusive message and an event
  // beyond the run's end. Controller 1 does nothing here, so the sound must be the same.
  auto render = [&](bool crowded) {
    std::string error;
    EXPECT_TRUE(host.instantiate(kRate, error)) << error;
    host.activate();
    std::vector<float> out;
    const std::uint8_t note[] = {0x90, 64, 110};
    const std::uint8_t controller[] = {0xB0, 1, 5};
    const std::uint8_t sysex[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
    for (int block = 0; block < 6; ++block) {
      if (block == 1) {
        for (std::uint32_t frame = 0; frame < 300; ++frame) {
          if (crowded) {
            host.addMidi(frame, controller, 3);
            host.addMidi(frame, controller, 3);
          }
          if (frame == 290) host.addMidi(frame, note, 3);
        }
        if (crowded) host.addMidi(400, sysex, sizeof sysex);
      }
      if (block == 3 && crowded) host.addMidi(4000, controller, 3);  // beyond this 512-frame run
      host.run(512);
      out.insert(out.end(), host.left(), host.left() + 512);
    }
    return out;
  };
  const std::vector<float> alone = render(false);
  const std::vector<float> crowded = render(true);
  EXPECT_TRUE(std::all_of(alone.begin(), alone.begin() + 512 + 290, [](float s) { return s == 0.0f; }))
      << "silent before the note's frame";
  EXPECT_TRUE(std::any_of(alone.begin() + 512 + 290, alone.end(), [](float s) { return s != 0.0f; })) << "sounding after it";
  EXPECT_EQ(alone, crowded);
}

TEST_F(Lv2HostTest, NotesOfARunWithoutFramesPlayNextRunUnlessTheHostDeactivatesFirst) {
  // A note handed over in a run of no frames: kept for the next run, or forgotten when the host
  // deactivates the plug-in in between (a note that had sounded after reactivation would be a
  // stale one).
  auto render = [&](bool deactivateBetween) {
    std::string error;
    EXPECT_TRUE(host.instantiate(kRate, error)) << error;
    host.activate();
    const std::uint8_t note[] = {0x90, 64, 110};
    host.addMidi(100, note, 3);
    host.run(0);
    if (deactivateBetween) {
      host.deactivate();
      host.activate();
    }
    std::vector<float> out;
    for (int block = 0; block < 4; ++block) {
      host.run(512);
      out.insert(out.end(), host.left(), host.left() + 512);
    }
    return out;
  };
  const std::vector<float> kept = render(false);
  EXPECT_TRUE(std::any_of(kept.begin(), kept.begin() + 100, [](float s) { return s != 0.0f; }))
      << "the kept note starts at the next run's first frame";
  const std::vector<float> forgotten = render(true);
  EXPECT_TRUE(std::all_of(forgotten.begin(), forgotten.end(), [](float s) { return s == 0.0f; }));
}

}  // namespace
