#pragma once

namespace core {

class DspInterface;
class PluginCore;

// Builds an instrument's parts in their fixed order and owns the engine; the host adapter
// destroys the factory (and with it everything it built) when the host closes the effect.
class PluginFactory {
 public:
  virtual ~PluginFactory() = default;
  virtual DspInterface& getDspEngine() = 0;
  // Creates the plug-in core, keeps it, and returns it.
  virtual PluginCore& createPlugin() = 0;
};

}  // namespace core
