#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include "Frameworks/Core/DspEngine.h"
#include "Frameworks/Core/Parameters.h"
#include "Frameworks/Core/Plugin/PluginCore.h"
#include "Frameworks/Core/PluginFactory.h"
#include "Frameworks/Core/PluginToHostInterface.h"
#include "lv2/EventBlock.h"
#include "lv2/Lv2Ports.h"
#include "lv2/Lv2UiBridge.h"

namespace lv2 {

class Lv2UiSession;

// The instrument as an LV2 host sees it: ports, run, activation and the state interface,
// passed on to the plug-in core and the engine as the VST 2.4 adapter passes its requests. It
// owns the factory (and through it the core, the editor and the engine).
//
// Parameters arrive as control ports. Each run reads every one at its start; a port whose value
// differs from the one it held at the previous run is applied through the core, as a host's
// parameter change, unless the core already holds that value (the editor set it and the port
// only followed). A port that does not change is never applied again, so a program the core
// chose itself (the editor's preset menu, a MIDI program change, a restored state) keeps its
// values until the host moves that control; the open editor writes such values to the host's
// ports (Lv2UiSession).
//
// Threads: instantiate, activate, state and the editor run on the host's user-interface side;
// run on its audio thread. run neither allocates nor waits; restore may overlap it.
class Lv2Plugin : public core::PluginToHostInterface, public UiBridge {
 public:
  Lv2Plugin(std::unique_ptr<core::PluginFactory> factory, core::PluginCore& core, core::DspEngine& engine,
            const LV2_URID_Map& map);
  ~Lv2Plugin() override;

  Lv2Plugin(const Lv2Plugin&) = delete;
  Lv2Plugin& operator=(const Lv2Plugin&) = delete;

  // The handle given to the host: the record a UI binary reads through instance access.
  LV2_Handle handle() { return &m_record; }
  static Lv2Plugin* fromHandle(LV2_Handle handle);

  void setSampleRate(double rate);
  void connectPort(std::uint32_t port, void* data);
  void activate();
  void run(std::uint32_t frames);
  void deactivate();
  LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle state);
  LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle state);

  const PortLayout& ports() const { return m_ports; }
  // What the editor's host side asks of the core.
  core::EditorToPluginCoreInterface& editorCore() { return m_core; }
  // Hands the editor and the host what the core left for them (the editor's open and idle).
  void deliverUpdates() { m_core.deliverUpdates(); }
  // The value of a parameter port as the last run read it (NaN before the first read).
  float seenValue(int id) const { return m_seen[static_cast<std::size_t>(id)].load(std::memory_order_relaxed); }
  // Whether the editor holds a gesture on the parameter (its port changes are not applied then).
  bool touching(int id) const { return m_touching[static_cast<std::size_t>(id)].load(std::memory_order_relaxed); }

  // --- core::PluginToHostInterface (user-interface thread; reaches the host through the UI) ---
  void setParameterAutomated(int id, float value) override;
  void updateDisplay() override;
  void setEditor(core::AEffGUIEditor* editor) override;
  void beginEdit(int id) override;
  void endEdit(int id) override;
  bool canHostDo(const char* text) override;
  bool sizeWindow(int width, int height) override;

  // --- UiBridge ---
  UiSession* openUi(void* parent, const UiHostFunctions& host) override;
  void closeUi(UiSession* session) override;

 private:
  void readControlPorts();
  void queueMidi();
  bool isParameter(int id) const { return id >= 0 && static_cast<std::uint32_t>(id) < m_ports.parameterCount; }

  struct Uris {
    LV2_URID midiEvent = 0;
    LV2_URID atomString = 0;
    LV2_URID atomInt = 0;
    LV2_URID atomLong = 0;
    LV2_URID stateProgram = 0;
    LV2_URID stateList = 0;
    LV2_URID statePosition = 0;
  };

  InstanceRecord m_record;
  core::PluginCore& m_core;
  core::DspEngine& m_engine;
  std::unique_ptr<core::PluginFactory> m_factory;
  const PortLayout m_ports;
  Uris m_uris;

  // Port buffers as the host connected them.
  std::vector<const float*> m_controls;
  const LV2_Atom_Sequence* m_midiIn = nullptr;
  float* m_left = nullptr;
  float* m_right = nullptr;

  // Written by run only; read by the editor's side to tell which values the host has not seen.
  std::array<std::atomic<float>, core::PluginCore::kMaxParameters> m_seen;
  std::array<std::atomic<bool>, core::PluginCore::kMaxParameters> m_touching{};
  EventBlock m_events;

  core::AEffGUIEditor* m_editor = nullptr;
  std::unique_ptr<Lv2UiSession> m_ui;
};

}  // namespace lv2
