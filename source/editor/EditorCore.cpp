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

void EditorCore::setParameterFromHost(int, float) { ++m_parameterNotifications; }

void EditorCore::programChanged(int listIndex, int programIndex) {
  ++m_programNotifications;
  m_lastListIndex = listIndex;
  m_lastProgramIndex = programIndex;
}

}  // namespace skarvel
