#pragma once

#include <memory>

#include "Frameworks/Core/Parameters.h"
#include "Frameworks/Core/PluginDescription.h"
#include "Frameworks/Core/PluginFactory.h"
#include "Frameworks/Core/ScopePeakExchange.h"
#include "source/VstSynth.h"

namespace skarvel {

class SkarvelPlugin;

// Builds Skarvel: the description, the parameter registry, the scope/peak record and the
// engine at construction, the plug-in core on request. Destroys them in reverse: the core (with
// the editor and the presets), the engine, the registry.
class SkarvelPluginFactory : public core::PluginFactory {
 public:
  SkarvelPluginFactory();
  ~SkarvelPluginFactory() override;

  SkarvelPluginFactory(const SkarvelPluginFactory&) = delete;
  SkarvelPluginFactory& operator=(const SkarvelPluginFactory&) = delete;

  core::DspEngine& getDspEngine() override { return m_engine; }
  core::PluginCore& createPlugin() override;
  // What every host adapter's entry point does, in its fixed order (each step's objects exist
  // before the next): registers the engine's parameters, publishes the product names notices
  // use, creates the core and runs its creation hook.
  core::PluginCore& createForHost();

  const core::PluginDescription& description() const { return m_description; }
  core::Parameters& registry() { return m_registry; }
  VstSynth& engine() { return m_engine; }
  SkarvelPlugin* plugin() { return m_plugin.get(); }

  // Skarvel's identity as hosts see it.
  static core::PluginDescription skarvelDescription();

 private:
  core::PluginDescription m_description;
  core::Parameters m_registry;
  core::ScopePeakExchange m_scopePeaks;
  VstSynth m_engine;
  std::unique_ptr<SkarvelPlugin> m_plugin;
};

}  // namespace skarvel
