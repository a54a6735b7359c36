#pragma once

#include <cstdint>

namespace core {

// The editor's window rectangle in pixels, laid out as hosts read it.
struct EditorRect {
  std::int16_t top = 0;
  std::int16_t left = 0;
  std::int16_t bottom = 0;
  std::int16_t right = 0;
};

// The editor as the host sees it: a window that can be sized, opened into a parent window,
// idled and closed, plus the two notifications the plug-in core sends it. All of it runs on the
// host's user-interface thread; the core never calls it from the audio thread.
class AEffGUIEditor {
 public:
  virtual ~AEffGUIEditor() = default;

  // Points `rect` at the window's rectangle (valid as long as the editor); false when unknown.
  virtual bool getRect(EditorRect** rect) = 0;
  // Builds the window inside `parent` (the host's native window); false when it cannot.
  virtual bool open(void* parent) = 0;
  virtual void close() = 0;
  virtual void idle() = 0;
  // Keys the host forwards while the window has focus; true when the editor used the key.
  virtual bool onKeyDown(std::int32_t character, int virtualKey, int modifiers) { (void)character, (void)virtualKey, (void)modifiers; return false; }
  virtual bool onKeyUp(std::int32_t character, int virtualKey, int modifiers) { (void)character, (void)virtualKey, (void)modifiers; return false; }
  virtual bool setKnobMode(int mode) { (void)mode; return false; }
  virtual bool isOpen() const = 0;
  // The editor's own window inside the parent while it is open (the system's window handle), for
  // hosts that embed the editor by its window; 0 while closed or without a window.
  virtual std::uintptr_t ownWindow() const { return 0; }

  // A parameter's value changed outside the editor (host automation, program change, chunk).
  virtual void setParameterFromHost(int id, float value) = 0;
  // The current preset list and program positions changed.
  virtual void programChanged(int listIndex, int programIndex) = 0;
  // A hook without effect in this instrument.
  virtual void editorHook() {}
};

}  // namespace core
