#include "HostileHost.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/LoadedModule.h"

namespace hostile {

namespace {

// Answers the version request (a VST 2.4 host) and MIDI wanted; everything else is "unknown".
std::intptr_t hostCallback(vst2::EffectRecord*, std::int32_t opcode, std::int32_t, std::intptr_t, void*, float) {
  switch (opcode) {
    case vst2::host::version:
      return 2400;
    case vst2::host::wantMidi:
      return 1;
    default:
      return 0;
  }
}

using EntryPoint = vst2::EffectRecord* (*)(vst2::HostCallback);

// The module is loaded once and never unloaded, as in a host that keeps a plug-in's library for
// its whole run. (Unloading it at exit would also make LeakSanitizer count the module's
// process-wide objects as leaked: the pointers to them go with the unloaded module.) The
// editor's settings go to a private folder so the tests never read or write the user's own.
struct PrivateSettingsFolder {
  std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("skarvel-hostile-" + std::to_string(getpid()));
  PrivateSettingsFolder() {
    std::filesystem::create_directories(path);
    setenv("XDG_CONFIG_HOME", path.c_str(), 1);
  }
  ~PrivateSettingsFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

EntryPoint entryPoint() {
  static const EntryPoint entry = [] {
    static const PrivateSettingsFolder settings;
    static platform::LoadedModule* const kept = new platform::LoadedModule;
    platform::LoadedModule& module = *kept;
    std::string error;
    if (!module.open(SKARVEL_MODULE_PATH, error)) {
      std::fprintf(stderr, "cannot load %s: %s\n", SKARVEL_MODULE_PATH, error.c_str());
      std::abort();
    }
    auto found = reinterpret_cast<EntryPoint>(module.symbol("VSTPluginMain"));
    if (!found) {
      std::fprintf(stderr, "%s has no VSTPluginMain\n", SKARVEL_MODULE_PATH);
      std::abort();
    }
    return found;
  }();
  return entry;
}

}  // namespace

// --- Plugin -----------------------------------------------------------------------------------

Plugin::Plugin() { m_effect = entryPoint()(hostCallback); }

Plugin::~Plugin() { close(); }

std::intptr_t Plugin::close() {
  if (!m_effect) return 0;
  const std::intptr_t answer = m_effect->dispatcher(m_effect, vst2::effect::close, 0, 0, nullptr, 0.0f);
  m_effect = nullptr;
  return answer;
}

std::intptr_t Plugin::dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr, float opt) {
  return m_effect->dispatcher(m_effect, opcode, index, value, ptr, opt);
}

void Plugin::start(float sampleRate, int blockSize) {
  dispatch(vst2::effect::open);
  dispatch(vst2::effect::setSampleRate, 0, 0, nullptr, sampleRate);
  dispatch(vst2::effect::setBlockSize, 0, blockSize);
  resume();
}

std::string Plugin::text(std::int32_t opcode, std::int32_t index) {
  char buffer[256];
  std::memset(buffer, 0, sizeof buffer);
  dispatch(opcode, index, 0, buffer);
  return std::string(buffer, strnlen(buffer, sizeof buffer));
}

std::string Plugin::chunk() {
  void* data = nullptr;
  const std::intptr_t size = dispatch(vst2::effect::getChunk, 0, 0, &data);
  if (size <= 0 || !data) return {};
  return std::string(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

bool Plugin::setChunk(const std::string& data) {
  return dispatch(vst2::effect::setChunk, 0, static_cast<std::intptr_t>(data.size()),
                  const_cast<char*>(data.data())) == 1;
}

// --- audio ------------------------------------------------------------------------------------

void renderBlock(Plugin& plugin, int frames, Stereo& out) {
  std::vector<float> left(static_cast<std::size_t>(frames), -7.0f), right(static_cast<std::size_t>(frames), -7.0f);
  float* outputs[2] = {left.data(), right.data()};
  plugin.process(outputs, frames);
  out.left.insert(out.left.end(), left.begin(), left.end());
  out.right.insert(out.right.end(), right.begin(), right.end());
}

void renderFor(Plugin& plugin, int total, Stereo& out, int blockSize) {
  for (int done = 0; done < total; done += blockSize) renderBlock(plugin, std::min(blockSize, total - done), out);
}

bool allFinite(const Stereo& audio) {
  for (const std::vector<float>* channel : {&audio.left, &audio.right})
    for (float x : *channel)
      if (!std::isfinite(x)) return false;
  return true;
}

double rms(const Stereo& audio, std::size_t begin, std::size_t end) {
  end = std::min(end, audio.size());
  if (begin >= end) return 0.0;
  double sum = 0.0;
  for (std::size_t i = begin; i < end; ++i)
    sum += static_cast<double>(audio.left[i]) * audio.left[i] + static_cast<double>(audio.right[i]) * audio.right[i];
  return std::sqrt(sum / (2.0 * static_cast<double>(end - begin)));
}

bool identical(const Stereo& a, const Stereo& b) {
  return a.size() == b.size() && std::memcmp(a.left.data(), b.left.data(), a.size() * sizeof(float)) == 0 &&
         std::memcmp(a.right.data(), b.right.data(), a.size() * sizeof(float)) == 0;
}

// --- events -----------------------------------------------------------------------------------

vst2::MidiEvent midi(int deltaFrames, unsigned status, unsigned data1, unsigned data2) {
  vst2::MidiEvent event{};
  event.type = vst2::kMidiEventType;
  event.byteSize = sizeof(vst2::MidiEvent);
  event.deltaFrames = deltaFrames;
  event.midiData[0] = static_cast<char>(status);
  event.midiData[1] = static_cast<char>(data1);
  event.midiData[2] = static_cast<char>(data2);
  return event;
}

namespace {

// Entry `index` of a list's pointer array, written through the array's address: the record
// declares two entries, and indexing that member past them is undefined behaviour however many
// the allocation holds.
void setEntry(vst2::EventList* list, std::size_t index, vst2::Event* event) {
  unsigned char* entries = reinterpret_cast<unsigned char*>(list) + offsetof(vst2::EventList, events);
  std::memcpy(entries + index * sizeof event, &event, sizeof event);
}

}  // namespace

EventList::EventList(const std::vector<vst2::MidiEvent>& events) {
  const std::size_t bytes = offsetof(vst2::EventList, events) + sizeof(vst2::Event*) * events.size();
  m_list = static_cast<vst2::EventList*>(std::malloc(std::max(bytes, sizeof(vst2::EventList))));
  std::memset(static_cast<void*>(m_list), 0, std::max(bytes, sizeof(vst2::EventList)));
  m_list->numEvents = static_cast<std::int32_t>(events.size());
  for (std::size_t i = 0; i < events.size(); ++i) {
    m_events.push_back(new vst2::MidiEvent(events[i]));
    setEntry(m_list, i, reinterpret_cast<vst2::Event*>(m_events.back()));
  }
}

EventList::~EventList() {
  for (vst2::MidiEvent* event : m_events) delete event;
  std::free(m_list);
}

void EventList::clearEntry(std::size_t i) { setEntry(m_list, i, nullptr); }

void EventList::scribbleAndFree() {
  if (m_released) return;
  m_released = true;
  for (vst2::MidiEvent* event : m_events) *event = noteOn(0, 100, 127);
#ifdef HOSTILE_ASAN
  for (vst2::MidiEvent* event : m_events) delete event;
  m_events.clear();
  std::free(m_list);
  m_list = nullptr;
#endif
}

// --- time ---------------------------------------------------------------------------------------

Watchdog::Watchdog(const char* what, std::chrono::seconds allowance) {
  const auto limit = allowance * slowdown();
  m_thread = std::thread([this, what, limit] {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!m_done.load()) {
      if (std::chrono::steady_clock::now() > deadline) {
        std::fprintf(stderr, "HANG: %s did not finish within %lld s\n", what, static_cast<long long>(limit.count()));
        std::fflush(stderr);
        std::abort();
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
}

Watchdog::~Watchdog() {
  m_done.store(true);
  m_thread.join();
}

int slowdown() {
#if defined(SKARVEL_SANITIZED) || !defined(NDEBUG)
  return 10;
#else
  return 1;
#endif
}

bool timingIsMeaningful() { return slowdown() == 1; }

}  // namespace hostile
