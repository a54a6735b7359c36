#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Frameworks/Core/AEffGUIEditor.h"
#include "Frameworks/Core/DspEngine.h"
#include "Frameworks/Core/EditorToPluginCoreInterface.h"
#include "Frameworks/Core/Parameters.h"
#include "Frameworks/Core/PluginDescription.h"
#include "Frameworks/Core/PluginFactory.h"
#include "Frameworks/Core/PluginToHostInterface.h"
#include "Frameworks/Core/Plugin/DspToEditor.h"
#include "Frameworks/Core/Plugin/DspToPlugin.h"

namespace presets {
class MessageList;
class Program;
class ProgramFactory;
class PresetManager;
}  // namespace presets

namespace core {

// The host-independent centre of an instrument: owns the presets (the home of the parameter
// values), routes every parameter change between host, editor and engine, answers the chunk
// requests and creates the editor.
//
// Threads. Creation, chunks, the editor's requests and preset work run on the host's
// user-interface thread; processing, and with it a MIDI program change, run on its audio thread;
// setParameterFromHost may come from either. Operations that change the preset lists or the
// current program hold the preset lock. The audio thread never waits for it: it only tries the
// lock, and when the user-interface thread holds it a program change or a program edit is kept
// and retried at the start of the next block. The engine's values are lock-free floats, so the
// sound always follows at once. The audio thread never calls the editor: what the editor must
// show is kept in atomics and handed to it on the user-interface thread (editor idle and open).
class PluginCore : public EditorToPluginCoreInterface {
 public:
  static constexpr int kMaxParameters = 64;

  PluginCore(const PluginDescription& description, const Parameters& registry, DspEngine& engine,
             PluginFactory& factory);
  ~PluginCore() override;

  PluginCore(const PluginCore&) = delete;
  PluginCore& operator=(const PluginCore&) = delete;

  // --- editor requests (user-interface thread) ---
  void currentProgramChanged() override;
  void reapplyCurrentProgram() override;
  void parameterChangedFromEditor(int id, float value) override;
  void convertOldBanks(const std::string& path, std::vector<std::string>& report) override;
  void getParameterDisplayText(int id, char* text, std::size_t size) override;

  // Creates the instrument's editor for `effect` (the host adapter); the caller keeps it.
  virtual AEffGUIEditor* createEditor(PluginToHostInterface& effect) = 0;
  // Called once during creation, after the core exists; no effect here.
  virtual void creationHook() {}
  virtual void spareHook() {}

  // --- host adapter requests ---
  // Creates the editor, hands it to the adapter, sends the current program to the engine and
  // the editor, and remembers the adapter as the host.
  void attachHost(PluginToHostInterface& host);
  // Either thread. Ids at or above the parameter count are ignored.
  void setParameterFromHost(int id, float value);
  // The current program's edited value (also while it presents its original values for a
  // comparison); 0 for an id out of range. Either thread, without a lock.
  float parameterValue(int id) const;
  // The current program as YAML text; *data points at it until the next call or destruction.
  // Returns its length in bytes (no terminating zero); 0 and null when it could not be written.
  std::size_t getChunk(const char** data);
  // Takes a host chunk as a project preset; 1 when accepted, 0 when refused (nothing changes).
  int setChunk(const void* data, std::size_t size);
  std::string currentProgramName();

  // The current program as hosts that keep named state store it: the same YAML text getChunk
  // hands out, plus the name of the current preset list and the program's position in it.
  struct ProgramState {
    std::string document;
    std::string listName;
    std::size_t position = 0;
  };
  ProgramState programState();
  // Takes a saved state back. When the named list still holds the program (looked for at the
  // saved position first, then in the whole list), it becomes current again: as it is when it
  // writes exactly this document, otherwise edited to the document's values. Without it, the
  // document joins the project presets as a host chunk does. 1 when taken, 0 when refused
  // (nothing changes). User-interface thread; the audio thread may render meanwhile.
  int restoreProgramState(const ProgramState& state);
  // Makes the program "Init" (every parameter at its default) current, for hosts whose controls
  // start at the parameters' defaults; an "Init" of the list "«Init»" is reused.
  void selectInitProgram();
  // Audio thread, before each block: retries a program change or edits that found the preset
  // lock taken.
  void beginAudioBlock();
  // User-interface thread: hands the editor what the other paths left for it.
  void deliverEditorUpdates();
  // The adapter's editor goes away (the adapter is being destroyed).
  void detachEditor();

