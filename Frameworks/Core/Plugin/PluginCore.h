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
#include "Frameworks/Core/Plugin/PendingChanges.h"

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
// One value set. The host (getParameter, the chunk), the engine and the editor always get the
// values the current program presents: its edited values, or while the user compares, its
// stored ("original") values. An edit that changes a value while the program compares ends the
// comparison: the program presents its edited values again, with the new edit among them, and
// all of them go to the engine, the editor and the host. An edit that sets the value the program
// already presents (a host writing back what it read) changes nothing, so it neither ends a
// comparison nor overwrites an edit. Saving writes the edited values and ends a comparison; the
// engine, the editor and the host then get the values that were saved.
//
// Threads. Creation, chunks, the editor's requests and preset work run on the host's
// user-interface thread; processing, and with it a MIDI program change, run on its audio thread;
// setParameterFromHost may come from either. Operations that read or change the preset lists or
// the current program hold the preset lock, and take it themselves (the editor never sees it).
// A call that may come from the audio thread never waits for it: it only tries the lock, and
// when another thread holds it a program change or an edit joins a queue that the lock's next
// holder records in arrival order, so an edit made after a program change lands on the new
// program. The engine's values and what getParameter answers are lock-free floats, and the
// program name the host reads is published without a lock, so the sound and the host's reads
// follow at once. Only deliverUpdates (the editor's idle and open) and the editor's own requests
// call the editor or send the host its update messages; what other threads leave for them is
// kept in atomics.
class PluginCore : public EditorToPluginCoreInterface {
 public:
  static constexpr int kMaxParameters = PendingChanges::kMaxParameters;
  // Chunk texts kept alive after they were handed out, for hosts that ask from several threads.
  static constexpr std::size_t kKeptChunks = 8;

  PluginCore(const PluginDescription& description, const Parameters& registry, DspEngine& engine,
             PluginFactory& factory);
  ~PluginCore() override;

  PluginCore(const PluginCore&) = delete;
  PluginCore& operator=(const PluginCore&) = delete;

  // --- editor requests (user-interface thread) ---
  unsigned parameterCount() const override { return m_parameterCount; }
  // What the host reads and the engine plays; 0 for an id out of range. Any thread, no lock.
  float parameterValue(int id) const override;
  void parameterChangedFromEditor(int id, float value) override;
  void getParameterDisplayText(int id, char* text, std::size_t size) override;
  std::vector<PresetListSnapshot> presetLists() override;
  PresetStatus presetStatus() override;
  std::string userPresetsFolder() override;
  void selectProgram(std::size_t listPosition, std::size_t programPosition) override;
  void toggleCompare() override;
  void revertCurrentProgram() override;
  presets::SaveDialogSetup saveDialogSetup() override;
  presets::SaveResult saveNewUserPreset(const std::string& name) override;
  presets::SaveResult overwriteCurrentPreset() override;
  void convertOldBanks(const std::string& path, std::vector<std::string>& report) override;
  std::string productName() const override { return m_description.productName; }
  presets::MessageList& messages() override { return *m_messages; }

  // Creates the instrument's editor for `effect` (the host adapter); the caller keeps it.
  virtual AEffGUIEditor* createEditor(PluginToHostInterface& effect) = 0;
  // Called once during creation, after the core exists; no effect here.
  virtual void creationHook() {}
  virtual void spareHook() {}

  // --- host adapter requests ---
  // Creates the editor, hands it to the adapter, sends the current program to the engine and
  // the editor, and remembers the adapter as the host.
  void attachHost(PluginToHostInterface& host);
  // Either thread; never waits. Ids at or above the parameter count are ignored.
  void setParameterFromHost(int id, float value);
  // The current program as YAML text; *data points at it until kKeptChunks later requests (the
  // same text asked for again is the same buffer). Returns its length in bytes (no terminating
  // zero); 0 and null when it could not be written. Any thread.
  std::size_t getChunk(const char** data);
  // Takes a host chunk as a project preset; 1 when accepted, 0 when refused (nothing changes).
  int setChunk(const void* data, std::size_t size);
  // The current program's name. Any thread, never waits; the text stays valid as long as the
  // core.
  const std::string& currentProgramName() const;

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
  // document joins the project presets as a host chunk does. The host set these values itself,
  // as with a chunk: it is not told them back. 1 when taken, 0 when refused (nothing changes).
  // User-interface thread; the audio thread may render meanwhile.
  int restoreProgramState(const ProgramState& state);
  // Makes the program "Init" (every parameter at its default) current, for hosts whose controls
  // start at the parameters' defaults; an "Init" of the list "«Init»" is reused.
  void selectInitProgram();
  // Audio thread, before each block: records changes that found the preset lock taken.
  void beginAudioBlock();
  // User-interface thread (the editor's idle and open): hands the editor the values and preset
  // positions the other paths left for it, and tells the host which parameter values changed
  // other than through its own setParameter (so its controls and automation lanes re-read them;
  // no gesture is sent, so nothing is recorded as the user's automation) and that the program
  // changed (update display).
  void deliverUpdates();
  // The adapter's editor goes away (the adapter is being destroyed).
  void detachEditor();

