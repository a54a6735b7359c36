#include "source/plugin/SkarvelPlugin.h"

#include "source/editor/EditorCore.h"

namespace skarvel {

SkarvelPlugin::SkarvelPlugin(const core::PluginDescription& description, const core::Parameters& registry,
                             VstSynth& engine, core::PluginFactory& factory, core::ScopePeakExchange& scopePeaks)
    : core::PluginCore(description, registry, engine, factory), m_scopeFeed(scopePeaks), m_engine(engine) {}

SkarvelPlugin::~SkarvelPlugin() {
  // The editor goes before the presets and the message list it may show.
  detachEditor();
  m_editor.reset();
}

core::AEffGUIEditor* SkarvelPlugin::createEditor(core::PluginToHostInterface& effect) {
  m_editor = std::make_unique<EditorCore>(effect, *this);
  return m_editor.get();
}

}  // namespace skarvel