  // --- engine callbacks (through DspToPlugin / DspToEditor) ---
  // Audio thread: selects program `program` of the current list (a number beyond the list keeps
  // the current program) and sends the current program to the engine and the editor.
  void programChange(int program);
  void resendParameters();
  void postEditorHook();

  // --- accessors ---
  const PluginDescription& description() const { return m_description; }
  const Parameters& registry() const { return m_registry; }
  unsigned parameterCount() const { return m_parameterCount; }
  presets::MessageList& messages() { return *m_messages; }
  presets::ProgramFactory& programFactory() { return *m_programFactory; }
  presets::PresetManager& presetManager() { return *m_presetManager; }
  AEffGUIEditor* editor() const { return m_editor; }
  PluginToHostInterface* host() const { return m_host; }
  PluginFactory& factory() { return m_factory; }
  // Held by every user-interface operation that changes the preset lists or the current
  // program (the editor's saves and selections too); never waited for on the audio thread.
  std::mutex& presetLock() { return m_presetLock; }

 private:
  bool isParameter(int id) const { return id >= 0 && static_cast<unsigned>(id) < m_parameterCount; }
  // The program the values come from: the current one, or the default program.
  presets::Program& currentProgram();
  // With the preset lock held: values to the engine and (deferred) to the editor.
  void applyCurrentProgramLocked();
  void applyPendingEditsLocked();
  void sendToEngine(int id, float value);
  void setHostValue(int id, float value) { m_hostValues[id].store(value, std::memory_order_relaxed); }
  void postEditorValue(int id, float value);
  void postEditorPositionsLocked();
  bool selectSavedProgramLocked(const ProgramState& state, const presets::Program& saved);

  const PluginDescription& m_description;
  const Parameters& m_registry;
  const unsigned m_parameterCount;
  std::unique_ptr<presets::MessageList> m_messages;
  std::unique_ptr<presets::ProgramFactory> m_programFactory;
  std::unique_ptr<presets::PresetManager> m_presetManager;
  std::string m_chunkText;  // what the last get-chunk request handed out
  std::vector<int> m_oldSlotMap;  // old bank slot -> parameter id (-1: dropped); none for Skarvel
  AEffGUIEditor* m_editor = nullptr;  // owned by the instrument's plug-in class
  DspToPlugin m_dspToPlugin;
  DspToEditor m_dspToEditor;
  DspEngine& m_engine;
  PluginToHostInterface* m_host = nullptr;
  PluginFactory& m_factory;

  std::mutex m_presetLock;
  // The values last sent to the engine (what a sample-rate change resends) and the current
  // program's edited values (what the host reads back), kept so neither needs the preset lists.
  std::array<std::atomic<float>, kMaxParameters> m_engineValues{};
  std::array<std::atomic<float>, kMaxParameters> m_hostValues{};
  // Edits that found the preset lock taken (one bit per id), applied by the next holder.
  std::array<std::atomic<float>, kMaxParameters> m_pendingEdits{};
  std::atomic<std::uint64_t> m_pendingEditMask{0};
  std::atomic<int> m_pendingProgramChange{-1};
  // What the editor has yet to be told (one bit per id), and the preset positions.
  std::array<std::atomic<float>, kMaxParameters> m_editorValues{};
  std::atomic<std::uint64_t> m_editorValueMask{0};
  std::atomic<std::uint64_t> m_editorPositions{0};  // list index << 32 | program index
  std::atomic<bool> m_editorPositionsPending{false};
  std::atomic<bool> m_editorHookPending{false};
};

}  // namespace core