  // --- engine callbacks (through DspToPlugin / DspToEditor) ---
  // Audio thread: selects program `program` of the current list (a number beyond the list keeps
  // the current program) and sends the current program to the engine and, later, the editor.
  void programChange(int program);
  void resendParameters();
  void postEditorHook();

  // --- accessors ---
  const PluginDescription& description() const { return m_description; }
  const Parameters& registry() const { return m_registry; }
  presets::ProgramFactory& programFactory() { return *m_programFactory; }
  // The preset manager, for start-up and tests; other readers go through the operations above,
  // which hold the preset lock.
  presets::PresetManager& presetManager() { return *m_presetManager; }
  AEffGUIEditor* editor() const { return m_editor; }
  PluginToHostInterface* host() const { return m_host; }
  PluginFactory& factory() { return m_factory; }
  // The preset lock, for tests that hold it to play a busy user-interface thread.
  std::mutex& presetLock() { return m_presetLock; }

 private:
  // Holds the preset lock: waiting for it, or only trying (std::try_to_lock). While it is held,
  // the changes that waited for it are recorded first, and again before it is released.
  class PresetLockHolder {
   public:
    explicit PresetLockHolder(PluginCore& core);
    PresetLockHolder(PluginCore& core, std::try_to_lock_t);
    ~PresetLockHolder();
    PresetLockHolder(const PresetLockHolder&) = delete;
    PresetLockHolder& operator=(const PresetLockHolder&) = delete;
    bool held() const { return m_lock.owns_lock(); }

   private:
    PluginCore& m_core;
    std::unique_lock<std::mutex> m_lock;
  };

  bool isParameter(int id) const { return id >= 0 && static_cast<unsigned>(id) < m_parameterCount; }
  // The program the values come from: the current one, or the default program.
  presets::Program& currentProgram();
  // What the host is told after the current program's values were applied: nothing (it set them
  // itself, by a chunk), the values that changed, or those and that the program changed.
  enum class HostNotice { None, Values, ValuesAndDisplay };
  // With the preset lock held: the presented values to the engine, the editor (later) and the
  // host's reads; what the host must be told is marked for deliverUpdates.
  void applyCurrentProgramLocked(HostNotice notice);
  void applyPendingLocked();
  void recordEditLocked(int id, float value, bool fromHost);
  void programChangeLocked(int program);
  void sendToEngine(int id, float value);
  // Stores what the host reads; true when that changed it.
  bool setHostValue(int id, float value);
  void postEditorValue(int id, float value);
  void postEditorPositionsLocked();
  bool selectSavedProgramLocked(const ProgramState& state, const presets::Program& saved);

  const PluginDescription& m_description;
  const Parameters& m_registry;
  const unsigned m_parameterCount;
  std::unique_ptr<presets::MessageList> m_messages;
  std::unique_ptr<presets::ProgramFactory> m_programFactory;
  std::unique_ptr<presets::PresetManager> m_presetManager;
  std::vector<int> m_oldSlotMap;  // old bank slot -> parameter id (-1: dropped); none for Skarvel
  AEffGUIEditor* m_editor = nullptr;  // owned by the instrument's plug-in class
  DspToPlugin m_dspToPlugin;
  DspToEditor m_dspToEditor;
  DspEngine& m_engine;
  PluginToHostInterface* m_host = nullptr;
  PluginFactory& m_factory;

  std::mutex m_presetLock;
  PendingChanges m_pending;
  // The values last sent to the engine (what a sample-rate change resends) and the presented
  // values the host reads, kept so neither needs the preset lists.
  std::array<std::atomic<float>, kMaxParameters> m_engineValues{};
  std::array<std::atomic<float>, kMaxParameters> m_hostValues{};
  // The current program's name (owned by the program, which lives as long as the core).
  std::atomic<const std::string*> m_programName{nullptr};

  // The chunk texts handed out last (kKeptChunks of them), newest at m_newestChunk.
  std::mutex m_chunkLock;
  std::array<std::unique_ptr<const std::string>, kKeptChunks> m_chunks;
  std::size_t m_newestChunk = 0;

  // What the editor has yet to be told (one bit per id), and the preset positions.
  std::array<std::atomic<float>, kMaxParameters> m_editorValues{};
  std::atomic<std::uint64_t> m_editorValueMask{0};
  std::atomic<std::uint64_t> m_editorPositions{0};  // list index << 32 | program index
  std::atomic<bool> m_editorPositionsPending{false};
  std::atomic<bool> m_editorHookPending{false};
  // What the host has yet to be told: parameter values (one bit per id) and a display update.
  std::atomic<std::uint64_t> m_hostValueMask{0};
  std::atomic<bool> m_hostDisplayPending{false};
};

}  // namespace core
