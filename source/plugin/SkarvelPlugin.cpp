#include "source/plugin/SkarvelPlugin.h"

#include "Frameworks/AppearanceManager/ColourItems.h"
#ifdef SKARVEL_WITHOUT_EDITOR_WINDOW
#include "source/editor/WindowlessEditor.h"
#else
#include "source/editor/myEditor.h"
#endif

namespace skarvel {

SkarvelPlugin::SkarvelPlugin(const core::PluginDescription& description, const core::Parameters& registry,
                             VstSynth& engine, core::PluginFactory& factory, core::ScopePeakExchange& scopePeaks)
    : core::PluginCore(description, registry, engine, factory),
      m_appearanceFactory(std::make_unique<appearance::AppearanceFactory>(messages())),
      m_scopeFeed(scopePeaks),
      m_engine(engine) {
  appearance::registerColourItems(*m_appearanceFactory);
}

SkarvelPlugin::~SkarvelPlugin() {
  // The editor goes first, then the appearance factory; the core's presets and message list
  // follow as the base class is destroyed.
  detachEditor();
  m_editor.reset();
  m_appearanceFactory.reset();
}

core::AEffGUIEditor* SkarvelPlugin::createEditor(core::PluginToHostInterface& effect) {
#ifdef SKARVEL_WITHOUT_EDITOR_WINDOW
  m_editor = std::make_unique<WindowlessEditor>(effect, *this);
#else
  m_editor = std::make_unique<myEditor>(effect, *this, *m_appearanceFactory, m_scopeFeed);
#endif
  return m_editor.get();
}

}  // namespace skarvel
