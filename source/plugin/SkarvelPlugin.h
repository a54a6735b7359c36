#pragma once

#include <memory>

#include "Frameworks/AppearanceManager/AppearanceFactory.h"
#include "Frameworks/Core/Plugin/PluginCore.h"
#include "Frameworks/Core/ScopePeakExchange.h"
#include "source/VstSynth.h"

namespace skarvel {

class EditorCore;

// Skarvel's plug-in core: the shared core plus what only this instrument has: the appearance
// factory (the editor's colour items and theme reader), the scope feed the editor reads, and the
// editor itself.
class SkarvelPlugin : public core::PluginCore {
 public:
  SkarvelPlugin(const core::PluginDescription& description, const core::Parameters& registry, VstSynth& engine,
                core::PluginFactory& factory, core::ScopePeakExchange& scopePeaks);
  ~SkarvelPlugin() override;

  core::AEffGUIEditor* createEditor(core::PluginToHostInterface& effect) override;
  void editorHook() override {}

  // The factory with the editor's colour items already registered.
  appearance::AppearanceFactory& appearanceFactory() { return *m_appearanceFactory; }
  VstSynth& engine() { return m_engine; }
  core::ScopePeakExchange& scopeFeed() { return m_scopeFeed; }
  EditorCore* skarvelEditor() { return m_editor.get(); }

 private:
  std::unique_ptr<appearance::AppearanceFactory> m_appearanceFactory;
  core::ScopePeakExchange& m_scopeFeed;
  VstSynth& m_engine;
  std::unique_ptr<EditorCore> m_editor;
};

}  // namespace skarvel
