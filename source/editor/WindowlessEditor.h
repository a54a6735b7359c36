#pragma once

#include "source/editor/EditorCore.h"

namespace skarvel {

// The editor object of a build without the GUI layer: it answers the host's rectangle request
// with the normal size but opens no window, so hosts fall back to their own controls.
class WindowlessEditor : public EditorCore {
 public:
  using EditorCore::EditorCore;

  bool open(void* parent) override;

  void setParameterFromHost(int, float) override {}
  void programChanged(int, int) override {}
  void editorHook() override {}
};

}  // namespace skarvel
