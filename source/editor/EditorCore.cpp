#include "source/editor/EditorCore.h"

#include <chrono>

namespace skarvel {

EditorCore::EditorCore(core::PluginToHostInterface& effect, core::EditorToPluginCoreInterface& core)
    : m_effect(effect), m_core(core), m_createdTicks(tickCount()) {
  m_rect.right = kNormalWidth;
  m_rect.bottom = kNormalHeight;
}

EditorCore::~EditorCore() {
  if (frame) EditorCore::close();
}

std::uint32_t EditorCore::tickCount() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

bool EditorCore::getRect(core::EditorRect** rect) {
  if (!rect) return false;
  *rect = &m_rect;
  return true;
}

bool EditorCore::open(void* parent) {
  m_systemWindow = parent;
  // The host made its window from the rectangle it read before opening.
  m_hostWidth = m_rect.right - m_rect.left;
  m_hostHeight = m_rect.bottom - m_rect.top;
  return true;
}

void EditorCore::close() {
  m_systemWindow = nullptr;
#ifndef SKARVEL_WITHOUT_EDITOR_WINDOW
  if (frame) {
    VSTGUI::CFrame* closing = frame;
    frame = nullptr;
    closing->close();
  }
#endif
}

void EditorCore::idle() {
#ifndef SKARVEL_WITHOUT_EDITOR_WINDOW
  if (frame && !frame->isInsideIdle()) frame->idle();
#endif
}

#ifdef SKARVEL_WITHOUT_EDITOR_WINDOW
bool EditorCore::onKeyDown(std::int32_t, int, int) { return false; }
bool EditorCore::onKeyUp(std::int32_t, int, int) { return false; }
#else
namespace {
VSTGUI::VstKeyCode keyCode(std::int32_t character, int virtualKey, int modifiers) {
  VSTGUI::VstKeyCode code;
  code.character = character;
  code.virt = static_cast<std::uint8_t>(virtualKey);
  code.modifier = static_cast<std::uint8_t>(modifiers);
  return code;
}
}  // namespace

bool EditorCore::onKeyDown(std::int32_t character, int virtualKey, int modifiers) {
  if (!frame) return false;
  VSTGUI::VstKeyCode code = keyCode(character, virtualKey, modifiers);
  return frame->onKeyDown(code) == 1;
}

bool EditorCore::onKeyUp(std::int32_t character, int virtualKey, int modifiers) {
  if (!frame) return false;
  VSTGUI::VstKeyCode code = keyCode(character, virtualKey, modifiers);
  return frame->onKeyUp(code) == 1;
}
#endif

bool EditorCore::setKnobMode(int mode) {
  m_knobMode = mode;
  return true;
}

void EditorCore::beginEdit(int32_t index) {
  if (isParameter(index)) m_effect.beginEdit(index);
}

void EditorCore::endEdit(int32_t index) {
  if (isParameter(index)) m_effect.endEdit(index);
}

bool EditorCore::beforeSizeChange(const VSTGUI::CRect& newSize, const VSTGUI::CRect&) {
  const int width = static_cast<int>(newSize.getWidth());
  const int height = static_cast<int>(newSize.getHeight());
  // A host that cannot resize keeps the window it made: the editor may shrink inside it, but a
  // larger frame would hang out of the window with the size control out of reach.
  if (!m_effect.canHostDo("sizeWindow")) return width <= m_hostWidth && height <= m_hostHeight;
  if (!m_effect.sizeWindow(width, height)) return false;
  m_hostWidth = width;
  m_hostHeight = height;
  return true;
}

}  // namespace skarvel
