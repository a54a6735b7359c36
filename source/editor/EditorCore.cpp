#include "source/editor/EditorCore.h"

namespace skarvel {

EditorCore::EditorCore(core::PluginToHostInterface& effect, core::EditorToPluginCoreInterface& core)
    : m_effect(effect), m_core(core) {}

EditorCore::~EditorCore() = default;

bool EditorCore::getRect(core::EditorRect** rect) {
  if (rect) *rect = &m_rect;
  return true;
}

bool EditorCore::open(void*) { return false; }

void EditorCore::close() {}

void EditorCore::idle() {}

// Without a window there are no controls to move or menus to update.
void EditorCore::setParameterFromHost(int, float) {}

void EditorCore::programChanged(int, int) {}

}  // namespace skarvel
