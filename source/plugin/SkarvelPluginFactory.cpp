#include "source/plugin/SkarvelPluginFactory.h"

#include "platform/ProductNames.h"
#include "source/MakerWebSite.h"
#include "source/SkarvelParameterTable.h"
#include "source/plugin/SkarvelPlugin.h"

namespace skarvel {

core::PluginDescription SkarvelPluginFactory::skarvelDescription() {
  core::PluginDescription description;
  description.programCount = 1;
  description.parameterCount = kParameterCount;
  description.inputCount = 0;
  description.outputCount = 2;
  description.uniqueId = ('S' << 24) | ('k' << 16) | ('v' << 8) | 'b';
  description.effectName = "Skarvel by Brenmoor";
  description.productName = "Skarvel";
  description.versionText = "1.0.0";
  description.shortMakerCode = "BRM";
  description.vendorUrl = kMakerWebSiteUrl;
  description.isSynth = true;
  return description;
}

SkarvelPluginFactory::SkarvelPluginFactory() : m_description(skarvelDescription()), m_engine(m_scopePeaks) {}

SkarvelPluginFactory::~SkarvelPluginFactory() {
  // The core first: it holds references to the engine and the registry.
  m_plugin.reset();
}

core::PluginCore& SkarvelPluginFactory::createPlugin() {
  m_plugin = std::make_unique<SkarvelPlugin>(m_description, m_registry, m_engine, *this, m_scopePeaks);
  return *m_plugin;
}

core::PluginCore& SkarvelPluginFactory::createForHost() {
  m_engine.registerParameters(m_registry);
  platform::publishProductNames(m_description.effectName, m_description.productName);
  core::PluginCore& core = createPlugin();
  core.creationHook();
  return core;
}

}  // namespace skarvel
