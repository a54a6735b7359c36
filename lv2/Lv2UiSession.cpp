#include "lv2/Lv2UiSession.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "lv2/Lv2Plugin.h"

namespace lv2 {

Lv2UiSession::Lv2UiSession(Lv2Plugin& plugin, core::AEffGUIEditor& editor, const UiHostFunctions& host)
    : m_plugin(plugin), m_core(plugin.editorCore()), m_editor(editor), m_host(host) {
  m_hostValues.fill(std::numeric_limits<float>::quiet_NaN());
}

Lv2UiSession::~Lv2UiSession() { close(); }

bool Lv2UiSession::open(void* parent) {
  // The editor opens on the core's current values; what the host has not got follows at the
  // first idle, after the host has the UI.
  m_plugin.deliverUpdates();
  if (!m_editor.open(parent) || m_editor.ownWindow() == 0) {
    m_editor.close();
    return false;
  }
  m_open = true;
  // The host's window takes the editor's size (the one the musician chose last).
  core::EditorRect* rect = nullptr;
  if (m_editor.getRect(&rect) && rect) resize(rect->right - rect->left, rect->bottom - rect->top);
  return true;
}

void Lv2UiSession::close() {
  m_open = false;
  if (m_editor.isOpen()) m_editor.close();
}

int Lv2UiSession::idle() {
  m_plugin.deliverUpdates();
  m_editor.idle();
  followCore();
  return 0;
}

void Lv2UiSession::portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer) {
  if (format != 0 || size != sizeof(float) || !buffer || !m_plugin.ports().isParameter(port)) return;
  const int id = static_cast<int>(port);
  float value = 0.0f;
  std::memcpy(&value, buffer, sizeof value);
  m_hostValues[port] = value;
  // The editor's own gesture wins over echoes of what it wrote a moment ago.
  if (m_plugin.touching(id)) return;
  if (value == m_core.parameterValue(id)) return;
  // A value the audio thread has already read and not applied is an old one the core has moved
  // on from (a program change); followCore corrects the host instead.
  if (value == m_plugin.seenValue(id)) return;
  m_editor.setParameterFromHost(id, value);
}

void Lv2UiSession::writeParameter(int id, float value) {
  if (!m_open) return;
  m_hostValues[static_cast<std::size_t>(id)] = value;
  m_host.write(m_host.controller, static_cast<std::uint32_t>(id), sizeof value, 0, &value);
}

void Lv2UiSession::touch(int id, bool grabbed) {
  if (m_host.touch && m_host.touch->touch) m_host.touch->touch(m_host.touch->handle, static_cast<std::uint32_t>(id), grabbed);
}

bool Lv2UiSession::resize(int width, int height) {
  if (!m_host.resize || !m_host.resize->ui_resize) return false;
  return m_host.resize->ui_resize(m_host.resize->handle, width, height) == 0;
}

void Lv2UiSession::followCore() {
  for (std::uint32_t id = 0; id < m_plugin.ports().parameterCount; ++id) {
    const int parameter = static_cast<int>(id);
    if (m_plugin.touching(parameter)) continue;
    const float value = m_core.parameterValue(parameter);
    if (std::isnan(value)) continue;
    // Known to the host already, or the port's own value that the core took from it.
    if (value == m_hostValues[id] || value == m_plugin.seenValue(parameter)) continue;
    writeParameter(parameter, value);
  }
}

}  // namespace lv2
