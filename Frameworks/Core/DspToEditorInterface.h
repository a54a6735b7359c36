#pragma once

namespace core {

// Notification from the engine to the editor; the engine of this instrument never sends it.
class DspToEditorInterface {
 public:
  virtual ~DspToEditorInterface() = default;
  virtual void notify() = 0;
};

}  // namespace core
