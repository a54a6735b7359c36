// The LV2 plug-in and the heap: run never touches it, with MIDI (notes, pedal, controllers,
// program changes) and control ports changing, and the state requests survive its running out.
// This program replaces the global allocation functions with counting ones, counting only
// around run, and able to fail on request.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <vector>

#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include "common/CountingAllocator.h"
#include "lv2/Lv2Uris.h"

extern "C" const LV2_Descriptor* lv2_descriptor(uint32_t index);

namespace {

std::map<std::string, LV2_URID> g_uris;
LV2_URID mapUri(LV2_URID_Map_Handle, const char* uri) {
  const auto found = g_uris.find(uri);
  if (found != g_uris.end()) return found->second;
  const auto urid = static_cast<LV2_URID>(g_uris.size() + 1);
  g_uris.emplace(uri, urid);
  return urid;
}

TEST(Lv2Run, RunNeverAllocates) {
  LV2_URID_Map map{nullptr, mapUri};
  const LV2_Feature mapFeature{LV2_URID__map, &map};
  const LV2_Feature* features[] = {&mapFeature, nullptr};
  const LV2_Descriptor* descriptor = lv2_descriptor(0);
  ASSERT_NE(descriptor, nullptr);
  LV2_Handle plugin = descriptor->instantiate(descriptor, 44100.0, ".", features);
  ASSERT_NE(plugin, nullptr);

  constexpr std::uint32_t kFrames = 256, kBlocks = 300, kParameters = 36;
  std::vector<float> controls(kParameters, 0.5f), left(kFrames), right(kFrames);
  for (std::uint32_t port = 0; port < kParameters; ++port) descriptor->connect_port(plugin, port, &controls[port]);
  descriptor->connect_port(plugin, 37, left.data());
  descriptor->connect_port(plugin, 38, right.data());

  // Every block's MIDI sequence is built before counting starts.
  std::vector<std::vector<std::uint64_t>> sequences(kBlocks, std::vector<std::uint64_t>(1024));
  LV2_Atom_Forge forge;
  lv2_atom_forge_init(&forge, &map);
  const LV2_URID midi = mapUri(nullptr, LV2_MIDI__MidiEvent);
  for (std::uint32_t block = 0; block < kBlocks; ++block) {
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<std::uint8_t*>(sequences[block].data()), 8192);
    LV2_Atom_Forge_Frame frame;
    lv2_atom_forge_sequence_head(&forge, &frame, 0);
    auto message = [&](std::uint32_t at, std::vector<std::uint8_t> bytes) {
      lv2_atom_forge_frame_time(&forge, at);
      lv2_atom_forge_atom(&forge, static_cast<std::uint32_t>(bytes.size()), midi);
      lv2_atom_forge_write(&forge, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    };
    const auto key = static_cast<std::uint8_t>(36 + block % 48);
    message(block % kFrames, {0x90, key, 100});
    if (block % 5 == 0) message(10, {0xB0, 64, static_cast<std::uint8_t>(block % 10 ? 0 : 127)});
    if (block % 7 == 0) message(20, {0xB0, 1, 64});
    if (block % 50 == 0) message(30, {0xC0, static_cast<std::uint8_t>(block % 3)});
    // More messages than the adapter hands the engine in one list.
    if (block % 30 == 15)
      for (int i = 0; i < 200; ++i) message(40, {0xB0, 1, static_cast<std::uint8_t>(i % 128)});
    message(kFrames - 1, {0x80, key, 0});
    lv2_atom_forge_pop(&forge, &frame);
  }

  descriptor->activate(plugin);
  allocations::counting = true;
  for (std::uint32_t block = 0; block < kBlocks; ++block) {
    descriptor->connect_port(plugin, 36, sequences[block].data());
    controls[block % kParameters] = static_cast<float>(block % 10) / 10.0f;  // a control moves every run
    descriptor->run(plugin, kFrames);
  }
  allocations::counting = false;
  EXPECT_EQ(allocations::count.load(), 0);
  descriptor->deactivate(plugin);
  descriptor->cleanup(plugin);
}

}  // namespace

namespace {

// A state store for the test: the program text the plug-in hands over, kept outside the heap
// hooks' reach until the test reads it.
struct SavedState {
  std::map<LV2_URID, std::string> values;
  std::map<LV2_URID, LV2_URID> types;
};

LV2_State_Status storeValue(LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type,
                            uint32_t) {
  auto* saved = static_cast<SavedState*>(handle);
  saved->values[key].assign(static_cast<const char*>(value), size);
  saved->types[key] = type;
  return LV2_STATE_SUCCESS;
}

const void* retrieveValue(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags) {
  auto* saved = static_cast<SavedState*>(handle);
  const auto found = saved->values.find(key);
  if (found == saved->values.end()) return nullptr;
  *size = found->second.size();
  *type = saved->types[key];
  *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  return found->second.data();
}

}  // namespace

TEST(Lv2State, SaveAndRestoreThatRunOutOfMemoryFailWithoutUnwindingIntoTheHost) {
  LV2_URID_Map map{nullptr, mapUri};
  const LV2_Feature mapFeature{LV2_URID__map, &map};
  const LV2_Feature* features[] = {&mapFeature, nullptr};
  const LV2_Descriptor* descriptor = lv2_descriptor(0);
  LV2_Handle plugin = descriptor->instantiate(descriptor, 44100.0, ".", features);
  ASSERT_NE(plugin, nullptr);
  const auto* state = static_cast<const LV2_State_Interface*>(descriptor->extension_data(LV2_STATE__interface));
  ASSERT_NE(state, nullptr);

  SavedState saved;
  ASSERT_EQ(state->save(plugin, storeValue, &saved, 0, nullptr), LV2_STATE_SUCCESS);
  const std::string program = saved.values[mapUri(nullptr, lv2::kStateProgramUri)];
  ASSERT_EQ(program.compare(0, 3, "---"), 0) << program;

  // Both requests answer a failure while the heap refuses, and work again afterwards.
  SavedState lost;
  allocations::failing = true;
  const LV2_State_Status saveWithoutMemory = state->save(plugin, storeValue, &lost, 0, nullptr);
  const LV2_State_Status restoreWithoutMemory = state->restore(plugin, retrieveValue, &saved, 0, nullptr);
  allocations::failing = false;
  EXPECT_EQ(saveWithoutMemory, LV2_STATE_ERR_UNKNOWN);
  EXPECT_EQ(restoreWithoutMemory, LV2_STATE_ERR_UNKNOWN);
  EXPECT_EQ(state->restore(plugin, retrieveValue, &saved, 0, nullptr), LV2_STATE_SUCCESS);
  SavedState again;
  ASSERT_EQ(state->save(plugin, storeValue, &again, 0, nullptr), LV2_STATE_SUCCESS);
  EXPECT_EQ(again.values, saved.values);
  descriptor->cleanup(plugin);
}
