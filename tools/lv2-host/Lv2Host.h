#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/urid/urid.h>

namespace lv2host {

// A minimal LV2 host for one instrument, on lilv as real hosts are: finds the plug-in in its
// bundle, instantiates it with URID mapping, connects one buffer per port (controls at their
// declared defaults, a MIDI atom sequence, the audio outputs), runs it, and saves, restores and
// applies presets and state through lilv.
class Lv2Host {
 public:
  static constexpr std::uint32_t kMaxFrames = 8192;

  Lv2Host();
  ~Lv2Host();
  Lv2Host(const Lv2Host&) = delete;
  Lv2Host& operator=(const Lv2Host&) = delete;

  // Reads the bundles on LV2_PATH (the LV2 specifications among them) and the bundle (a folder
  // ending in ".lv2"), and finds the plug-in `pluginUri`. False with a one-line `error` when it
  // is not there. An installed copy of the same plug-in on LV2_PATH would take its place, so
  // tests keep LV2_PATH to the system's specifications.
  bool load(const std::string& bundle, const std::string& pluginUri, std::string& error);
  // Creates an instance at `rate` and connects its ports; false with `error` when it fails.
  bool instantiate(double rate, std::string& error);
  void activate();
  void deactivate();
  // Frees the instance (a later instantiate makes a new one on the same world).
  void freeInstance();

  const LilvPlugin* plugin() const { return m_plugin; }
  LilvInstance* instance() const { return m_instance; }
  LilvWorld* world() const { return m_world; }
  LV2_URID_Map* map() { return &m_map; }

  std::uint32_t portCount() const { return static_cast<std::uint32_t>(m_ports.size()); }
  // The index of the port with this symbol, or -1.
  int portIndex(const std::string& symbol) const;
  // The index of the port with this name (lv2:name), or -1.
  int portIndexByName(const std::string& name) const;
  std::string portSymbol(std::uint32_t port) const;
  bool isControlInput(std::uint32_t port) const;
  void setControl(std::uint32_t port, float value);
  float control(std::uint32_t port) const;

  // A MIDI message for the next run, at `frame` of it (events must come in frame order).
  void addMidi(std::uint32_t frame, const std::uint8_t* bytes, std::uint32_t size);
  // Runs `frames` (at most kMaxFrames) samples; the output is in left() and right().
  void run(std::uint32_t frames);
  const float* left() const { return m_left.data(); }
  const float* right() const { return m_right.data(); }

  // The plug-in's state and port values as lilv saves them (Turtle text).
  std::string saveState();
  // Restores a state made by saveState (ports through lilv's callback, then the plug-in).
  bool restoreState(const std::string& turtle);
  // The presets lilv finds for the plug-in: URI -> label.
  std::map<std::string, std::string> presets();
  bool applyPreset(const std::string& presetUri);
  // A property the plug-in stores when asked for its state directly (its state interface),
  // as raw bytes; empty when it stores none under that key. `type` receives the value's type URI.
  std::string stateProperty(const std::string& key, std::string* type = nullptr);

  LV2_URID mapUri(const char* uri);
  const char* unmapUri(LV2_URID urid) const;

 private:
  struct Port {
    std::string symbol;
    std::string name;
    bool control = false;
    bool input = false;
    bool audio = false;
    bool atom = false;
    float value = 0.0f;
  };

  static LV2_URID mapCallback(LV2_URID_Map_Handle handle, const char* uri);
  static const char* unmapCallback(LV2_URID_Unmap_Handle handle, LV2_URID urid);
  static const void* getPortValue(const char* symbol, void* user, uint32_t* size, uint32_t* type);
  static void setPortValue(const char* symbol, void* user, const void* value, uint32_t size, uint32_t type);
  void beginSequence();

  LilvWorld* m_world = nullptr;
  const LilvPlugin* m_plugin = nullptr;
  LilvInstance* m_instance = nullptr;

  std::map<std::string, LV2_URID> m_uris;
  std::vector<std::unique_ptr<std::string>> m_uriTexts;  // by URID - 1
  LV2_URID_Map m_map{};
  LV2_URID_Unmap m_unmap{};
  LV2_Feature m_mapFeature{};
  LV2_Feature m_unmapFeature{};
  const LV2_Feature* m_features[3] = {};

  std::vector<Port> m_ports;
  std::vector<float> m_left, m_right, m_scratch;
  std::vector<std::uint64_t> m_sequence;  // the MIDI input's atom buffer, 8-byte aligned
  LV2_Atom_Forge m_forge{};
  LV2_Atom_Forge_Frame m_sequenceFrame{};
};

}  // namespace lv2host
